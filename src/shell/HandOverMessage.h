#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The one line a second copy sends the running one: the path as base64 of its UTF-8 (a file name
// may hold a line break), "" to come to the front only. Read strictly: anything else is no path.
namespace HandOverMessage {

// The longest line read (a stray client cannot make the program hold more).
constexpr qint64 kMaxLine = 64 * 1024;

QByteArray encode(const QString &path);
// The path of a line (without its line break); none for a line that is not base64, not UTF-8,
// holds a NUL, or is longer than kMaxLine.
std::optional<QString> decode(const QByteArray &line);

} // namespace HandOverMessage
