#pragma once

#include <QString>

// Refuses a second running copy. The running copy holds an advisory lock on a lock file in the
// user's runtime folder; the system drops the lock when the copy ends, however it ends, so a lock
// file left behind (empty, garbage, naming a process that is gone or another host) never keeps the
// program from starting: it is simply taken over.
class SingleInstance
{
public:
    enum class Result {
        Acquired,           // this copy is the only one and holds the lock until destroyed
        HeldByRunningCopy,  // another copy runs: end at once, silently
        Failed,             // the lock cannot be taken (permissions): tell the user why
    };

    explicit SingleInstance(const QString &lockPath = defaultLockPath());
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    Result acquire(QString *error = nullptr);

    static QString defaultLockPath();

private:
    QString m_path;
    int m_fd = -1;
};
