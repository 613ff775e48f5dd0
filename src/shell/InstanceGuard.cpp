#include "shell/InstanceGuard.h"

#include "shell/AppPaths.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kLockName = QStringLiteral("Lumo Tavisto");
}

bool InstanceGuard::isPrivateFolder(const QString& dir)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(dir).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 0077) == 0;
}

QString InstanceGuard::lockFileIn(const QString& runtimeDir, const QString& tempDir, const QString& configDir)
{
    if (!runtimeDir.isEmpty() && QDir(runtimeDir).exists())
        return runtimeDir + u'/' + kLockName;
    const QString own = tempDir + QStringLiteral("/lumo-tavisto-%1").arg(::getuid());
    // An existing folder is taken only as it stands: never chmod or follow what someone
    // else may have put there.
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    if (isPrivateFolder(own))
        return own + u'/' + kLockName;
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(kLockName + QStringLiteral(".lock"));
}

QString InstanceGuard::defaultLockFile()
{
    return lockFileIn(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(),
                      GetKnownFolder(CSIDL_APPDATA) + kLockName);
}

InstanceGuard::InstanceGuard(const QString& lockFile) : m_lockFile(lockFile)
{
    m_fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
