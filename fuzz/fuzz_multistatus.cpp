// Feeds arbitrary bytes to the WebDAV multistatus reader, as a server's answer would reach
// it. Any crash, sanitizer report or endless loop is a fault; an answer that is not a
// well-formed multistatus must come back empty.
#include "FuzzSupport.h"
#include "carddav/DavMultistatus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const DavMultistatus m = ParseMultistatus(bytes);
    if (!m.Valid)
        FUZZ_CHECK(m.Responses.empty() && m.SyncToken.isEmpty());
    qsizetype seen = m.SyncToken.size();
    for (const DavResponse& r : m.Responses) {
        seen += r.Href.size() + r.Status + r.Text(kDavNs, u"getetag").size();
        for (const DavProperty& p : r.Props)
            seen += p.Text.size() + p.Hrefs.size() + p.Children.size();
        FUZZ_CHECK(r.Status == 0 || (r.Status >= 100 && r.Status <= 999));
    }
    volatile qsizetype sink = seen;
    (void)sink;
    return 0;
}
