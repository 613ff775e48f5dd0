// Feeds arbitrary bytes to the .xlsx reader as a file's content and reads every sheet.
// A damaged, encrypted or oversized file must end in a SheetError, never in a crash, a
// sanitizer report or a hang.
#include "SheetFuzz.h"
#include "sheets/XlsxSource.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(FuzzSupport::Bytes(data, size));
    buffer->open(QIODevice::ReadOnly);
    try {
        sheets::XlsxSource source(std::move(buffer), QStringLiteral("fuzz.xlsx"), SheetFuzz::Limits());
        SheetFuzz::ReadAll(source);
    } catch (const sheets::SheetError& e) {
        FUZZ_CHECK(!e.Message().isEmpty());
    }
    return 0;
}
