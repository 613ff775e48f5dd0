#include "envelope/GlyphTextPainter.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct GlyphKey
{
    QString face;
    double pixelSize;
    quint32 glyph;
    bool operator==(const GlyphKey& o) const { return glyph == o.glyph && pixelSize == o.pixelSize && face == o.face; }
};

size_t qHash(const GlyphKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.face, k.pixelSize, k.glyph);
}

constexpr size_t kCacheBytes = size_t(64) << 20;

// Glyphs of the run's faces and sizes; a handful of faces and sizes per run.
QHash<GlyphKey, std::shared_ptr<const GlyphMap>>& cache()
{
    static QHash<GlyphKey, std::shared_ptr<const GlyphMap>> glyphs;
    return glyphs;
}

std::shared_ptr<const GlyphMap> rasterise(const QRawFont& raw, quint32 glyph)
{
    const QRectF box = raw.boundingRect(glyph);
    if (box.isEmpty())
        return nullptr;
    auto map = std::make_shared<GlyphMap>();
    constexpr int pad = 2;
    const int left = int(std::floor(box.left())) - pad;
    const int top = int(std::floor(box.top())) - pad;
    const int width = int(std::ceil(box.right())) + pad - left;
    const int height = int(std::ceil(box.bottom())) + pad - top;
    map->Coverage = QImage(width, height, QImage::Format_Alpha8);
    map->Coverage.fill(0);
    map->Offset = QPoint(left, top);
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes({glyph});
    run.setPositions({QPointF(-left, -top)});
    {
        QPainter p(&map->Coverage);
        p.setPen(Qt::black);
        p.drawGlyphRun(QPointF(0, 0), run);
    }
    map->Ink.resize(size_t(width) * 3 * size_t(height));
    for (int row = 0; row < height; ++row) {
        const uchar* a = map->Coverage.constScanLine(row);
        uchar* ink = map->Ink.data() + size_t(row) * size_t(width) * 3;
        for (int col = 0; col < width; ++col)
            ink[3 * col] = ink[3 * col + 1] = ink[3 * col + 2] = uchar(255 - a[col]);
    }
    map->Spans.resize(size_t(height));
    for (int row = 0; row < height; ++row) {
        const uchar* a = map->Coverage.constScanLine(row);
        int first = 0, last = width;
        while (first < width && a[first] == 0)
            ++first;
        while (last > first && a[last - 1] == 0)
            --last;
        map->Spans[size_t(row)] = {first, last};
    }
    return map;
}

std::shared_ptr<const GlyphMap> glyphMap(const QRawFont& raw, quint32 glyph)
{
    auto& glyphs = cache();
    static size_t bytes = 0;
    const GlyphKey key{raw.familyName() + QLatin1Char('/') + raw.styleName(), raw.pixelSize(), glyph};
    auto it = glyphs.find(key);
    if (it == glyphs.end()) {
        // A bound for runs that go through many faces and sizes; placements already made
        // keep their glyphs alive.
        if (bytes > kCacheBytes) {
            glyphs.clear();
            bytes = 0;
        }
        auto map = rasterise(raw, glyph);
        if (map)
            bytes += size_t(map->Coverage.sizeInBytes()) + map->Ink.size();
        it = glyphs.insert(key, std::move(map));
    }
    return it.value();
}

} // namespace

GlyphTextPainter::GlyphTextPainter(const QFont& font) : m_font(font), m_lineHeight(LineHeightOf(font)) {}

int GlyphTextPainter::LineHeightOf(const QFont& font)
{
    static QHash<QString, int> heights;
    const QString key = font.key();
    auto it = heights.constFind(key);
    if (it == heights.constEnd())
        it = heights.insert(key, QFontMetrics(font).height());
    return it.value();
}

ShapedLine GlyphTextPainter::Shape(const QString& line) const
{
    QTextLayout layout(line, m_font);
    layout.beginLayout();
    QTextLine tl = layout.createLine();
    tl.setNumColumns(int(line.size()));
    layout.endLayout();

    ShapedLine shaped;
    shaped.Width = int(std::lround(tl.horizontalAdvance()));
    // Glyph positions from the layout are relative to the line's top-left corner, on the
    // baseline.
    shaped.Runs = layout.glyphRuns();
    for (QGlyphRun& run : shaped.Runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions)
            p = QPointF(double(std::lround(p.x())), double(std::lround(p.y())));
        run.setPositions(positions);
    }
    return shaped;
}

PlacedLine GlyphTextPainter::Place(int x, int top, const QString& line) const
{
    const ShapedLine shaped = Shape(line);
    PlacedLine placed;
    placed.Cell = QRect(x, top, shaped.Width, m_lineHeight);
    for (const QGlyphRun& run : shaped.Runs) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            auto map = glyphMap(raw, glyphs[i]);
            if (!map)
                continue;
            const int penX = x + int(positions[i].x());
            const int penY = top + int(positions[i].y());
            placed.Glyphs.push_back({map, penX + map->Offset.x(), penY + map->Offset.y()});
        }
    }
    return placed;
}

void GlyphTextPainter::Blend(uchar* bits, qsizetype bpl, int width, int rowFrom, int rowTo, const GlyphPlacement& g)
{
    const GlyphMap& map = *g.Map;
    const int w = map.Coverage.width();
    const int x0 = std::max(g.X, 0), x1 = std::min(g.X + w, width);
    const int y0 = std::max(g.Y, rowFrom), y1 = std::min(g.Y + map.Coverage.height(), rowTo);
    if (x0 >= x1)
        return;
    for (int row = y0; row < y1; ++row) {
        // Only the covered part of the glyph's row.
        const auto [first, last] = map.Spans[size_t(row - g.Y)];
        const int from = std::max(x0, g.X + first), to = std::min(x1, g.X + last);
        if (from >= to)
            continue;
        const uchar* ink = map.Ink.data() + (size_t(row - g.Y) * size_t(w) + size_t(from - g.X)) * 3;
        uchar* d = bits + row * bpl + qsizetype(from) * 3;
        const int n = (to - from) * 3;
        int i = 0;
#if defined(__SSE2__)
        for (; i + 16 <= n; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ink + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_min_epu8(a, b));
        }
#endif
        for (; i < n; ++i)
            d[i] = std::min(d[i], ink[i]);
    }
}
