#pragma once
#include <QString>

// Marks the running instance with an exclusive lock on a file named "Lumo Tavisto" in the
// user's runtime folder. The kernel drops the lock when the process ends, however it ends.
class InstanceGuard
{
public:
    explicit InstanceGuard(const QString& lockFile = defaultLockFile());
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // False only when another process holds the lock; a lock that cannot be made at all
    // lets the start go on.
    bool alreadyRunning() const { return m_alreadyRunning; }
    const QString& lockFile() const { return m_lockFile; }
    // Whether this process holds the lock.
    bool held() const { return m_fd >= 0; }

    static QString defaultLockFile();
    // The lock file's place: the runtime folder when there is one, else a folder of our own
    // in the temporary folder, made with mode 0700. A folder there that another user owns,
    // that others may enter, or that is no plain folder could let them hold or remove our
    // lock: then the user's configuration folder takes the lock file instead.
    static QString lockFileIn(const QString& runtimeDir, const QString& tempDir, const QString& configDir);
    // True when the folder exists as a real folder (no link), belongs to this user and no
    // one else may read, write or enter it.
    static bool isPrivateFolder(const QString& dir);

private:
    QString m_lockFile;
    int m_fd = -1;
    bool m_alreadyRunning = false;
};
