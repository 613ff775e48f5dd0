// Feeds arbitrary bytes to the zip layer under the spreadsheet readers: the directory,
// then every entry unpacked, whole and as a stream. Whatever the sizes claim, no entry may
// unpack past the limits, and a damaged zip must end in a SheetError.
#include "SheetFuzz.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(FuzzSupport::Bytes(data, size));
    buffer.open(QIODevice::ReadOnly);
    const sheets::ZipLimits limits = SheetFuzz::Limits();
    try {
        sheets::ZipArchive zip(buffer, QStringLiteral("fuzz.zip"), limits);
        int n = 0;
        for (const QString& name : zip.EntryNames()) {
            if (++n > 32)
                break;
            try {
                const QByteArray whole = zip.ReadAll(name, 1 << 20);
                FUZZ_CHECK(whole.size() <= (1 << 20));
            } catch (const sheets::SheetError&) {
            }
            try {
                std::unique_ptr<QIODevice> stream = zip.Open(name);
                char chunk[4096];
                qint64 total = 0, got = 0;
                while ((got = stream->read(chunk, sizeof chunk)) > 0)
                    total += got;
                FUZZ_CHECK(total <= limits.EntryBytes);
                zip.Check(stream.get());
            } catch (const sheets::SheetError& e) {
                FUZZ_CHECK(!e.Message().isEmpty());
            }
        }
    } catch (const sheets::SheetError& e) {
        FUZZ_CHECK(!e.Message().isEmpty());
    }
    return 0;
}
