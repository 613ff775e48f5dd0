#pragma once
// Shared by the spreadsheet fuzz targets: reads every sheet of a source as the import
// would, within limits that keep one run short, and checks what every row must be.
#include "FuzzSupport.h"
#include "sheets/RowSink.h"
#include "sheets/TableSource.h"
#include "sheets/ZipArchive.h"

namespace SheetFuzz {

// Small limits: a few megabytes unpacked are enough to reach every path of the readers.
inline sheets::ZipLimits Limits()
{
    sheets::ZipLimits limits;
    limits.EntryBytes = 8 << 20;
    limits.TotalBytes = 16 << 20;
    limits.RatioFloor = 1 << 20;
    return limits;
}

inline void ReadAll(sheets::TableSource& source)
{
    const QStringList names = source.SheetNames();
    for (int s = 0; s < names.size() && s < 8; ++s) {
        qint64 rows = 0, cells = 0;
        double last = 0;
        source.ReadRows(s, [&](const sheets::Row& row, double fraction) {
            FUZZ_CHECK(row.size() <= size_t(sheets::RowSink::kMaxColumns));
            FUZZ_CHECK(row.empty() || !row.back().Text.isEmpty()); // trailing empty cells are left off
            FUZZ_CHECK(fraction >= 0 && fraction <= 1);
            (void)last;
            last = fraction;
            cells += qint64(row.size());
            return ++rows < 5000 && cells < 200000;
        });
    }
}

} // namespace SheetFuzz
