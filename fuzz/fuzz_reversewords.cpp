// Sort names from arbitrary address lines.
#include "FuzzSupport.h"
#include "app/ReverseWords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString line = QString::fromUtf8(FuzzSupport::Bytes(data, size));
    const QString name = ReverseWords(line);
    // Words are only reordered, unquoted and joined by one blank: every blank in the
    // result stands for a separator or a pair of quotes of the line.
    FUZZ_CHECK(name.size() <= line.size());
    return 0;
}
