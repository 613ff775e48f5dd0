#pragma once
#include <QImage>
#include <QString>

// Writing a designed banner to a picture file.
namespace BannerFile {

enum Filter { Jpg = 1, Bmp = 2, Png = 3 };

// The save dialog's filters, in the order of Filter.
QString FilterText();
// The file name for the chosen filter: kept when its extension (without regard to case)
// is the filter's, else the filter's extension appended to the whole name.
QString NameForFilter(const QString& chosen, int filter);
// Writes the picture as JPEG at quality 90, as a Windows bitmap or as PNG. The file is
// written whole to a temporary file and renamed over the old one. Raises ImageError.
void Write(const QImage& banner, const QString& fileName, int filter);

} // namespace BannerFile
