#include "shell/InstanceGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kNames[] = {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CONFIG_HOME"};

// Runs the guard's folder choice without a runtime folder, with the temporary and the
// configuration folders inside a test folder.
class LockFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            m_saved[i] = qgetenv(kNames[i]);
        qunsetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(QDir().mkpath(tmp()));
        qputenv("TMPDIR", QFile::encodeName(tmp()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.file("config")));
    }
    void TearDown() override
    {
        for (int i = 0; i < 3; ++i) {
            if (m_saved[i].isNull())
                qunsetenv(kNames[i]);
            else
                qputenv(kNames[i], m_saved[i]);
        }
    }
    QString tmp() const { return dir.file("tmp"); }
    QString own() const { return tmp() + QStringLiteral("/lumo-tavisto-%1").arg(::getuid()); }
    QString fallback() const { return dir.file("config") + QStringLiteral("/Lumo Tavisto/Lumo Tavisto.lock"); }
    static mode_t modeOf(const QString& path)
    {
        struct stat st = {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    }

    TempDir dir;
    QByteArray m_saved[3];
};

TEST_F(LockFolder, MakesItsOwnFolderPrivate)
{
    const mode_t old = ::umask(0);
    const QString lock = InstanceGuard::defaultLockFile();
    ::umask(old);
    EXPECT_EQ(lock, own() + QStringLiteral("/Lumo Tavisto"));
    EXPECT_EQ(modeOf(own()), mode_t(0700));
    // A private folder of our own from an earlier run is used again.
    EXPECT_EQ(InstanceGuard::defaultLockFile(), lock);
    InstanceGuard first(lock);
    EXPECT_FALSE(first.alreadyRunning());
    EXPECT_TRUE(InstanceGuard(lock).alreadyRunning());
}

TEST_F(LockFolder, RefusesAFolderOthersCanReachAndFallsBackToTheConfiguration)
{
    struct Case
    {
        const char* what;
        std::function<bool(const QString&)> prepare;
    };
    const bool root = ::getuid() == 0;
    const Case cases[] = {
        {"open to everyone",
         [](const QString& d) { return QDir().mkpath(d) && ::chmod(QFile::encodeName(d).constData(), 0777) == 0; }},
        {"readable by the group",
         [](const QString& d) { return QDir().mkpath(d) && ::chmod(QFile::encodeName(d).constData(), 0750) == 0; }},
        {"a link to a private folder",
         [this](const QString& d) {
             const QString target = dir.file("elsewhere");
             return QDir().mkpath(target) && ::chmod(QFile::encodeName(target).constData(), 0700) == 0 &&
                    QFile::link(target, d);
         }},
        {"a file", [](const QString& d) { return QFile(d).open(QIODevice::WriteOnly); }},
        {"owned by another user",
         [root](const QString& d) {
             return root && QDir().mkpath(d) && ::chmod(QFile::encodeName(d).constData(), 0700) == 0 &&
                    ::chown(QFile::encodeName(d).constData(), 65534, 65534) == 0;
         }},
    };
    for (const Case& c : cases) {
        QFile::remove(own());
        QDir(own()).removeRecursively();
        if (!c.prepare(own())) {
            ASSERT_STREQ(c.what, "owned by another user") << "could not prepare";
            continue; // changing the owner needs root
        }
        const mode_t before = modeOf(own());
        EXPECT_EQ(InstanceGuard::defaultLockFile(), fallback()) << c.what;
        EXPECT_TRUE(QFileInfo(fallback()).dir().exists()) << c.what;
        // What someone else prepared is left as it was.
        EXPECT_EQ(modeOf(own()), before) << c.what;
        EXPECT_FALSE(QFile::exists(own() + QStringLiteral("/Lumo Tavisto"))) << c.what;
    }
    InstanceGuard guard(fallback());
    EXPECT_FALSE(guard.alreadyRunning());
    EXPECT_TRUE(InstanceGuard(fallback()).alreadyRunning());
}

TEST_F(LockFolder, RuntimeFolderWinsWhenThereIsOne)
{
    const QString runtime = dir.file("run");
    ASSERT_TRUE(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    EXPECT_EQ(InstanceGuard::defaultLockFile(), runtime + QStringLiteral("/Lumo Tavisto"));
    EXPECT_FALSE(QFileInfo::exists(own()));
}

} // namespace
