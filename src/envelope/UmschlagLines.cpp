#include "envelope/UmschlagLines.h"

#include "store/TSQLiteDatabase.h"

namespace {

std::optional<AddressLines> readLines(TSQLiteDatabase& db, const QString& sql, const QString& id)
{
    const TSQLiteTable t = db.GetTable(sql, {id});
    if (t.Count() == 0)
        return std::nullopt;
    AddressLines lines;
    for (int i = 1; i <= 5; ++i)
        lines << t.Field(QStringLiteral("Line%1").arg(i));
    return lines;
}

} // namespace

std::optional<AddressLines> ReadAbsenderLines(TSQLiteDatabase& db, const QString& absenderId)
{
    return readLines(db, QStringLiteral("SELECT * FROM tab_absender WHERE Absender_ID = ?"), absenderId);
}

std::optional<AddressLines> ReadAdresseLines(TSQLiteDatabase& db, const QString& adresseId)
{
    return readLines(db, QStringLiteral("SELECT * FROM tab_adressen WHERE Adresse_ID = ?"), adresseId);
}

UmschlagBlocks AssignBlocks(const AddressLines& sender, const AddressLines& address, bool swap)
{
    if (swap)
        return {address, sender, false};
    return {sender, address, true};
}
