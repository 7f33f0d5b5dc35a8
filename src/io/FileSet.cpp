#include "io/FileSet.h"

#include "io/BoundedRead.h"
#include "io/CheckedFile.h"
#include "io/CheckedFileInternal.h"
#include "io/FileSetInternal.h"
#include "io/TestPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSet {

using namespace CheckedFileInternal;
using namespace Internal;

namespace {

bool exists(const QByteArray &path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// Two names of one file: the old file's aside link while the target still is the old file.
bool sameFile(const QByteArray &a, const QByteArray &b)
{
    struct stat sa {}, sb {};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

void removeMadeFolders(const Journal &j)
{
    for (qsizetype i = j.folders.size() - 1; i >= 0; --i)
        ::rmdir(j.folders[i].constData()); // only when empty
}

// A temporary or old file a journal names, before it is renamed over a set's file: a regular file
// of the user's (a link, a folder or another user's file planted under that name is not taken).
bool ownFile(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
        return true;
    errno = EPERM;
    return false;
}

// Every file as it was. Before the commit only the temporary files are there to remove; after it
// the old files come back from aside and the new ones that had no old one go.
bool rollBack(const QString &home, const Journal &j, QString *error)
{
    bool ok = true;
    for (qsizetype i = j.entries.size() - 1; i >= 0; --i) {
        const Entry &e = j.entries[i];
        if (j.state == State::Rollback) {
            if (!e.aside.isEmpty() && sameFile(e.aside, e.target)) {
                ::unlink(e.aside.constData()); // the new file never took its place
            } else if (!e.aside.isEmpty() && exists(e.aside)) {
                if (!ownFile(e.aside) || ::rename(e.aside.constData(), e.target.constData()) != 0) {
                    fail(error, QStringLiteral("元のファイルに戻せません"), QFile::decodeName(e.target), errno);
                    ok = false;
                    continue;
                }
            } else if (e.aside.isEmpty() && !exists(e.temp) && exists(e.target)) {
                ::unlink(e.target.constData()); // new in this set: it was not there before
            }
        }
        if (exists(e.temp))
            ::unlink(e.temp.constData());
        syncFolder(folderOf(e.target));
    }
    if (!ok)
        return false;
    removeMadeFolders(j);
    removeJournal(home);
    return true;
}

// Every file new: the renames the journal records that were not made yet are made.
bool complete(const QString &home, const Journal &j, QString *error)
{
    for (const Entry &e : j.entries) {
        if (e.remove) {
            // Gone with the set: moved aside (removed below) unless that was done already.
            if (exists(e.target) && !exists(e.aside)
                && (!ownFile(e.target) || ::rename(e.target.constData(), e.aside.constData()) != 0)) {
                fail(error, QStringLiteral("組の書き込みを完了できません"), QFile::decodeName(e.target), errno);
                return false;
            }
            syncFolder(folderOf(e.target));
            continue;
        }
        if (!exists(e.temp))
            continue; // renamed already
        if (!ownFile(e.temp) || ::rename(e.temp.constData(), e.target.constData()) != 0) {
            fail(error, QStringLiteral("組の書き込みを完了できません"), QFile::decodeName(e.target), errno);
            return false;
        }
        syncFolder(folderOf(e.target));
    }
    for (const Entry &e : j.entries)
        if (!e.aside.isEmpty())
            ::unlink(e.aside.constData());
    removeJournal(home);
    return true;
}

// Leftovers of writers that were stopped: the set's temporary files, the journal's own temporary
// file, and in the program's own folders the single write's temporary files as well.
QStringList strays(const QString &home, const QStringList &ownFolders)
{
    static const QRegularExpression setTemp(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}\\.prx5m-(new|old)$"));
    // The checked write puts a dot before the journal's own name: "..prx5m-set.journal.XXXXXX.tmp".
    static const QRegularExpression journalTemp(QStringLiteral("^\\.?\\.prx5m-set\\.journal\\.[A-Za-z0-9]{6}\\.tmp$"));
    static const QRegularExpression singleTemp(QStringLiteral("^\\..+\\.[A-Za-z0-9]{6}\\.tmp$"));
    QStringList out;
    const auto scan = [&](const QString &folder, bool own) {
        QFileInfo info(folder);
        if (info.isSymLink() || !info.isDir())
            return;
        const QDir dir(folder);
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (setTemp.match(name).hasMatch() || journalTemp.match(name).hasMatch() || (own && singleTemp.match(name).hasMatch()))
                out.append(dir.filePath(name));
    };
    scan(home, false);
    for (const QString &f : ownFolders)
        scan(f, true);
    return out;
}

QStringList ownFolderNames(const QString &home, const QStringList &ownFolders)
{
    QStringList out;
    for (const QString &f : ownFolders)
        if (QFileInfo(f).absolutePath() == QFileInfo(home).absoluteFilePath())
            out.append(QFileInfo(f).fileName());
    return out;
}

bool mendHeld(const QString &home, const QStringList &ownFolders, const QStringList &setNames, QString *error)
{
    Names names;
    names.files = setNames;
    names.folders = ownFolderNames(home, ownFolders);
    Journal j;
    bool found = false;
    if (!loadJournal(home, names, &j, &found, error))
        return false;
    if (found) {
        const bool mended = j.state == State::Commit ? complete(home, j, error) : rollBack(home, j, error);
        if (!mended)
            return false;
    }
    for (const QString &s : strays(home, ownFolders))
        QFile::remove(s);
    return true;
}

// The new content in its temporary file, synced; the old file's owner, mode and attributes given.
bool writeTemp(const Entry &e, QString *error)
{
    const int fd = ::open(e.temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(error, QStringLiteral("一時ファイルを作成できません"), QFile::decodeName(folderOf(e.target)), errno);
        return false;
    }
    const bool identity = e.exists ? takeIdentity(fd, e.target, e.was) : ::fchmod(fd, newFileMode()) == 0;
    if (!identity) {
        const int code = errno;
        ::close(fd);
        if (error)
            *error = QStringLiteral("%1 の所有者や属性を新しいファイルに引き継げないため、組にして書き換えられません（%2）。")
                         .arg(e.shownPath, reason(code));
        return false;
    }
    QString produced;
    if (!writeContent(fd, e.bytes, e.produce, &produced) || !syncFd(fd)) {
        const int code = errno;
        ::close(fd);
        if (!produced.isEmpty() && error)
            *error = produced;
        else
            fail(error, QStringLiteral("ファイルを書き込めません"), e.shownPath, code);
        return false;
    }
    if (!closeFd(fd)) {
        fail(error, QStringLiteral("ファイルを書き込めません"), e.shownPath, errno);
        return false;
    }
    return true;
}

// The old file kept under its aside name (a second link to it, so the target never goes
// missing; a rename where the file system has no links), then the new one renamed over it.
bool swapIn(const Entry &e, QString *error)
{
    if (e.exists && ::link(e.target.constData(), e.aside.constData()) != 0
        && ::rename(e.target.constData(), e.aside.constData()) != 0) {
        fail(error, QStringLiteral("ファイルを置き換えられません"), e.shownPath, errno);
        return false;
    }
    if (::rename(e.temp.constData(), e.target.constData()) != 0) {
        fail(error, QStringLiteral("ファイルを置き換えられません"), e.shownPath, errno);
        return false;
    }
    return true;
}

// A file the set removes: a regular file of the set's, one name only; false with the reason.
bool planRemoval(const File &file, Entry *e, QString *error)
{
    const QByteArray name = QFile::encodeName(QFileInfo(file.path).absoluteFilePath());
    e->shownPath = QDir::toNativeSeparators(file.path);
    e->remove = true;
    e->target = name;
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return true; // not there: nothing to remove (the entry is left out)
    if (!S_ISREG(st.st_mode)) {
        *error = BoundedRead::notRegular(file.path, st.st_mode);
        return false;
    }
    if (st.st_nlink > 1) {
        *error = QStringLiteral("%1 には別の名前（ハードリンク）があるため、組にして削除できません。").arg(e->shownPath);
        return false;
    }
    e->exists = true;
    e->aside = besideName(e->target, randomPart(), kOldSuffix);
    return true;
}

// Where an entry's content goes; false with the reason when it must not be written there.
bool plan(const File &file, Entry *e, QList<QByteArray> *folders, QString *error)
{
    if (file.remove)
        return planRemoval(file, e, error);
    const QString path = QFileInfo(file.path).absoluteFilePath();
    const QByteArray name = QFile::encodeName(path);
    e->shownPath = QDir::toNativeSeparators(file.path);
    e->bytes = &file.bytes;
    e->produce = &file.produce;
    if (file.own) {
        // Inside the program's folder: neither the file nor its folder may be a link.
        const QByteArray folder = folderOf(name);
        bool there = false;
        struct stat st {};
        if (::lstat(folder.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            *error = BoundedRead::linkRefused(QFile::decodeName(folder));
            return false;
        }
        if (!BoundedRead::check(path, BoundedRead::Links::Refuse, &there, error))
            return false;
        e->target = name;
    } else {
        e->target = finalTarget(name);
    }
    if (!inspect(file.path, e->target, &e->was, &e->exists, error))
        return false;
    // The set's files live in its home (its journal names nothing else): a link to a file
    // elsewhere is not followed out of it.
    if (folderOf(e->target) != folderOf(name)) {
        *error = QStringLiteral("%1 はほかのフォルダのファイルへのリンクのため、組にして書き換えられません。").arg(e->shownPath);
        return false;
    }
    if (e->exists && e->was.st_nlink > 1) {
        // Replaced by a rename, its other names would keep the old content.
        *error = QStringLiteral("%1 には別の名前（ハードリンク）があるため、組にして書き換えられません。").arg(e->shownPath);
        return false;
    }
    if (e->exists && ::access(e->target.constData(), W_OK) != 0) {
        fail(error, QStringLiteral("ファイルを書き込めません"), file.path, errno);
        return false;
    }
    // Folders to make, outermost first.
    QList<QByteArray> missing;
    for (QByteArray f = folderOf(e->target); !f.isEmpty() && f != "/" && !exists(f); f = folderOf(f))
        missing.prepend(f);
    for (const QByteArray &f : std::as_const(missing))
        if (!folders->contains(f))
            folders->append(f);
    const QByteArray random = randomPart();
    e->temp = besideName(e->target, random, kNewSuffix);
    if (e->exists)
        e->aside = besideName(e->target, random, kOldSuffix);
    return true;
}

} // namespace

int waitSeconds()
{
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("PRX5M_LOCK_WAIT", &ok);
    return ok && s >= 0 ? s : 10;
}

bool Lock::acquire(const QString &home, QString *error, const QStringList &ownFolders, const QStringList &setNames)
{
    release();
    const QString folder = QFileInfo(home).absoluteFilePath();
    if (!QFileInfo(folder).isDir()) {
        *error = QStringLiteral("フォルダがありません: %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QString lockPath = QDir(folder).filePath(kLockName);
    const QByteArray name = QFile::encodeName(lockPath);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds());
    int fd = -1;
    for (;;) {
        if (fd < 0) {
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
            if (fd < 0) {
                const int code = errno;
                struct stat st {};
                if (code == ELOOP && ::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode))
                    *error = BoundedRead::linkRefused(lockPath);
                else
                    fail(error, QStringLiteral("ロックファイルを作成できません"), lockPath, code);
                return false;
            }
            struct stat st {};
            if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
                ::close(fd);
                *error = BoundedRead::notRegular(lockPath, st.st_mode);
                return false;
            }
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The lock of the file that is there now, not of one its last holder removed.
            struct stat mine {}, there {};
            if (::fstat(fd, &mine) == 0 && ::stat(name.constData(), &there) == 0 && mine.st_dev == there.st_dev
                && mine.st_ino == there.st_ino)
                break;
            ::close(fd);
            fd = -1;
            continue;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int code = errno;
            ::close(fd);
            fail(error, QStringLiteral("ロックできません"), lockPath, code);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            *error = QStringLiteral("%1 で別の書き込みが続いています（ロック %2 を %3 秒待ちました）。"
                                    "その書き込みが終わってから、もう一度やり直してください。")
                         .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(lockPath))
                         .arg(waitSeconds());
            return false;
        }
        QThread::msleep(50);
    }
    m_fd = fd;
    m_home = folder;
    m_path = name;
    m_setNames = setNames;
    m_ownFolders = ownFolderNames(folder, ownFolders);
    if (!mendHeld(folder, ownFolders, setNames, error)) {
        release();
        return false;
    }
    TestPoint::reached("set:locked");
    return true;
}

void Lock::forget()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    m_home.clear();
    m_path.clear();
}

