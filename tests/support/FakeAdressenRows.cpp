#include "support/FakeAdressenRows.h"

namespace {
QStringList rowCells(int number, const QStringList& lines, const QString& line6)
{
    QStringList cells{QString::number(number)};
    for (int i = 0; i < 5; ++i)
        cells << lines.value(i);
    cells << line6 << QStringLiteral("X");
    return cells;
}
} // namespace

int FakeAdressenRows::add(const QString& adresseId, const QStringList& lines, const QString& line6,
                          const QString& gruppeId)
{
    rows.push_back({rowCells(RowCount() + 1, lines, line6), TAdresseData{adresseId, gruppeId}});
    return RowCount() - 1;
}

int FakeAdressenRows::addWithoutData(const QStringList& lines, const QString& line6)
{
    rows.push_back({rowCells(RowCount() + 1, lines, line6), std::nullopt});
    return RowCount() - 1;
}
