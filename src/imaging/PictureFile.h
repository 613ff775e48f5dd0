#pragma once
#include <QImage>
#include <QString>

namespace PictureFile {

// Pictures larger than this are refused before their pixels are read: a banner never
// needs them, and a 10,000 × 10,000 picture would take several hundred megabytes.
inline constexpr qint64 MaxPixels = 40'000'000;

// A picture file as a 24-bit bitmap (Format_RGB888) of the picture's own size, with
// transparent parts white. ".jpg"/".jpeg" in any case are decoded as JPEG, ".png" with
// libpng, ".wmf" with libwmf, everything else (BMP, GIF, ...) by Qt's reader for the
// extension. A file that does not exist gives a null picture; a file that cannot be
// read raises ImageError with a German message.
QImage LoadImageFile(const QString& fileName);

// The bytes of a picture file as LoadImageFile reads them, the kind taken from suffix
// ("jpg", "png", "wmf", "gif", "bmp", ...); name appears in the messages.
QImage DecodeImage(const QByteArray& bytes, const QString& suffix, const QString& name);

// The picture as 24-bit colour, transparent parts laid onto white.
QImage FlattenOnWhite(const QImage& picture);

} // namespace PictureFile
