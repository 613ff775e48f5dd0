#include "imaging/PictureFile.h"

#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "imaging/WmfReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

QString tooLarge(QSize s)
{
    return QStringLiteral("Das Bild ist zu groß (%1 × %2 Pixel).").arg(s.width()).arg(s.height());
}

void checkSize(QSize s)
{
    if (s.isValid() && qint64(s.width()) * qint64(s.height()) > PictureFile::MaxPixels)
        throw ImageError(tooLarge(s));
}

QByteArray readAll(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw ImageError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(fileName));
    return f.readAll();
}

QImage readWithQt(QByteArray bytes, const QString& suffix, const QString& name)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, suffix.toLatin1());
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        throw ImageError(QStringLiteral("Die Datei \"%1\" ist kein lesbares Bild.").arg(name));
    checkSize(reader.size());
    QImage picture = reader.read();
    if (picture.isNull())
        throw ImageError(QStringLiteral("Die Datei \"%1\" ist kein lesbares Bild: %2").arg(name, reader.errorString()));
    return picture;
}

} // namespace

namespace PictureFile {

QImage FlattenOnWhite(const QImage& picture)
{
    QImage out(picture.size(), QImage::Format_RGB888);
    if (out.isNull())
        throw ImageError(QStringLiteral("Für das Bild ist nicht genug Speicher vorhanden."));
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    return out;
}

QImage LoadImageFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        return {};
    return DecodeImage(readAll(fileName), info.suffix(), info.fileName());
}

QImage DecodeImage(const QByteArray& bytes, const QString& suffix, const QString& name)
{
    const QString kind = suffix.toLower();
    if (kind == u"jpg" || kind == u"jpeg")
        // The decoder refuses a frame over MaxPixels before it takes the pixel memory.
        return JpegCodec::decode(bytes, true).convertToFormat(QImage::Format_RGB888);
    if (kind == u"png")
        return FlattenOnWhite(PngCodec::decode(bytes, MaxPixels));
    if (kind == u"wmf")
        return FlattenOnWhite(WmfReader::decode(bytes, MaxPixels));
    return FlattenOnWhite(readWithQt(bytes, kind, name));
}

} // namespace PictureFile
