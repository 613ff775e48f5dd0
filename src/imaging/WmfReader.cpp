#include "imaging/WmfReader.h"

#include "imaging/ImageError.h"
#include "imaging/PngCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace {

// Owns the libwmf player and its memory source for one decoding.
class Player
{
public:
    Player()
    {
        wmfAPI_Options options{};
        options.function = wmf_gd_function;
        const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&m_api, flags, &options) != wmf_E_None || !m_api) {
            if (m_api)
                wmf_api_destroy(m_api);
            m_api = nullptr;
            throw ImageError(QStringLiteral("Die WMF-Bibliothek konnte nicht gestartet werden."));
        }
    }
    ~Player()
    {
        if (m_open)
            wmf_mem_close(m_api);
        wmf_api_destroy(m_api);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    wmfAPI* api() const { return m_api; }
    bool open(QByteArray& bytes)
    {
        m_open = wmf_mem_open(m_api, reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) == wmf_E_None;
        return m_open;
    }

private:
    wmfAPI* m_api = nullptr;
    bool m_open = false;
};

// A FILE that writes into memory, for libwmf's file output.
struct MemoryFile
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&buffer, &size);
    ~MemoryFile()
    {
        if (file)
            std::fclose(file);
        std::free(buffer);
    }
    QByteArray close()
    {
        if (file && std::fclose(file) == 0) {
            file = nullptr;
            return QByteArray(buffer, qsizetype(size));
        }
        file = nullptr;
        return {};
    }
};

QString unreadable() { return QStringLiteral("Die Datei ist keine lesbare WMF-Grafik."); }

quint32 le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}
quint16 le16(const QByteArray& b, qsizetype at) { return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8); }

} // namespace

namespace WmfReader {

bool IsPlausibleMetafile(const QByteArray& bytes)
{
    qsizetype at = 0;
    if (bytes.size() >= 22 && le32(bytes, 0) == 0x9AC6CDD7u)
        at = 22;  // placeable header
    if (bytes.size() - at < 18)
        return false;
    const quint16 type = le16(bytes, at), headerWords = le16(bytes, at + 2), version = le16(bytes, at + 4);
    const quint32 maxRecord = le32(bytes, at + 12);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return false;
    at += 18;
    if (maxRecord < 3 || qint64(maxRecord) * 2 > bytes.size() - at)
        return false;
    while (bytes.size() - at >= 6) {
        const quint32 words = le32(bytes, at);
        const quint16 function = le16(bytes, at + 4);
        if (words < 3 || words > maxRecord || qint64(words) * 2 > bytes.size() - at)
            return false;
        if (function == 0)
            return true;
        at += qsizetype(words) * 2;
    }
    return false;
}



QImage decode(const QByteArray& input, qint64 maxPixels)
{
    if (input.isEmpty() || !IsPlausibleMetafile(input))
        throw ImageError(unreadable());
    QByteArray bytes = input;  // libwmf reads through a non-const pointer
    Player player;
    wmfAPI* api = player.api();
    if (!player.open(bytes))
        throw ImageError(unreadable());
    wmfD_Rect bbox{};
    if (wmf_scan(api, 0, &bbox) != wmf_E_None)
        throw ImageError(unreadable());
    unsigned int width = 0, height = 0;
    if (wmf_display_size(api, &width, &height, 96, 96) != wmf_E_None || width == 0 || height == 0)
        throw ImageError(unreadable());
    if (qint64(width) * qint64(height) > maxPixels)
        throw ImageError(QStringLiteral("Das Bild ist zu groß (%1 × %2 Pixel).").arg(width).arg(height));
    // wmf_scan bounds only what is painted (in points); the picture is the whole frame
    // of the metafile, so that unpainted margins stay where they are.
    bbox.TL.x = std::min(bbox.TL.x, 0.0f);
    bbox.TL.y = std::min(bbox.TL.y, 0.0f);
    bbox.BR.x = std::max(bbox.BR.x, float(width) * 72.0f / 96.0f);
    bbox.BR.y = std::max(bbox.BR.y, float(height) * 72.0f / 96.0f);

    wmf_gd_t* gd = WMF_GD_GetData(api);
    if (!(gd->flags & WMF_GD_SUPPORTS_PNG))
        throw ImageError(QStringLiteral("Die WMF-Bibliothek kann keine Bilder erzeugen."));
    // libwmf's own image memory is only released when it writes the picture out itself
    // (the gd image handed to the caller cannot be freed from here), so let it write a PNG
    // into memory and read that.
    MemoryFile png;
    if (!png.file)
        throw ImageError(QStringLiteral("Für das Bild ist nicht genug Speicher vorhanden."));
    gd->type = wmf_gd_png;
    gd->file = png.file;
    gd->flags |= WMF_GD_OUTPUT_FILE;
    gd->width = width;
    gd->height = height;
    gd->bbox = bbox;
    if (wmf_play(api, 0, &bbox) != wmf_E_None)
        throw ImageError(unreadable());
    const QByteArray picture = png.close();
    if (picture.isEmpty())
        throw ImageError(unreadable());
    return PngCodec::decode(picture, maxPixels);
}

} // namespace WmfReader
