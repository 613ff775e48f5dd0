#pragma once
#include <QImage>
#include <QStringList>

struct AppContext;
struct PrintSettings;

// The five lines Line1..Line5 of a sender or an address, empty lines included.
using AddressLines = QStringList;

// Round(size * 10 * (25.4 / base)), halves to the even neighbour.
int UmschlagPointSize(int fontSize, int base);
// Points to dots at the display's 96 pixels per inch, halves away from zero.
int UmschlagPixelSize(int pointSize);

// Draws one envelope into bitmap at dpi: the banner and the upper block from the top-left
// corner, the lower block from the centre, turned clockwise for orientation 1. Draws
// nothing, and leaves the bitmap as it was, when the format is unknown or the resolution
// is below the font-size factor. One banner pixel is one dot.
void RenderUmschlag(QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner, const PrintSettings& settings, int dpi);
// The same at the resolution of the printer selected in the printing service.
void RenderUmschlag(AppContext& ctx, QImage* bitmap, const AddressLines& upperLines,
                    const AddressLines& lowerLines, const QImage* banner);

// Turns the picture 90 degrees clockwise into a 32-bit picture: the old top edge becomes the
// right edge. Holds only the old and the new raster at once.
void RotateClockwise(QImage& bitmap);

// The turn into a raster the caller holds: W rows of dstBytesPerLine bytes, 64-byte aligned
// for the fast path (RotatedBytesPerLine gives the row length RotateClockwise uses).
void RotateClockwiseInto(const QImage& source, uchar* dst, qsizetype dstBytesPerLine);
qsizetype RotatedBytesPerLine(int oldHeight);
