#pragma once
#include <QByteArray>
#include <QImage>

namespace JpegCodec {

// Baseline JPEG, three colour components, from the picture's 24-bit colours.
// Raises ImageError for an empty picture or an encoder failure.
QByteArray encode(const QImage& image, int quality = 90);

// A 24-bit picture (QImage::Format_RGB888) from JPEG bytes; grey and CMYK files are
// turned into colour. Raises ImageError when the bytes are no readable JPEG; never ends
// the process; a picture of more than PictureFile::MaxPixels pixels is refused before its
// memory is taken. libjpeg pads a cut-off file with grey and only warns; rejectDamaged turns
// such warnings into an ImageError too (for files the user picks).
QImage decode(const QByteArray& bytes, bool rejectDamaged = false);

} // namespace JpegCodec
