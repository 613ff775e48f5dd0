// The CSV import reader: byte-order-mark detection, line splitting and record parsing of
// an arbitrary file, as the import runs them before anything is written.
#include "FuzzSupport.h"
#include "exchange/ImportRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = DecodeImportText(FuzzSupport::Bytes(data, size));
    const QStringList lines = SplitImportLines(text);
    for (const QString& line : lines) {
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
        const std::optional<ImportRecord> r = ImportRecord::Parse(line);
        if (!r)
            continue;
        // Line1 and Line3 are single fields; no field keeps its separator.
        FUZZ_CHECK(!r->Line1.contains(u';') && !r->Line3.contains(u';'));
        FUZZ_CHECK(line.startsWith(r->Line1));
    }
    return 0;
}
