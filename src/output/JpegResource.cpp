#include "output/JpegResource.h"

#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

bool LoadJpegResource(const QString& name, QLabel* picture)
{
    if (!picture)
        return false;
    QFile file(QStringLiteral(":/images/%1.jpg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    try {
        const QImage image = JpegCodec::decode(file.readAll());
        picture->setPixmap(QPixmap::fromImage(image));
        return true;
    } catch (const ImageError&) {
        return false;
    }
}
