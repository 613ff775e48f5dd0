#include "printwindows/JpegResource.h"

#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

QImage JpegResourceImage(const QString& name)
{
    QFile file(QStringLiteral(":/images/%1.jpg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    try {
        return JpegCodec::decode(file.readAll());
    } catch (const ImageError&) {
        return QImage();
    }
}

bool LoadJpegResource(const QString& name, QLabel* picture)
{
    if (!picture)
        return false;
    const QImage image = JpegResourceImage(name);
    if (image.isNull())
        return false;
    picture->setPixmap(QPixmap::fromImage(image));
    return true;
}
