#pragma once
#include "sheets/TableSource.h"
#include "sources/AddressSource.h"
#include "sources/ColumnGuess.h"

#include <optional>

// The rows of one sheet of a table as address records, each column to its target. Where
// several columns share a target, parts of a line are joined by a blank, remarks by a line
// break, and of the other values the first that is not empty is taken.
class TableAdressenSource : public AddressSource
{
public:
    // headerRow: the first row names the columns and is no address.
    TableAdressenSource(sheets::TableSource& table, int sheet, ColumnTargets targets, bool headerRow);

    // Raises sheets::SheetError when the file cannot be read.
    void ReadRecords(const RecordHandler& onRecord) override;

    // The record of one row; nothing for a row without any text. A postal code that a
    // spreadsheet stored as a plain number of four digits gets back its leading zero when
    // the address is in Germany: a format of the file (Formatted) is trusted as it stands.
    static std::optional<AddressRecord> RecordOf(const sheets::Row& row, const ColumnTargets& targets);

private:
    sheets::TableSource& m_table;
    int m_sheet;
    ColumnTargets m_targets;
    bool m_headerRow;
};
