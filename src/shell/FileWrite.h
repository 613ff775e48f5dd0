#pragma once
#include <QByteArray>
#include <QString>

// Writes bytes to a temporary file in the same folder and renames it over path, so the
// file is either the old or the new one, never a part. On failure the old file is left as
// it was and error (when given) says why.
bool ReplaceFileWhole(const QString& path, const QByteArray& bytes, QString* error = nullptr);
