#include "printing/EnvelopePdf.h"

#include "envelope/PrintError.h"

#include <cstring>
#include <zlib.h>

namespace {

constexpr uchar kWhite = 0xFF;

// First and last byte of p[0..n) that is not white paper, -1 when there is none. Whole
// words at a time: most of an envelope's rows are blank.
qsizetype firstInk(const uchar* p, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) {
        quint64 w[4];
        std::memcpy(w, p + i, sizeof w);
        if ((w[0] & w[1] & w[2] & w[3]) != ~quint64(0))
            break;
    }
    for (; i < n; ++i)
        if (p[i] != kWhite)
            return i;
    return -1;
}

qsizetype lastInk(const uchar* p, qsizetype n)
{
    qsizetype i = n;
    for (; i >= 32; i -= 32) {
        quint64 w[4];
        std::memcpy(w, p + i - 32, sizeof w);
        if ((w[0] & w[1] & w[2] & w[3]) != ~quint64(0))
            break;
    }
    for (--i; i >= 0; --i)
        if (p[i] != kWhite)
            return i;
    return -1;
}

// The picture in a format whose white is all bytes 0xFF: 24-bit RGB, or 32-bit with its
// padding byte set, as the renderer and the turn leave them.
QImage scannable(const QImage& image)
{
    if (image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB888);
}

int bytesPerPixel(const QImage& image)
{
    return image.format() == QImage::Format_RGB888 ? 3 : 4;
}

inline void rgbAt(const uchar* p, int bpp, uchar& r, uchar& g, uchar& b)
{
    if (bpp == 3) {
        r = p[0];
        g = p[1];
        b = p[2];
    } else {  // 0xAARRGGBB in memory order B, G, R, A
        r = p[2];
        g = p[1];
        b = p[0];
    }
}

bool isGrey(const QImage& image, const QRect& region)
{
    const int bpp = bytesPerPixel(image);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const uchar* p = image.constScanLine(y) + qsizetype(region.left()) * bpp;
        for (int x = 0; x < region.width(); ++x, p += bpp) {
            uchar r, g, b;
            rgbAt(p, bpp, r, g, b);
            if (r != g || g != b)
                return false;
        }
    }
    return true;
}

// The region's samples, deflated. Run-length matching suits the long runs of white and
// black that text leaves, at a fraction of the cost of a full match search.
QByteArray deflateRegion(const QImage& image, const QRect& region, bool grey)
{
    const int bpp = bytesPerPixel(image);
    const int channels = grey ? 1 : 3;
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        throw PrintError(QStringLiteral("Das Druckbild konnte nicht komprimiert werden."));
    QByteArray out(qsizetype(region.width()) * channels * 16 + 1024, Qt::Uninitialized);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    // Runs deflate until it took all input (or, finishing, wrote its end), growing the output.
    auto run = [&](int flush) {
        for (;;) {
            if (z.avail_out == 0) {
                const qsizetype used = out.size();
                out.resize(used * 2);
                z.next_out = reinterpret_cast<Bytef*>(out.data()) + used;
                z.avail_out = uInt(out.size() - used);
            }
            const int status = deflate(&z, flush);
            if (flush == Z_FINISH ? status == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0)
                return;
            if (status == Z_STREAM_ERROR)
                throw PrintError(QStringLiteral("Das Druckbild konnte nicht komprimiert werden."));
        }
    };
    std::vector<uchar> row(size_t(region.width()) * size_t(channels));
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const uchar* p = image.constScanLine(y) + qsizetype(region.left()) * bpp;
        uchar* d = row.data();
        for (int x = 0; x < region.width(); ++x, p += bpp) {
            uchar r, g, b;
            rgbAt(p, bpp, r, g, b);
            *d++ = r;
            if (!grey) {
                *d++ = g;
                *d++ = b;
            }
        }
        z.next_in = row.data();
        z.avail_in = uInt(row.size());
        run(Z_NO_FLUSH);
    }
    run(Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray num(double v)
{
    QByteArray s = QByteArray::number(v, 'f', 4);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s == "-0" ? QByteArray("0") : s;
}

// Rows of ink closer than this to the previous ink (in dots) share one embedded picture:
// the lines of a block and the banner above it, but not the sender and the address.
constexpr int kMergeGap = 200;

} // namespace

