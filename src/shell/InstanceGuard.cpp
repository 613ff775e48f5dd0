#include "shell/InstanceGuard.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

QString InstanceGuard::defaultLockFile()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists()) {
        dir = QDir::tempPath() + QStringLiteral("/lumo-tavisto-%1").arg(::getuid());
        ::mkdir(QFile::encodeName(dir).constData(), 0700);
    }
    return dir + QStringLiteral("/Lumo Tavisto");
}

InstanceGuard::InstanceGuard(const QString& lockFile)
{
    m_fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_alreadyRunning = (errno == EWOULDBLOCK);
        ::close(m_fd);
        m_fd = -1;
    }
}

InstanceGuard::~InstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
