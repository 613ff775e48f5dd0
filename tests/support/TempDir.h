#pragma once
#include <QString>
#include "support/QtPrint.h"
#include <QTemporaryDir>

// A fresh folder per test, removed afterwards; paths end without a separator.
class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // Writes bytes to a file in the folder and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};
