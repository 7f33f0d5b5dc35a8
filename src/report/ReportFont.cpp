#include "report/ReportFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QStringList>

namespace {

// Code points whose glyphs the report never draws under that code: the radicals (which share
// their glyphs with common kanji) and the JIS forms that CP932 text holds in their CP932 look-alike
// (wave dash for the full-width tilde, minus sign, double vertical line, em dash, cent, pound,
// not). A PDF names a shared glyph by its lowest code point, so with these mapped "高さ" or
// "1F～2F" would not come out of the PDF as written.
struct Range {
    quint32 first, last;
};
constexpr Range kUnmapped[] = {{0x2E80, 0x2FDF}, {0x301C, 0x301C}, {0x2212, 0x2212}, {0x2016, 0x2016},
                               {0x2014, 0x2014}, {0x00A2, 0x00A3}, {0x00AC, 0x00AC}};

class Bytes
{
public:
    explicit Bytes(QByteArray &data) : m_data(data) {}
    bool has(qsizetype at, qsizetype n) const { return at >= 0 && at + n <= m_data.size(); }
    quint16 u16(qsizetype at) const
    {
        return has(at, 2) ? quint16((quint8(m_data[at]) << 8) | quint8(m_data[at + 1])) : 0;
    }
    quint32 u32(qsizetype at) const { return (quint32(u16(at)) << 16) | u16(at + 2); }
    void set16(qsizetype at, quint16 v)
    {
        if (!has(at, 2))
            return;
        m_data[at] = char(v >> 8);
        m_data[at + 1] = char(v & 0xFF);
    }
    void set32(qsizetype at, quint32 v)
    {
        set16(at, quint16(v >> 16));
        set16(at + 2, quint16(v & 0xFFFF));
    }

private:
    QByteArray &m_data;
};

void unmapFormat4(Bytes &b, qsizetype sub)
{
    const int segX2 = b.u16(sub + 6);
    const qsizetype ends = sub + 14;
    const qsizetype starts = ends + segX2 + 2;
    const qsizetype deltas = starts + segX2;
    const qsizetype offsets = deltas + segX2;
    for (int s = 0; s < segX2 / 2; ++s) {
        const quint32 end = b.u16(ends + 2 * s);
        const quint32 start = b.u16(starts + 2 * s);
        const quint16 rangeOffset = b.u16(offsets + 2 * s);
        for (const Range &r : kUnmapped) {
            if (end < r.first || start > r.last)
                continue;
            if (rangeOffset == 0) {
                // glyph = code + delta: a segment wholly inside sends its first code to glyph 0
                // (the rest to the lowest glyphs, which ASCII names first).
                if (start >= r.first && end <= r.last)
                    b.set16(deltas + 2 * s, quint16(-qint32(start) & 0xFFFF));
                continue;
            }
            for (quint32 c = std::max(start, r.first); c <= std::min(end, r.last); ++c)
                b.set16(offsets + 2 * s + rangeOffset + 2 * (c - start), 0);
        }
    }
}

void unmapFormat12(Bytes &b, qsizetype sub)
{
    const quint32 groups = b.u32(sub + 12);
    for (quint32 g = 0; g < groups; ++g) {
        const qsizetype at = sub + 16 + qsizetype(g) * 12;
        if (!b.has(at, 12))
            return;
        const quint32 start = b.u32(at);
        const quint32 end = b.u32(at + 4);
        for (const Range &r : kUnmapped)
            if (start >= r.first && end <= r.last)
                b.set32(at + 8, 0);
    }
}

void renameFamily(QByteArray &data, qsizetype at, qsizetype length)
{
    const QByteArray ascii = QByteArrayLiteral("IPAex");
    const QByteArray asciiNew = QByteArrayLiteral("Prx5m");
    const QByteArray wide = QByteArray("\0I\0P\0A\0e\0x", 10);
    const QByteArray wideNew = QByteArray("\0P\0r\0x\0005\0m", 10);
    QByteArray region = data.mid(at, length);
    region.replace(wide, wideNew);
    region.replace(ascii, asciiNew);
    if (region.size() == length)
        data.replace(at, length, region);
}

QString fontFile()
{
    const QStringList candidates = {
        QStringLiteral("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"),
        QStringLiteral("/usr/share/fonts/truetype/ipaexfont-gothic/ipaexg.ttf"),
        QStringLiteral("/usr/share/fonts/ipaexfont-gothic/ipaexg.ttf"),
    };
    for (const QString &c : candidates)
        if (QFile::exists(c))
            return c;
    return QStandardPaths::locate(QStandardPaths::FontsLocation, QStringLiteral("ipaexg.ttf"));
}

QString loadFamily()
{
    const QString path = fontFile();
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const int id = QFontDatabase::addApplicationFontFromData(ReportFont::withoutRadicals(file.readAll()));
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

namespace ReportFont {

QByteArray withoutRadicals(const QByteArray &fontFile)
{
    QByteArray data = fontFile;
    Bytes b(data);
    const int tables = b.u16(4);
    for (int t = 0; t < tables; ++t) {
        const qsizetype record = 12 + qsizetype(t) * 16;
        if (!b.has(record, 16))
            break;
        const QByteArray tag = data.mid(record, 4);
        const qsizetype offset = b.u32(record + 8);
        const qsizetype length = b.u32(record + 12);
        if (!b.has(offset, length))
            continue;
        if (tag == "cmap") {
            const int subtables = b.u16(offset + 2);
            for (int i = 0; i < subtables; ++i) {
                const qsizetype sub = offset + b.u32(offset + 4 + 8 * i + 4);
                const int format = b.u16(sub);
                if (format == 4)
                    unmapFormat4(b, sub);
                else if (format == 12)
                    unmapFormat12(b, sub);
            }
        } else if (tag == "name") {
            renameFamily(data, offset, length);
        }
    }
    return data;
}

QFont font()
{
    static const QString family = [] {
        const QString loaded = loadFamily();
        if (!loaded.isEmpty())
            return loaded;
        const QStringList installed = QFontDatabase::families();
        for (const char *name : {"IPAexGothic", "Yu Gothic UI", "Meiryo UI", "MS UI Gothic"})
            if (installed.contains(QString::fromUtf8(name)))
                return QString::fromUtf8(name);
        return QString();
    }();
    QFont f;
    if (!family.isEmpty())
        f.setFamily(family);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

} // namespace ReportFont
