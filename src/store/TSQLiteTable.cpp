#include "store/TSQLiteTable.h"

#include "shell/Cp1252.h"
#include "store/ESQLiteException.h"

#include <QLocale>
#include <bit>

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

void TSQLiteTable::appendCell(const Cell& c)
{
    if (m_cellCount % kCellsPerBlock == 0) {
        m_cellBlocks.emplace_back();
        m_cellBlocks.back().reserve(kCellsPerBlock);
    }
    m_cellBlocks.back().push_back(c);
    ++m_cellCount;
}

void TSQLiteTable::appendFloat(double v)
{
    appendCell(Cell{std::bit_cast<qint64>(v), 0, FloatCell});
}

void TSQLiteTable::appendBytes(Kind kind, const char* data, qsizetype size)
{
    const size_t n = size_t(size);
    if (n == 0) {
        appendCell(Cell{0, 0, kind});
        return;
    }
    if (m_byteBlocks.empty() || m_byteBlocks.back().capacity() - m_byteBlocks.back().size() < n) {
        m_byteBlocks.emplace_back();
        // A picture larger than a block gets a block of its own size.
        m_byteBlocks.back().reserve(std::max(kBytesPerBlock, n));
    }
    std::vector<char>& block = m_byteBlocks.back();
    const qint64 where = (qint64(m_byteBlocks.size() - 1) << 32) | qint64(block.size());
    block.insert(block.end(), data, data + n);
    appendCell(Cell{where, quint32(n), kind});
}

QByteArrayView TSQLiteTable::bytes(const Cell& c) const
{
    if (c.size == 0)
        return {};
    const std::vector<char>& block = m_byteBlocks[size_t(quint64(c.value) >> 32)];
    return QByteArrayView(block.data() + (c.value & 0xffffffff), qsizetype(c.size));
}

const TSQLiteTable::Cell& TSQLiteTable::cellAt(int row, int column) const
{
    if (row < 0 || row >= m_rowCount)
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (column < 0 || column >= m_colCount)
        throw ESQLiteException(QStringLiteral("Field index out of range"));
    const size_t i = size_t(row) * size_t(m_colCount) + size_t(column);
    return m_cellBlocks[i / kCellsPerBlock][i % kCellsPerBlock];
}

const TSQLiteTable::Cell& TSQLiteTable::cell(int column) const
{
    return cellAt(m_row, column);
}

QString TSQLiteTable::asString(const Cell& c) const
{
    // Each cell reads as what it holds: a column that was NULL in the first row still
    // shows the values of the rows after it, which a type fixed by that row would lose.
    switch (c.kind) {
    case IntegerCell: return QString::number(c.value);
    case FloatCell: return QLocale().toString(std::bit_cast<double>(c.value), 'g', 15);
    case TextCell:
    case BlobCell: {
        const QByteArrayView b = bytes(c);
        return Cp1252::decode(b.data(), b.size());
    }
    default: return QString();
    }
}

QString TSQLiteTable::FieldAsString(int column) const
{
    return asString(cell(column));
}

QString TSQLiteTable::CellAsString(int row, int column) const
{
    return asString(cellAt(row, column));
}

QByteArrayView TSQLiteTable::CellBytes(int row, int column) const
{
    const Cell& c = cellAt(row, column);
    return c.kind == TextCell ? bytes(c) : QByteArrayView();
}

std::optional<QByteArray> TSQLiteTable::FieldAsBlob(int column) const
{
    const Cell& c = cell(column);
    if (c.kind == Absent)
        return std::nullopt;
    if (m_colTypes[column] != Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    return bytes(c).toByteArray();
}
