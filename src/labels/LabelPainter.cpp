#include "labels/LabelPainter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

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
        for (const LabelBox& box : run.Sheets[size_t(sheet)]) {
            // A line too long for its label (printed after the warning) ends at the label's
            // edge instead of running onto the next one.
            p.setClipRect(box.Rect);
            if (banner && !box.Banner.isEmpty())
                p.drawImage(box.Banner, *banner);
            for (const UmschlagLine& line : box.Lines) {
                const QFont font = UmschlagFont(line.FontFamily, line.PixelSize);
                p.setFont(font);
                const double ascent = QFontMetricsF(font).ascent();
                p.drawText(QPointF(line.TopLeft.x(), line.TopLeft.y() + ascent), line.Text);
            }
        }
        p.setClipping(false);
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
