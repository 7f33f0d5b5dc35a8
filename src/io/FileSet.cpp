#include "io/FileSet.h"

#include "io/BoundedRead.h"
#include "io/CheckedFile.h"
#include "io/CheckedFileInternal.h"
#include "io/TestPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace FileSet {

using namespace CheckedFileInternal;

namespace {

// The temporary names of a set's files: the new content and the old one kept aside. Distinct from
// the single checked write's ".tmp", so that mending never takes another writer's file.
const QByteArray kNewSuffix = QByteArrayLiteral(".prx5m-new");
const QByteArray kOldSuffix = QByteArrayLiteral(".prx5m-old");

enum class State { Prepare, Commit, Rollback };

struct Entry {
    QByteArray target; // the file that ends up with the content (links followed where allowed)
    QByteArray temp;   // the new content until it is renamed over the target
    QByteArray aside;  // the old file kept under this name while the set changes ("": none)
    bool exists = false;
    struct stat was {};
    const QByteArray *bytes = nullptr;
    QString shownPath;
};

struct Journal {
    State state = State::Prepare;
    QList<QByteArray> folders; // made for the set, outermost first
    QList<Entry> entries;
};

QByteArray stateName(State s)
{
    return s == State::Prepare ? "prepare" : s == State::Commit ? "commit" : "rollback";
}

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

QByteArray encode(const QByteArray &path)
{
    return path.isEmpty() ? QByteArrayLiteral("-") : path.toPercentEncoding("/");
}

QByteArray decode(const QByteArray &field)
{
    return field == "-" ? QByteArray() : QByteArray::fromPercentEncoding(field);
}

QString journalPath(const QString &home)
{
    return QDir(home).filePath(kJournalName);
}

// A path of the set as the journal names it: relative to the home ("rooms.csv",
// "photometry/60.ies"); every path of a set lies there.
QByteArray relative(const QByteArray &home, const QByteArray &path)
{
    return path.isEmpty() ? QByteArray() : path.mid(home.size() + 1);
}

QByteArray randomPart();

// The journal in its home. The journal itself never is a link.
bool saveJournal(const QString &home, const Journal &j, QString *error)
{
    const QByteArray root = QFile::encodeName(home);
    QByteArray text = "prx5m-set 2\nstate " + stateName(j.state) + "\n";
    for (const QByteArray &f : j.folders)
        text += "folder " + encode(relative(root, f)) + "\n";
    for (const Entry &e : j.entries)
        text += "file " + encode(relative(root, e.target)) + " " + encode(relative(root, e.temp)) + " "
                + encode(relative(root, e.aside)) + "\n";
    text += "end\n";
    // Its own new file, renamed over the old journal: a link or a second name planted at the
    // journal's name is replaced, never written through.
    const QByteArray path = QFile::encodeName(journalPath(home));
    const QByteArray temp = root + "/.prx5m-set.journal." + randomPart() + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        fail(error, QStringLiteral("作業記録を書き込めません"), QFile::decodeName(path), errno);
        return false;
    }
    if (!writeAll(fd, text) || !syncFd(fd) || !closeFd(fd)) {
        const int code = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(error, QStringLiteral("作業記録を書き込めません"), QFile::decodeName(path), code);
        return false;
    }
    TestPoint::reached("file:written");
    if (::rename(temp.constData(), path.constData()) != 0) {
        const int code = errno;
        ::unlink(temp.constData());
        fail(error, QStringLiteral("作業記録を書き込めません"), QFile::decodeName(path), code);
        return false;
    }
    syncFolder(root);
    return true;
}

// What a journal may name: the set's own files at its home and any file of the program's own
// folders there, each with the program's temporary names beside it. Anything else (a path out of
// the folder, a link on the way, a file of the user's) is refused and nothing is touched: a
// journal planted in a shared folder must not make the next run delete or replace other files.
struct Names {
    QStringList files;   // plain names at the home
    QStringList folders; // the program's own folders, by their names at the home
};

bool plainName(const QByteArray &name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\0');
}

