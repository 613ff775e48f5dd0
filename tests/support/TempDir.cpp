#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempDir::TempDir() = default;

QString TempDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString p = file(name);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return p;
}
