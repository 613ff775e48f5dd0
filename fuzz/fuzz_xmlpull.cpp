// Feeds arbitrary bytes to the pull reader that reads the rows of .xlsx and .ods files,
// handed over in pieces of a size the first byte chooses (1 to 64 bytes, or whole), so
// that tokens, references and UTF-8 sequences are cut at every place. Any crash,
// sanitizer report or endless run of tokens is a fault; after an error no token follows.
#include "FuzzSupport.h"
#include "sheets/XmlPull.h"
#include "support/DribbleDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    const qint64 piece = choice >= 192 ? qint64(1) << 20 : 1 + choice % 64;
    Dribble device(FuzzSupport::Bytes(data + 1, size - 1), piece);
    sheets::xml::PullReader reader(&device);
    // Every token but a document's end takes at least one byte, an empty element two
    // tokens from its bytes: more than this is a reader that does not move on.
    const size_t bound = 2 * size + 8;
    size_t tokens = 0, seen = 0, starts = 0;
    while (!reader.AtEnd()) {
        FUZZ_CHECK(++tokens <= bound);
        switch (reader.ReadNext()) {
        case sheets::xml::PullReader::StartElement:
            seen += size_t(reader.Name().size() + reader.NamespaceUri().size());
            for (const auto& a : reader.Attributes())
                seen += size_t(a.ns.size() + a.name.size() + a.value.size());
            seen += size_t(reader.Attribute({}, "r").size());
            // Now and then the callers' shortcuts instead of walking the element.
            if (++starts % 7 == choice % 7)
                seen += size_t(reader.ReadElementText(choice & 1).size());
            else if (starts % 11 == choice % 11)
                reader.SkipCurrentElement();
            break;
        case sheets::xml::PullReader::Characters:
            seen += size_t(reader.Text().size());
            break;
        case sheets::xml::PullReader::Invalid:
            FUZZ_CHECK(reader.HasError());
            break;
        default:
            break;
        }
    }
    volatile size_t sink = seen;
    (void)sink;
    return 0;
}
