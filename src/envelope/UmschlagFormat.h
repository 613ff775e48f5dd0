#pragma once
#include <QImage>
#include <QString>
#include <optional>

// One envelope format: the short side is the envelope's height as it lies landscape,
// the long side its width, both in millimetres.
struct UmschlagFormat
{
    QString Label;
    int ShortSide;
    int LongSide;
};

inline constexpr int kUmschlagFormatCount = 10;

// The row for a stored format index; nothing outside 0..9.
std::optional<UmschlagFormat> UmschlagFormatAt(int index);
// The label of the row, "[Unbekannt]" outside the table.
QString FormatLabel(int index);

// The envelope picture's size in dots for a format at a resolution: width the long side,
// height the short side, each trunc(mm * dpi / 25.4). Empty for an index outside 0..9.
std::optional<QSize> UmschlagSize(int formatIndex, int dpi);

// Gives the picture the format's size at dpi as a white 24-bit raster. A picture that has
// that size and depth already is filled in place, so callers that reuse one pay no
// allocation. False, picture untouched, for a null picture or an unknown format.
bool SizeUmschlagBitmap(QImage* bitmap, int formatIndex, int dpi);
// The same without the white fill, for a caller that fills the picture band by band
// together with what it draws.
bool ResizeUmschlagBitmap(QImage* bitmap, int formatIndex, int dpi);
// Gives the picture this size as a 24-bit raster, keeping its memory where it has that
// size and depth and is not shared. Raises PrintError when the memory is not there.
void PrepareUmschlagBitmap(QImage& bitmap, QSize size);
