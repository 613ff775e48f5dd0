#pragma once
#include "labels/LabelLayout.h"

class QImage;
class QPainter;

struct LabelPaintOptions
{
    bool Frames = false;     // the labels' outlines, for a test on plain paper
    bool ShowUsed = false;   // the preview's grey for the labels before the start
};

// Paints one sheet of a run onto a painter whose unit is one dot of the run: the banner at
// one pixel per dot, the lines as text in their font with the top of their cell where the
// layout puts it. The same call draws the preview, the printed page and the PDF.
void PaintLabelSheet(QPainter& painter, const LabelRun& run, int sheet, const QImage* banner,
                     const LabelPaintOptions& options);

// The sheet as a white picture, at the run's resolution times scale.
QImage LabelSheetImage(const LabelRun& run, int sheet, const QImage* banner, const LabelPaintOptions& options,
                       double scale = 1.0);
