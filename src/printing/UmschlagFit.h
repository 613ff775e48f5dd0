#pragma once
#include "printing/SheetLayout.h"
#include "envelope/UmschlagRenderer.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

// A line of an envelope whose ink runs past the picture's right edge, where the picture
// cuts it.
struct CutLine
{
    QString Text;
    QRect Cell;          // its text cell in the lying picture, in dots
    bool Lower = false;  // a line of the lower block (else of the upper one)
};

// The lines of the layout that the envelope's right edge cuts, in layout order. Measured
// on the glyphs the picture is painted from, so a trailing blank that reaches past the edge
// cuts nothing.
std::vector<CutLine> CutLines(const UmschlagLayout& layout);

// Where a rectangle of the lying picture lies in the finished picture (turned clockwise
// for a standing envelope).
QRect PictureRect(const UmschlagLayout& layout, const QRect& lying);

// Whether a picture of that many dots at dpi, laid into the frame of the turn, fits on the
// sheet's paper (the printable area aside: that the printer's margins stay white is known).
bool FitsOnSheet(const QSize& picture, int dpi, const PrinterSheet& sheet, PageTurn turn);
