#pragma once
// A table held in memory, for the tests of what reads tables: sheets of rows of cells, or
// a failure after a number of rows as a damaged file would give.
#include "sheets/TableSource.h"

#include <optional>

class MemoryTableSource : public sheets::TableSource
{
public:
    struct Sheet
    {
        QString name;
        std::vector<sheets::Row> rows;
    };

    explicit MemoryTableSource(std::vector<Sheet> sheets) : m_sheets(std::move(sheets)) {}

    // One sheet of text cells.
    static MemoryTableSource OfTexts(const std::vector<QStringList>& rows)
    {
        Sheet sheet{QStringLiteral("Tabelle1"), {}};
        for (const QStringList& texts : rows)
            sheet.rows.push_back(Texts(texts));
        return MemoryTableSource({sheet});
    }

    static sheets::Row Texts(const QStringList& texts)
    {
        sheets::Row row;
        for (const QString& t : texts)
            row.push_back({t});
        return row;
    }

    QStringList SheetNames() const override
    {
        QStringList names;
        for (const Sheet& s : m_sheets)
            names << s.name;
        return names;
    }

    void ReadRows(int sheet, const RowHandler& onRow) override
    {
        ++readCalls;
        const std::vector<sheets::Row>& rows = m_sheets.at(size_t(sheet)).rows;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (failAfter && int(i) >= *failAfter)
                throw sheets::SheetError(QStringLiteral("Die Datei ist beschädigt."));
            if (!onRow(rows[i], double(i + 1) / double(rows.size())))
                return;
        }
    }

    std::optional<int> failAfter; // rows handed on before the file "breaks off"
    int readCalls = 0;

private:
    std::vector<Sheet> m_sheets;
};
