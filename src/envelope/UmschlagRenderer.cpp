#include "envelope/UmschlagRenderer.h"

#include "app/BlankText.h"
#include "envelope/GlyphTextPainter.h"
#include "envelope/PrintError.h"
#include "envelope/UmschlagFormat.h"
#include "shell/PrintSettings.h"

#include <QFont>

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

// What the envelope is made of, in drawing order: the banner, white cells where text
// meets something drawn before, glyphs.
struct DrawOp
{
    enum Kind { Banner, Clear, Glyph } kind;
    QRect rect;  // Banner: where it goes; Clear: the cell
    GlyphPlacement glyph;
};

// Lays out one block of lines from (x, y), each line one line height below the last;
// blank lines are dropped unless they keep their space.
void layoutBlock(const AddressLines& lines, int x, int y, const QString& family, int pixelSize, bool keepBlankLines,
                 bool lower, std::vector<UmschlagLine>& out)
{
    const int lineHeight = GlyphTextPainter::LineHeightOf(UmschlagFont(family, pixelSize));
    for (const QString& line : lines) {
        if (IsBlank(line) && !keepBlankLines)
            continue;
        if (!line.isEmpty())
            out.push_back({line, family, pixelSize, QPoint(x, y), lineHeight, lower});
        y += lineHeight;
    }
}

// Fills the picture white and draws the operations, a band of rows at a time, so that
// each band is drawn on while the fill has it in the cache: the picture is gone over once.
void paint(QImage& bitmap, const std::vector<DrawOp>& ops, const QImage* banner)
{
    constexpr int kBand = 32;
    uchar* bits = bitmap.bits();
    const qsizetype bpl = bitmap.bytesPerLine();
    const int width = bitmap.width();
    const int height = bitmap.height();
    for (int band = 0; band < height; band += kBand) {
        const int bandEnd = std::min(band + kBand, height);
        std::memset(bits + band * bpl, 0xFF, size_t(bpl) * size_t(bandEnd - band));
        for (const DrawOp& op : ops) {
            if (op.kind == DrawOp::Glyph) {
                if (op.glyph.Y < bandEnd && op.glyph.Y + op.glyph.Map->Coverage.height() > band)
                    GlyphTextPainter::Blend(bits, bpl, width, band, bandEnd, op.glyph);
                continue;
            }
            const QRect r = op.rect.intersected(QRect(0, band, width, bandEnd - band));
            if (r.isEmpty())
                continue;
            for (int row = r.top(); row <= r.bottom(); ++row) {
                uchar* d = bits + row * bpl + qsizetype(r.left()) * 3;
                if (op.kind == DrawOp::Clear)
                    std::memset(d, 0xFF, size_t(r.width()) * 3);
                else
                    std::memcpy(d, banner->constScanLine(row - op.rect.top()) + qsizetype(r.left() - op.rect.left()) * 3,
                                size_t(r.width()) * 3);
            }
        }
    }
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

QFont UmschlagFont(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    // No ligatures: a PDF maps a ligature glyph back to its ligature character, so
    // "Hoffmann" would copy and search as "Ho\uFB00mann". Qt shapes without ligatures
    // once any letter spacing is set; 100 % leaves every advance (kerning included) as it is.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    return font;
}

std::optional<UmschlagLayout> LayoutUmschlag(const AddressLines& upperLines, const AddressLines& lowerLines,
                                             const QSize& bannerSize, const PrintSettings& s, int dpi)
{
    // A resolution below the factor leaves no usable font size: the same as a failed sizing.
    const int base = s.DpiFactor > 0 ? dpi / s.DpiFactor : 0;
    if (base <= 0)
        return std::nullopt;
    const std::optional<QSize> size = UmschlagSize(s.FormatIndex, dpi);
    if (!size)
        return std::nullopt;

    UmschlagLayout layout;
    layout.Dpi = dpi;
    layout.Size = *size;
    layout.Turned = s.Orientation == 1;
    int x = 100 + 100 * s.SpaceX;
    int y = 100 + 100 * s.SpaceY;
    if (s.PrintBanner && !bannerSize.isEmpty()) {
        // One banner pixel is one dot; the banner shares x with the upper block.
        layout.Banner = QRect(QPoint(x, y), bannerSize);
        y += bannerSize.height() + 100;
    }
    if (s.PrintSender)
        layoutBlock(upperLines, x, y, s.FontName, UmschlagPixelSize(UmschlagPointSize(s.SenderFontSize, base)),
                    s.PrintBlankLines, false, layout.Lines);
    x = size->width() / 2;
    if (s.MoveMode == 1)
        x -= 100 * s.MoveSpace;
    else if (s.MoveMode == 2)
        x += 100 * s.MoveSpace;
    y = size->height() / 2;
    if (s.PrintAddress)
        layoutBlock(lowerLines, x, y, s.FontName, UmschlagPixelSize(UmschlagPointSize(s.AddressFontSize, base)),
                    s.PrintBlankLines, true, layout.Lines);
    return layout;
}

void PaintUmschlag(QImage& bitmap, const UmschlagLayout& layout, const QImage* banner)
{
    PrepareUmschlagBitmap(bitmap, layout.Size);
    std::vector<DrawOp> ops;
    std::vector<QRect> drawn;
    QImage banner24;
    if (!layout.Banner.isEmpty() && banner && !banner->isNull()) {
        banner24 = banner->format() == QImage::Format_RGB888 ? *banner : banner->convertToFormat(QImage::Format_RGB888);
        ops.push_back({DrawOp::Banner, layout.Banner, {}});
        drawn.push_back(layout.Banner);
    }
    // Cells are opaque: where a cell meets something drawn before (the banner, an earlier
    // cell) it is cleared to white first; on the white rest of the picture that changes
    // nothing, so it is skipped.
    std::optional<GlyphTextPainter> text;
    for (const UmschlagLine& line : layout.Lines) {
        if (!text || text->Font().pixelSize() != line.PixelSize || text->Font().family() != line.FontFamily)
            text.emplace(UmschlagFont(line.FontFamily, line.PixelSize));
        PlacedLine placed = text->Place(line.TopLeft.x(), line.TopLeft.y(), line.Text);
        if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(placed.Cell); }))
            ops.push_back({DrawOp::Clear, placed.Cell, {}});
        for (GlyphPlacement& g : placed.Glyphs)
            ops.push_back({DrawOp::Glyph, {}, std::move(g)});
        drawn.push_back(placed.Cell);
    }
    paint(bitmap, ops, &banner24);

    if (layout.Turned)
        RotateClockwise(bitmap);
}

void RenderUmschlag(QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner, const PrintSettings& s, int dpi)
{
    if (!bitmap)
        return;
    const bool withBanner = s.PrintBanner && banner && !banner->isNull();
    const std::optional<UmschlagLayout> layout =
        LayoutUmschlag(upperLines, lowerLines, withBanner ? banner->size() : QSize(), s, dpi);
    if (!layout)
        return;
    PaintUmschlag(*bitmap, *layout, withBanner ? banner : nullptr);
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
