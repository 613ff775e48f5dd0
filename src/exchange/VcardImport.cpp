#include "exchange/VcardImport.h"

#include "exchange/AdressenImportFrame.h"
#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"

namespace {

class VcardSource : public AdressenImportSource
{
public:
    void Read(const QByteArray& bytes) override { m_stream.emplace(bytes); }

    void ReadRecords(const RecordHandler& onRecord) override
    {
        while (m_stream->Next(m_card)) {
            const std::optional<AddressRecord> record = VcardRecord(m_card);
            if (!record) {
                ++m_skipped;
                continue;
            }
            // The cards are taken apart as the file is read; a fraction would only guess.
            if (!onRecord(*record, 0.0))
                return;
        }
    }

    QString SuccessText(const ImportCounts& counts) const override
    {
        return VcardImportSuccessText(counts.Imported, m_skipped, counts.Shortened);
    }

private:
    std::optional<VcardStream> m_stream;
    Vcard m_card; // one card at a time, its storage used again
    int m_skipped = 0;
};

QString adressen(int n) { return n == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(n); }

} // namespace

QString VcardImportSuccessText(int imported, int skipped, int shortened)
{
    QString text = QStringLiteral("Die Adressen wurden aus der vCard-Datei importiert.\r\n\r\n");
    text += QStringLiteral("Importiert: %1").arg(adressen(imported));
    text += QStringLiteral("\r\nÜbersprungen (ohne Name und Firma): %1").arg(skipped == 1 ? QStringLiteral("1 Karte")
                                                                                       : QStringLiteral("%1 Karten").arg(skipped));
    if (shortened > 0)
        text += QStringLiteral("\r\n\r\nBei %1 wurde die Bemerkung auf %2 Zeichen gekürzt; der Rest wurde nicht "
                               "übernommen.")
                    .arg(adressen(shortened))
                    .arg(kVcardBemerkungLimit);
    return text;
}

bool ImportVcardFile(AppContext& ctx, const QString& gruppeId, const QString& fileName)
{
    VcardSource source;
    return ImportAdressenFrom(ctx, gruppeId, fileName, source);
}
