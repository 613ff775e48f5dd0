#include "support/InkProbe.h"

namespace InkProbe {

QRect inkBox(const QImage& image, const QRect& region)
{
    const QRect r = region.intersected(image.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isDark(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QList<QPair<int, int>> rowBands(const QImage& image, const QRect& region)
{
    const QRect r = region.intersected(image.rect());
    QList<QPair<int, int>> bands;
    int start = -1;
    for (int y = r.top(); y <= r.bottom() + 1; ++y) {
        bool dark = false;
        if (y <= r.bottom())
            for (int x = r.left(); x <= r.right() && !dark; ++x)
                dark = isDark(image.pixel(x, y));
        if (dark && start < 0)
            start = y;
        if (!dark && start >= 0) {
            bands.append({start, y - 1});
            start = -1;
        }
    }
    return bands;
}

} // namespace InkProbe
