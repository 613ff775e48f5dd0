#pragma once
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QRect>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// Coverage of one glyph at one size; offset leads from the pen position on the baseline to
// the map's top-left corner.
struct GlyphMap
{
    QImage Coverage;  // Format_Alpha8
    QPoint Offset;
    std::vector<std::pair<int, int>> Spans;  // per row: first and past-last covered column
    // The glyph in black on white as 24-bit rows (255 minus the coverage, three times).
    std::vector<uchar> Ink;
};

// A glyph's coverage with the picture position of its top-left corner.
struct GlyphPlacement
{
    std::shared_ptr<const GlyphMap> Map;
    int X;
    int Y;
};

// One line of text shaped: its glyph runs with pen positions on the baseline in whole dots
// from the cell's top-left corner, and the cell's width.
struct ShapedLine
{
    QList<QGlyphRun> Runs;
    int Width = 0;
};

// One line of text laid out: its opaque cell and its glyphs.
struct PlacedLine
{
    QRect Cell;
    std::vector<GlyphPlacement> Glyphs;
};

// Lays out and draws lines of black text into 24-bit rasters from cached glyph coverage.
// Text at envelope sizes (80 to 200 dots) is past the size up to which the paint engine
// caches glyphs, so it would fill every outline anew for every line of every envelope;
// here each glyph of a face and size is rasterised once per run and then only blended.
class GlyphTextPainter
{
public:
    explicit GlyphTextPainter(const QFont& font);

    const QFont& Font() const { return m_font; }
    // The height of the text cell of "W": ascent plus descent.
    int LineHeight() const { return m_lineHeight; }
    // Measured once per face and size in a run; every envelope asks again.
    static int LineHeightOf(const QFont& font);
    // The line's glyphs where the picture puts them: every pen position rounded to a dot.
    ShapedLine Shape(const QString& line) const;
    // The line with the top-left corner of its cell at (x, top).
    PlacedLine Place(int x, int top, const QString& line) const;

    // Draws one glyph within rows [rowFrom, rowTo) of a 24-bit raster, cut at its edges.
    // Text lands on white cells, where this is black at the glyph's coverage; where
    // glyphs overlap, the darker pixel stays.
    static void Blend(uchar* bits, qsizetype bytesPerLine, int width, int rowFrom, int rowTo,
                      const GlyphPlacement& glyph);

private:
    QFont m_font;
    int m_lineHeight;
};
