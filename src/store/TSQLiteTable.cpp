#include "store/TSQLiteTable.h"

#include "shell/Cp1252.h"
#include "store/ESQLiteException.h"

#include <QLocale>

bool TSQLiteTable::Next()
{
    if (Eof())
        return false;
    ++m_row;
    return true;
}

int TSQLiteTable::FieldIndex(const QString& name) const
{
    if (m_cols.isEmpty())
        throw ESQLiteException(QStringLiteral("Field ") + name + QStringLiteral(" Not found. Empty dataset"));
    const QString upper = name.toUpper();
    const int i = m_cols.indexOf(upper);
    if (i < 0)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + name);
    return i;
}

const TSQLiteTable::Cell& TSQLiteTable::cell(int column) const
{
    if (Eof())
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (column < 0 || column >= m_colCount)
        throw ESQLiteException(QStringLiteral("Field index out of range"));
    return m_cells[size_t(m_row) * size_t(m_colCount) + size_t(column)];
}

QString TSQLiteTable::FieldAsString(int column) const
{
    const Cell& c = cell(column);
    // Each cell reads as what it holds: a column that was NULL in the first row still
    // shows the values of the rows after it, which a type fixed by that row would lose.
    switch (c.index()) {
    case 1: return QString::number(std::get<qint64>(c));
    case 2: return QLocale().toString(std::get<double>(c), 'g', 15);
    case 3: return std::get<QString>(c);
    case 4: return Cp1252::decode(std::get<QByteArray>(c));
    default: return QString();
    }
}

std::optional<QByteArray> TSQLiteTable::FieldAsBlob(int column) const
{
    const Cell& c = cell(column);
    if (c.index() == 0)
        return std::nullopt;
    if (m_colTypes[column] != Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    return std::get<QByteArray>(c);
}
