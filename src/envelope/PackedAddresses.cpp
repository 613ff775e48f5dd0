#include "envelope/PackedAddresses.h"

void PackedAddresses::append(const AddressLines& lines)
{
    m_firstLine.push_back(qsizetype(m_lineEnd.size()));
    for (const QString& line : lines) {
        m_text += line;
        m_lineEnd.push_back(m_text.size());
    }
}

AddressLines PackedAddresses::operator[](qsizetype i) const
{
    const size_t first = size_t(m_firstLine.at(size_t(i)));
    const size_t last = size_t(i) + 1 < m_firstLine.size() ? size_t(m_firstLine[size_t(i) + 1]) : m_lineEnd.size();
    AddressLines lines;
    lines.reserve(qsizetype(last - first));
    qsizetype from = first == 0 ? 0 : m_lineEnd[first - 1];
    for (size_t l = first; l < last; ++l) {
        lines << m_text.mid(from, m_lineEnd[l] - from);
        from = m_lineEnd[l];
    }
    return lines;
}
