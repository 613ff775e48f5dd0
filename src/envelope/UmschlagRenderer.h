#pragma once
#include <QFont>
#include <QImage>
#include <QRect>
#include <QStringList>

#include <optional>
#include <vector>

struct PrintSettings;

// The five lines Line1..Line5 of a sender or an address, empty lines included.
using AddressLines = QStringList;

// Round(size * 10 * (25.4 / base)), halves to the even neighbour.
int UmschlagPointSize(int fontSize, int base);
// Points to dots at the display's 96 pixels per inch, halves away from zero.
int UmschlagPixelSize(int pointSize);

// The font of a text block: the typeface at a pixel (em) height in dots, black, regular.
QFont UmschlagFont(const QString& family, int pixelSize);

// One line of text as it is drawn: the top-left corner of its cell in dots of the lying
// picture, the cell's height (the "W" cell of the font) and the font.
struct UmschlagLine
{
    QString Text;  // untrimmed
    QString FontFamily;
    int PixelSize = 0;
    QPoint TopLeft;
    int LineHeight = 0;
    bool Lower = false;  // a line of the lower block (else of the upper one)
};

// Where everything of one envelope goes, in dots at Dpi, before any turn: the bitmap, the
// preview and the PDF are all drawn from it.
struct UmschlagLayout
{
    int Dpi = 0;
    QSize Size;    // the lying picture: width the format's long side
    QRect Banner;  // one banner pixel per dot; empty when no banner is drawn
    // The lines that are drawn, upper block first. A blank line that keeps its space has no
    // entry unless it holds characters (blanks still make an opaque cell).
    std::vector<UmschlagLine> Lines;
    bool Turned = false;  // orientation 1: turned clockwise after drawing, so standing

    // The finished picture's size: the lying size, or turned.
    QSize PictureSize() const { return Turned ? Size.transposed() : Size; }
};

// The layout for the given blocks, a banner of bannerSize (empty for none) and the settings
// at dpi; nothing when the format is unknown or the resolution is below the font-size
// factor. Which record is the upper block is the caller's choice (the swap).
std::optional<UmschlagLayout> LayoutUmschlag(const AddressLines& upperLines, const AddressLines& lowerLines,
                                             const QSize& bannerSize, const PrintSettings& settings, int dpi);

// Paints a layout into a picture of its lying size (24-bit, contents overwritten), then
// turns it when the layout says so. banner is the picture the layout made room for.
void PaintUmschlag(QImage& bitmap, const UmschlagLayout& layout, const QImage* banner);

// Draws one envelope into bitmap at dpi: the banner and the upper block from the top-left
// corner, the lower block from the centre, turned clockwise for orientation 1. Draws
// nothing, and leaves the bitmap as it was, when the format is unknown or the resolution
// is below the font-size factor. One banner pixel is one dot.
void RenderUmschlag(QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner, const PrintSettings& settings, int dpi);

// Turns the picture 90 degrees clockwise into a 32-bit picture: the old top edge becomes the
// right edge. Holds only the old and the new raster at once.
void RotateClockwise(QImage& bitmap);

// The turn into a raster the caller holds: W rows of dstBytesPerLine bytes, 64-byte aligned
// for the fast path (RotatedBytesPerLine gives the row length RotateClockwise uses).
void RotateClockwiseInto(const QImage& source, uchar* dst, qsizetype dstBytesPerLine);
qsizetype RotatedBytesPerLine(int oldHeight);
