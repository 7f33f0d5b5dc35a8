#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &lockPath) : m_path(lockPath) {}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0) {
        // The file stays: removing it could race with a copy starting now.
        ::close(m_fd);
    }
}

SingleInstance::Result SingleInstance::acquire(QString *error)
{
    const QByteArray name = QFile::encodeName(m_path);
    const auto failed = [&](const QString &what, int code) {
        if (error) {
            *error = QStringLiteral("ロックファイル %1 を%2ため、起動できません（%3）。")
                         .arg(QDir::toNativeSeparators(m_path), what, QString::fromLocal8Bit(std::strerror(code)));
        }
        return Result::Failed;
    };

    // Whatever stands in the lock's place and is not a file (an empty folder, a FIFO) is cleared.
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        const int removed = S_ISDIR(st.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData());
        if (removed != 0)
            return failed(QStringLiteral("作成できない"), errno);
    }
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    int code = errno;
    if (fd < 0 && (code == EACCES || code == EPERM || code == ELOOP)) {
        // A lock file this user may not open (left by a copy under other rights, or a link):
        // take it over by replacing it.
        if (::unlink(name.constData()) == 0) {
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            code = errno;
        }
    }
    if (fd < 0)
        return failed(QStringLiteral("作成できない"), code);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK)
            return Result::HeldByRunningCopy;
        return failed(QStringLiteral("ロックできない"), code);
    }
    // For a person looking at the file: which process holds it.
    const QByteArray owner = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)!::write(fd, owner.constData(), size_t(owner.size()));
    m_fd = fd;
    return Result::Acquired;
}

QString SingleInstance::defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("prx5m.lock"));
}
