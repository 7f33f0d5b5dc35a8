#include "io/CheckedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The reason of a failed call, worded for the user.
QString reason(int code)
{
    switch (code) {
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限を超えました");
    case EIO: return QStringLiteral("ディスクの入出力エラーです");
    case EACCES:
    case EPERM: return QStringLiteral("書き込みが許可されていません");
    case EROFS: return QStringLiteral("読み取り専用の場所です");
    case ENOENT: return QStringLiteral("フォルダがありません");
    case ENOTDIR: return QStringLiteral("フォルダの指定が正しくありません");
    case EISDIR: return QStringLiteral("同じ名前のフォルダがあります");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます");
    default: return QString::fromLocal8Bit(std::strerror(code));
    }
}

void fail(QString *error, const QString &what, const QString &path, int code)
{
    if (error)
        *error = QStringLiteral("%1: %2（%3）").arg(what, nativePath(path), reason(code));
}

// Writes all of `bytes` at the file's current offset; false with errno set on any short write.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC; // a write that takes nothing would loop for ever
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

bool syncFd(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool closeFd(int fd)
{
    // A close that fails may be the first report of a failed write on some file systems.
    return ::close(fd) == 0 || errno == EINTR;
}

// The folder's own entry made durable, so the rename survives a power loss. Best effort: not
// every file system can sync a folder, and the new file is in place already.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary file beside the target, created exclusively; -1 with errno set on failure.
int openTemporary(const QString &target, QByteArray *tempName)
{
    const QFileInfo info(target);
    QByteArray pattern = QFile::encodeName(info.absolutePath()) + "/." + QFile::encodeName(info.fileName())
                         + ".XXXXXX.tmp";
    const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return -1;
    // A replaced file keeps its permissions; a new one gets those of any new file.
    struct stat st {};
    const QByteArray targetName = QFile::encodeName(target);
    const mode_t mode = ::stat(targetName.constData(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    ::fchmod(fd, mode);
    *tempName = pattern;
    return fd;
}

// Rewrites an existing file in place: only when its folder refuses new files. If the new
// content cannot be written whole, the old content is written back.
bool rewriteInPlace(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    QByteArray old;
    {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) {
            fail(error, QStringLiteral("ファイルを読み込めません"), path, EACCES);
            return false;
        }
        old = in.readAll();
    }
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        fail(error, QStringLiteral("ファイルを書き込めません"), path, errno);
        return false;
    }
    if (writeAll(fd, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0 && syncFd(fd)) {
        if (!closeFd(fd)) {
            fail(error, QStringLiteral("ファイルを書き込めません"), path, errno);
            return false;
        }
        return true;
    }
    const int code = errno;
    // Give the file its old bytes back as far as the disk allows.
    if (::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old))
        (void)!::ftruncate(fd, off_t(old.size()));
    ::fdatasync(fd);
    ::close(fd);
    fail(error, QStringLiteral("ファイルを書き込めません"), path, code);
    return false;
}

} // namespace

namespace CheckedFile {

bool checkTarget(const QString &path, QString *error)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT)
            return true;
        fail(error, QStringLiteral("ファイルを確認できません"), path, errno);
        return false;
    }
    if (S_ISREG(st.st_mode))
        return true;
    if (error) {
        const QString kind = S_ISDIR(st.st_mode)    ? QStringLiteral("フォルダ")
                             : S_ISFIFO(st.st_mode) ? QStringLiteral("名前付きパイプ")
                             : S_ISSOCK(st.st_mode) ? QStringLiteral("ソケット")
                                                    : QStringLiteral("デバイス");
        *error = QStringLiteral("%1 は通常のファイルではありません（%2）。別の名前を指定してください。")
                     .arg(nativePath(path), kind);
    }
    return false;
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!checkTarget(path, error))
        return false;
    QByteArray tempName;
    const int fd = openTemporary(path, &tempName);
    if (fd < 0) {
        const int code = errno;
        // A folder that forbids new files, holding a file that may be written: rewrite it.
        const QFileInfo info(path);
        if ((code == EACCES || code == EPERM) && info.isFile() && ::access(QFile::encodeName(path).constData(), W_OK) == 0)
            return rewriteInPlace(path, bytes, error);
        fail(error, QStringLiteral("一時ファイルを作成できません"), info.absolutePath(), code);
        return false;
    }
    if (!writeAll(fd, bytes) || !syncFd(fd)) {
        const int code = errno;
        ::close(fd);
        ::unlink(tempName.constData());
        fail(error, QStringLiteral("ファイルを書き込めません"), path, code);
        return false;
    }
    if (!closeFd(fd)) {
        const int code = errno;
        ::unlink(tempName.constData());
        fail(error, QStringLiteral("ファイルを書き込めません"), path, code);
        return false;
    }
    const QByteArray target = QFile::encodeName(path);
    if (::rename(tempName.constData(), target.constData()) != 0) {
        const int code = errno;
        ::unlink(tempName.constData());
        fail(error, QStringLiteral("ファイルを置き換えられません"), path, code);
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
    return true;
}

QString createTemporary(const QString &target, QString *error)
{
    if (!checkTarget(target, error))
        return QString();
    QByteArray tempName;
    const int fd = openTemporary(target, &tempName);
    if (fd < 0) {
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFileInfo(target).absolutePath(), errno);
        return QString();
    }
    if (!closeFd(fd)) {
        const int code = errno;
        ::unlink(tempName.constData());
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFileInfo(target).absolutePath(), code);
        return QString();
    }
    return QFile::decodeName(tempName);
}

bool commit(const QString &temporary, const QString &target, QString *error)
{
    const QByteArray temp = QFile::encodeName(temporary);
    const QByteArray name = QFile::encodeName(target);
    if (!checkTarget(target, error)) {
        ::unlink(temp.constData());
        return false;
    }
    const int fd = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
    bool synced = fd >= 0 && syncFd(fd);
    int code = errno;
    if (fd >= 0 && !closeFd(fd) && synced) {
        synced = false;
        code = errno;
    }
    if (!synced) {
        ::unlink(temp.constData());
        fail(error, QStringLiteral("ファイルを書き込めません"), target, code);
        return false;
    }
    if (::rename(temp.constData(), name.constData()) != 0) {
        const int code = errno;
        ::unlink(temp.constData());
        fail(error, QStringLiteral("ファイルを置き換えられません"), target, code);
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
    return true;
}

} // namespace CheckedFile
