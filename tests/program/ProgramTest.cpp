// The real program in a real X display: first start, single instance, bad database file.
#include "support/TempDir.h"
#include "support/XvfbSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString kProgram = QStringLiteral(TAVISTO_BIN_DIR "/Tavisto");

bool isMainWindow(const QString& title) { return title.startsWith("Lumo Tavisto (64-bit)"); }

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!xvfb.ok()) {
            if (qEnvironmentVariable("CI") == "true")
                FAIL() << "Xvfb could not be started";
            GTEST_SKIP() << "Xvfb could not be started";
        }
    }

    // Starts the program and answers the messages of a first start (missing help file,
    // no printer) with Return until the main window shows.
    std::unique_ptr<QProcess> startToMainWindow()
    {
        auto p = start();
        // Generous: the machine may be busy compiling.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 60000) {
            for (const auto& w : xvfb.windows(p->processId())) {
                if (qEnvironmentVariableIsSet("TAVISTO_TRACE"))
                    fprintf(stderr, "window %s [%s]\n", qPrintable(w.id), qPrintable(w.title));
                if (isMainWindow(w.title)) {
                    xvfb.focus(w);
                    return p;
                }
                if (w.title == "Fehler" || w.title == "Informationen")
                    xvfb.pressKey(w, "Return");
            }
            // An instance that ended shows nothing more: say how it ended instead of waiting.
            if (p->waitForFinished(200))
                break;
        }
        QStringList seen;
        for (const auto& w : xvfb.windows(p->processId()))
            seen << w.title;
        ADD_FAILURE() << "no main window; windows: " << seen.join(" | ").toStdString()
                      << "; process state " << int(p->state()) << ", exit status " << int(p->exitStatus())
                      << ", exit code " << p->exitCode() << "; stderr: " << p->readAllStandardError().toStdString();
        return p;
    }

    std::unique_ptr<QProcess> start()
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(xvfb.environment(home.path()));
        p->start(kProgram, {});
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }

    QString dataFile() const { return home.file("Documents/Lumo Tavisto/Tavisto.dbs"); }
    QString settingsFile() const { return home.file(".config/Lumo Tavisto/Tavisto.ini"); }

    XvfbSession xvfb;
    TempDir home;
};

// Only a running process is signalled: an ended one has the id 0, and kill(0, ...) would
// reach the test's whole process group.
void sendSignal(QProcess& p, int sig)
{
    if (p.state() != QProcess::NotRunning && p.processId() > 0)
        ::kill(pid_t(p.processId()), sig);
}

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
