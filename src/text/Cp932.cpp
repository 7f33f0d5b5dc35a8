#include "text/Cp932.h"

#include <QStringConverter>

#include <algorithm>
#include <optional>

namespace {

constexpr const char *kCodecName = "windows-31j";

QString foldToCp932(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break; // WAVE DASH -> FULLWIDTH TILDE
        case 0x2016: c = QChar(0x2225); break; // DOUBLE VERTICAL LINE -> PARALLEL TO
        case 0x2212: c = QChar(0xFF0D); break; // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
        case 0x00A2: c = QChar(0xFFE0); break; // CENT SIGN
        case 0x00A3: c = QChar(0xFFE1); break; // POUND SIGN
        case 0x00AC: c = QChar(0xFFE2); break; // NOT SIGN
        case 0x2014: c = QChar(0x2015); break; // EM DASH -> HORIZONTAL BAR
        case 0xFFFD: c = QChar(u'?'); break;   // what a broken master byte became
        default: break;
        }
    }
    return out;
}

// One converter a thread, reset before each text: opening the converter by name costs more than
// converting a master's field (a master of 999 records opened thousands of them).
// (Its error mark cannot be cleared without closing it: one that has seen an error is opened anew.)
QStringDecoder &decoder()
{
    thread_local std::optional<QStringDecoder> d;
    if (!d || d->hasError())
        d.emplace(kCodecName, QStringConverter::Flag::Stateless);
    return *d;
}

QStringEncoder &encoder()
{
    thread_local std::optional<QStringEncoder> e;
    if (!e || e->hasError())
        e.emplace(kCodecName, QStringConverter::Flag::Stateless);
    return *e;
}

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

// Bytes 00 to 7F are ASCII both ways. The converter alone would swap some control characters
// (1A, 1C, 7F), so a cell holding one would change on every save; only the other characters go
// through it.
QByteArray Cp932::encode(const QString &text, bool *ok)
{
    const QString folded = foldToCp932(text);
    QByteArray bytes;
    bytes.reserve(folded.size() * 2);
    QStringEncoder *converter = nullptr; // taken only for text that needs it
    qsizetype i = 0;
    const qsizetype n = folded.size();
    while (i < n) {
        if (folded[i].unicode() < 0x80) {
            bytes.append(char(folded[i].unicode()));
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < n && folded[j].unicode() >= 0x80)
            ++j;
        if (!converter)
            converter = &encoder();
        bytes.append(converter->encode(QStringView(folded).mid(i, j - i)));
        i = j;
    }
    if (ok)
        *ok = !converter || (converter->isValid() && !converter->hasError());
    return bytes;
}

QString Cp932::decode(const QByteArray &bytes, bool *ok)
{
    QString text;
    text.reserve(bytes.size());
    QStringDecoder *converter = nullptr; // taken only for text that needs it
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text.append(QChar(b));
            ++i;
            continue;
        }
        // A run of non-ASCII characters: a lead byte takes its trail byte, which may lie in the
        // ASCII range.
        qsizetype j = i;
        while (j < n && static_cast<unsigned char>(bytes[j]) >= 0x80)
            j += isLeadByte(static_cast<unsigned char>(bytes[j])) && j + 1 < n ? 2 : 1;
        j = std::min(j, n);
        if (!converter)
            converter = &decoder();
        text.append(converter->decode(QByteArrayView(bytes.constData() + i, j - i)));
        i = j;
    }
    if (ok)
        *ok = !converter || (converter->isValid() && !converter->hasError());
    return text;
}

QString Cp932::decodeLossy(const QByteArray &bytes)
{
    bool ok = false;
    QString text = decode(bytes, &ok);
    if (ok)
        return text;
    // Decode character by character so that one bad byte spoils only its own character.
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qsizetype len = (isLeadByte(b) && i + 1 < bytes.size()) ? 2 : 1;
        bool unitOk = false;
        const QString unit = decode(bytes.mid(i, len), &unitOk);
        if (unitOk && !unit.isEmpty()) {
            out += unit;
            i += len;
        } else {
            out += QChar(0xFFFD);
            i += 1;
        }
    }
    return out;
}

int Cp932::byteLength(const QString &text)
{
    int n = 0;
    for (QChar c : text) {
        bool ok = false;
        const QByteArray b = encode(QString(c), &ok);
        n += ok ? int(b.size()) : 2;
    }
    return n;
}
