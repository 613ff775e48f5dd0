#include "exchange/AdressenImport.h"

#include "app/AppContext.h"
#include "exchange/AdressenImportFrame.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/ImportRecord.h"
#include "exchange/VcardImport.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/TSQLiteDatabase.h"

#include <QFileInfo>

namespace {

const QString kCsvFilter = QStringLiteral("CSV-Datei (*.csv)");
const QString kVcardFilter = QStringLiteral("vCard-Datei (*.vcf)");

bool anyGroupExists(TSQLiteDatabase& db)
{
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return false;
    return db.GetTable(QStringLiteral("SELECT Gruppe_ID FROM tab_gruppen LIMIT 1")).Count() > 0;
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