// A name the journal gives, checked and made a path at the home; "" when it may not be acted on.
QByteArray checkedPath(const QByteArray &home, const Names &names, const QByteArray &name, bool target)
{
    const QList<QByteArray> parts = name.split('/');
    if (parts.size() > 2 || !plainName(parts.last()))
        return QByteArray();
    if (parts.size() == 2) {
        if (!names.folders.contains(QFile::decodeName(parts.first())))
            return QByteArray();
        // The program's folder itself, never a link to another.
        struct stat st {};
        const QByteArray folder = home + '/' + parts.first();
        if (::lstat(folder.constData(), &st) == 0 && !S_ISDIR(st.st_mode))
            return QByteArray();
    } else if (target && !names.files.contains(QFile::decodeName(parts.first()))) {
        return QByteArray();
    }
    return home + '/' + name;
}

// The program's temporary name of a target: ".NAME.XXXXXX.prx5m-new" (or -old), NAME perhaps cut.
bool temporaryOf(const QByteArray &target, const QByteArray &temp, const QByteArray &suffix)
{
    if (folderOf(target) != folderOf(temp))
        return false;
    const QByteArray t = baseOf(temp), base = baseOf(target);
    if (!t.startsWith('.') || !t.endsWith(suffix) || t.size() < 1 + 1 + 6 + suffix.size())
        return false;
    const QByteArray middle = t.mid(1, t.size() - 1 - suffix.size()); // NAME.XXXXXX
    const QByteArray random = middle.right(6), cut = middle.left(middle.size() - 7);
    if (middle.at(middle.size() - 7) != '.' || !base.startsWith(cut))
        return false;
    // The whole name, unless it was cut to fit the folder's longest name (a UTF-8 character at
    // the cut may take up to three bytes less): "out" is not "outside".
    long longest = ::pathconf(folderOf(target).constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    if (cut != base && t.size() < longest - 3)
        return false;
    for (char c : random)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The journal left at `home`; false with the reason when there is one that cannot be read or
// that names what it may not.
bool loadJournal(const QString &home, const Names &names, Journal *j, bool *found, QString *error)
{
    *found = false;
    // Opened once and looked at through that descriptor: what is checked is what is read.
    const QByteArray path = QFile::encodeName(journalPath(home));
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return true;
    *found = true;
    struct stat st {};
    QByteArray bytes;
    bool readable = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= 1024 * 1024;
    if (readable) {
        bytes.resize(qsizetype(st.st_size) + 1);
        qsizetype got = 0;
        for (;;) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
            if (got == bytes.size())
                break;
        }
        readable = got < bytes.size(); // the whole file, and it did not grow meanwhile
        bytes.truncate(got);
    }
    if (fd >= 0)
        ::close(fd);
    const auto refused = [&](const QString &why) {
        *error = QStringLiteral("作業記録 %1 が不正です（%2）。%3。何も変更していません。"
                                "このフォルダの持ち主に確認してください。")
                     .arg(kJournalName, QDir::toNativeSeparators(journalPath(home)), why);
        return false;
    };
    if (!readable)
        return refused(QStringLiteral("通常のファイルとして読めません"));
    // Only the user's own journal, under one name, that no one else may write, is followed.
    if (st.st_uid != ::geteuid())
        return refused(QStringLiteral("ほかのユーザーが書いた記録です"));
    if (st.st_nlink != 1 || (st.st_mode & S_IWOTH))
        return refused(QStringLiteral("ほかの名前があるか、だれでも書き換えられる記録です"));
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3 || (lines[0] != "prx5m-set 1" && lines[0] != "prx5m-set 2") || !lines.contains("end"))
        return refused(QStringLiteral("記録が壊れています"));
    const bool absolute = lines[0] == "prx5m-set 1"; // written by an earlier version: whole paths
    const QByteArray root = QFile::encodeName(QFileInfo(home).absoluteFilePath());
    const QByteArray state = lines[1].mid(6);
    if (!lines[1].startsWith("state ") || (state != "prepare" && state != "commit" && state != "rollback"))
        return refused(QStringLiteral("記録が壊れています"));
    j->state = state == "prepare" ? State::Prepare : state == "commit" ? State::Commit : State::Rollback;
    const auto name = [&](const QByteArray &field) {
        const QByteArray n = decode(field);
        if (!absolute || n.isEmpty())
            return n;
        return n.startsWith(root + '/') ? n.mid(root.size() + 1) : QByteArray("/");
    };
    // Names the message shows as the journal wrote them.
    const auto outside = [&](const QByteArray &field) {
        const QByteArray n = decode(field);
        const bool out = n.startsWith('/') || n.split('/').contains("..") || n.count('/') > 1;
        return refused(QStringLiteral("%1「%2」").arg(out ? QStringLiteral("フォルダの外を指しています")
                                                        : QStringLiteral("組のものでないファイルを指しています"),
                                                    QString::fromLocal8Bit(n)));
    };
    for (qsizetype i = 2; i < lines.size() && lines[i] != "end"; ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        if (f.size() == 2 && f[0] == "folder") {
            const QByteArray folder = name(f[1]);
            if (!plainName(folder) || !names.folders.contains(QFile::decodeName(folder)))
                return outside(f[1]);
            j->folders.append(root + '/' + folder);
        } else if (f.size() == 4 && f[0] == "file" && !decode(f[1]).isEmpty() && !decode(f[2]).isEmpty()) {
            Entry e;
            e.target = checkedPath(root, names, name(f[1]), true);
            e.temp = checkedPath(root, names, name(f[2]), false);
            e.aside = decode(f[3]).isEmpty() ? QByteArray() : checkedPath(root, names, name(f[3]), false);
            if (e.target.isEmpty())
                return outside(f[1]);
            if (e.temp.isEmpty() || !temporaryOf(e.target, e.temp, kNewSuffix))
                return outside(f[2]);
            if (!decode(f[3]).isEmpty() && (e.aside.isEmpty() || !temporaryOf(e.target, e.aside, kOldSuffix)))
                return outside(f[3]);
            j->entries.append(e);
        } else {
            return refused(QStringLiteral("記録が壊れています"));
        }
    }
    return true;
}

