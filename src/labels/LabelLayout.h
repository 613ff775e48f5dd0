#pragma once
#include "envelope/UmschlagRenderer.h"
#include "labels/LabelTemplate.h"

#include <QList>
#include <QRect>
#include <QSize>

#include <vector>

// What goes on one label: its lines (the blank-line rule still to apply) and whether the
// sender's banner goes above them when it fits.
struct LabelText
{
    AddressLines Lines;
    bool WithBanner = false;
};

// The text's typeface, its size (a pixel height in dots at the run's resolution), the
// smallest size it may shrink to, and the envelope's blank-line rule.
struct LabelStyle
{
    QString Family;
    int PixelSize = 0;
    int MinPixelSize = 0;
    int HalfPoint = 1;  // the step by which it shrinks
    bool KeepBlankLines = true;
};

// Labels are laid out at the resolution the envelope text sizes are made for.
constexpr int kDefaultLabelDpi = 600;

// The settings' address size as the envelope prints it at dpi, and 6 pt at dpi.
LabelStyle LabelStyleFor(const QString& family, int addressFontSize, int dpiFactor, bool keepBlankLines, int dpi);

// One filled label: its slot on the sheet (0-based), its rectangle and its text block.
struct LabelBox
{
    int Slot = 0;
    int Text = 0;  // index into the texts the run was made from
    QRect Rect;
    QRect Banner;  // empty when no banner is drawn
    std::vector<UmschlagLine> Lines;
    bool Fits = true;
};

// Where everything of a print run goes, in dots at Dpi with the sheet's top-left corner as
// origin: the preview, the printed page and the PDF are all drawn from it.
struct LabelRun
{
    int Dpi = 0;
    QSize Page;          // the sheet, portrait
    QList<QRect> Slots;  // every label of a sheet, in label order
    int Radius = 0;      // of the labels' corners
    int Start = 0;       // the first free slot of the first sheet
    std::vector<std::vector<LabelBox>> Sheets;
    QList<int> TooLong;  // texts that do not fit even at the smallest size
};

// The labels' rectangles at dpi, in label order.
QList<QRect> LabelSlots(const LabelTemplate& t, int dpi);

// Lays the texts out one per label from slot start of the first sheet on, a new sheet
// whenever one is full. Each block sits inside the label's inner margin, left-aligned and
// centred from top to bottom, at the style's size or the largest smaller one (in half
// points) at which every line fits; a block that fits at no size keeps the smallest and is
// named in TooLong. bannerSize is the banner's size in dots (empty: none).
LabelRun LayoutLabels(const LabelTemplate& t, const QList<LabelText>& texts, int start, const LabelStyle& style,
                      const QSize& bannerSize, int dpi);

// The first line of a text that holds anything, to name the address in messages.
QString LabelTextName(const LabelText& text);
