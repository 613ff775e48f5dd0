// Feeds arbitrary bytes to the WebDAV multistatus reader, as a server's answer would reach
// it: whole, and again in pieces of a size the first byte chooses, as the network hands an
// answer over. Any crash, sanitizer report or endless loop is a fault; an answer that is not
// a well-formed multistatus must come back empty, and the pieces must give what the whole
// gives.
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

    if (size > 0) {
        const qsizetype piece = 1 + data[0] % 64;
        std::vector<DavResponse> arrived;
        DavMultistatusReader reader([&](DavResponse&& r) { arrived.push_back(std::move(r)); });
        bool open = true;
        for (qsizetype at = 0; open && at < bytes.size(); at += piece)
            open = reader.AddData(bytes.mid(at, piece));
        const bool valid = open && reader.Finish();
        FUZZ_CHECK(valid == m.Valid);
        if (valid) {
            FUZZ_CHECK(arrived.size() == m.Responses.size());
            for (size_t i = 0; i < arrived.size() && i < m.Responses.size(); ++i) {
                FUZZ_CHECK(arrived[i].Href == m.Responses[i].Href);
                FUZZ_CHECK(arrived[i].Status == m.Responses[i].Status);
                FUZZ_CHECK(arrived[i].Props.size() == m.Responses[i].Props.size());
            }
            FUZZ_CHECK(reader.SyncToken() == m.SyncToken);
        }
    }
    volatile qsizetype sink = seen;
    (void)sink;
    return 0;
}
