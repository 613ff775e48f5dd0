#include "store/RecordIds.h"

#include "store/TSQLiteDatabase.h"

QString QuoteSQL(const QString& text)
{
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString NewID(TSQLiteDatabase& db, const QString& prefix, const QString& table, const QString& column)
{
    if (!db.TableExists(table))
        return QString();
    // The prefix is bound; identifiers of the table and column are our own constants.
    const TSQLiteTable t = db.GetTable(QStringLiteral("SELECT MAX(CAST(LTRIM(") + column +
                                       QStringLiteral(",?) AS INTEGER)) + 1 ID FROM ") + table,
                                       {prefix});
    QString number = QStringLiteral("1");
    if (t.Count() == 1) {
        const QString id = t.Field(QStringLiteral("ID")).trimmed();
        if (!id.isEmpty())
            number = id;
    }
    while (number.size() < 8)
        number.prepend(u'0');
    return prefix + number;
}

QString NewAdresseID(TSQLiteDatabase& db)
{
    const QString id = NewID(db, QStringLiteral("AD"), QStringLiteral("tab_adressen"), QStringLiteral("Adresse_ID"));
    // Numbers compared as NewID finds the greatest one.
    if (!id.isEmpty() && db.TableExists(QStringLiteral("tab_daten")))
        db.ExecSQL(QStringLiteral("DELETE FROM tab_daten WHERE CAST(LTRIM(Adresse_ID, 'AD') AS INTEGER) >= "
                                  "CAST(LTRIM(?, 'AD') AS INTEGER)"),
                   {id});
    return id;
}
