#pragma once
#include <QImage>
#include <QList>
#include <QRect>

// Finds what was drawn in a rendered picture: dark pixels and their extent.
namespace InkProbe {

inline bool isDark(QRgb c)
{
    return qGray(c) < 128;
}

// The smallest rectangle holding every dark pixel of region; empty when there is none.
QRect inkBox(const QImage& image, const QRect& region);

// The runs of rows in region that hold dark pixels, top to bottom (one per text line
// when the lines are apart).
QList<QPair<int, int>> rowBands(const QImage& image, const QRect& region);

} // namespace InkProbe