void removeJournal(const QString &home)
{
    const QByteArray path = QFile::encodeName(journalPath(home));
    ::unlink(path.constData());
    syncFolder(folderOf(path));
}

void removeMadeFolders(const Journal &j)
{
    for (qsizetype i = j.folders.size() - 1; i >= 0; --i)
        ::rmdir(j.folders[i].constData()); // only when empty
}

// Every file as it was. Before the commit only the temporary files are there to remove; after it
// the old files come back from aside and the new ones that had no old one go.
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

QByteArray randomPart()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray out;
    for (int i = 0; i < 6; ++i)
        out.append(kChars[QRandomGenerator::system()->bounded(int(sizeof kChars - 1))]);
    return out;
}

// A name beside `target` for the set: ".NAME.XXXXXX.prx5m-new" (or -old), cut to fit the folder.
QByteArray besideName(const QByteArray &target, const QByteArray &random, const QByteArray &suffix)
{
    const QByteArray folder = folderOf(target);
    QByteArray base = baseOf(target);
    long longest = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = 255;
    const qsizetype room = qsizetype(longest) - 1 - 1 - random.size() - suffix.size();
    if (base.size() > room) {
        base.truncate(std::max<qsizetype>(0, room));
        while (!base.isEmpty() && (quint8(base.back()) & 0xC0) == 0x80)
            base.chop(1);
        if (!base.isEmpty() && quint8(base.back()) >= 0xC0)
            base.chop(1);
    }
    return folder + "/." + base + "." + random + suffix;
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
    if (!writeAll(fd, *e.bytes) || !syncFd(fd)) {
        const int code = errno;
        ::close(fd);
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

// Where an entry's content goes; false with the reason when it must not be written there.
bool plan(const File &file, Entry *e, QList<QByteArray> *folders, QString *error)
{
    const QString path = QFileInfo(file.path).absoluteFilePath();
    const QByteArray name = QFile::encodeName(path);
    e->shownPath = QDir::toNativeSeparators(file.path);
    e->bytes = &file.bytes;
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
        if (!writeTemp(e, &why))
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
        if (!swapIn(e, &why)) {
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
        if (!writeAll(fd, f.bytes) || !syncFd(fd)) {
            const int code = errno;
            ::close(fd);
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

bool writeOutputFolder(const QString &folder, const QList<File> &files, const QStringList &names, QString *error,
                       QString *notice)
{
    const QString path = QFileInfo(folder).absoluteFilePath();
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
