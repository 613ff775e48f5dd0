#pragma once
#include <QByteArray>
#include <QImage>

namespace WmfReader {

// Plays a Windows metafile (with or without the placeable header) into a picture at
// 96 dots per inch through libwmf. Parts the metafile does not paint come out white.
// Raises ImageError when libwmf cannot read the bytes or the picture would have more than
// maxPixels pixels.
QImage decode(const QByteArray& bytes, qint64 maxPixels);

// libwmf trusts a metafile's header: it takes a buffer of the size the header names for
// the largest record and walks records by their own size fields, so a few bytes can ask
// for gigabytes. decode hands libwmf only files that pass this walk: a header of the
// known kind, every record at least three words long and within both the file and the
// largest-record size, up to the closing record.
bool IsPlausibleMetafile(const QByteArray& bytes);

} // namespace WmfReader
