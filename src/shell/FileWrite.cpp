#include "shell/FileWrite.h"

#include <QSaveFile>

namespace {

// Counts what the writer hands over, so a write that a file size limit or a full disk cut
// short is caught: QSaveFile would commit the part as if it were whole.
class CountingDevice : public QIODevice
{
public:
    explicit CountingDevice(QSaveFile& file) : m_file(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    qint64 Given() const { return m_given; }
    bool Failed() const { return m_failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_given += size;
        if (m_file.write(data, size) != size) {
            m_failed = true;
            return -1;
        }
        return size;
    }

private:
    QSaveFile& m_file;
    qint64 m_given = 0;
    bool m_failed = false;
};

} // namespace

bool ReplaceFileWith(const QString& path, const std::function<bool(QIODevice&, QString&)>& write, QString* error)
{
    QSaveFile f(path);
    QString reason;
    bool written = false;
    if (f.open(QIODevice::WriteOnly)) {
        CountingDevice counted(f);
        written = write(counted, reason) && !counted.Failed() && f.flush() && f.size() == counted.Given() && f.commit();
    }
    if (written)
        return true;
    if (error)
        *error = !reason.isEmpty()                     ? reason
                 : f.error() == QFileDevice::NoError ? QStringLiteral("Die Datei wurde nicht vollständig geschrieben.")
                                                     : f.errorString();
    f.cancelWriting();
    return false;
}

bool ReplaceFileWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    return ReplaceFileWith(
        path, [&](QIODevice& out, QString&) { return out.write(bytes) == bytes.size(); }, error);
}
