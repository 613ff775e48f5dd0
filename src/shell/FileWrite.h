#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Writes bytes to a temporary file in the same folder and renames it over path, so the
// file is either the old or the new one, never a part. On failure the old file is left as
// it was and error (when given) says why.
bool ReplaceFileWhole(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The same for a file made piece by piece: write puts the content into the device it is
// given and returns false to give up (error, when set, then says why). The file replaces
// path only when every byte that write gave reached it.
bool ReplaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString&)>& write,
                     QString* error = nullptr);
