#pragma once
#include "sheets/TableSource.h"

namespace sheets {

// Hands rows on to a reader's caller: trailing empty cells left off, empty rows held back
// until a row with content follows (so a sheet's long tail of empty, formatted rows costs
// nothing), and no more rows or columns than a spreadsheet program allows.
class RowSink
{
public:
    static constexpr qint64 kMaxRows = 1048576;
    static constexpr qsizetype kMaxColumns = 16384;

    explicit RowSink(const TableSource::RowHandler& onRow) : m_onRow(onRow) {}

    // count empty rows (file row numbers move on).
    void Empty(qint64 count);
    // The row, times over (a repeated row); false when the caller said stop or the
    // sheet's row limit is reached. row's trailing empty cells are removed.
    bool Emit(Row& row, qint64 times, double fraction);
    bool Stopped() const { return m_stopped; }
    qint64 RowsSeen() const { return m_rows + m_pendingEmpty; }

private:
    bool send(const Row& row, double fraction);

    const TableSource::RowHandler& m_onRow;
    qint64 m_rows = 0;
    qint64 m_pendingEmpty = 0;
    bool m_stopped = false;
};

} // namespace sheets
