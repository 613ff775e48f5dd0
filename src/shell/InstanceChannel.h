#pragma once
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// How a second start reaches the running instance: the running one listens on a local
// socket beside its lock file; a second start, after its notice, asks it to bring its
// window to the front. Only the holder of the lock listens, so a socket left by a process
// that died is taken over.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    // The socket's path for a lock file.
    static QString socketFor(const QString& lockFile);

    // Listens for second starts; call only while holding the lock.
    explicit InstanceChannel(const QString& lockFile, QObject* parent = nullptr);
    bool listening() const;

    // From a second start: asks the running instance to come to the front. False when none
    // answers on the socket.
    static bool askToRaise(const QString& lockFile);

    // Brings the window to the front and gives it the input focus; an open modal dialog of
    // the program comes up over it, since only that dialog takes input.
    static void bringToFront(QWidget* window);

signals:
    void raiseRequested();

private:
    void takeConnection();

    QLocalServer* m_server;
};
