#include "envelope/SeriendruckQuery.h"

#include "store/GermanCollation.h"

namespace {
bool blankOnly(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 32)
            return false;
    return true;
}
} // namespace

QString SeriendruckQuery::Sql() const
{
    QString sql;
    for (const QString& line : Lines)
        sql += line + QStringLiteral("\r\n");
    return sql;
}

SeriendruckQuery BuildSeriendruckQuery(const QString& gruppeId, const QString& searchText, int searchColumn,
                                       int sortChoice)
{
    SeriendruckQuery q;
    q.Lines << QStringLiteral("SELECT * FROM tab_adressen") << QStringLiteral("WHERE Gruppe_ID=?")
            << QStringLiteral("AND (Aktiv=1)");
    q.Params << gruppeId;
    if (!blankOnly(searchText)) {
        // Untrimmed; "%" and "_" typed by the user stay wildcards.
        const QString pattern = u'%' + searchText + u'%';
        if (searchColumn == 5) {
            q.Lines << QStringLiteral("AND (");
            for (int i = 1; i <= 5; ++i) {
                q.Lines << (i > 1 ? QStringLiteral("OR ") : QString()) + QStringLiteral("(Line%1 LIKE ?)").arg(i);
                q.Params << pattern;
            }
            q.Lines << QStringLiteral(")");
        } else {
            q.Lines << QStringLiteral("AND (Line%1 LIKE ?)").arg(searchColumn + 1);
            q.Params << pattern;
        }
    }
    // The order of the address list, "Name" (Line6) included.
    if (sortChoice >= 1 && sortChoice <= 6)
        q.Lines << GermanCollation::OrderByLine(sortChoice);
    return q;
}
