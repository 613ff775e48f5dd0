#pragma once
// Shared by the fuzz targets: the Qt application some readers need, and a file of this
// process's own to hand bytes to readers that only take a file name.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace FuzzSupport {

// Image plug-ins (GIF) and painting need an application object; no window is opened.
inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavisto-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder of this process, created once and removed at exit.
inline const QString& TempFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tavisto-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

// Writes the input under name in the process's folder (replacing the previous input).
inline QString WriteTempFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = TempFolder() + u'/' + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

// A failed property check: abort, so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);     \
            abort();                                                                       \
        }                                                                                  \
    } while (0)

} // namespace FuzzSupport
