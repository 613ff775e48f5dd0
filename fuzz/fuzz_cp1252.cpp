// The Windows-1252 codec: every byte string decodes and encodes back to itself, and any
// text encodes to at most one byte per UTF-16 unit without failing.
#include "FuzzSupport.h"
#include "shell/Cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const QString text = Cp1252::decode(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(Cp1252::encode(text) == bytes);

    // The same bytes read as UTF-8, as texts from the keyboard or a UTF-8 import arrive.
    const QString unicode = QString::fromUtf8(bytes);
    const QByteArray encoded = Cp1252::encode(unicode);
    FUZZ_CHECK(encoded.size() <= unicode.size());
    // What the code page holds survives a second round unchanged.
    FUZZ_CHECK(Cp1252::encode(Cp1252::decode(encoded)) == encoded);
    return 0;
}
