#include "exchange/AdressenImportFrame.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "exchange/ExchangeError.h"
#include "exchange/IdSequence.h"
#include "shell/MessageService.h"
#include "sheets/TableSource.h"
#include "sources/AddressComposer.h"
#include "sources/AdresseKey.h"
#include "store/ESQLiteException.h"
#include "store/PreparedTextStatement.h"
#include "store/TSQLiteDatabase.h"
#include "uikit/TBusyCursor.h"

#include <QFile>
#include <QSet>

namespace {

const QString kInsert = QStringLiteral(
    "INSERT INTO tab_adressen (\r\nAdresse_ID\r\n,Gruppe_ID\r\n,Line1\r\n,Line2\r\n,Line3\r\n,Line4\r\n,Line5\r\n"
    ",Line6\r\n,Aktiv\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?,?);\r\n");
const QString kInsertDaten = QStringLiteral(
    "INSERT INTO tab_daten (\r\nAdresse_ID\r\n,Daten_ID\r\n,Telefon\r\n,Fax\r\n,Handy\r\n,Mail\r\n,Versand\r\n"
    ",Bemerkung\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?);\r\n");

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

bool hasLine(const ImportedAdresse& a)
{
    for (const QString* line : {&a.Line1, &a.Line2, &a.Line3, &a.Line4, &a.Line5})
        if (!IsBlank(*line))
            return true;
    return false;
}

// The keys of the addresses the group holds.
QSet<quint64> keysOfGroup(TSQLiteDatabase& db, const QString& gruppeId)
{
    QSet<quint64> keys;
    TSQLiteTable t = db.GetTable(
        QStringLiteral("SELECT Line1, Line2, Line3, Line4, Line5 FROM tab_adressen WHERE Gruppe_ID = ?"), {gruppeId});
    for (; !t.Eof(); t.Next())
        keys.insert(AdresseKeyHash(AdresseKey(
            {t.Field("Line1"), t.Field("Line2"), t.Field("Line3"), t.Field("Line4"), t.Field("Line5")})));
    return keys;
}

} // namespace

bool ImportAdressenFrom(AppContext& ctx, const QString& gruppeId, const QString& fileName,
                        AdressenImportSource& source)
{
    if (!ctx.db().TableExists(QStringLiteral("tab_adressen")))
        return false;
    {
        TBusyCursor busy;
        source.Read(readFile(fileName));
    }
    return ImportAdressenRecords(ctx, gruppeId, source);
}

bool ImportAdressenRecords(AppContext& ctx, const QString& gruppeId, AdressenImportSource& source,
                           const ImportOptions& options, ImportProgress* progress)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return false;
    TBusyCursor busy;

    const QString readError = QStringLiteral("Fehler beim Einlesen der Adressdaten!");
    // Reset to roll back before a message is shown.
    std::optional<Transaction> transaction(std::in_place, db);
    auto failed = [&](const QString& message) {
        // The addresses before the failure stay.
        commitWhatStands(*transaction);
        ctx.Messages->ErrorMessage(message);
        return false;
    };
    const QString empty;
    // The flag as text: the column's integer affinity stores the number.
    const QString one = QStringLiteral("1"), zero = QStringLiteral("0");
    ImportCounts counts;
    int records = 0;
    bool cancelled = false;
    std::optional<QString> failure;
    // A record goes in whole or not at all: the identifier of its extra data is taken
    // before its address is written, and extra data the database refuses takes the
    // address back out.
    QString pendingId;
    try {
        QSet<quint64> keys;
        if (options.SkipDuplicates)
            keys = keysOfGroup(db, gruppeId);
        // One scan for the greatest identifier; inside the transaction nobody else inserts,
        // so counting up gives the identifiers a scan per record would give.
        IdSequence ids = IdSequence::Adressen(db);
        // Both ask the database only at their first identifier: an import without extra
        // data never touches tab_daten.
        IdSequence datenIds(db, QStringLiteral("DA"), QStringLiteral("tab_daten"), QStringLiteral("Daten_ID"));
        std::optional<PreparedTextStatement> insertDaten;
        PreparedTextStatement insert(db, kInsert);
        source.ReadRecords([&](const AddressRecord& record, double fraction) {
            ++records;
            if (progress && !progress->Step(records, fraction)) {
                cancelled = true;
                return false;
            }
            ImportedAdresse a = ComposeAdresse(record);
            if (options.SkipEmpty && !hasLine(a)) {
                ++counts.Empty;
                return true;
            }
            if (options.SkipDuplicates) {
                const quint64 key = AdresseKeyHash(StoredAdresseKey(a));
                if (keys.contains(key)) {
                    ++counts.Duplicates;
                    return true;
                }
                keys.insert(key);
            }
            if (CutBemerkung(a.Bemerkung))
                ++counts.Shortened;
            const QString id = ids.Next();
            if (id.isEmpty()) {
                failure = QStringLiteral("Fehler beim Erstellen der \"Adresse_ID\"!");
                return false;
            }
            QString datenId;
            if (a.HasDaten()) {
                datenId = datenIds.Next();
                if (datenId.isEmpty()) {
                    failure = QStringLiteral("Fehler beim Erstellen der \"Daten_ID\"!");
                    return false;
                }
            }
            insert.Run({id, gruppeId, a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Line6, a.Aktiv ? one : zero});
            ++counts.Imported;
            if (datenId.isEmpty())
                return true;
            if (!insertDaten)
                insertDaten.emplace(db, kInsertDaten);
            pendingId = id;
            insertDaten->Run({id, datenId, a.Telefon, a.Fax, a.Handy, a.Mail, a.Versand, a.Bemerkung});
            pendingId.clear();
            return true;
        });
    } catch (const ESQLiteException&) {
        if (progress)
            progress->Done();
        if (!pendingId.isEmpty()) {
            try {
                db.ExecSQL(QStringLiteral("DELETE FROM tab_adressen WHERE Adresse_ID = ?"), {pendingId});
            } catch (const ESQLiteException&) {
                // The half record cannot be taken out: the import rolls back whole.
                ctx.Messages->ErrorMessage(readError);
                return false;
            }
        }
        return failed(readError);
    } catch (const sheets::SheetError& e) {
        if (progress)
            progress->Done();
        // A file that breaks off halfway leaves nothing of it behind.
        transaction.reset();
        ctx.Messages->ErrorMessage(e.Message());
        return false;
    }
    if (progress)
        progress->Done();
    if (failure)
        return failed(*failure);
    if (cancelled) {
        transaction.reset();
        ctx.Messages->InfoMessage(
            QStringLiteral("Der Import wurde abgebrochen. Es wurde keine Adresse übernommen."));
        return false;
    }
    try {
        transaction->Commit();
    } catch (const ESQLiteException&) {
        // A full disk or a lock at the end: the transaction rolls back whole, the file
        // stays as it was before the import.
        ctx.Messages->ErrorMessage(readError);
        return false;
    }
    if (const QString nothing = source.NothingImportedText(counts); !nothing.isEmpty()) {
        ctx.Messages->ShowMessageBox(nothing, Msg::Warning, Msg::SoundExclamation, Msg::Ok);
        return false;
    }
    ctx.Messages->InfoMessage(source.SuccessText(counts));
    return true;
}
