#include "exchange/AdressenImport.h"

#include "app/AppContext.h"
#include "exchange/ExchangeError.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/IdSequence.h"
#include "exchange/ImportRecord.h"
#include "exchange/VcardImport.h"
#include "store/PreparedTextStatement.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "uikit/TBusyCursor.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kInsert = QStringLiteral(
    "INSERT INTO tab_adressen (\r\nAdresse_ID\r\n,Gruppe_ID\r\n,Line1\r\n,Line2\r\n,Line3\r\n,Line4\r\n,Line5\r\n"
    ",Line6\r\n,Aktiv\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?,1);\r\n");
const QString kInsertDaten = QStringLiteral(
    "INSERT INTO tab_daten (\r\nAdresse_ID\r\n,Daten_ID\r\n,Telefon\r\n,Fax\r\n,Handy\r\n,Mail\r\n,Versand\r\n"
    ",Bemerkung\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?);\r\n");
const QString kCsvFilter = QStringLiteral("CSV-Datei (*.csv)");
const QString kVcardFilter = QStringLiteral("vCard-Datei (*.vcf)");

bool anyGroupExists(TSQLiteDatabase& db)
{
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return false;
    return db.GetTable(QStringLiteral("SELECT Gruppe_ID FROM tab_gruppen LIMIT 1")).Count() > 0;
}

QByteArray readFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ExchangeError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                .arg(fileName, file.errorString()));
    return file.readAll();
}

// The records of a semicolon-separated file: the header line is skipped, Line4 stays
// empty and no extra data are stored.
class CsvSource : public AdressenImportSource
{
public:
    void Read(const QByteArray& bytes) override { m_lines = SplitImportLines(DecodeImportText(bytes)); }
    std::optional<ImportedAdresse> Next() override
    {
        while (++m_index < m_lines.size()) {
            const std::optional<ImportRecord> r = ImportRecord::Parse(m_lines.at(m_index));
            if (!r)
                continue;
            ImportedAdresse a;
            a.Line1 = r->Line1;
            a.Line2 = r->Line2;
            a.Line3 = r->Line3;
            a.Line5 = r->Line5;
            return a;
        }
        return std::nullopt;
    }
    QString SuccessText() const override { return QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert."); }

private:
    QStringList m_lines;
    qsizetype m_index = 0; // the header line
};

// The vCard filter chosen, or a file whose name says it is one. A name ending in .csv
// stays with the CSV import whatever filter was shown.
bool isVcardChoice(const ExchangeFileDialogs::FileChoice& choice)
{
    const QString suffix = QFileInfo(choice.fileName).suffix().toLower();
    if (suffix == u"vcf" || suffix == u"vcard")
        return true;
    if (suffix == u"csv")
        return false;
    return choice.filterIndex == 1;
}

} // namespace

bool ImportedAdresse::HasDaten() const
{
    return !Telefon.isEmpty() || !Fax.isEmpty() || !Handy.isEmpty() || !Mail.isEmpty() || !Bemerkung.isEmpty();
}

bool ImportAdressen(AppContext& ctx, QWidget* parent, const QString& gruppeId, ExchangeFileDialogs* dialogs)
{
    if (gruppeId.isEmpty()) {
        if (anyGroupExists(ctx.db()))
            ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie eine Gruppe für den Import!"));
        else
            ctx.Messages->InfoMessage(QStringLiteral(
                "Es ist keine Gruppe für den Import vorhanden! Bitte legen Sie eine neue Gruppe an."));
        return false;
    }
    const int answer = ctx.Messages->InfoCancel(QStringLiteral(
        "Bitte sichern Sie vor dem Importieren die Datenbank, um diese bei Bedarf wieder herstellen zu können.\r\n\r\n"
        "Wählen Sie \"Abbrechen\", wenn Sie den Import zu einem späteren Zeitpunkt vornehmen möchten."));
    if (answer != Msg::IdOk)
        return false;
    ExchangeFileDialogs& fileDialogs = dialogs ? *dialogs : ExchangeFileDialogs::Standard();
    const ExchangeFileDialogs::FileChoice choice =
        fileDialogs.OpenFileName(parent, QStringLiteral("Adressen importieren"), GetKnownFolder(CSIDL_PERSONAL),
                                 {kCsvFilter, kVcardFilter});
    if (choice.fileName.isEmpty())
        return false;
    if (isVcardChoice(choice))
        return ImportVcardFile(ctx, gruppeId, choice.fileName);
    return ImportAdressenFile(ctx, gruppeId, choice.fileName);
}

bool ImportAdressenFile(AppContext& ctx, const QString& gruppeId, const QString& fileName)
{
    CsvSource csv;
    return ImportAdressenFrom(ctx, gruppeId, fileName, csv);
}

bool ImportAdressenFrom(AppContext& ctx, const QString& gruppeId, const QString& fileName,
                        AdressenImportSource& source)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return false;
    TBusyCursor busy;
    source.Read(readFile(fileName));

    Transaction transaction(db);
    // One scan for the greatest identifier; inside the transaction nobody else inserts,
    // so counting up gives the identifiers a scan per record would give.
    IdSequence ids(db, QStringLiteral("AD"), QStringLiteral("tab_adressen"), QStringLiteral("Adresse_ID"));
    // Made at the first address with extra data: an import without any never touches tab_daten.
    std::optional<IdSequence> datenIds;
    std::optional<PreparedTextStatement> insertDaten;
    auto failed = [&](const QString& message) {
        // The addresses before the failure stay.
        transaction.Commit();
        ctx.Messages->ErrorMessage(message);
        return false;
    };
    const QString empty;
    try {
        PreparedTextStatement insert(db, kInsert);
        while (const std::optional<ImportedAdresse> a = source.Next()) {
            const QString id = ids.Next();
            if (id.isEmpty())
                return failed(QStringLiteral("Fehler beim Erstellen der \"Adresse_ID\"!"));
            insert.Run({id, gruppeId, a->Line1, a->Line2, a->Line3, a->Line4, a->Line5, empty});
            if (!a->HasDaten())
                continue;
            if (!datenIds)
                datenIds.emplace(db, QStringLiteral("DA"), QStringLiteral("tab_daten"), QStringLiteral("Daten_ID"));
            const QString datenId = datenIds->Next();
            if (datenId.isEmpty())
                return failed(QStringLiteral("Fehler beim Erstellen der \"Daten_ID\"!"));
            if (!insertDaten)
                insertDaten.emplace(db, kInsertDaten);
            insertDaten->Run({id, datenId, a->Telefon, a->Fax, a->Handy, a->Mail, empty, a->Bemerkung});
        }
    } catch (const ESQLiteException&) {
        return failed(QStringLiteral("Fehler beim Einlesen der Adressdaten!"));
    }
    transaction.Commit();
    ctx.Messages->InfoMessage(source.SuccessText());
    return true;
}
