#include "pdf/PdfUmschlagPage.h"

#include "envelope/GlyphTextPainter.h"
#include "envelope/UmschlagFormat.h"

#include <QPainter>

#include <algorithm>
#include <optional>
#include <vector>

QPageLayout PdfUmschlagPageLayout(int formatIndex)
{
    const auto format = UmschlagFormatAt(formatIndex);
    if (!format)
        return QPageLayout();
    // A PDF page has whole points here. Given in millimetres, a format that is also a
    // standard size would take that size's points, which for C3 are 2 points short; given
    // in points it is only rounded.
    const QSizeF points(format->ShortSide * 72.0 / 25.4, format->LongSide * 72.0 / 25.4);
    const QPageSize size(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Landscape, QMarginsF());
}

void DrawPdfUmschlagPage(QPainter& painter, const UmschlagLayout& layout, const QImage* banner)
{
    painter.save();
    // Qt would put pictures into a PDF as JPEG: a logo's edges would ring.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    std::vector<QRect> drawn;
    if (!layout.Banner.isEmpty() && banner && !banner->isNull()) {
        painter.drawImage(layout.Banner.topLeft(), *banner);
        drawn.push_back(layout.Banner);
    }
    painter.setPen(Qt::black);
    std::optional<GlyphTextPainter> text;
    for (const UmschlagLine& line : layout.Lines) {
        if (!text || text->Font().pixelSize() != line.PixelSize || text->Font().family() != line.FontFamily)
            text.emplace(UmschlagFont(line.FontFamily, line.PixelSize));
        // The glyphs at the picture's own pen positions, in whole dots.
        const ShapedLine shaped = text->Shape(line.Text);
        const QRect cell(line.TopLeft, QSize(shaped.Width, line.LineHeight));
        if (std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(cell); }))
            painter.fillRect(cell, Qt::white);
        drawn.push_back(cell);
        for (const QGlyphRun& run : shaped.Runs)
            painter.drawGlyphRun(line.TopLeft, run);
    }
    painter.restore();
}
