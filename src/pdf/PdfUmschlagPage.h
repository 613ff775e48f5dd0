#pragma once
#include "envelope/UmschlagRenderer.h"

#include <QPageLayout>

class QPainter;

// The page of one envelope in a PDF: the format's size (to the nearest point), lying,
// without margins. A standing envelope's page is the same, shown turned (the writer marks
// it so), which keeps its lines lines for a reader of the text. Invalid for an unknown format.
QPageLayout PdfUmschlagPageLayout(int formatIndex);

// Draws an envelope's layout onto a page whose device has the layout's resolution (one
// device unit per dot): the banner at one pixel per dot, losslessly, the lines as real text
// in their font with every glyph at the printed picture's own pen position, as the picture
// lies. Cells are opaque where they meet the banner or an earlier cell, as on the printed
// picture. The banner is drawn as the given picture itself, so a writer that draws the same
// picture on every page can keep it once.
void DrawPdfUmschlagPage(QPainter& painter, const UmschlagLayout& layout, const QImage* banner);