std::vector<QRect> InkRegions(const QImage& source, int mergeGap)
{
    std::vector<QRect> regions;
    if (source.isNull())
        return regions;
    const QImage image = scannable(source);
    const int bpp = bytesPerPixel(image);
    const qsizetype rowBytes = qsizetype(image.width()) * bpp;
    int top = -1, lastRow = -1, left = 0, right = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* p = image.constScanLine(y);
        const qsizetype first = firstInk(p, rowBytes);
        if (first < 0)
            continue;
        const int l = int(first / bpp);
        const int r = int(lastInk(p, rowBytes) / bpp);
        if (top >= 0 && y - lastRow - 1 >= mergeGap) {
            regions.emplace_back(QPoint(left, top), QPoint(right, lastRow));
            top = -1;
        }
        if (top < 0) {
            top = y;
            left = l;
            right = r;
        } else {
            left = std::min(left, l);
            right = std::max(right, r);
        }
        lastRow = y;
    }
    if (top >= 0)
        regions.emplace_back(QPoint(left, top), QPoint(right, lastRow));
    return regions;
}

QByteArray EnvelopePagePdf(const QSizeF& sheetPoints, int dpi, const std::vector<PagePicture>& pictures,
                           PageTurn turn)
{
    if (dpi <= 0)
        throw PrintError(QStringLiteral("Die Druckauflösung %1 dpi ist ungültig.").arg(dpi));
    const double pt = 72.0 / dpi;  // points per dot
    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<qsizetype> offsets;
    auto object = [&](const QByteArray& head, const QByteArray& stream = {}, bool isStream = false) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(qsizetype(offsets.size())) + " 0 obj\n" + head;
        if (isStream) {
            pdf += "\nstream\n";
            pdf += stream;
            pdf += "\nendstream";
        }
        pdf += "\nendobj\n";
    };

    QByteArray content;
    QByteArray xobjects;
    struct Embedded
    {
        QByteArray head, data;
    };
    std::vector<Embedded> images;
    for (const PagePicture& picture : pictures) {
        if (picture.image.isNull() || picture.target.isEmpty())
            continue;
        const QImage image = scannable(picture.image);
        const double sx = double(picture.target.width()) / image.width();
        const double sy = double(picture.target.height()) / image.height();
        for (const QRect& region : InkRegions(image, kMergeGap)) {
            const bool grey = isGrey(image, region);
            const QByteArray data = deflateRegion(image, region, grey);
            const QByteArray name = "/I" + QByteArray::number(qsizetype(images.size()));
            images.push_back({"<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(region.width()) +
                                  " /Height " + QByteArray::number(region.height()) + " /ColorSpace " +
                                  (grey ? "/DeviceGray" : "/DeviceRGB") +
                                  " /BitsPerComponent 8 /Filter /FlateDecode /Length " +
                                  QByteArray::number(data.size()) + " >>",
                              data});
            // The image's unit square (y up) onto its rectangle in the frame (points, y down),
            // the frame onto the sheet, the sheet into PDF space (y up).
            const double u = (picture.target.x() + region.x() * sx) * pt;
            const double v = (picture.target.y() + region.y() * sy) * pt;
            const double w = region.width() * sx * pt;
            const double h = region.height() * sy * pt;
            const QTransform m = QTransform(w, 0, 0, -h, u, v + h) * SheetLayout::FrameToSheet(turn, sheetPoints) *
                                 QTransform(1, 0, 0, -1, 0, sheetPoints.height());
            const QByteArray matrix = num(m.m11()) + ' ' + num(m.m12()) + ' ' + num(m.m21()) + ' ' + num(m.m22()) +
                                      ' ' + num(m.dx()) + ' ' + num(m.dy());
            content += "q " + matrix + " cm " + name + " Do Q\n";
        }
    }

    const qsizetype firstImage = 5;
    for (size_t i = 0; i < images.size(); ++i)
        xobjects += " /I" + QByteArray::number(qsizetype(i)) + ' ' + QByteArray::number(firstImage + qsizetype(i)) +
                    " 0 R";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(sheetPoints.width()) + ' ' +
           num(sheetPoints.height()) + "] /Resources << /XObject <<" + xobjects + " >> >> /Contents 4 0 R >>");
    object("<< /Length " + QByteArray::number(content.size()) + " >>", content, true);
    for (const Embedded& e : images)
        object(e.head, e.data, true);

    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(qsizetype(offsets.size() + 1)) + "\n0000000000 65535 f \n";
    for (qsizetype off : offsets)
        pdf += QByteArray::number(off).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(qsizetype(offsets.size() + 1)) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}
