#include "photometry/ReaderParts.h"

#include "photometry/PhotometryMath.h"
#include "text/Cp932.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <charconv>

namespace PhotometryReader::Parts {

namespace {

// Two or more Shift-JIS double-byte characters in a row: Japanese text. A lone byte above 0x7F
// beside plain letters is a Western code page's letter or sign ("°", "é").
bool looksJapanese(const QByteArray &bytes)
{
    int run = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = uchar(bytes[i]);
        const auto trail = i + 1 < bytes.size() ? uchar(bytes[i + 1]) : 0;
        const bool pair = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))
                          && ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
        if (!pair) {
            run = 0;
            continue;
        }
        if (++run >= 2)
            return true;
        ++i;
    }
    return false;
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    if (looksJapanese(bytes))
        return Cp932::decodeLossy(bytes); // Japanese makers' files
    // Other makers' files are in their Western code page (CP1252, of which Latin-1 is a part).
    QStringDecoder western("windows-1252");
    if (western.isValid()) {
        text = western.decode(bytes);
        if (!western.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

// UTF-16 text: a byte-order mark, or every other byte a NUL.
bool isUtf16(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    const QByteArray head = bytes.left(200);
    return head.size() >= 8 && head.count('\0') * 4 >= head.size();
}

} // namespace

QStringList linesOf(QByteArray bytes)
{
    // Old files may end in a DOS end-of-file mark or NUL padding.
    while (!bytes.isEmpty() && (bytes.endsWith('\x1a') || bytes.endsWith('\0')))
        bytes.chop(1);
    QString text = decodeText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QString at(int line, const QString &what)
{
    return QStringLiteral("%1 行目: %2").arg(line).arg(what);
}

std::optional<double> toNumber(QString text, bool decimalComma)
{
    text = text.trimmed();
    if (decimalComma)
        text.replace(u',', u'.');
    if (text.startsWith(u'+'))
        text.remove(0, 1);
    const QByteArray latin = text.toLatin1();
    double value = 0;
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constData() + latin.size(), value);
    if (ec != std::errc() || end != latin.constData() + latin.size() || latin.isEmpty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double unitOf(QString text)
{
    text = text.trimmed().replace(u',', u'.');
    int exponent = 0;
    if (const qsizetype e = text.indexOf(QRegularExpression(QStringLiteral("[eE]"))); e >= 0) {
        exponent = text.mid(e + 1).toInt();
        text.truncate(e);
    }
    const qsizetype point = text.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(text.size() - point - 1);
    return std::pow(10.0, exponent - decimals);
}

QList<Token> tokens(const QStringList &lines, int first, bool commaSeparates)
{
    QList<Token> out;
    const QRegularExpression separators(commaSeparates ? QStringLiteral("[\\s,]+") : QStringLiteral("\\s+"));
    for (int i = first; i < lines.size(); ++i) {
        const QStringList parts = lines[i].split(separators, Qt::SkipEmptyParts);
        for (const QString &p : parts)
            out.append({p, i + 1});
    }
    return out;
}

bool refuseUtf16(const QByteArray &bytes, QString *error)
{
    if (!isUtf16(bytes))
        return false;
    *error = at(1, QStringLiteral("UTF-16 で書かれたファイルは読めません。UTF-8 かシフトJIS で保存し直してください。"));
    return true;
}

bool checkFlux(Photometry *out, int intensityLine, QString *error)
{
    const double total = PhotometryMath::flux(*out);
    if (!std::isfinite(total) || !std::isfinite(out->lampFlux)) {
        *error = at(intensityLine, QStringLiteral("光度または光束が大きすぎて計算できません。"));
        return false;
    }
    if (!(total > 0)) {
        *error = at(intensityLine, QStringLiteral("光束が 0 です（光度がすべて 0）。"));
        return false;
    }
    if (out->absolute)
        out->lampFlux = total;
    const PhotometryMath::Fractions f = PhotometryMath::fractions(*out);
    if (!std::isfinite(f.total)) {
        *error = at(intensityLine, QStringLiteral("光度または光束が大きすぎて計算できません。"));
        return false;
    }
    // Ten times the lamps' own light is no luminaire: the lamp flux or the units are wrong.
    if (f.total > 10) {
        *error = at(intensityLine, QStringLiteral("光度がランプ光束に比べて大きすぎます（器具効率 %1 %）。")
                                       .arg(QString::number(f.total * 100, 'g', 3)));
        return false;
    }
    const PhotometryMath::Table table = PhotometryMath::utilizationTable(*out);
    bool any = false;
    for (const auto &row : table.entries)
        for (int e : row)
            any = any || e > 0;
    if (!any) {
        *error = at(intensityLine, QStringLiteral("光度がランプ光束に比べて小さすぎます（照明率がすべて 0 になります）。"));
        return false;
    }
    return true;
}

bool ascending(const QList<double> &angles, double low, double high)
{
    for (int i = 0; i < angles.size(); ++i) {
        if (angles[i] < low - kEps || angles[i] > high + kEps)
            return false;
        if (i > 0 && angles[i] <= angles[i - 1])
            return false;
    }
    return true;
}

} // namespace PhotometryReader::Parts
