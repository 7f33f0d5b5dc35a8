#include "text/Cp932.h"

#include <QStringConverter>

#include <algorithm>

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

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

QByteArray Cp932::encode(const QString &text, bool *ok)
{
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(foldToCp932(text));
    if (ok)
        *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

QString Cp932::decode(const QByteArray &bytes, bool *ok)
{
    // Plain ASCII is the same in CP932; skip the converter for it (most master fields are ASCII).
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
        if (ok)
            *ok = true;
        return QString::fromLatin1(bytes);
    }
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (ok)
        *ok = decoder.isValid() && !decoder.hasError();
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
