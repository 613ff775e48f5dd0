// Feeds arbitrary bytes to the .ods reader as a file's content and reads every table.
// Repeated rows and columns must not make a small file expensive; a damaged file must end
// in a SheetError.
#include "SheetFuzz.h"
#include "sheets/OdsSource.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(FuzzSupport::Bytes(data, size));
    buffer->open(QIODevice::ReadOnly);
    try {
        sheets::OdsSource source(std::move(buffer), QStringLiteral("fuzz.ods"), SheetFuzz::Limits());
        SheetFuzz::ReadAll(source);
    } catch (const sheets::SheetError& e) {
        FUZZ_CHECK(!e.Message().isEmpty());
    }
    return 0;
}
