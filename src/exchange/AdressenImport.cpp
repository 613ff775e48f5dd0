#include "exchange/AdressenImport.h"

#include "app/AppContext.h"
#include "exchange/ExchangeError.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/IdSequence.h"
#include "exchange/ImportRecord.h"
#include "store/PreparedTextStatement.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "uikit/TBusyCursor.h"

#include <QFile>

namespace {

const QString kInsert = QStringLiteral(
    "INSERT INTO tab_adressen (\r\nAdresse_ID\r\n,Gruppe_ID\r\n,Line1\r\n,Line2\r\n,Line3\r\n,Line4\r\n,Line5\r\n"
    ",Line6\r\n,Aktiv\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?,1);\r\n");

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

// Keeps the records inserted so far. When even that fails (a full disk, a lock), the
// transaction is rolled back as a whole when it goes out of scope.
void commitWhatStands(Transaction& transaction)
{
    try {
        transaction.Commit();
    } catch (const ESQLiteException&) {
    }
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
    const QString fileName = fileDialogs.OpenFileName(parent, QStringLiteral("Adressen importieren"),
                                                      GetKnownFolder(CSIDL_PERSONAL),
                                                      QStringLiteral("CSV-Datei (*.csv)"));
    if (fileName.isEmpty())
        return false;
    return ImportAdressenFile(ctx, gruppeId, fileName);
}

bool ImportAdressenFile(AppContext& ctx, const QString& gruppeId, const QString& fileName)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return false;
    TBusyCursor busy;
    const QStringList lines = SplitImportLines(DecodeImportText(readFile(fileName)));

    const QString readError = QStringLiteral("Fehler beim Einlesen der Adressdaten!");
    Transaction transaction(db);
    try {
        // One scan for the greatest identifier; inside the transaction nobody else inserts,
        // so counting up gives the identifiers a scan per record would give.
        IdSequence ids(db, QStringLiteral("AD"), QStringLiteral("tab_adressen"), QStringLiteral("Adresse_ID"));
        const QString empty;
        PreparedTextStatement insert(db, kInsert);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const std::optional<ImportRecord> r = ImportRecord::Parse(lines.at(i));
            if (!r)
                continue;
            const QString id = ids.Next();
            if (id.isEmpty()) {
                commitWhatStands(transaction);
                ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Adresse_ID\"!"));
                return false;
            }
            insert.Run({id, gruppeId, r->Line1, r->Line2, r->Line3, empty, r->Line5, empty});
        }
    } catch (const ESQLiteException&) {
        // The records before the failing one stay.
        commitWhatStands(transaction);
        ctx.Messages->ErrorMessage(readError);
        return false;
    }
    try {
        transaction.Commit();
    } catch (const ESQLiteException&) {
        // A full disk or a lock at the end: the transaction rolls back whole, the file
        // stays as it was before the import.
        ctx.Messages->ErrorMessage(readError);
        return false;
    }
    ctx.Messages->InfoMessage(QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert."));
    return true;
}
