#include "imaging/JpegCodec.h"

#include "imaging/ImageError.h"
#include "imaging/PictureFile.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {

// libjpeg's default error exit ends the process; jump back to the caller instead.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void silentMessage(j_common_ptr) {}

ErrorManager* setupErrors(ErrorManager& em)
{
    jpeg_std_error(&em.pub);
    em.pub.error_exit = errorExit;
    em.pub.output_message = silentMessage;
    em.message[0] = 0;
    return &em;
}


// The libjpeg calls live in these functions, which hold no C++ objects, so a jump back
// from the error handler skips no destructor and reads no clobbered local.
struct Encoder
{
    jpeg_compress_struct cinfo;
    ErrorManager em;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool compress(Encoder& e, const uchar* bits, qsizetype stride, int width, int height, int quality)
{
    e.cinfo.err = &setupErrors(e.em)->pub;
    if (setjmp(e.em.jump)) {
        jpeg_destroy_compress(&e.cinfo);
        return false;
    }
    jpeg_create_compress(&e.cinfo);
    jpeg_mem_dest(&e.cinfo, &e.buffer, &e.size);
    e.cinfo.image_width = JDIMENSION(width);
    e.cinfo.image_height = JDIMENSION(height);
    e.cinfo.input_components = 3;
    e.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bits + qsizetype(e.cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    jpeg_destroy_compress(&e.cinfo);
    return true;
}

struct Decoder
{
    jpeg_decompress_struct cinfo;
    ErrorManager em;
    bool cmyk = false;
};

bool readHeader(Decoder& d, const unsigned char* bytes, unsigned long size)
{
    d.cinfo.err = &setupErrors(d.em)->pub;
    if (setjmp(d.em.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, bytes, size);
    jpeg_read_header(&d.cinfo, TRUE);
    d.cmyk = d.cinfo.jpeg_color_space == JCS_CMYK || d.cinfo.jpeg_color_space == JCS_YCCK;
    d.cinfo.out_color_space = d.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&d.cinfo);
    return true;
}

bool readPixels(Decoder& d, uchar* bits, qsizetype stride, unsigned char* cmykRow)
{
    if (setjmp(d.em.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    jpeg_start_decompress(&d.cinfo);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        uchar* dst = bits + qsizetype(d.cinfo.output_scanline) * stride;
        JSAMPROW row = d.cmyk ? cmykRow : dst;
        jpeg_read_scanlines(&d.cinfo, &row, 1);
        if (d.cmyk) {
            // Adobe writes CMYK inverted; multiplying by K gives the colour.
            for (JDIMENSION x = 0; x < d.cinfo.output_width; ++x) {
                const unsigned k = cmykRow[4 * x + 3];
                for (int c = 0; c < 3; ++c)
                    dst[3 * x + c] = uchar(cmykRow[4 * x + c] * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    jpeg_destroy_decompress(&d.cinfo);
    return true;
}

QImage flattenOnWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    // Transparent areas become white, as they look on paper.
    QImage white(image.size(), QImage::Format_RGB888);
    const QImage src = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uchar* d = white.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(s[x]);
            d[3 * x] = uchar(qRed(s[x]) + (255 - a));
            d[3 * x + 1] = uchar(qGreen(s[x]) + (255 - a));
            d[3 * x + 2] = uchar(qBlue(s[x]) + (255 - a));
        }
    }
    return white;
}

} // namespace

namespace JpegCodec {

QByteArray encode(const QImage& image, int quality)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        throw ImageError(QStringLiteral("Ein leeres Bild kann nicht als JPEG gespeichert werden."));
    const QImage rgb = flattenOnWhite(image);
    Encoder e{};
    const bool ok = compress(e, rgb.constBits(), rgb.bytesPerLine(), rgb.width(), rgb.height(), quality);
    QByteArray out;
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(e.buffer), qsizetype(e.size));
    free(e.buffer);
    if (!ok)
        throw ImageError(QStringLiteral("Das Bild konnte nicht als JPEG gespeichert werden: %1")
                             .arg(QString::fromLocal8Bit(e.em.message)));
    return out;
}

QImage decode(const QByteArray& bytes, bool rejectDamaged)
{
    if (bytes.isEmpty())
        throw ImageError(QStringLiteral("Das Bild enthält keine Daten."));
    Decoder d{};
    auto fail = [&d] {
        return ImageError(QStringLiteral("Das Bild ist kein lesbares JPEG: %1").arg(QString::fromLocal8Bit(d.em.message)));
    };
    if (!readHeader(d, reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size())))
        throw fail();
    // The frame header alone names the size: a few bytes (a damaged banner in the
    // database) could otherwise ask for gigabytes that libjpeg then fills with grey.
    const qint64 pixels = qint64(d.cinfo.output_width) * qint64(d.cinfo.output_height);
    if (pixels > PictureFile::MaxPixels) {
        const QString size = QStringLiteral("%1 × %2").arg(d.cinfo.output_width).arg(d.cinfo.output_height);
        jpeg_destroy_decompress(&d.cinfo);
        throw ImageError(QStringLiteral("Das Bild ist zu groß (%1 Pixel).").arg(size));
    }
    QImage image(int(d.cinfo.output_width), int(d.cinfo.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&d.cinfo);
        throw ImageError(QStringLiteral("Das Bild ist zu groß."));
    }
    std::vector<unsigned char> cmykRow(d.cmyk ? size_t(d.cinfo.output_width) * 4 : 0);
    if (!readPixels(d, image.bits(), image.bytesPerLine(), cmykRow.data()))
        throw fail();
    // The default emit_message counts libjpeg's warnings (premature end, corrupt data).
    if (rejectDamaged && d.em.pub.num_warnings > 0)
        throw ImageError(QStringLiteral("Das JPEG-Bild ist beschädigt oder unvollständig."));
    return image;
}

} // namespace JpegCodec
