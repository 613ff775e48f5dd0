#include "envelope/UmschlagFormat.h"

#include "envelope/PrintError.h"

#include <array>
#include <cstring>

namespace {

struct Row
{
    const char* label;
    int shortSide;
    int longSide;
};

constexpr std::array<Row, kUmschlagFormatCount> kFormats{{
    {"C6 - 114 mm x 162 mm", 114, 162},
    {"B6 - 125 mm x 176 mm", 125, 176},
    {"DL (C5/6) - 110 mm x 220 mm", 110, 220},
    {"C5 - 162 mm x 229 mm", 162, 229},
    {"C6/5 - 114 mm x 229 mm", 114, 229},
    // The B5 label has never carried the "x"; users know it that way.
    {"B5 - 176 mm 250 mm", 176, 250},
    {"C4 - 229 mm x 324 mm", 229, 324},
    {"B4 - 250 mm x 353 mm", 250, 353},
    {"E4 - 280 mm x 400 mm", 280, 400},
    {"C3 - 324 mm x 458 mm", 324, 458},
}};

} // namespace

std::optional<UmschlagFormat> UmschlagFormatAt(int index)
{
    if (index < 0 || index >= kUmschlagFormatCount)
        return std::nullopt;
    const Row& r = kFormats[size_t(index)];
    return UmschlagFormat{QString::fromUtf8(r.label), r.shortSide, r.longSide};
}

QString FormatLabel(int index)
{
    if (const auto f = UmschlagFormatAt(index))
        return f->Label;
    return QStringLiteral("[Unbekannt]");
}

std::optional<QSize> UmschlagSize(int formatIndex, int dpi)
{
    const auto f = UmschlagFormatAt(formatIndex);
    if (!f)
        return std::nullopt;
    const int height = int(double(f->ShortSide) * double(dpi) / 25.4);
    const int width = int(double(f->LongSide) * double(dpi) / 25.4);
    return QSize(width, height);
}

bool SizeUmschlagBitmap(QImage* bitmap, int formatIndex, int dpi)
{
    if (!ResizeUmschlagBitmap(bitmap, formatIndex, dpi))
        return false;
    // White is all bits set in a 24-bit raster; one pass over the whole buffer.
    std::memset(bitmap->bits(), 0xFF, size_t(bitmap->sizeInBytes()));
    return true;
}

bool ResizeUmschlagBitmap(QImage* bitmap, int formatIndex, int dpi)
{
    if (!bitmap)
        return false;
    const auto size = UmschlagSize(formatIndex, dpi);
    if (!size)
        return false;
    PrepareUmschlagBitmap(*bitmap, *size);
    return true;
}

void PrepareUmschlagBitmap(QImage& bitmap, QSize size)
{
    if (bitmap.size() != size || bitmap.format() != QImage::Format_RGB888 || !bitmap.isDetached())
        bitmap = QImage(size, QImage::Format_RGB888);
    if (bitmap.isNull())
        throw PrintError(QStringLiteral("Für das Umschlagbild (%1 x %2 Punkte) ist nicht genügend Speicher frei.")
                             .arg(size.width())
                             .arg(size.height()));
}
