#include "io/BoundedRead.h"

#include "io/CheckedFileInternal.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedRead {

QString notRegular(const QString &path, unsigned mode)
{
    return QStringLiteral("%1 は通常のファイルではありません（%2）。")
        .arg(QDir::toNativeSeparators(path), CheckedFileInternal::kindOf(mode_t(mode)));
}

QString linkRefused(const QString &path)
{
    return QStringLiteral("%1 はシンボリックリンクです。プログラムが管理するフォルダの中のリンクはたどりません。")
        .arg(QDir::toNativeSeparators(path));
}

bool check(const QString &path, Links links, bool *exists, QString *error)
{
    *exists = false;
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    const int r = links == Links::Refuse ? ::lstat(name.constData(), &st) : ::stat(name.constData(), &st);
    if (r != 0) {
        if (errno == ENOENT)
            return true;
        CheckedFileInternal::fail(error, QStringLiteral("ファイルを確認できません"), path, errno);
        return false;
    }
    *exists = true;
    if (S_ISLNK(st.st_mode)) {
        *error = linkRefused(path);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = notRegular(path, st.st_mode);
        return false;
    }
    return true;
}

Outcome read(const QString &path, qint64 limit, QByteArray *out, QString *error, Links links)
{
    out->clear();
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; it is refused below.
    const int fd = ::open(name.constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (links == Links::Refuse ? O_NOFOLLOW : 0));
    if (fd < 0) {
        const int code = errno;
        struct stat st {};
        if (code == ENOENT) {
            *error = QStringLiteral("%1 がありません。").arg(QDir::toNativeSeparators(path));
            return Outcome::Missing;
        }
        if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) && links == Links::Refuse)
            *error = linkRefused(path);
        else if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            *error = notRegular(path, st.st_mode); // a socket cannot be opened at all
        else
            CheckedFileInternal::fail(error, QStringLiteral("ファイルを読み込めません"), path, code);
        return Outcome::Refused;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int code = errno;
        ::close(fd);
        if (S_ISREG(st.st_mode) || st.st_mode == 0)
            CheckedFileInternal::fail(error, QStringLiteral("ファイルを読み込めません"), path, code);
        else
            *error = notRegular(path, st.st_mode);
        return Outcome::Refused;
    }
    if (st.st_size > limit) {
        ::close(fd);
        *error = QStringLiteral("%1 は大きすぎます（%2 バイト。%3 バイトまでです）。")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(qint64(st.st_size))
                     .arg(limit);
        return Outcome::Refused;
    }
    // The file may grow while it is read: never more than the bound.
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit)
                break;
            bytes.resize(std::min<qsizetype>(qsizetype(limit) + 1, bytes.size() + 65536));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int code = errno;
            ::close(fd);
            CheckedFileInternal::fail(error, QStringLiteral("ファイルを読み込めません"), path, code);
            return Outcome::Refused;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    if (got > limit) {
        *error = QStringLiteral("%1 は大きすぎます（%2 バイトまでです）。").arg(QDir::toNativeSeparators(path)).arg(limit);
        return Outcome::Refused;
    }
    bytes.truncate(got);
    *out = bytes;
    return Outcome::Read;
}

} // namespace BoundedRead
