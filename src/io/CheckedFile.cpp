#include "io/CheckedFile.h"
#include "io/CheckedFileInternal.h"
#include "io/TestPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>


#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QList>
#include <QPair>

namespace CheckedFileInternal {

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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray baseOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file a path names in the end: symbolic links followed, a relative link taken from its own
// folder. A link that points nowhere yet names the file to be made. "" with errno on a loop.
QByteArray finalTarget(const QByteArray &path)
{
    QByteArray p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        QByteArray link(qsizetype(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = ::readlink(p.constData(), link.data(), size_t(link.size()));
        if (n < 0)
            return p;
        link.truncate(n);
        p = link.startsWith('/') ? link : folderOf(p) + '/' + link;
    }
    errno = ELOOP;
    return {};
}

// A name beside `target` for the temporary file: the target's name with a unique part, cut so
// that the whole stays within the folder's longest name.
QByteArray temporaryPattern(const QByteArray &target)
{
    const QByteArray folder = folderOf(target);
    QByteArray base = baseOf(target);
    long longest = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    const qsizetype room = qsizetype(longest) - qsizetype(sizeof(".XXXXXX.tmp") - 1) - 1; // "." in front
    if (base.size() > room) {
        base.truncate(std::max<qsizetype>(0, room));
        while (!base.isEmpty() && (quint8(base.back()) & 0xC0) == 0x80)
            base.chop(1); // never half a UTF-8 character
        if (!base.isEmpty() && quint8(base.back()) >= 0xC0)
            base.chop(1);
    }
    return folder + "/." + base + ".XXXXXX.tmp";
}

// The temporary file beside the (final) target, created exclusively; -1 with errno set on failure.
int openTemporary(const QByteArray &target, QByteArray *tempName)
{
    QByteArray pattern = temporaryPattern(target);
    const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return -1;
    *tempName = pattern;
    return fd;
}

// The extended attributes of a file, access control lists among them (name, value).
bool attributes(int fd, const QByteArray &path, QList<QPair<QByteArray, QByteArray>> *out)
{
    out->clear();
    const ssize_t size = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(path.constData(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;
    QByteArray names(size, '\0');
    const ssize_t n = fd >= 0 ? ::flistxattr(fd, names.data(), size_t(size)) : ::listxattr(path.constData(), names.data(), size_t(size));
    if (n < 0)
        return false;
    for (const QByteArray &name : names.left(n).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = fd >= 0 ? ::fgetxattr(fd, name.constData(), nullptr, 0)
                                       : ::getxattr(path.constData(), name.constData(), nullptr, 0);
        if (length < 0)
            return false;
        QByteArray value(length, '\0');
        const ssize_t got = fd >= 0 ? ::fgetxattr(fd, name.constData(), value.data(), size_t(length))
                                    : ::getxattr(path.constData(), name.constData(), value.data(), size_t(length));
        if (got < 0)
            return false;
        out->append({name, value.left(got)});
    }
    return true;
}

// Gives the temporary file what the file it replaces is: owner, group, permissions (never setuid
// or setgid), access control lists and other extended attributes, and nothing more. False when
// any of it cannot be given: the file is then written in place instead.
bool takeIdentity(int fd, const QByteArray &target, const struct stat &was)
{
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != was.st_uid || now.st_gid != was.st_gid) && ::fchown(fd, was.st_uid, was.st_gid) != 0)
        return false;
    if (::fchmod(fd, was.st_mode & 0777) != 0)
        return false;
    QList<QPair<QByteArray, QByteArray>> wanted;
    QList<QPair<QByteArray, QByteArray>> inherited;
    if (!attributes(-1, target, &wanted) || !attributes(fd, {}, &inherited))
        return false;
    // Attributes the folder gave the new file (a default ACL) that the old file did not have.
    for (const auto &[name, value] : std::as_const(inherited)) {
        bool kept = false;
        for (const auto &w : std::as_const(wanted))
            kept = kept || w.first == name;
        if (!kept && ::fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    for (const auto &[name, value] : std::as_const(wanted))
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    return true;
}

// Rewrites an existing file in place, keeping everything the file is but its content: for hard
// links, for an owner this user cannot give a new file, and for a folder that refuses new files.
// If the new content cannot be written whole, the old content is written back.
bool rewriteInPlace(const QByteArray &name, const QString &path, const QByteArray &bytes, QString *error)
{
    // The old bytes are kept to be written back on failure: never more than a bound of them.
    constexpr qint64 kInPlaceLimit = 256 * 1024 * 1024;
    QByteArray old;
    {
        QFile in(QFile::decodeName(name));
        if (!in.open(QIODevice::ReadOnly)) {
            fail(error, QStringLiteral("ファイルを読み込めません"), path, EACCES);
            return false;
        }
        if (in.size() > kInPlaceLimit) {
            if (error)
                *error = QStringLiteral("%1 は大きすぎるため、その場で書き換えられません（%2 バイトまで）。")
                             .arg(nativePath(path))
                             .arg(kInPlaceLimit);
            return false;
        }
        old = in.read(kInPlaceLimit);
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

QString kindOf(mode_t mode)
{
    return S_ISDIR(mode)    ? QStringLiteral("フォルダ")
           : S_ISFIFO(mode) ? QStringLiteral("名前付きパイプ")
           : S_ISSOCK(mode) ? QStringLiteral("ソケット")
                            : QStringLiteral("デバイス");
}

// What the target is: missing (true, exists false), a regular file that may be replaced (true),
// or something that must not be written (false with the reason).
bool inspect(const QString &path, const QByteArray &target, struct stat *st, bool *exists, QString *error)
{
    *exists = false;
    if (target.isEmpty()) {
        fail(error, QStringLiteral("ファイルを確認できません"), path, errno);
        return false;
    }
    if (::stat(target.constData(), st) != 0) {
        if (errno == ENOENT)
            return true;
        fail(error, QStringLiteral("ファイルを確認できません"), path, errno);
        return false;
    }
    *exists = true;
    if (!S_ISREG(st->st_mode)) {
        if (error)
            *error = QStringLiteral("%1 は通常のファイルではありません（%2）。別の名前を指定してください。")
                         .arg(nativePath(path), kindOf(st->st_mode));
        return false;
    }
    if ((st->st_mode & S_IWUSR) == 0) {
        if (error)
            *error = QStringLiteral("読み取り専用のファイルのため保存できません: %1").arg(nativePath(path));
        return false;
    }
    return true;
}

} // namespace CheckedFileInternal

namespace CheckedFile {

using namespace CheckedFileInternal;

bool checkTarget(const QString &path, QString *error)
{
    struct stat st {};
    bool exists = false;
    return inspect(path, finalTarget(QFile::encodeName(path)), &st, &exists, error);
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    // A link stays a link: the file it points to gets the content.
    const QByteArray target = finalTarget(QFile::encodeName(path));
    struct stat was {};
    bool exists = false;
    if (!inspect(path, target, &was, &exists, error))
        return false;
    if (exists && ::access(target.constData(), W_OK) != 0) {
        // Replacing it would take it from its owner: refused like any file one may not write.
        fail(error, QStringLiteral("ファイルを書き込めません"), path, errno);
        return false;
    }
    // Every name of a file with several hard links sees the new content.
    if (exists && was.st_nlink > 1)
        return rewriteInPlace(target, path, bytes, error);
    QByteArray tempName;
    const int fd = openTemporary(target, &tempName);
    if (fd < 0) {
        const int code = errno;
        // A folder that forbids new files, holding a file that may be written: rewrite it.
        if ((code == EACCES || code == EPERM) && exists)
            return rewriteInPlace(target, path, bytes, error);
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFile::decodeName(folderOf(target)), code);
        return false;
    }
    const bool identity = exists ? takeIdentity(fd, target, was) : ::fchmod(fd, newFileMode()) == 0;
    if (!identity) {
        // An owner or attributes this user cannot give a new file: the file itself is written.
        ::close(fd);
        ::unlink(tempName.constData());
        if (exists)
            return rewriteInPlace(target, path, bytes, error);
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFile::decodeName(folderOf(target)), errno);
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
    TestPoint::reached("file:written");
    if (::rename(tempName.constData(), target.constData()) != 0) {
        const int code = errno;
        ::unlink(tempName.constData());
        fail(error, QStringLiteral("ファイルを置き換えられません"), path, code);
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

QString createTemporary(const QString &target, QString *error)
{
    if (!checkTarget(target, error))
        return QString();
    QByteArray tempName;
    const int fd = openTemporary(finalTarget(QFile::encodeName(target)), &tempName);
    if (fd < 0 || ::fchmod(fd, newFileMode()) != 0) {
        const int code = errno;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(tempName.constData());
        }
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFileInfo(target).absolutePath(), code);
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
    const QByteArray name = finalTarget(QFile::encodeName(target));
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
    syncFolder(folderOf(name));
    return true;
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString temporary = createTemporary(path, error);
    if (temporary.isEmpty())
        return false;
    const QByteArray temp = QFile::encodeName(temporary);
    const int fd = ::open(temp.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // Still the empty file made a moment ago, not something put in its place since.
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_size != 0)) {
        ::close(fd);
        fail(error, QStringLiteral("一時ファイルを作成できません"), path, EEXIST);
        return false;
    }
    if (fd < 0 || !writeAll(fd, bytes)) {
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        fail(error, QStringLiteral("ファイルを書き込めません"), path, code);
        return false;
    }
    ::close(fd); // commit() syncs it and checks that
    return commit(temporary, path, error);
}

} // namespace CheckedFile
