// The real program in a real X display: first start, single instance, bad database file;
// and its answers on the terminal.
#include "ProgramHarness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <sys/file.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using ProgramTest = ProgramHarness;

int tableCount(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM sqlite_master WHERE type='table'", -1, &st, nullptr);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

} // namespace

TEST_F(ProgramTest, FirstStartMakesItsFilesAndSavesSettingsOnClose)
{
    auto p = startToMainWindow();
    EXPECT_TRUE(QFile::exists(dataFile()));
    EXPECT_EQ(tableCount(dataFile()), 5);
    EXPECT_FALSE(QFile::exists(settingsFile()));
    // The news notice comes with the first activation; Return closes it.
    XvfbSession::Window news;
    ASSERT_TRUE(xvfb.waitForWindow(p->processId(), [](const QString& t) { return t == "Hilfe"; }, 30000, &news));
    xvfb.pressKey(news, "Return");
    auto newsShown = [&] {
        for (const auto& w : xvfb.windows(p->processId()))
            if (w.title == "Hilfe")
                return true;
        return false;
    };
    QElapsedTimer t;
    t.start();
    while (newsShown() && t.elapsed() < 10000)
        QThread::msleep(100);
    EXPECT_FALSE(newsShown()) << "Return closes the news notice";

    sendSignal(*p, SIGTERM);  // closes the window the ordinary way
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    QFile ini(settingsFile());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[HELP]\r\nScreen=0\r\n")) << text.toStdString();
    EXPECT_TRUE(text.startsWith("[WINDOW]\r\nMaximized=0\r\n")) << text.toStdString();
}

TEST_F(ProgramTest, SecondInstanceSaysSoAndEnds)
{
    auto first = startToMainWindow();
    auto second = start();
    XvfbSession::Window box;
    ASSERT_TRUE(xvfb.waitForWindow(second->processId(), [](const QString& t) { return t == "Lumo Tavisto"; }, 30000,
                                   &box));
    EXPECT_TRUE(xvfb.windows(second->processId()).size() == 1) << "a second instance shows only its notice";
    xvfb.pressKey(box, "Return");
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->readAllStandardError().contains("Das Programm wurde bereits gestartet!"));
    EXPECT_EQ(first->state(), QProcess::Running);

    // A killed instance leaves no lock behind.
    sendSignal(*first, SIGKILL);
    first->waitForFinished(5000);
    auto third = startToMainWindow();
    EXPECT_EQ(third->state(), QProcess::Running);
    sendSignal(*third, SIGTERM);
    EXPECT_TRUE(third->waitForFinished(30000));
}

TEST_F(ProgramTest, FileThatIsNoDatabaseEndsTheProgramAndStaysUntouched)
{
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 31 + 7) % 251);
    home.write("Documents/Lumo Tavisto/Tavisto.dbs", garbage);
    auto p = start();
    // The help warning may come first; the database message is the last box.
    bool ended = false;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000 && !ended) {
        for (const auto& w : xvfb.windows(p->processId())) {
            EXPECT_FALSE(isMainWindow(w.title));
            if (w.title == "Fehler")
                xvfb.pressKey(w, "Return");
        }
        ended = p->waitForFinished(200);
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(p->exitCode(), 1);
    QFile f(dataFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), garbage);
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST(ProgramCommandLine, VersionAndHelpAnswerWithoutAWindow)
{
    struct Case
    {
        const char* arg;
        const char* answerContains;
    };
    const Case cases[] = {
        {"--version", "Lumo Tavisto 2.6\n"},
        {"-v", "Lumo Tavisto 2.6\n"},
        {"--help", "  -v, --version   zeigt die Version und endet\n"},
        {"-h", "Aufruf: tavisto [Option]\n"},
    };
    // No display at all: a program that tried to open a window would abort on it. And an
    // instance already running must not matter, so the lock is held meanwhile.
    TempDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("HOME", home.path());
    env.insert("XDG_RUNTIME_DIR", home.path());
    QFile lock(home.file("Lumo Tavisto"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    ASSERT_EQ(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kBuiltProgram, {QString::fromLatin1(c.arg)});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.answerContains))) << out.toStdString();
        EXPECT_EQ(p.readAllStandardError(), "");
    }
    // The premise of the cases above: here a start that goes on to its windows fails.
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kBuiltProgram, {"--unbekannt"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_TRUE(p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0);
    EXPECT_EQ(p.readAllStandardOutput(), "");
}
