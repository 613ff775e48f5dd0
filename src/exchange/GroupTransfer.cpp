#include "exchange/GroupTransfer.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "shell/MessageService.h"
#include "store/RecordIds.h"

namespace {

const QString kAdressen = QStringLiteral("tab_adressen");

} // namespace

bool CopyAdresseToGruppe(AppContext& ctx, const QString& adresseId, const QString& gruppeId)
{
    TSQLiteDatabase& db = ctx.db();
    if (IsBlank(adresseId) || IsBlank(gruppeId) || !db.TableExists(kAdressen))
        return false;
    const TSQLiteTable address =
        db.GetTable(QStringLiteral("SELECT * FROM tab_adressen\r\nWHERE Adresse_ID = ?\r\n"), {adresseId});
    if (address.Count() == 0)
        return false;
    SqlParams values;
    for (int n = 1; n <= 6; ++n)
        values << address.Field(QStringLiteral("Line%1").arg(n));
    const int aktiv = address.Field(QStringLiteral("Aktiv")) == QLatin1String("1") ? 1 : 0;

    const QString newAdresseId = NewAdresseID(db);
    if (newAdresseId.isEmpty()) {
        ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der neuen \"Adresse_ID\"!"));
        return false;
    }
    {
        Transaction t(db);
        db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (\r\nAdresse_ID\r\n,Gruppe_ID\r\n,Line1\r\n,Line2\r\n"
                                  ",Line3\r\n,Line4\r\n,Line5\r\n,Line6\r\n,Aktiv\r\n)\r\nVALUES (\r\n"
                                  "?,?,?,?,?,?,?,?,?);\r\n"),
                   SqlParams{newAdresseId, gruppeId} + values + SqlParams{aktiv});
        t.Commit();
    }

    // The extra data: without a table of its own there is nothing to copy.
    if (!db.TableExists(QStringLiteral("tab_daten")))
        return true;
    const TSQLiteTable daten =
        db.GetTable(QStringLiteral("SELECT * FROM tab_daten\r\nWHERE Adresse_ID = ?\r\n"), {adresseId});
    if (daten.Count() == 0)
        return true;
    SqlParams extra;
    for (const char* column : {"Telefon", "Fax", "Handy", "Mail", "Versand", "Bemerkung"})
        extra << daten.Field(QString::fromLatin1(column));

    const QString newDatenId = NewID(db, QStringLiteral("DA"), QStringLiteral("tab_daten"), QStringLiteral("Daten_ID"));
    if (newDatenId.isEmpty()) {
        ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der neuen \"Daten_ID\"!"));
        return true;
    }
    Transaction t(db);
    db.ExecSQL(QStringLiteral("INSERT INTO tab_daten (\r\nDaten_ID\r\n,Adresse_ID\r\n,Telefon\r\n,Fax\r\n,Handy\r\n"
                              ",Mail\r\n,Versand\r\n,Bemerkung\r\n)\r\nVALUES (\r\n?,?,?,?,?,?,?,?);\r\n"),
               SqlParams{newDatenId, newAdresseId} + extra);
    t.Commit();
    return true;
}

bool MoveAdresseToGruppe(AppContext& ctx, const QString& adresseId, const QString& gruppeId)
{
    TSQLiteDatabase& db = ctx.db();
    if (IsBlank(adresseId) || IsBlank(gruppeId) || !db.TableExists(kAdressen))
        return false;
    Transaction t(db);
    db.ExecSQL(QStringLiteral("UPDATE tab_adressen SET Gruppe_ID=? WHERE Adresse_ID=?"), {gruppeId, adresseId});
    t.Commit();
    return true;
}
