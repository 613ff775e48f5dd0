#include "labels/LabelPainter.h"

#include "envelope/GlyphTextPainter.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

void outline(QPainter& p, const QRect& r, int radius, int penWidth)
{
    // The pen runs inside the label, so the outline's ink lies on the label itself.
    const double half = penWidth / 2.0;
    const QRectF inner = QRectF(r.left(), r.top(), r.width(), r.height()).adjusted(half, half, -half, -half);
    const double rr = std::max(0.0, radius - half);
    if (rr > 0)
        p.drawRoundedRect(inner, rr, rr);
    else
        p.drawRect(inner);
}

// Adds run, moved by offset, to the run of the same face in runs, or as a new one.
void joinRun(std::vector<QGlyphRun>& runs, const QGlyphRun& run, const QPointF& offset)
{
    QList<QPointF> positions = run.positions();
    for (QPointF& pos : positions)
        pos += offset;
    for (QGlyphRun& joined : runs) {
        if (joined.rawFont() == run.rawFont()) {
            joined.setGlyphIndexes(joined.glyphIndexes() + run.glyphIndexes());
            joined.setPositions(joined.positions() + positions);
            return;
        }
    }
    QGlyphRun moved = run;
    moved.setPositions(positions);
    runs.push_back(moved);
}

} // namespace

void PaintLabelSheet(QPainter& p, const LabelRun& run, int sheet, const QImage* banner, const LabelPaintOptions& o)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const int penWidth = std::max(1, run.Dpi / 150);
    if (o.ShowUsed && sheet == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 200, 200));
        for (int i = 0; i < run.Start && i < run.Slots.size(); ++i) {
            const QRect& r = run.Slots[i];
            p.drawRoundedRect(r, run.Radius, run.Radius);
        }
    }
    if (o.Frames) {
        p.setPen(QPen(Qt::black, penWidth));
        p.setBrush(Qt::NoBrush);
        for (const QRect& r : run.Slots)
            outline(p, r, run.Radius, penWidth);
    }
    if (sheet >= 0 && size_t(sheet) < run.Sheets.size()) {
        p.setPen(Qt::black);
        std::optional<GlyphTextPainter> text;
        for (const LabelBox& box : run.Sheets[size_t(sheet)]) {
            // A line too long for its label (printed after the warning) ends at the label's
            // edge instead of running onto the next one. The clip is this label's alone: the
            // labels after it print whole.
            p.save();
            if (!box.Fits)
                p.setClipRect(box.Rect, Qt::IntersectClip);
            if (banner && !box.Banner.isEmpty())
                p.drawImage(box.Banner, *banner);
            // Glyphs at whole-dot pen positions, as the envelope sets them: the same places
            // on screen, paper and PDF. A label's lines of one face go out as one run, so a
            // PDF names the font and colour once per label, not once per line.
            std::vector<QGlyphRun> runs;
            for (const UmschlagLine& line : box.Lines) {
                if (!text || text->Font().pixelSize() != line.PixelSize || text->Font().family() != line.FontFamily)
                    text.emplace(UmschlagFont(line.FontFamily, line.PixelSize));
                for (const QGlyphRun& run : text->Shape(line.Text).Runs)
                    joinRun(runs, run, QPointF(line.TopLeft));
            }
            for (const QGlyphRun& run : runs)
                p.drawGlyphRun(QPointF(), run);
            p.restore();
        }
    }
    p.restore();
}

QImage LabelSheetImage(const LabelRun& run, int sheet, const QImage* banner, const LabelPaintOptions& o, double scale)
{
    QImage image(QSize(int(std::ceil(run.Page.width() * scale)), int(std::ceil(run.Page.height() * scale))),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    PaintLabelSheet(p, run, sheet, banner, o);
    return image;
}
