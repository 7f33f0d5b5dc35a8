#include "master/FixedField.h"

#include "text/Cp932.h"

namespace FixedField {

QString text(const QByteArray &record, int offset, int width)
{
    // Some editors pad with NUL instead of blanks; it is padding all the same.
    QString t = Cp932::decodeLossy(record.mid(offset, width));
    t.replace(QChar(0), QChar(u' '));
    return t;
}

qint16 int16(const QByteArray &record, int offset)
{
    if (offset < 0 || offset + 2 > record.size())
        return 0;
    const auto lo = static_cast<quint8>(record[offset]);
    const auto hi = static_cast<quint8>(record[offset + 1]);
    return static_cast<qint16>(quint16(lo | (hi << 8)));
}

bool appendText(QByteArray &out, const QString &text, int width)
{
    bool ok = false;
    QByteArray bytes = Cp932::encode(text, &ok);
    if (!ok || bytes.size() > width)
        return false;
    bytes.append(QByteArray(width - bytes.size(), ' '));
    out.append(bytes);
    return true;
}

void appendInt16(QByteArray &out, qint16 value)
{
    const auto u = static_cast<quint16>(value);
    out.append(char(u & 0xFF));
    out.append(char(u >> 8));
}

QString trimmedRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

} // namespace FixedField
