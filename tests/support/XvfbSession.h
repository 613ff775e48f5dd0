#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

// A virtual X display of our own for tests that drive the real program: its windows are
// found by process id and answered with key presses through xdotool.
class XvfbSession
{
public:
    XvfbSession();
    ~XvfbSession();
    bool ok() const { return !m_display.isEmpty(); }
    const QString& display() const { return m_display; }

    // Environment for the program: this display and a private home folder.
    QProcessEnvironment environment(const QString& home) const;

    struct Window
    {
        QString id;
        QString title;
    };
    // The visible top-level windows of a process.
    QList<Window> windows(qint64 pid) const;
    // Waits until a window of the process has a title the predicate accepts.
    bool waitForWindow(qint64 pid, const std::function<bool(const QString&)>& accept, int timeoutMs,
                       Window* found = nullptr) const;
    void pressKey(const Window& w, const QString& key) const;
    // Makes the window the active one, as a click on it would.
    void focus(const Window& w) const;
    // Saves the whole screen as PNG.
    bool screenshot(const QString& file) const;

private:
    QString run(const QString& program, const QStringList& args) const;

    QProcess m_xvfb;
    QString m_display;
};
