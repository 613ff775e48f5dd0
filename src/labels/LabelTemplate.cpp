#include "labels/LabelTemplate.h"

#include <algorithm>
#include <cmath>

int LabelTemplate::Count() const
{
    int n = 0;
    for (const Grid& g : Grids)
        n += g.Nx * g.Ny;
    return n;
}

QList<QRectF> LabelTemplate::LabelRects() const
{
    QList<QRectF> rects;
    rects.reserve(Count());
    for (const Grid& g : Grids)
        for (int row = 0; row < g.Ny; ++row)
            for (int col = 0; col < g.Nx; ++col)
                rects.append(QRectF(QPointF(g.X0 + col * g.Dx, g.Y0 + row * g.Dy), LabelSize));
    // Several grids interleave on some sheets; people count labels as they read.
    std::stable_sort(rects.begin(), rects.end(), [](const QRectF& a, const QRectF& b) {
        if (std::abs(a.top() - b.top()) > 0.5)
            return a.top() < b.top();
        return a.left() < b.left();
    });
    return rects;
}

QByteArray LabelTemplate::Media() const
{
    return PaperId == QLatin1String("US-Letter") ? QByteArray("na_letter_8.5x11in") : QByteArray("iso_a4_210x297mm");
}

double LabelInnerMargin(const LabelTemplate& t)
{
    // Some products give 0, which would set the text on the cut.
    return t.MarkupMargin > 0 ? t.MarkupMargin : 1.5 * 72.0 / 25.4;
}
