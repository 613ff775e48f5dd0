// The gettext catalogue reader (the label database's German descriptions): any file gives
// a catalogue, empty when it is none. A message it translates never comes back empty, a
// message it does not know comes back unchanged, and reading the same bytes twice gives
// the same translations.
#include "FuzzSupport.h"
#include "labels/MoCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    const MoCatalog catalog = MoCatalog::FromBytes(bytes);
    // Probes: the texts the file holds between its zero bytes (the messages of a
    // catalogue are among them), and one no catalogue holds.
    QList<QByteArray> probes = bytes.split('\0');
    if (probes.size() > 64)
        probes.resize(64);
    probes << QByteArray("Address Labels") << QByteArray();
    const MoCatalog again = MoCatalog::FromBytes(bytes);
    for (const QByteArray& probe : probes) {
        const QString message = QString::fromUtf8(probe);
        const QString translated = catalog.Translate(message);
        FUZZ_CHECK(message.isEmpty() || !translated.isEmpty());
        FUZZ_CHECK(again.Translate(message) == translated);
        if (catalog.isEmpty())
            FUZZ_CHECK(translated == message);
    }
    FUZZ_CHECK(catalog.Translate(QStringLiteral("\x01 kein Eintrag \x02")) == QStringLiteral("\x01 kein Eintrag \x02"));
    return 0;
}
