#include "ProgramHarness.h"

#include <QElapsedTimer>
#include <csignal>

void ProgramHarness::SetUp()
{
    if (!xvfb.ok()) {
        if (qEnvironmentVariable("CI") == "true")
            FAIL() << "Xvfb could not be started";
        GTEST_SKIP() << "Xvfb could not be started";
    }
}

std::unique_ptr<QProcess> ProgramHarness::start()
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(xvfb.environment(home.path()));
    p->start(program, {});
    EXPECT_TRUE(p->waitForStarted(5000)) << program.toStdString();
    return p;
}

std::unique_ptr<QProcess> ProgramHarness::startToMainWindow(QStringList* answered)
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
            if (w.title == "Fehler" || w.title == "Informationen") {
                if (answered)
                    answered->append(w.title);
                xvfb.pressKey(w, "Return");
            }
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

XvfbSession::Window ProgramHarness::mainWindow(const QProcess& p) const
{
    for (const auto& w : xvfb.windows(p.processId()))
        if (isMainWindow(w.title))
            return w;
    return {};
}

void sendSignal(QProcess& p, int sig)
{
    if (p.state() != QProcess::NotRunning && p.processId() > 0)
        ::kill(pid_t(p.processId()), sig);
}
