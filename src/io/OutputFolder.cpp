#include "io/FileSet.h"

#include "io/CheckedFileInternal.h"
#include "io/FileSetInternal.h"
#include "io/TestPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// An output folder of the program's written whole beside the old one and exchanged with it.
namespace FileSet {

using namespace CheckedFileInternal;
using namespace Internal;

namespace {

const QByteArray kFolderSuffix = QByteArrayLiteral(".prx5m-dir");

// A folder that holds only what `names` lists (regular files of one name each, the user's own)
// and the set's lock: it may be replaced whole. Anything else in it keeps the file-by-file write.
bool onlySetFiles(const QByteArray &folder, const QStringList &names)
{
    QDir dir(QFile::decodeName(folder));
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries) {
        struct stat st {};
        const QByteArray path = folder + '/' + QFile::encodeName(e);
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()
            || !(st.st_mode & S_IWUSR))
            return false;
        if (e != kLockName && !names.contains(e))
            return false;
    }
    return true;
}

// Removes a folder the program made beside an output folder (the new set while it was written,
// or the old one after the exchange) when it holds nothing but set files; false when it holds
// anything else, which stays.
bool removeSetFolder(const QByteArray &folder, const QStringList &names)
{
    struct stat st {};
    if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || !onlySetFiles(folder, names))
        return false;
    // By the set's names only: a file that arrived after the look stays, and so does the folder.
    for (const QString &e : names + QStringList{kLockName})
        ::unlink((folder + '/' + QFile::encodeName(e)).constData());
    return ::rmdir(folder.constData()) == 0;
}

// The folders an interrupted exchange left beside `folder`.
void removeStraySetFolders(const QByteArray &folder, const QStringList &names)
{
    const QByteArray parent = folderOf(folder);
    QDir dir(QFile::decodeName(parent));
    const QStringList found = dir.entryList({QStringLiteral(".*") + QString::fromLatin1(kFolderSuffix)},
                                            QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &f : found) {
        const QByteArray path = parent + '/' + QFile::encodeName(f);
        if (!temporaryOf(folder, path, kFolderSuffix))
            continue;
        // Every folder the program makes here holds its lock from the start: one whose lock is
        // held is another run's at work; one without a lock is not the program's (a folder of
        // the user's renamed there), unless it is empty.
        const QByteArray lockPath = path + '/' + QFile::encodeName(kLockName);
        const int fd = ::open(lockPath.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            ::rmdir(path.constData());
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            removeSetFolder(path, names);
        ::close(fd);
    }
}

// The new set written whole into a fresh folder beside `folder`, which is then exchanged with it
// in one step: a reader of the folder sees all of the old set or all of the new one. The lock
// goes with the new folder (taken there before the exchange), so a writer waiting on the old one
// finds it gone and waits on the new. False without a word in `error` when the exchange cannot be
// made here (the caller then writes file by file), false with the reason when writing fails.
bool exchangeFolder(const Lock &lock, const QList<File> &files, const QStringList &names, QString *error,
                    QString *notice, QString *why)
{
    const QByteArray folder = QFile::encodeName(lock.home());
    const QByteArray sibling = besideName(folder, randomPart(), kFolderSuffix);
    struct stat old {};
    // A folder the user may not change keeps the file-by-file write (which refuses what it must);
    // so does one with access lists of its own, which a new folder would not have.
    if (::lstat(folder.constData(), &old) != 0 || !S_ISDIR(old.st_mode) || old.st_uid != ::geteuid()
        || ::access(folder.constData(), W_OK) != 0) {
        *why = QStringLiteral("フォルダを書き換えられない");
        return false;
    }
    if (::getxattr(folder.constData(), "system.posix_acl_access", nullptr, 0) >= 0
        || ::getxattr(folder.constData(), "system.posix_acl_default", nullptr, 0) >= 0) {
        *why = QStringLiteral("フォルダにアクセス権の設定（ACL）がある");
        return false;
    }
    if (::mkdir(sibling.constData(), 0700) != 0) {
        *why = QStringLiteral("その隣にフォルダを作れない");
        return false;
    }
    const auto abandon = [&] {
        removeSetFolder(sibling, names);
        *why = QStringLiteral("その隣のフォルダをロックできない");
        return false;
    };
    const QByteArray lockPath = sibling + '/' + QFile::encodeName(kLockName);
    const int newLock = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (newLock < 0 || ::flock(newLock, LOCK_EX | LOCK_NB) != 0) {
        if (newLock >= 0)
            ::close(newLock);
        return abandon();
    }
    const auto fails = [&](const QString &what, const QString &path, int code) {
        fail(error, what, path, code);
        ::close(newLock);
        removeSetFolder(sibling, names);
        return false;
    };
    for (const File &f : files) {
        const QByteArray path = sibling + '/' + baseOf(QFile::encodeName(QFileInfo(f.path).absoluteFilePath()));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newFileMode());
        if (fd < 0)
            return fails(QStringLiteral("一時ファイルを作成できません"), QFile::decodeName(sibling), errno);
        QString produced;
        if (!writeContent(fd, &f.bytes, &f.produce, &produced) || !syncFd(fd)) {
            const int code = errno;
            ::close(fd);
            if (!produced.isEmpty()) {
                ::close(newLock);
                removeSetFolder(sibling, names);
                *error = produced;
                return false;
            }
            return fails(QStringLiteral("ファイルを書き込めません"), QDir::toNativeSeparators(f.path), code);
        }
        if (!closeFd(fd))
            return fails(QStringLiteral("ファイルを書き込めません"), QDir::toNativeSeparators(f.path), errno);
    }
    if (::chmod(sibling.constData(), old.st_mode & 07777) != 0)
        return fails(QStringLiteral("フォルダを作成できません"), QFile::decodeName(sibling), errno);
    // The folder's group goes with it; where it cannot, the file-by-file write keeps the folder.
    struct stat made {};
    if (::lstat(sibling.constData(), &made) != 0
        || (made.st_gid != old.st_gid && ::chown(sibling.constData(), uid_t(-1), old.st_gid) != 0)) {
        ::close(newLock);
        removeSetFolder(sibling, names);
        *why = QStringLiteral("フォルダのグループを引き継げない");
        return false;
    }
    syncFolder(sibling);
    TestPoint::reached("folder:written");
    // Looked at again: a file that arrived while the set was written would go with the old folder.
    struct stat now {};
    if (::lstat(folder.constData(), &now) != 0 || now.st_dev != old.st_dev || now.st_ino != old.st_ino
        || !onlySetFiles(folder, names)) {
        ::close(newLock);
        removeSetFolder(sibling, names);
        *why = QStringLiteral("書き出す間にフォルダにほかのファイルが加わった");
        return false;
    }
    if (::renameat2(AT_FDCWD, sibling.constData(), AT_FDCWD, folder.constData(), RENAME_EXCHANGE) != 0) {
        const int code = errno;
        ::close(newLock);
        removeSetFolder(sibling, names);
        if (code == EINVAL || code == ENOSYS || code == EXDEV || code == EBUSY || code == EPERM || code == ENOTSUP) {
            *why = QStringLiteral("このファイルシステムでは一度に入れ替えられない"); // or a mount point
            return false;
        }
        fail(error, QStringLiteral("フォルダを入れ替えられません"), lock.home(), code);
        return false;
    }
    syncFolder(folderOf(folder));
    TestPoint::reached("folder:exchanged");
    // The old set, now beside the folder, with the old lock: removed when it is the folder that
    // was looked at and holds nothing else; then the new lock let go.
    struct stat aside {};
    const bool same = ::lstat(sibling.constData(), &aside) == 0 && aside.st_dev == old.st_dev && aside.st_ino == old.st_ino;
    if (!same || !removeSetFolder(sibling, names)) {
        if (notice)
            *notice = QStringLiteral("前の出力のフォルダを %1 に残しました（消せないものがありました）。")
                          .arg(QDir::toNativeSeparators(QFile::decodeName(sibling)));
    }
    ::unlink((folder + '/' + QFile::encodeName(kLockName)).constData());
    ::close(newLock);
    return true;
}

} // namespace

