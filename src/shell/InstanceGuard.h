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

    static QString defaultLockFile();

private:
    int m_fd = -1;
    bool m_alreadyRunning = false;
};
