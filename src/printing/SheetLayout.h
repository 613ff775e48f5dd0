#pragma once
#include "printing/PrinterOptions.h"
#include "printing/PrintService.h"

#include <QPointF>
#include <QSizeF>
#include <QTransform>

// How the frame a picture is placed in lies on the sheet as the sheet lies in the printer.
// None: the frame is the sheet. Left: a landscape frame turned a quarter to the left, its
// top edge along the sheet's left edge and its left edge along the sheet's bottom edge;
// Right: the other way round. The program turns landscape envelopes itself because
// spoolers turn landscape pages in whichever direction their driver says.
enum class PageTurn { None, Left, Right };

PageTurn PageTurnFor(PageOrientation orientation, LandscapeTurn turn);

// One computation of where a job's picture lies on the sheet, for the printed page and for
// the preview of the sheet. Sheets are in hundredths of a millimetre, results in dots.
namespace SheetLayout {

// Width of the printable area across the frame.
int PrintableWidth(const PrinterSheet& sheet, PageTurn turn, int dpi);
// The printable area's top-left corner in the frame.
QPointF PrintableOrigin(const PrinterSheet& sheet, PageTurn turn, int dpi);
// The frame's size: the whole sheet as the frame lies on it, in the sheet's unit.
QSizeF FrameSize(const PrinterSheet& sheet, PageTurn turn);
// From the frame to the portrait sheet of the given size, both in the same unit, y down.
QTransform FrameToSheet(PageTurn turn, const QSizeF& sheet);

} // namespace SheetLayout
