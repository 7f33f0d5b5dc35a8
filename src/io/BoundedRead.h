#pragma once

#include <QByteArray>
#include <QString>

// Reading a file the program was handed or keeps, so that nothing can hold it up or swallow its
// memory: the file is opened without blocking (a FIFO with no writer, a device), refused unless it
// is a regular file, and read only up to a bound.
namespace BoundedRead {

// Links::Refuse is for the folders the program keeps for itself: a symbolic link there is never
// followed. Files the user names follow their links.
enum class Links { Follow, Refuse };

enum class Outcome { Read, Missing, Refused };

// The file's bytes, at most `limit` of them (a larger file is refused, not cut). Missing: no file
// of that name (*error says so too). Refused: not a regular file (named by its kind: フォルダ,
// 名前付きパイプ, デバイス, ソケット), a link where links are refused, too large, or unreadable.
Outcome read(const QString &path, qint64 limit, QByteArray *out, QString *error, Links links = Links::Follow);

// What is at `path`, without opening it: true when there is nothing (*exists false) or a regular
// file; false with the reason otherwise (a link, under Links::Refuse, is refused as such).
bool check(const QString &path, Links links, bool *exists, QString *error);

// The reason for a file that is not a regular one: "PATH は通常のファイルではありません（KIND）。".
QString notRegular(const QString &path, unsigned mode);
// The reason for a link inside a folder the program keeps.
QString linkRefused(const QString &path);

} // namespace BoundedRead
