#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// Files that change together (a master, the photometric files kept beside it and their index; the
// three CSV files of a distribution) are a set: all old or all new, whatever happens.
//
// A set lives in a folder of its own, its home. Every read-modify-write of the set holds the
// home's lock (flock on ".prx5m-set.lock" in it, removed when let go); a second writer waits for
// it a short while and then gives up, naming the lock. The new files are written beside the old
// ones under temporary names; a journal (".prx5m-set.journal", the files named relative to the
// home, which they never leave) records the intended renames and is
// synced before the first of them, and removed after the last. Whoever takes the lock next
// completes a journal whose new files were all written, rolls back any other, and removes the
// temporary files an interrupted writer left.
namespace FileSet {

inline const QString kLockName = QStringLiteral(".prx5m-set.lock");
inline const QString kJournalName = QStringLiteral(".prx5m-set.journal");
// The files of the CSV sets the program writes into an output folder (the distribution's and the
// emergency check's): what a journal there may name.
inline const QStringList kOutputNames = {QStringLiteral("rooms.csv"), QStringLiteral("points.csv"),
                                         QStringLiteral("luminaires.csv"), QStringLiteral("surfaces.csv"),
                                         QStringLiteral("ugr.csv")};

// How long a writer waits for another one's lock: 10 s (PRX5M_LOCK_WAIT, in seconds, for tests).
int waitSeconds();

class Lock
{
public:
    Lock() = default;
    ~Lock() { release(); }
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

    // Takes the lock of the set at `home` (a folder that is there), then mends what an interrupted
    // writer left there. `ownFolders` are the folders inside the home that the program keeps for
    // itself (photometry/): their leftover temporary files are removed too. `setNames` are the
    // names of the set's files at the home: a journal naming any other file (or a path out of the
    // home, or written by another user) is refused and nothing is touched. False with the reason.
    bool acquire(const QString &home, QString *error, const QStringList &ownFolders = {}, const QStringList &setNames = {});
    void release();
    // Lets go of the lock without removing its file: the file is gone already (moved away with
    // the folder it was in).
    void forget();
    bool held() const { return m_fd >= 0; }
    QString home() const { return m_home; }
    const QStringList &setNames() const { return m_setNames; }
    const QStringList &ownFolders() const { return m_ownFolders; }

private:
    int m_fd = -1;
    QString m_home;
    QByteArray m_path;
    QStringList m_setNames;   // what write() may replace at the home
    QStringList m_ownFolders; // and in which of its folders, by their names

};

struct File {
    QString path;
    QByteArray bytes;
    // Inside a folder the program keeps: a link there (the file, or its folder) is refused, never
    // followed. Other files keep the rule of the checked write: a link stays a link and the file
    // it points to gets the content.
    bool own = false;
    // Removed in the set instead of written (a file of an earlier set that the new one has no
    // place for): gone with the new files, or there with the old ones.
    bool remove = false;
    // The content written in pieces instead of `bytes` (a file too large to hold): called once with
    // the new file's descriptor, it writes through Sink and answers false with the reason on a failure.
    std::function<bool(class Sink &sink, QString *error)> produce = {};
};

// Where a produced file's content goes, in pieces.
class Sink
{
public:
    explicit Sink(int fd) : m_fd(fd) {}
    // False with errno set when the piece cannot be written (the disk full, …).
    bool write(const QByteArray &piece);

private:
    int m_fd;
};

// Writes the files as one set, the home's lock held: every file a regular one (or none yet), its
// folder made when missing. False with the reason when any step fails: then every file is as it
// was (old bytes, or no file) and nothing new is left beside them.
bool write(const Lock &lock, const QList<File> &files, QString *error);

// For those who only read a set: when an interrupted writer left a journal or temporary files at
// `home`, takes the lock and mends them. True when there was nothing to mend or it is mended.
bool mend(const QString &home, const QStringList &ownFolders, const QStringList &setNames, QString *error);

// An output folder of the program's (the CSV files of a distribution or an emergency check)
// given the new set, its files by name (of kOutputNames) and content. When the folder holds only
// files of kOutputNames, the new set is written into a
// fresh folder beside it and the two are exchanged in one step: the folder holds the old set or
// the new one, never a mix, even when the run is killed. Otherwise (other files in it, a file
// system without the exchange) the files are replaced one by one as write() does, and `notice`
// says so.
bool writeOutputFolder(const QString &folder, const QList<std::pair<QString, QByteArray>> &named, QString *error,
                       QString *notice = nullptr);
// The same with files given by name (their path: the name in the folder), some of them produced
// in pieces: written in the order given, so a producer may gather what a later one writes.
bool writeOutputFiles(const QString &folder, const QList<File> &named, QString *error, QString *notice = nullptr);

} // namespace FileSet
