#pragma once
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSizeF>

#include "printing/SheetLayout.h"

#include <vector>

// A picture on the job's page: the whole image stretched into target, in dots, with the
// sheet's top-left corner as origin.
struct PagePicture
{
    QRect target;
    QImage image;
};

// One page of sheet size (in points, as the sheet lies in the printer) as a PDF document,
// each picture placed at dpi dots per inch. With a turn, the pictures' targets are in the
// landscape frame (the sheet's height wide) and are turned onto the sheet in the page
// itself, so no spooler decides the direction. An envelope picture is mostly white paper:
// only its inked parts are embedded, as separate pictures where they lie far apart,
// losslessly compressed (grey where they hold no colour), so a job costs little more than
// its ink.
QByteArray EnvelopePagePdf(const QSizeF& sheetPoints, int dpi, const std::vector<PagePicture>& pictures,
                           PageTurn turn = PageTurn::None);

// The parts of image holding anything but white: rows with ink, with white gaps of fewer
// than mergeGap rows closed, each cut to the columns its rows use. Top to bottom.
std::vector<QRect> InkRegions(const QImage& image, int mergeGap);
