#pragma once

#include "master/LuminaireRecord.h"
#include "photometry/Photometry.h"
#include "photometry/PhotometryMath.h"
#include "io/FileSet.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Adding a luminaire from its maker's photometric file: what the file gives (checked, with its
// warnings), the master record it becomes, and the copy of the file kept beside the master, in
// the program (配光データから照明器具を追加) and in the master tool alike.
namespace LuminaireImport {

struct Analysis {
    Photometry photometry;
    double luminaireFlux = 0; // lm
    PhotometryMath::Fractions fractions;
    std::array<double, 18> zones{};
    PhotometryMath::Table table;
    QStringList warnings; // the reader's, the plausibility checks' and the table's
    QByteArray bytes;     // the file as it was read: the copy kept is the file analysed
};
// Reads the file and works out everything; false with the reason (naming the line) when it is
// refused.
bool analyse(const QString &path, Analysis *out, QString *error);
// The figures as the tool prints them, a line each (the warnings and the table excepted).
QStringList describe(const Analysis &a);

// A name as the master keeps it: at most 18 bytes of CP932, never half a character; characters
// CP932 cannot hold become "?". *changed when it is not the name given.
QString storedName(const QString &name, bool *changed = nullptr);

// The slots the pick list shows.
constexpr int kFirstSlot = 1;
constexpr int kLastSlot = 80;

// The record of `slot` with this table and name: the number is the slot's, the maintenance
// factors those given or, with none given, the old record's; classes 13 to 15 as they were.
LuminaireRecord record(const LuminaireRecord &old, int slot, const QString &name, const PhotometryMath::Table &table,
                       const QStringList &factors);

// The photometric files kept beside a master: "photometry/<slot>.ies|ldt" and the index
// "photometry/index.csv" (slot, name, file; UTF-8).
struct Kept {
    int slot = 0;
    QString name;
    QString file;
};
// The index, read once (at most 256 KiB, never through a link); none when it cannot be read (the
// reason in *error).
QList<Kept> kept(const QString &masterDir, QString *error = nullptr);
// The file kept for the slot; "" when none, or when the master's record of the slot no longer has
// the name it was kept under (the slot was given to another luminaire since). What is there may
// be no regular file (a link, a FIFO planted): read it with PhotometryReader::readFile(..., true).
QString keptFile(const QList<Kept> &index, const QString &masterDir, int slot, const QString &currentName);
QString keptFile(const QString &masterDir, int slot, const QString &currentName);

// The masters' folder is the home of the set (FileSet): the master, photometry/ and its index.
// photometry/ is the program's own folder.
QStringList ownFolders(const QString &masterDir);
// The names of a master folder's set files at its home (the luminaire master, as MST and CSV, the
// emergency master, and `master`'s name when given): what its journal may name.
QStringList setNames(const QString &master = QString());
// Mends what an interrupted import left beside the masters (for those who only read them).
bool mend(const QString &masterDir, QString *error);

// One file to write.
struct Change {
    QString path;
    QByteArray bytes;
    bool own = false; // in photometry/: a link there is refused
};
// The changes that keep `source` (its bytes as analysed) for the slot under `name`: its copy and
// the index.
bool keepChanges(const QString &masterDir, int slot, const QString &name, const QString &source, const QByteArray &bytes,
                 QList<Change> *out, QString *error);
// The change that puts `record` into slot `slot` of the luminaire master file `mstPath`.
bool masterChange(const QString &mstPath, int slot, const LuminaireRecord &record, Change *out, QString *error);
// Writes the changes as one set (all succeed or nothing changes), the lock of the masters' folder
// held since the files they change were read.
bool apply(const FileSet::Lock &lock, const QList<Change> &changes, QString *error);

} // namespace LuminaireImport
