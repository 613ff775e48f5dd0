#include "printing/SheetLayout.h"

PageTurn PageTurnFor(PageOrientation orientation, LandscapeTurn turn)
{
    if (orientation == PageOrientation::Portrait)
        return PageTurn::None;
    return turn == LandscapeTurn::Right ? PageTurn::Right : PageTurn::Left;
}

namespace SheetLayout {

int PrintableWidth(const PrinterSheet& s, PageTurn turn, int dpi)
{
    const double width = turn == PageTurn::None ? s.size.width() - s.margins.left() - s.margins.right()
                                                : s.size.height() - s.margins.top() - s.margins.bottom();
    return int(width * dpi / kSheetUnitsPerInch);
}

QPointF PrintableOrigin(const PrinterSheet& s, PageTurn turn, int dpi)
{
    QPointF origin(s.margins.left(), s.margins.top());
    if (turn == PageTurn::Left)  // the frame's left edge is the sheet's bottom edge
        origin = QPointF(s.margins.bottom(), s.margins.left());
    else if (turn == PageTurn::Right)  // the frame's left edge is the sheet's top edge
        origin = QPointF(s.margins.top(), s.margins.right());
    return origin * (dpi / kSheetUnitsPerInch);
}

QSizeF FrameSize(const PrinterSheet& s, PageTurn turn)
{
    return turn == PageTurn::None ? s.size : s.size.transposed();
}

QTransform FrameToSheet(PageTurn turn, const QSizeF& sheet)
{
    switch (turn) {
    case PageTurn::Left:  // (u, v) → (v, height − u)
        return QTransform(0, -1, 1, 0, 0, sheet.height());
    case PageTurn::Right:  // (u, v) → (width − v, u)
        return QTransform(0, 1, -1, 0, sheet.width(), 0);
    case PageTurn::None:
        break;
    }
    return QTransform();
}

} // namespace SheetLayout
