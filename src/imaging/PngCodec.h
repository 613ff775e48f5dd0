#pragma once
#include <QByteArray>
#include <QImage>

namespace PngCodec {

// The picture in PNG bytes with its alpha channel kept (Format_ARGB32). Raises ImageError
// when the bytes are no readable PNG or the picture has more than maxPixels pixels; the
// size is checked before any pixel memory is taken.
QImage decode(const QByteArray& bytes, qint64 maxPixels);

// Width and height from the PNG header alone; an invalid size when it is no PNG.
QSize peekSize(const QByteArray& bytes);

// PNG bytes of the picture: 24-bit colour, or 32-bit when the picture has an alpha
// channel. Raises ImageError for an empty picture or an encoder failure.
QByteArray encode(const QImage& image);

} // namespace PngCodec
