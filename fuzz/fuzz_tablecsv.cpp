// Feeds arbitrary bytes to the delimited-text reader: the guess of delimiter and encoding,
// then the rows under the guess and under every other choice the user can make.
#include "SheetFuzz.h"
#include "sheets/DelimitedSource.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const sheets::TextOptions guessed = sheets::GuessTextOptionsOf(bytes);
    FUZZ_CHECK(guessed.Delimiter == u';' || guessed.Delimiter == u',' || guessed.Delimiter == u'\t');
    const qsizetype lineBreaks = bytes.count('\n') + bytes.count('\r');
    const sheets::TextOptions choices[] = {
        guessed,
        {u',', sheets::TextEncoding::Windows1252},
        {u'\t', sheets::TextEncoding::Utf8},
    };
    for (const sheets::TextOptions& options : choices) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(bytes);
        buffer->open(QIODevice::ReadOnly);
        sheets::DelimitedSource source(std::move(buffer), QStringLiteral("fuzz"), options);
        FUZZ_CHECK(source.SheetNames().size() == 1);
        qint64 rows = 0;
        source.ReadRows(0, [&](const sheets::Row& row, double fraction) {
            FUZZ_CHECK(fraction >= 0 && fraction <= 1);
            FUZZ_CHECK(row.empty() || !row.back().Text.isEmpty());
            ++rows;
            return true;
        });
        // Every record but the last ends in a line break.
        FUZZ_CHECK(rows <= lineBreaks + 1);
    }
    return 0;
}
