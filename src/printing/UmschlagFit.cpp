#include "printing/UmschlagFit.h"

#include "envelope/GlyphTextPainter.h"

#include <algorithm>
#include <optional>

namespace {

// The first column past the line's ink; its cell's left edge when it has none.
int inkRight(const PlacedLine& placed)
{
    int right = placed.Cell.left();
    for (const GlyphPlacement& g : placed.Glyphs) {
        int last = 0;
        for (const auto& span : g.Map->Spans)
            last = std::max(last, span.second);
        if (last > 0)
            right = std::max(right, g.X + last);
    }
    return right;
}

} // namespace

std::vector<CutLine> CutLines(const UmschlagLayout& layout)
{
    std::vector<CutLine> cut;
    const int edge = layout.Size.width();
    std::optional<GlyphTextPainter> text;
    for (const UmschlagLine& line : layout.Lines) {
        if (!text || text->Font().pixelSize() != line.PixelSize || text->Font().family() != line.FontFamily)
            text.emplace(UmschlagFont(line.FontFamily, line.PixelSize));
        const PlacedLine placed = text->Place(line.TopLeft.x(), line.TopLeft.y(), line.Text);
        // Ink may overhang its cell by a little (an "f", an italic face), never by a line's height.
        if (placed.Cell.left() + placed.Cell.width() + line.LineHeight <= edge)
            continue;
        if (inkRight(placed) > edge)
            cut.push_back({line.Text, placed.Cell, line.Lower});
    }
    return cut;
}

QRect PictureRect(const UmschlagLayout& layout, const QRect& lying)
{
    if (!layout.Turned)
        return lying;
    // Turned clockwise: old column x becomes row x, old row y becomes column H - 1 - y.
    const int h = layout.Size.height();
    return QRect(h - (lying.top() + lying.height()), lying.left(), lying.height(), lying.width());
}

bool FitsOnSheet(const QSize& picture, int dpi, const PrinterSheet& sheet, PageTurn turn)
{
    const QSizeF frame = SheetLayout::FrameSize(sheet, turn) * (dpi / kSheetUnitsPerInch);
    // The picture's sides are whole dots cut from the format's millimetres, so an envelope
    // of the paper's own size comes out a fraction of a dot smaller than the paper.
    return picture.width() <= frame.width() + 0.5 && picture.height() <= frame.height() + 0.5;
}
