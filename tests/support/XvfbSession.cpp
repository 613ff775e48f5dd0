#include "support/XvfbSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

XvfbSession::XvfbSession()
{
    // -displayfd picks a free display and tells us its number. -noreset: by default the
    // server resets when its last client leaves, and a client still in its connection setup
    // at that moment is dropped without a reply. A program started just as the others ended
    // (a killed instance, an xdotool call) then could not open the display and aborted.
    m_xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x900x24", "-nolisten", "tcp", "-noreset"});
    if (!m_xvfb.waitForStarted(5000))
        return;
    QElapsedTimer t;
    t.start();
    QByteArray out;
    while (t.elapsed() < 10000 && !out.contains('\n')) {
        m_xvfb.waitForReadyRead(200);
        out += m_xvfb.readAllStandardOutput();
    }
    const QByteArray number = out.trimmed();
    if (!number.isEmpty())
        m_display = ":" + QString::fromLatin1(number);
}

XvfbSession::~XvfbSession()
{
    m_xvfb.terminate();
    m_xvfb.waitForFinished(3000);
}

QProcessEnvironment XvfbSession::environment(const QString& home) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "WAYLAND_DISPLAY"})
        env.remove(name);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", m_display);
    env.insert("HOME", home);
    QDir().mkpath(home + "/run");
    QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", home + "/run");
    // Not the shared scheduler: while it works through the printing tests' jobs, asking it
    // for the printer list can take longer than these tests wait. No printer answers here.
    env.insert("CUPS_SERVER", home + "/run/no-scheduler.sock");
    return env;
}

QString XvfbSession::run(const QString& program, const QStringList& args) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QList<XvfbSession::Window> XvfbSession::windows(qint64 pid) const
{
    QList<Window> list;
    const QStringList ids =
        run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)}).split('\n', Qt::SkipEmptyParts);
    for (const QString& id : ids)
        list.append({id, run("xdotool", {"getwindowname", id}).trimmed()});
    return list;
}

bool XvfbSession::waitForWindow(qint64 pid, const std::function<bool(const QString&)>& accept, int timeoutMs,
                                Window* found) const
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        for (const Window& w : windows(pid))
            if (accept(w.title)) {
                if (found)
                    *found = w;
                return true;
            }
        QThread::msleep(100);
    }
    return false;
}

void XvfbSession::pressKey(const Window& w, const QString& key) const
{
    // No window manager runs here: give the window the input focus, then type as a user.
    run("xdotool", {"windowfocus", "--sync", w.id});
    run("xdotool", {"key", key});
}

void XvfbSession::focus(const Window& w) const
{
    run("xdotool", {"windowfocus", "--sync", w.id});
}

bool XvfbSession::screenshot(const QString& file) const
{
    run("import", {"-window", "root", file});
    return QFile::exists(file);
}
