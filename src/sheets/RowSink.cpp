#include "sheets/RowSink.h"

namespace sheets {

void RowSink::Empty(qint64 count)
{
    if (count > 0)
        m_pendingEmpty = std::min(m_pendingEmpty + count, kMaxRows);
}

bool RowSink::send(const Row& row, double fraction)
{
    if (m_stopped)
        return false;
    if (m_rows >= kMaxRows) {
        m_stopped = true;
        return false;
    }
    ++m_rows;
    if (!m_onRow(row, std::clamp(fraction, 0.0, 1.0)))
        m_stopped = true;
    return !m_stopped;
}

bool RowSink::Emit(Row& row, qint64 times, double fraction)
{
    while (!row.empty() && row.back().Text.isEmpty())
        row.pop_back();
    if (row.empty()) {
        Empty(times);
        return !m_stopped;
    }
    static const Row empty;
    for (; m_pendingEmpty > 0; --m_pendingEmpty)
        if (!send(empty, fraction))
            return false;
    for (qint64 i = 0; i < times; ++i)
        if (!send(row, fraction))
            return false;
    return true;
}

} // namespace sheets
