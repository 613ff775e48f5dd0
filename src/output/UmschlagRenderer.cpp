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
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
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

constexpr int kRun = 16;  // new pixels per row and pass: one 64-byte cache line

// New row i is old column i read from the bottom row up. A pass takes 16 old rows and
// gives every new row one run of 16 pixels.
template <int BPP>
void rotateColumns(const uchar* const* rows, int n, int iFrom, int W, uchar* dst, qsizetype dstBpl, int j0)
{
    for (int i = iFrom; i < W; ++i) {
        quint32* d = reinterpret_cast<quint32*>(dst + qsizetype(i) * dstBpl) + j0;
        const size_t off = size_t(i) * BPP;
        for (int k = 0; k < n; ++k)
            d[k] = pixelAt(rows[k] + off, BPP);
    }
}

template <int BPP>
void rotatePlain(const uchar* src, qsizetype srcBpl, int W, int H, uchar* dst, qsizetype dstBpl)
{
    for (int j0 = 0; j0 < H; j0 += kRun) {
        const int n = std::min(kRun, H - j0);
        const uchar* rows[kRun];
        for (int k = 0; k < n; ++k)
            rows[k] = src + qsizetype(H - 1 - j0 - k) * srcBpl;
        rotateColumns<BPP>(rows, n, 0, W, dst, dstBpl, j0);
    }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3"))) inline __m128i widenFour(const uchar* p, __m128i widen, __m128i alpha)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm_or_si128(_mm_shuffle_epi8(v, widen), alpha);
}

// Four old columns of 16 old rows at a time: each row's four pixels are widened to 32 bits
// with one shuffle, 4 x 4 blocks are transposed in registers, and every new row gets its
// whole cache line written past the cache, so the new raster is written once and never read.
template <int BPP>
__attribute__((target("ssse3"))) void rotateSsse3(const uchar* src, qsizetype srcBpl, int W, int H, uchar* dst,
                                                   qsizetype dstBpl)
{
    const __m128i widen = BPP == 3 ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                                   : _mm_setr_epi8(0, 1, 2, -1, 4, 5, 6, -1, 8, 9, 10, -1, 12, 13, 14, -1);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    // A 16-byte load of four 24-bit pixels reads four bytes more; the last columns of a row
    // go the plain way so no load passes a row's end.
    const int simdEnd = W >= 8 ? (W - 4) / 4 * 4 : 0;
    for (int j0 = 0; j0 < H; j0 += kRun) {
        const int n = std::min(kRun, H - j0);
        const uchar* rows[kRun];
        for (int k = 0; k < n; ++k)
            rows[k] = src + qsizetype(H - 1 - j0 - k) * srcBpl;
        if (n < kRun || (dstBpl % 64) != 0) {
            rotateColumns<BPP>(rows, n, 0, W, dst, dstBpl, j0);
            continue;
        }
        for (int i = 0; i < simdEnd; i += 4) {
            const size_t off = size_t(i) * BPP;
            uchar* d0 = dst + qsizetype(i) * dstBpl + size_t(j0) * 4;
            for (int g = 0; g < kRun / 4; ++g) {
                const __m128i a = widenFour(rows[4 * g] + off, widen, alpha);
                const __m128i b = widenFour(rows[4 * g + 1] + off, widen, alpha);
                const __m128i c = widenFour(rows[4 * g + 2] + off, widen, alpha);
                const __m128i d = widenFour(rows[4 * g + 3] + off, widen, alpha);
                const __m128i t0 = _mm_unpacklo_epi32(a, b), t1 = _mm_unpacklo_epi32(c, d);
                const __m128i t2 = _mm_unpackhi_epi32(a, b), t3 = _mm_unpackhi_epi32(c, d);
                _mm_stream_si128(reinterpret_cast<__m128i*>(d0) + g, _mm_unpacklo_epi64(t0, t1));
                _mm_stream_si128(reinterpret_cast<__m128i*>(d0 + dstBpl) + g, _mm_unpackhi_epi64(t0, t1));
                _mm_stream_si128(reinterpret_cast<__m128i*>(d0 + 2 * dstBpl) + g, _mm_unpacklo_epi64(t2, t3));
                _mm_stream_si128(reinterpret_cast<__m128i*>(d0 + 3 * dstBpl) + g, _mm_unpackhi_epi64(t2, t3));
            }
        }
        rotateColumns<BPP>(rows, n, simdEnd, W, dst, dstBpl, j0);
    }
    _mm_sfence();
}
#endif

template <int BPP>
void rotateInto(const uchar* src, qsizetype srcBpl, int W, int H, uchar* dst, qsizetype dstBpl)
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("ssse3") && (reinterpret_cast<quintptr>(dst) % 64) == 0) {
        rotateSsse3<BPP>(src, srcBpl, W, H, dst, dstBpl);
        return;
    }
#endif
    rotatePlain<BPP>(src, srcBpl, W, H, dst, dstBpl);
}

} // namespace

void RotateClockwiseInto(const QImage& source, uchar* dst, qsizetype dstBpl)
{
    const int W = source.width();
    const int H = source.height();
    if (source.format() == QImage::Format_RGB888)
        rotateInto<3>(source.constBits(), source.bytesPerLine(), W, H, dst, dstBpl);
    else
        rotateInto<4>(source.constBits(), source.bytesPerLine(), W, H, dst, dstBpl);
}

void RotateClockwise(QImage& bitmap)
{
    if (bitmap.isNull())
        return;
    const QImage::Format f = bitmap.format();
    if (f != QImage::Format_RGB888 && f != QImage::Format_RGB32 && f != QImage::Format_ARGB32)
        bitmap.convertTo(QImage::Format_RGB32);
    const int W = bitmap.width();
    const int H = bitmap.height();
    const qsizetype dstBpl = RotatedBytesPerLine(H);
    uchar* dst = allocateRaster(size_t(dstBpl) * size_t(W));
    if (!dst)
        throw PrintError(QStringLiteral("Für das gedrehte Umschlagbild (%1 x %2 Punkte) ist nicht genügend Speicher frei.")
                             .arg(H)
                             .arg(W));
    RotateClockwiseInto(bitmap, dst, dstBpl);
    // The old raster is released as the new one takes its place.
    bitmap = QImage(dst, H, W, dstBpl, QImage::Format_RGB32, freeRaster, dst);
}

qsizetype RotatedBytesPerLine(int oldHeight)
{
    return (qsizetype(oldHeight) * 4 + 63) / 64 * 64;
}
