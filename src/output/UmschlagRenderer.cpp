#include "output/UmschlagRenderer.h"

#include "app/AppContext.h"
#include "output/PrintError.h"
#include "output/PrintService.h"
#include "output/UmschlagFormat.h"
#include "shell/PrintSettings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/mman.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool isBlank(const QString& line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 32; });
}

// Draws one block of lines from (x, y). Cells are drawn opaque: where a cell meets
// something drawn before (the banner, an earlier cell) it is cleared to white first; on
// the white rest of the picture that changes nothing, so it is skipped.
void drawBlock(QPainter& painter, const AddressLines& lines, int x, int y, bool keepBlankLines,
               std::vector<QRect>& drawn)
{
    const QFontMetrics fm(painter.font());
    const int lineHeight = fm.height();  // the cell of "W": ascent plus descent
    const int ascent = fm.ascent();
    for (const QString& line : lines) {
        if (isBlank(line) && !keepBlankLines)
            continue;
        if (!line.isEmpty()) {
            const QRect cell(x, y, fm.horizontalAdvance(line), lineHeight);
            if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(cell); }))
                painter.fillRect(cell, Qt::white);
            painter.drawText(QPoint(x, y + ascent), line);
            drawn.push_back(cell);
        }
        y += lineHeight;
    }
}

// Copies the banner one pixel to one dot, cut at the picture's edges.
void drawBanner(QImage& bitmap, const QImage& banner, int x, int y)
{
    const QImage src = banner.format() == QImage::Format_RGB888 ? banner : banner.convertToFormat(QImage::Format_RGB888);
    const int left = std::max(x, 0);
    const int right = std::min(x + src.width(), bitmap.width());
    if (right <= left)
        return;
    for (int row = std::max(y, 0); row < std::min(y + src.height(), bitmap.height()); ++row) {
        const uchar* from = src.constScanLine(row - y) + size_t(left - x) * 3;
        std::memcpy(bitmap.scanLine(row) + size_t(left) * 3, from, size_t(right - left) * 3);
    }
}

QFont blockFont(const PrintSettings& s, int fontSize, int base)
{
    QFont font(s.FontName);
    font.setPixelSize(UmschlagPixelSize(UmschlagPointSize(fontSize, base)));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

} // namespace

int UmschlagPointSize(int fontSize, int base)
{
    const double points = double(fontSize * 10) * (25.4 / double(base));
    return int(std::nearbyint(points));  // the default rounding mode sends halves to even
}

int UmschlagPixelSize(int pointSize)
{
    return int(std::lround(double(pointSize) * 96.0 / 72.0));
}

void RenderUmschlag(QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner, const PrintSettings& s, int dpi)
{
    if (!bitmap)
        return;
    // A resolution below the factor leaves no usable font size: the same as a failed sizing.
    const int base = s.DpiFactor > 0 ? dpi / s.DpiFactor : 0;
    if (base <= 0)
        return;
    if (!SizeUmschlagBitmap(bitmap, s.FormatIndex, dpi))
        return;

    std::vector<QRect> drawn;
    {
        int x = 100 + 100 * s.SpaceX;
        int y = 100 + 100 * s.SpaceY;
        if (s.PrintBanner && banner && !banner->isNull()) {
            drawBanner(*bitmap, *banner, x, y);
            drawn.emplace_back(x, y, banner->width(), banner->height());
            y += banner->height() + 100;
        }

        QPainter painter(bitmap);
        painter.setPen(Qt::black);
        painter.setFont(blockFont(s, s.SenderFontSize, base));
        if (s.PrintSender)
            drawBlock(painter, upperLines, x, y, s.PrintBlankLines, drawn);

        painter.setFont(blockFont(s, s.AddressFontSize, base));
        x = bitmap->width() / 2;
        if (s.MoveMode == 1)
            x -= 100 * s.MoveSpace;
        else if (s.MoveMode == 2)
            x += 100 * s.MoveSpace;
        y = bitmap->height() / 2;
        if (s.PrintAddress)
            drawBlock(painter, lowerLines, x, y, s.PrintBlankLines, drawn);
    }
    if (s.Orientation == 1)
        RotateClockwise(*bitmap);
}

void RenderUmschlag(AppContext& ctx, QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner)
{
    if (!bitmap)
        return;
    RenderUmschlag(bitmap, upperLines, lowerLines, banner, ctx.Print(), ctx.Printer->ResolutionX());
}

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

