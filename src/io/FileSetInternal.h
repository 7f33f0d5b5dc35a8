#pragma once

// The parts of the writing of sets of files that its files share: the journal (written, read and
// checked), and the names of the temporary files and folders beside a set's files.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include <sys/stat.h>

namespace FileSet {
class Sink;
}

namespace FileSet::Internal {

// The new content of an entry into `fd`: its bytes, or what its producer writes.
bool writeContent(int fd, const QByteArray *bytes, const std::function<bool(Sink &, QString *)> *produce, QString *why);

// The temporary names of a set's files: the new content and the old one kept aside. Distinct from
// the single checked write's ".tmp", so that mending never takes another writer's file.
inline const QByteArray kNewSuffix = QByteArrayLiteral(".prx5m-new");
inline const QByteArray kOldSuffix = QByteArrayLiteral(".prx5m-old");

enum class State { Prepare, Commit, Rollback };

struct Entry {
    QByteArray target; // the file that ends up with the content (links followed where allowed)
    QByteArray temp;   // the new content until it is renamed over the target
    QByteArray aside;  // the old file kept under this name while the set changes ("": none)
    bool remove = false; // the target goes (no temp): renamed aside at the commit, the aside removed
    bool exists = false;
    struct stat was {};
    const QByteArray *bytes = nullptr;
    const std::function<bool(class Sink &, QString *)> *produce = nullptr; // instead of bytes, when set
    QString shownPath;
};

struct Journal {
    State state = State::Prepare;
    QList<QByteArray> folders; // made for the set, outermost first
    QList<Entry> entries;
};

// What a journal may name: the set's own files at its home and any file of the program's own
// folders there, each with the program's temporary names beside it. Anything else (a path out of
// the folder, a link on the way, a file of the user's) is refused and nothing is touched: a
// journal planted in a shared folder must not make the next run delete or replace other files.
struct Names {
    QStringList files;   // plain names at the home
    QStringList folders; // the program's own folders, by their names at the home
};

QString journalPath(const QString &home);
// The journal in its home, in a file of its own renamed into place (never written through a link).
bool saveJournal(const QString &home, const Journal &j, QString *error);
// The journal left at `home`; false with the reason when there is one that cannot be read or
// that names what it may not.
bool loadJournal(const QString &home, const Names &names, Journal *j, bool *found, QString *error);
void removeJournal(const QString &home);

QByteArray randomPart();
// A name beside `target` for the set: ".NAME.XXXXXX" + suffix, cut to fit the folder.
QByteArray besideName(const QByteArray &target, const QByteArray &random, const QByteArray &suffix);
// Whether `temp` is the program's temporary name for `target` with that suffix.
bool temporaryOf(const QByteArray &target, const QByteArray &temp, const QByteArray &suffix);

} // namespace FileSet::Internal
