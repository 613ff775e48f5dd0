#include "shell/InstanceChannel.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
constexpr int kWaitMs = 2000;
} // namespace

QString InstanceChannel::socketFor(const QString& lockFile)
{
    return lockFile + QStringLiteral(".socket");
}

InstanceChannel::InstanceChannel(const QString& lockFile, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    const QString path = socketFor(lockFile);
    // We hold the lock: a socket there is what an instance that died left behind.
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(path);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnection);
}

bool InstanceChannel::listening() const
{
    return m_server->isListening();
}

void InstanceChannel::takeConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        // The request may already be there, or still on its way.
        auto read = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            socket->disconnectFromServer();
            socket->deleteLater();
            if (line == kRaise)
                emit raiseRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        read();
    }
}

bool InstanceChannel::askToRaise(const QString& lockFile)
{
    QLocalSocket socket;
    socket.connectToServer(socketFor(lockFile));
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(kWaitMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

void InstanceChannel::bringToFront(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
        modal->raise();
        modal->activateWindow();
    }
}
