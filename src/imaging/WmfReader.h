#pragma once
#include <QByteArray>
#include <QImage>

namespace WmfReader {

// Plays a Windows metafile (with or without the placeable header) into a picture at
// 96 dots per inch through libwmf. Parts the metafile does not paint come out white.
// Raises ImageError when libwmf cannot read the bytes or the picture would have more than
// maxPixels pixels.
QImage decode(const QByteArray& bytes, qint64 maxPixels);

} // namespace WmfReader
