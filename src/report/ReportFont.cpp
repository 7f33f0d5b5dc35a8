#include "report/ReportFont.h"

#include <QFile>
#include <QFontDatabase>
#include <QList>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <algorithm>

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

// Font files fontconfig knows for a pattern, with their family names.
struct Found {
    QString file;
    QString family;
};

QList<Found> fontsMatching(const char *pattern)
{
    QList<Found> out;
    if (!FcInit())
        return out;
    FcPattern *p = FcNameParse(reinterpret_cast<const FcChar8 *>(pattern));
    FcObjectSet *os = FcObjectSetBuild(FC_FILE, FC_FAMILY, nullptr);
    FcFontSet *set = p && os ? FcFontList(nullptr, p, os) : nullptr;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8 *file = nullptr;
        FcChar8 *family = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch
            && FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
            out.append({QString::fromUtf8(reinterpret_cast<const char *>(file)),
                        QString::fromUtf8(reinterpret_cast<const char *>(family))});
    }
    if (set)
        FcFontSetDestroy(set);
    if (os)
        FcObjectSetDestroy(os);
    if (p)
        FcPatternDestroy(p);
    std::sort(out.begin(), out.end(), [](const Found &a, const Found &b) { return a.file < b.file; });
    return out;
}

// The Japanese font of the reports: IPAex Gothic; without it, another Japanese font, a gothic
// (sans-serif) one first.
Found japaneseFont()
{
    const QList<Found> ipaex = fontsMatching("IPAexGothic");
    if (!ipaex.isEmpty())
        return ipaex.first();
    QList<Found> japanese = fontsMatching(":lang=ja");
    const auto rank = [](const Found &f) {
        const QString name = f.family;
        if (name.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive) || name.contains(QStringLiteral("Sans"), Qt::CaseInsensitive)
            || name.contains(QStringLiteral("ゴシック")))
            return name.contains(QStringLiteral("Mono"), Qt::CaseInsensitive) ? 1 : 0;
        return 2;
    };
    std::stable_sort(japanese.begin(), japanese.end(), [&](const Found &a, const Found &b) { return rank(a) < rank(b); });
    return japanese.isEmpty() ? Found{} : japanese.first();
}

QString loadFamily()
{
    const Found found = japaneseFont();
    if (found.file.isEmpty())
        return QString();
    QFile file(found.file);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray data = file.readAll();
    // One font of a file (not a collection): its radicals can be taken out of the map.
    if (data.startsWith(QByteArray("\0\1\0\0", 4)) || data.startsWith("OTTO") || data.startsWith("true"))
        data = ReportFont::withoutRadicals(std::move(data));
    const int id = QFontDatabase::addApplicationFontFromData(data);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

const QString &loadedFamily()
{
    static const QString family = loadFamily();
    return family;
}

} // namespace

namespace ReportFont {

QByteArray withoutRadicals(QByteArray fontFile)
{
    // Changed in place: a file handed over whole is not copied (a Japanese font is megabytes).
    QByteArray data = std::move(fontFile);
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
    QFont f;
    if (!loadedFamily().isEmpty())
        f.setFamily(loadedFamily());
    f.setStyleHint(QFont::SansSerif);
    return f;
}

bool available()
{
    return !loadedFamily().isEmpty();
}

QString missingMessage()
{
    return QStringLiteral("帳票の日本語フォントが見つかりません。IPAex ゴシックを入れてください"
                          "（Debian のパッケージ fonts-ipaexfont-gothic: sudo apt-get install fonts-ipaexfont-gothic）。");
}

} // namespace ReportFont
