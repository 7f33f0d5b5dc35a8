#pragma once

#include <QByteArray>
#include <QString>

// Windows code page 932 (Shift-JIS with the Microsoft extensions), through ICU's converter.
// Work files, master files and the settings all keep their text in this code page.
class Cp932
{
public:
    // Encodes text. Characters that CP932 cannot hold make *ok false (the result is then unusable).
    // The JIS forms that input methods on other systems produce (wave dash, minus sign, ...) are
    // first folded to their CP932 look-alikes, so text typed there still saves.
    static QByteArray encode(const QString &text, bool *ok = nullptr);

    // Strict decoding: bytes that are not CP932 make *ok false.
    static QString decode(const QByteArray &bytes, bool *ok = nullptr);

    // Lenient decoding for installation data: bytes that are not CP932 become U+FFFD.
    static QString decodeLossy(const QByteArray &bytes);

    // Number of CP932 bytes the text takes (unencodable characters count as 2).
    static int byteLength(const QString &text);
};
