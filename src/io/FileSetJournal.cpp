#include "io/FileSetInternal.h"

#include "io/BoundedRead.h"
#include "io/CheckedFileInternal.h"
#include "io/FileSet.h"
#include "io/TestPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace FileSet {

bool Sink::write(const QByteArray &piece)
{
    return CheckedFileInternal::writeAll(m_fd, piece);
}

} // namespace FileSet

namespace FileSet::Internal {

using namespace CheckedFileInternal;

bool writeContent(int fd, const QByteArray *bytes, const std::function<bool(Sink &, QString *)> *produce, QString *why)
{
    if (produce && *produce) {
        Sink sink(fd);
        return (*produce)(sink, why);
    }
    return writeAll(fd, bytes ? *bytes : QByteArray());
}

QByteArray stateName(State s)
{
    return s == State::Prepare ? "prepare" : s == State::Commit ? "commit" : "rollback";
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

// The journal in its home. The journal itself never is a link.
bool saveJournal(const QString &home, const Journal &j, QString *error)
{
    const QByteArray root = QFile::encodeName(home);
    QByteArray text = "prx5m-set 2\nstate " + stateName(j.state) + "\n";
    for (const QByteArray &f : j.folders)
        text += "folder " + encode(relative(root, f)) + "\n";
    for (const Entry &e : j.entries)
        text += e.remove ? "remove " + encode(relative(root, e.target)) + " " + encode(relative(root, e.aside)) + "\n"
                         : "file " + encode(relative(root, e.target)) + " " + encode(relative(root, e.temp)) + " "
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
        } else if (f.size() == 3 && f[0] == "remove" && !decode(f[1]).isEmpty() && !decode(f[2]).isEmpty()) {
            Entry e;
            e.remove = true;
            e.target = checkedPath(root, names, name(f[1]), true);
            e.aside = checkedPath(root, names, name(f[2]), false);
            if (e.target.isEmpty())
                return outside(f[1]);
            if (e.aside.isEmpty() || !temporaryOf(e.target, e.aside, kOldSuffix))
                return outside(f[2]);
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

} // namespace FileSet::Internal
