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

signals:
    void terminationRequested();

private:
    static void handle(int signal);
    static int s_fds[2];
    QSocketNotifier* m_notifier = nullptr;
};
