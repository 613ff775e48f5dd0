#include "store/TSQLiteTable.h"

#include "shell/Cp1252.h"
#include "store/ESQLiteException.h"

#include <QLocale>
#include <algorithm>
#include <cstring>

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

void TSQLiteTable::appendInteger(qint64 v)
{
    m_record.push_back(char(IntegerCell));
    const char* b = reinterpret_cast<const char*>(&v);
    m_record.insert(m_record.end(), b, b + sizeof v);
}

void TSQLiteTable::appendFloat(double v)
{
    m_record.push_back(char(FloatCell));
    const char* b = reinterpret_cast<const char*>(&v);
    m_record.insert(m_record.end(), b, b + sizeof v);
}

void TSQLiteTable::appendBytes(Kind kind, const char* data, qsizetype size)
{
    m_record.push_back(char(kind));
    const quint32 n = quint32(size);
    if (n < 0xffff) {
        const quint16 shortSize = quint16(n);
        const char* b = reinterpret_cast<const char*>(&shortSize);
        m_record.insert(m_record.end(), b, b + sizeof shortSize);
    } else {
        m_record.push_back(char(0xff));
        m_record.push_back(char(0xff));
        const char* b = reinterpret_cast<const char*>(&n);
        m_record.insert(m_record.end(), b, b + sizeof n);
    }
    m_record.insert(m_record.end(), data, data + n);
}

void TSQLiteTable::endRow()
{
    const size_t n = m_record.size();
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < n) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(kBytesPerBlock, n));
    }
    std::vector<char>& block = m_blocks.back();
    m_rows.push_back((quint64(m_blocks.size() - 1) << 32) | quint64(block.size()));
    block.insert(block.end(), m_record.begin(), m_record.end());
    m_record.clear();
    ++m_rowCount;
}

TSQLiteTable::CellView TSQLiteTable::cellAt(int row, int column) const
{
    if (row < 0 || row >= m_rowCount)
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (column < 0 || column >= m_colCount)
        throw ESQLiteException(QStringLiteral("Field index out of range"));
    const quint64 where = m_rows[size_t(row)];
    const char* p = m_blocks[size_t(where >> 32)].data() + (where & 0xffffffff);
    for (int c = 0;; ++c) {
        CellView v;
        v.kind = Kind(quint8(*p++));
        switch (v.kind) {
        case IntegerCell:
        case FloatCell:
            v.data = p;
            v.size = 8;
            p += 8;
            break;
        case TextCell:
        case BlobCell: {
            quint16 shortSize;
            std::memcpy(&shortSize, p, sizeof shortSize);
            p += sizeof shortSize;
            if (shortSize == 0xffff) {
                std::memcpy(&v.size, p, sizeof v.size);
                p += sizeof v.size;
            } else {
                v.size = shortSize;
            }
            v.data = p;
            p += v.size;
            break;
        }
        default:
            break;
        }
        if (c == column)
            return v;
    }
}

TSQLiteTable::CellView TSQLiteTable::cell(int column) const
{
    return cellAt(m_row, column);
}

QString TSQLiteTable::asString(const CellView& c)
{
    // Each cell reads as what it holds: a column that was NULL in the first row still
    // shows the values of the rows after it, which a type fixed by that row would lose.
    switch (c.kind) {
    case IntegerCell: {
        qint64 v;
        std::memcpy(&v, c.data, sizeof v);
        return QString::number(v);
    }
    case FloatCell: {
        double v;
        std::memcpy(&v, c.data, sizeof v);
        return QLocale().toString(v, 'g', 15);
    }
    case TextCell:
    case BlobCell: return Cp1252::decode(c.data, qsizetype(c.size));
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

std::optional<QByteArray> TSQLiteTable::FieldAsBlob(int column) const
{
    const CellView c = cell(column);
    if (c.kind == Absent)
        return std::nullopt;
    if (m_colTypes[column] != Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    return QByteArray(c.data, qsizetype(c.size));
}