bool writeOutputFolder(const QString &folder, const QList<std::pair<QString, QByteArray>> &named, QString *error,
                       QString *notice)
{
    QList<File> files;
    for (const auto &[name, bytes] : named)
        files.append({name, bytes});
    return writeOutputFiles(folder, files, error, notice);
}

bool writeOutputFiles(const QString &folder, const QList<File> &named, QString *error, QString *notice)
{
    const QStringList &names = kOutputNames;
    const QString path = QFileInfo(folder).absoluteFilePath();
    QList<File> files;
    for (File f : named) {
        f.path = QDir(path).filePath(f.path);
        files.append(f);
    }
    if (!QFileInfo(path).isDir() && !QDir().mkpath(path)) {
        *error = QStringLiteral("フォルダを作成できません: %1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    Lock lock;
    if (!lock.acquire(path, error, {}, names))
        return false;
    removeStraySetFolders(QFile::encodeName(lock.home()), names);
    struct stat st {};
    const QByteArray name = QFile::encodeName(lock.home());
    const bool whole = ::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && onlySetFiles(name, names);
    if (whole) {
        error->clear();
        QString why;
        if (exchangeFolder(lock, files, names, error, notice, &why)) {
            lock.forget(); // its file went with the old folder
            return true;
        }
        if (!error->isEmpty())
            return false;
        if (notice)
            *notice = QStringLiteral("%1 は%2ため、ファイルを一つずつ置き換えました。").arg(QDir::toNativeSeparators(lock.home()), why);
    } else if (notice) {
        *notice = QStringLiteral("%1 にはほかのファイルもあるため、ファイルを一つずつ置き換えました。")
                      .arg(QDir::toNativeSeparators(lock.home()));
    }
    return write(lock, files, error);
}

} // namespace FileSet
