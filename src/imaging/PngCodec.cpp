#include "imaging/PngCodec.h"

#include "imaging/ImageError.h"

#include <png.h>
#include <vector>

namespace {

// libpng's simplified API reports failures through the return value and image.message,
// so no longjmp crosses our frames.
struct PngImage
{
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    QString message() const { return QString::fromLocal8Bit(image.message); }
};

} // namespace

namespace PngCodec {

QSize peekSize(const QByteArray& bytes)
{
    PngImage p;
    if (!png_image_begin_read_from_memory(&p.image, bytes.constData(), size_t(bytes.size())))
        return {};
    return QSize(int(p.image.width), int(p.image.height));
}

QImage decode(const QByteArray& bytes, qint64 maxPixels)
{
    PngImage p;
    if (bytes.isEmpty() || !png_image_begin_read_from_memory(&p.image, bytes.constData(), size_t(bytes.size())))
        throw ImageError(QStringLiteral("Die Datei ist kein lesbares PNG-Bild: %1").arg(p.message()));
    const qint64 pixels = qint64(p.image.width) * qint64(p.image.height);
    if (pixels <= 0 || pixels > maxPixels)
        throw ImageError(QStringLiteral("Das Bild ist zu groß (%1 × %2 Pixel).").arg(p.image.width).arg(p.image.height));
    // BGRA in memory is what QImage::Format_ARGB32 holds on a little-endian machine;
    // use the byte order that matches this machine.
    p.image.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage out(int(p.image.width), int(p.image.height), QImage::Format_ARGB32);
    if (out.isNull())
        throw ImageError(QStringLiteral("Für das Bild ist nicht genug Speicher vorhanden."));
    if (!png_image_finish_read(&p.image, nullptr, out.bits(), png_int_32(out.bytesPerLine()), nullptr))
        throw ImageError(QStringLiteral("Die Datei ist kein lesbares PNG-Bild: %1").arg(p.message()));
    return out;
}

QByteArray encode(const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        throw ImageError(QStringLiteral("Ein leeres Bild kann nicht als PNG gespeichert werden."));
    const bool alpha = image.hasAlphaChannel();
    const QImage src = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    PngImage p;
    p.image.width = png_uint_32(src.width());
    p.image.height = png_uint_32(src.height());
    p.image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&p.image, nullptr, &size, 0, src.constBits(), png_int_32(src.bytesPerLine()), nullptr))
        throw ImageError(QStringLiteral("Das Bild konnte nicht als PNG gespeichert werden: %1").arg(p.message()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (!png_image_write_to_memory(&p.image, out.data(), &size, 0, src.constBits(), png_int_32(src.bytesPerLine()), nullptr))
        throw ImageError(QStringLiteral("Das Bild konnte nicht als PNG gespeichert werden: %1").arg(p.message()));
    out.truncate(qsizetype(size));
    return out;
}

} // namespace PngCodec
