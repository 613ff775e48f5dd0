#pragma once
#include "envelope/UmschlagRenderer.h"

#include <QString>

#include <vector>

// The lines of many addresses in one text with the lines' ends: a series of ten thousand
// envelopes then holds a megabyte or two, not an allocation per line of every address.
// Reads like a list of AddressLines.
class PackedAddresses
{
public:
    void append(const AddressLines& lines);
    PackedAddresses& operator<<(const AddressLines& lines)
    {
        append(lines);
        return *this;
    }
    qsizetype size() const { return qsizetype(m_firstLine.size()); }
    bool isEmpty() const { return m_firstLine.empty(); }
    AddressLines operator[](qsizetype i) const;

    class const_iterator
    {
    public:
        const_iterator(const PackedAddresses* list, qsizetype i) : m_list(list), m_i(i) {}
        AddressLines operator*() const { return (*m_list)[m_i]; }
        const_iterator& operator++()
        {
            ++m_i;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return m_i != o.m_i; }

    private:
        const PackedAddresses* m_list;
        qsizetype m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    QString m_text;
    std::vector<qsizetype> m_lineEnd;  // where each line of every address ends in m_text
    std::vector<qsizetype> m_firstLine;  // each address's first line in m_lineEnd
};
