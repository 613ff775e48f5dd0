#include "tools/BannerFile.h"

#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "imaging/PngCodec.h"
#include "shell/FileWrite.h"

#include <QBuffer>

namespace BannerFile {

QString FilterText()
{
    return QStringLiteral("JPG - JPG Image (*.jpg);;BMP - Windows Bitmap (*.bmp);;PNG - Portable Network Graphics (*.png)");
}

QString NameForFilter(const QString& chosen, int filter)
{
    const QString ext = filter == Bmp ? QStringLiteral(".bmp") : filter == Png ? QStringLiteral(".png") : QStringLiteral(".jpg");
    if (chosen.endsWith(ext, Qt::CaseInsensitive))
        return chosen;
    return chosen + ext;
}

void Write(const QImage& banner, const QString& fileName, int filter)
{
    QByteArray bytes;
    if (filter == Png) {
        bytes = PngCodec::encode(banner);
    } else if (filter == Bmp) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (banner.isNull() || !banner.save(&buffer, "BMP"))
            throw ImageError(QStringLiteral("Das Bild konnte nicht als BMP gespeichert werden."));
    } else {
        bytes = JpegCodec::encode(banner, 90);
    }
    QString reason;
    if (!ReplaceFileWhole(fileName, bytes, &reason))
        throw ImageError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden: %2").arg(fileName, reason));
}

} // namespace BannerFile
