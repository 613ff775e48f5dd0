#pragma once
#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a session that logs out, a service manager, Ctrl+C in a
// terminal) close the program the ordinary way, so the settings are saved as on a click
// on the close box.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // True once a signal arrived, while the receiver lives: long work that runs its own
    // loop (a series print) ends itself instead of asking the user anything more.
    static bool Requested() { return s_requested; }

signals:
    void terminationRequested();

private:
    static void handle(int signal);
    static int s_fds[2];
    static bool s_requested;
    QSocketNotifier* m_notifier = nullptr;
};
