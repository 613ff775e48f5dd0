// Feeds arbitrary bytes to the vCard reader and maps every card it finds, as the import
// does. Any crash, sanitizer report or endless loop is a fault; the results are only
// looked at so that nothing is optimised away.
#include "FuzzSupport.h"
#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    qsizetype seen = 0;
    for (const Vcard& card : ReadVcards(bytes)) {
        for (const VcardProperty& p : card.Properties) {
            seen += p.Components().size() + p.Text().size() + p.Preference();
            seen += p.HasType(u"pref") ? 1 : 0;
        }
        if (const std::optional<VcardAdresse> a = MapVcard(card)) {
            // The remark never exceeds what the store holds.
            FUZZ_CHECK(a->Adresse.Bemerkung.size() <= 2 * kVcardBemerkungLimit);
            seen += a->Adresse.Line1.size() + a->Adresse.Line5.size();
        }
    }
    volatile qsizetype sink = seen;
    (void)sink;
    return 0;
}
