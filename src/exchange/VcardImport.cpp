#include "exchange/VcardImport.h"

#include "exchange/AdressenImportFrame.h"
#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"

namespace {

class VcardSource : public AdressenImportSource
{
public:
    void Read(const QByteArray& bytes) override { m_stream.emplace(bytes); }

    std::optional<ImportedAdresse> Next() override
    {
        while (m_stream->Next(m_card)) {
            std::optional<VcardAdresse> mapped = MapVcard(m_card);
            if (!mapped) {
                ++m_skipped;
                continue;
            }
            ++m_imported;
            if (mapped->BemerkungGekuerzt)
                ++m_shortened;
            return std::move(mapped->Adresse);
        }
        return std::nullopt;
    }

    QString SuccessText() const override { return VcardImportSuccessText(m_imported, m_skipped, m_shortened); }

private:
    std::optional<VcardStream> m_stream;
    Vcard m_card; // one card at a time, its storage used again
    int m_imported = 0;
    int m_skipped = 0;
    int m_shortened = 0;
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