void Lock::release()
{
    if (m_fd < 0)
        return;
    // Removed while held: a writer waiting on this file finds it gone and takes a new one.
    ::unlink(m_path.constData());
    ::close(m_fd);
    m_fd = -1;
    m_home.clear();
    m_path.clear();
}

bool write(const Lock &lock, const QList<File> &files, QString *error)
{
    if (!lock.held()) {
        *error = QStringLiteral("組のファイルをロックせずに書こうとしました。");
        return false;
    }
    const QString home = lock.home();
    const QByteArray root = QFile::encodeName(home);
    Journal j;
    for (const File &f : files) {
        Entry e;
        if (!plan(f, &e, &j.folders, error))
            return false;
        // Only what a journal may name, so that whoever mends it can follow it.
        const QList<QByteArray> parts = e.target.mid(root.size() + 1).split('/');
        if (!e.target.startsWith(root + '/') || parts.size() > 2
            || (parts.size() == 2 && !lock.ownFolders().contains(QFile::decodeName(parts.first())))) {
            *error = QStringLiteral("%1 は組のフォルダ %2 の外にあります。").arg(e.shownPath, QDir::toNativeSeparators(home));
            return false;
        }
        if (parts.size() == 1 && !lock.setNames().contains(QFile::decodeName(parts.first()))) {
            *error = QStringLiteral("%1 は %2 へのリンクのため、組にして書き換えられません。")
                         .arg(e.shownPath, QDir::toNativeSeparators(QFile::decodeName(e.target)));
            return false;
        }
        for (const Entry &other : std::as_const(j.entries))
            if (other.target == e.target) {
                *error = QStringLiteral("同じファイルに二度書こうとしました: %1").arg(e.shownPath);
                return false;
            }
        if (e.remove && !e.exists)
            continue; // nothing there to remove
        j.entries.append(e);
    }
    // Recorded before anything is made: a stop from here on is mended by the next writer.
    if (!saveJournal(home, j, error))
        return false;
    TestPoint::reached("set:prepared");
    const auto undo = [&](const QString &why) {
        QString ignored;
        if (!rollBack(home, j, &ignored))
            *error = why + QStringLiteral("\n元に戻せなかったファイルは、次にこの組を開いたときに戻します: ") + ignored;
        else
            *error = why;
        return false;
    };
    for (const QByteArray &f : std::as_const(j.folders))
        if (::mkdir(f.constData(), 0777) != 0 && errno != EEXIST)
            return undo(QStringLiteral("フォルダを作成できません: %1（%2）").arg(QDir::toNativeSeparators(QFile::decodeName(f)), reason(errno)));
    for (const Entry &e : std::as_const(j.entries)) {
        QString why;
        if (!e.remove && !writeTemp(e, &why))
            return undo(why);
    }
    TestPoint::reached("set:written");
    // Every new file is complete: from here on the set is new.
    j.state = State::Commit;
    QString why;
    if (!saveJournal(home, j, &why)) {
        j.state = State::Prepare; // the journal on disk still says so
        return undo(why);
    }
    TestPoint::reached("set:committed");
    for (const Entry &e : std::as_const(j.entries)) {
        bool moved = true;
        if (!e.remove) {
            moved = swapIn(e, &why);
        } else if (::rename(e.target.constData(), e.aside.constData()) != 0) {
            fail(&why, QStringLiteral("ファイルを削除できません"), e.shownPath, errno);
            moved = false;
        }
        if (!moved) {
            j.state = State::Rollback;
            QString ignored;
            saveJournal(home, j, &ignored);
            return undo(why);
        }
        TestPoint::reached("set:renamed");
    }
    for (const Entry &e : std::as_const(j.entries))
        syncFolder(folderOf(e.target));
    TestPoint::reached("set:replaced");
    for (const Entry &e : std::as_const(j.entries))
        if (!e.aside.isEmpty())
            ::unlink(e.aside.constData());
    TestPoint::reached("set:cleaned");
    removeJournal(home);
    return true;
}

bool mend(const QString &home, const QStringList &ownFolders, const QStringList &setNames, QString *error)
{
    const QString folder = QFileInfo(home).absoluteFilePath();
    if (!QFileInfo::exists(journalPath(folder)) && !QFileInfo(journalPath(folder)).isSymLink()
        && strays(folder, ownFolders).isEmpty())
        return true;
    Lock lock;
    return lock.acquire(folder, error, ownFolders, setNames);
}

} // namespace FileSet
