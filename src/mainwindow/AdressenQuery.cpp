#include "mainwindow/AdressenQuery.h"

#include "store/GermanCollation.h"

QString SqlStatement::Sql() const
{
    QString sql;
    for (const QString& line : Lines)
        sql += line + QStringLiteral("\r\n");
    return sql;
}

SqlStatement BuildAdressenQuery(const AdressenFilter& f)
{
    SqlStatement s;
    s.Lines << QStringLiteral("SELECT * FROM tab_adressen") << QStringLiteral("WHERE Gruppe_ID=?");
    s.Params << f.GruppeID;
    if (f.ViewMode == 1)
        s.Lines << QStringLiteral("AND (Aktiv = 1)");
    else if (f.ViewMode == 2)
        s.Lines << QStringLiteral("AND (Aktiv <> 1)");
    if (!f.SearchText.isEmpty()) {
        const QString pattern = u'%' + f.SearchText + u'%';
        if (f.SearchLine == 5) {
            s.Lines << QStringLiteral("AND (");
            for (int n = 1; n <= 5; ++n) {
                s.Lines << QStringLiteral("%1(Line%2 LIKE ?)").arg(n == 1 ? QString() : QStringLiteral("OR ")).arg(n);
                s.Params << pattern;
            }
            s.Lines << QStringLiteral(")");
        } else {
            s.Lines << QStringLiteral("AND (Line%1 LIKE ?)").arg(f.SearchLine + 1);
            s.Params << pattern;
        }
    }
    if (f.SortIndex >= 1 && f.SortIndex <= 6)
        s.Lines << GermanCollation::OrderByLine(f.SortIndex);
    return s;
}
