#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// Refuses a second running copy: the first copy holds a lock file in the user's runtime folder for
// as long as it runs. A lock left by a copy that crashed is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath = defaultLockPath());
    // True when this copy is the only one; it then holds the lock until destroyed.
    bool acquire();

    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
