#include "shell/FileWrite.h"

#include <QSaveFile>

bool ReplaceFileWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile f(path);
    // QSaveFile commits a write that the file size limit or a full disk cut short as if
    // it were whole, so the temporary file's size is checked before it replaces the file.
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush() && f.size() == bytes.size() &&
        f.commit())
        return true;
    if (error)
        *error = f.error() == QFileDevice::NoError ? QStringLiteral("Die Datei wurde nicht vollständig geschrieben.")
                                                   : f.errorString();
    f.cancelWriting();
    return false;
}