void freeRaster(void* data)
{
    std::free(data);
}

// Rows start on cache lines so that every run of 16 pixels is one whole line; a large
// raster asks for huge pages, since writing it column by column touches a new row (and
// with small pages a new page) for every pixel run.
uchar* allocateRaster(size_t bytes)
{
    const size_t align = bytes >= kHugePage ? kHugePage : 64;
    const size_t rounded = (bytes + align - 1) / align * align;
    void* p = std::aligned_alloc(align, rounded);
#ifdef MADV_HUGEPAGE
    if (p && align == kHugePage)
        madvise(p, rounded, MADV_HUGEPAGE);
#endif
    return static_cast<uchar*>(p);
}

inline quint32 pixelAt(const uchar* p, int bytesPerPixel)
{
    if (bytesPerPixel == 3)
        return 0xFF000000u | (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | quint32(p[2]);
    quint32 v;
    std::memcpy(&v, p, 4);
    return v | 0xFF000000u;
}

// New row i is old column i read from the bottom row up. The outer loop takes 16 old rows
// (one cache line of 16 new pixels per new row); old rows are read forwards, and each new
// row gets one whole line written past the cache.
template <int BPP>
void rotateInto(const uchar* src, qsizetype srcBpl, int W, int H, uchar* dst, qsizetype dstBpl)
{
    constexpr int kRun = 16;
    for (int j0 = 0; j0 < H; j0 += kRun) {
        const int n = std::min(kRun, H - j0);
        const uchar* firstRow = src + qsizetype(H - 1 - j0) * srcBpl;
        if (n == kRun) {
            const uchar* rows[kRun];
            for (int k = 0; k < kRun; ++k)
                rows[k] = firstRow - qsizetype(k) * srcBpl;
            for (int i = 0; i < W; ++i) {
                const size_t off = size_t(i) * BPP;
                alignas(64) quint32 run[kRun];
                for (int k = 0; k < kRun; ++k)
                    run[k] = pixelAt(rows[k] + off, BPP);
                quint32* d = reinterpret_cast<quint32*>(dst + qsizetype(i) * dstBpl) + j0;
#if defined(__SSE2__)
                const __m128i* r = reinterpret_cast<const __m128i*>(run);
                __m128i* out = reinterpret_cast<__m128i*>(d);
                _mm_stream_si128(out + 0, _mm_load_si128(r + 0));
                _mm_stream_si128(out + 1, _mm_load_si128(r + 1));
                _mm_stream_si128(out + 2, _mm_load_si128(r + 2));
                _mm_stream_si128(out + 3, _mm_load_si128(r + 3));
#else
                std::memcpy(d, run, sizeof run);
#endif
            }
        } else {
            for (int i = 0; i < W; ++i) {
                quint32* d = reinterpret_cast<quint32*>(dst + qsizetype(i) * dstBpl) + j0;
                const uchar* s = firstRow + size_t(i) * BPP;
                for (int k = 0; k < n; ++k, s -= srcBpl)
                    d[k] = pixelAt(s, BPP);
            }
        }
    }
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

} // namespace

void RotateClockwise(QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    QImage::Format f = bitmap.format();
    if (f != QImage::Format_RGB888 && f != QImage::Format_RGB32 && f != QImage::Format_ARGB32) {
        bitmap.convertTo(QImage::Format_RGB32);
        f = QImage::Format_RGB32;
    }
    const int W = bitmap.width();
    const int H = bitmap.height();
    const qsizetype dstBpl = (qsizetype(H) * 4 + 63) / 64 * 64;
    uchar* dst = allocateRaster(size_t(dstBpl) * size_t(W));
    if (!dst)
        throw PrintError(QStringLiteral("Für das gedrehte Umschlagbild (%1 x %2 Punkte) ist nicht genügend Speicher frei.")
                             .arg(H)
                             .arg(W));
    const QImage& src = bitmap;
    if (f == QImage::Format_RGB888)
        rotateInto<3>(src.constBits(), src.bytesPerLine(), W, H, dst, dstBpl);
    else
        rotateInto<4>(src.constBits(), src.bytesPerLine(), W, H, dst, dstBpl);
    // The old raster is released as the new one takes its place.
    bitmap = QImage(dst, H, W, dstBpl, QImage::Format_RGB32, freeRaster, dst);
}
