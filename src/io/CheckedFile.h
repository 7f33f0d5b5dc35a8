#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Writing a file so that a failure never passes for success and never costs the previous file.
//
// The new content goes to a temporary file with a unique name beside the target; every write, the
// flush to disk and the rename over the target are checked, and only when all of them succeeded is
// the target replaced. On any failure the temporary file is removed, the target keeps its old
// bytes, and the reason is given.
namespace CheckedFile {

// Replaces the file at `path` with `bytes`. A target that exists but is not a regular file (a
// device, a FIFO, a folder, a socket) is refused. When the folder refuses new files but the file
// itself may be written, the file is rewritten in place (and given its old bytes back if that
// fails).
bool write(const QString &path, const QByteArray &bytes, QString *error);

// As write(), but never rewriting the file in place: its old bytes stay whole until the rename.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error);

// Several files that change together are written by FileSet (io/FileSet.h).

// True when `path` may be replaced: it does not exist, or it is a regular file (links are
// followed). Otherwise false with the reason.
bool checkTarget(const QString &path, QString *error);

// For writers that make the file themselves (a database): a new, empty file with a unique name
// beside `target`, created so that no other process can take the same name. "" with the reason
// when the folder refuses it.
QString createTemporary(const QString &target, QString *error);

// Flushes `temporary` to disk and renames it over `target`. On failure the temporary file is
// removed and the target left as it was.
bool commit(const QString &temporary, const QString &target, QString *error);

} // namespace CheckedFile
