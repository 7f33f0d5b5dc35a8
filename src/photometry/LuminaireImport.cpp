#include "photometry/LuminaireImport.h"

#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "io/FileSet.h"
#include "master/LuminaireRecord.h"
#include "master/MasterCsv.h"
#include "master/MasterTables.h"
#include "photometry/PhotometryReader.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace LuminaireImport {

namespace {

QString percent(double fraction)
{
    return NumberText::format(fraction * 100, QStringLiteral("0.0")) + QStringLiteral(" %");
}

// A ratio above 1 to as many decimals as show that it is above 100 % (100.04 %, not 100.0 %).
QString beyond100(double fraction)
{
    QString text;
    for (const char *pattern : {"0.0", "0.00", "0.000", "0.0000"}) {
        text = NumberText::format(fraction * 100, QString::fromLatin1(pattern));
        if (text.toDouble() > 100)
            break;
    }
    return text + QStringLiteral(" %");
}

// The file's figure against the one its distribution gives, in points and relative to the file's:
// "ファイルの下方光束比 1.74 % に対し配光から求めた値は 2.2 %（0.46 ポイント、相対 26 %）".
QString differs(const QString &what, double stated, double computed)
{
    const double points = computed - stated;
    return QStringLiteral("ファイルの%1 %2 % に対し配光から求めた値は %3 %（%4 ポイント、相対 %5 %）です。")
        .arg(what, NumberText::plain(stated), NumberText::format(computed, QStringLiteral("0.0")),
             NumberText::format(std::fabs(points), QStringLiteral("0.00")),
             NumberText::format(std::fabs(points) / stated * 100, QStringLiteral("0")));
}

// A file of the set, at most `limit` bytes; false with the reason when it is missing, no regular
// file, too large or cannot be read.
bool readBounded(const QString &path, qint64 limit, QByteArray *bytes, QString *error,
                 BoundedRead::Links links = BoundedRead::Links::Follow)
{
    return BoundedRead::read(path, limit, bytes, error, links) == BoundedRead::Outcome::Read;
}

// The index holds a line per slot: far below this.
constexpr qint64 kIndexLimit = 256 * 1024;
// A luminaire master: 999 records of 200 bytes, with room to spare.
constexpr qint64 kMasterLimit = 1024 * 1024;

const QString kIndex = QStringLiteral("index.csv");

QString folderOf(const QString &masterDir)
{
    return QDir(masterDir).filePath(QStringLiteral("photometry"));
}

// The program's folder beside the masters is never a link.
bool folderIsOurs(const QString &masterDir, QString *error)
{
    const QFileInfo folder(folderOf(masterDir));
    if (folder.isSymLink()) {
        *error = BoundedRead::linkRefused(folder.filePath());
        return false;
    }
    if (folder.exists() && !folder.isDir()) {
        bool there = false;
        BoundedRead::check(folder.filePath(), BoundedRead::Links::Refuse, &there, error);
        return false;
    }
    return true;
}

} // namespace

bool analyse(const QString &path, Analysis *out, QString *error)
{
    *out = Analysis();
    Photometry &p = out->photometry;
    if (!PhotometryReader::readFile(path, &p, error, &out->bytes))
        return false;
    out->luminaireFlux = PhotometryMath::flux(p);
    out->fractions = PhotometryMath::fractions(p);
    out->zones = PhotometryMath::zonalFlux(p);
    out->table = PhotometryMath::utilizationTable(p);
    const auto &f = out->fractions;
    QStringList &w = out->warnings;
    w = p.warnings;
    // How far the light output ratio may be off by the rounding of the file's intensities alone:
    // half their unit over the whole sphere, against the lamps' flux.
    const double rounding = !p.absolute && p.lampFlux > 0 ? 0.5 * p.intensityStep * 4 * M_PI / p.lampFlux : 0;
    // The file's own figures against what its distribution gives (a figure left at 0 is unknown;
    // a difference within the file's own precision is none).
    if (p.lorl && *p.lorl > 0 && std::fabs(f.total * 100 - *p.lorl) > std::max(0.02 * *p.lorl, p.lorlStep / 2 + rounding * 100))
        w.append(differs(QStringLiteral("器具効率"), *p.lorl, f.total * 100));
    if (p.dff && *p.dff > 0 && f.total > 0
        && std::fabs(f.downwardShare() * 100 - *p.dff) > std::max(0.02 * *p.dff, p.dffStep / 2))
        w.append(differs(QStringLiteral("下方光束比"), *p.dff, f.downwardShare() * 100));
    if (p.statedFlux && *p.statedFlux > 0 && std::fabs(out->luminaireFlux - *p.statedFlux) > 0.05 * *p.statedFlux)
        w.append(QStringLiteral("ファイルの見出しの光束 %1 lm と配光から求めた器具光束 %2 lm が 5 % 以上違います。")
                     .arg(NumberText::plain(*p.statedFlux), NumberText::format(out->luminaireFlux, QStringLiteral("0"))));
    // Beyond 100 % by more than the rounding of the file's intensities, unless the file says its
    // own ratio is 100 % or less (then the difference is said above, if there is one).
    const bool statedAtMost100 = p.lorl && *p.lorl > 0 && *p.lorl <= 100;
    if (!p.absolute && !statedAtMost100 && f.total > 1.0 + rounding + 1e-9)
        w.append(QStringLiteral("器具効率が 100 % を超えています（%1）。ランプ光束か光度の値を確かめてください。").arg(beyond100(f.total)));
    if (!(f.downward > 0))
        w.append(QStringLiteral("下方光束が 0 です（下に向かう光がありません）。照明率は天井からの反射だけで求めています。"));
    w += out->table.warnings;
    return true;
}

QStringList describe(const Analysis &a)
{
    const Photometry &p = a.photometry;
    const auto &f = a.fractions;
    QStringList out;
    out.append(QStringLiteral("形式          : %1").arg(p.format));
    out.append(QStringLiteral("器具名        : %1").arg(p.name));
    if (p.absolute)
        out.append(QStringLiteral("ランプ光束    : 絶対測光（器具光束 %1 lm をランプ光束とします）")
                       .arg(NumberText::format(a.luminaireFlux, QStringLiteral("0"))));
    else
        out.append(QStringLiteral("ランプ光束    : %1 lm（ランプ %2 本）").arg(NumberText::plain(p.lampFlux)).arg(p.lamps));
    out.append(QStringLiteral("器具光束      : %1 lm（器具効率 %2）")
                   .arg(NumberText::format(a.luminaireFlux, QStringLiteral("0")), percent(f.total)));
    out.append(QStringLiteral("下方光束比    : %1（器具光束に対して）、上方 %2").arg(percent(f.downwardShare()), percent(f.upwardShare())));
    return out;
}

QString storedName(const QString &name, bool *changed)
{
    QString cut;
    for (QChar c : name) {
        bool ok = false;
        Cp932::encode(QString(c), &ok);
        const QChar kept = ok && c != QChar(0xFFFD) ? c : QChar(u'?');
        if (Cp932::byteLength(cut + kept) > 18)
            break;
        cut += kept;
    }
    if (changed)
        *changed = cut != name;
    return cut;
}

LuminaireRecord record(const LuminaireRecord &old, int slot, const QString &name, const PhotometryMath::Table &table,
                       const QStringList &factors)
{
    LuminaireRecord r = old;
    r.number = QString::number(slot).rightJustified(2, u'0');
    r.name = storedName(name);
    for (size_t p = 0; p < 3; ++p)
        for (size_t c = 0; c < 12; ++c)
            r.utilizationFactors[p][c] = QString::number(table.entries[p][c]).rightJustified(2, u'0');
    if (factors.size() == 3)
        for (size_t i = 0; i < 3; ++i)
            r.maintenanceFactors[i] = factors[int(i)].trimmed();
    r.inUse = QStringLiteral("1");
    return r;
}

namespace {

// The index's entries; false with the reason when it is there but cannot be read (no index: none).
bool readKept(const QString &masterDir, QList<Kept> *out, QString *error)
{
    if (!folderIsOurs(masterDir, error))
        return false;
    const QString path = QDir(folderOf(masterDir)).filePath(kIndex);
    QByteArray bytes;
    const auto outcome = BoundedRead::read(path, kIndexLimit, &bytes, error, BoundedRead::Links::Refuse);
    if (outcome == BoundedRead::Outcome::Missing)
        return true;
    if (outcome != BoundedRead::Outcome::Read)
        return false;
    QVector<QStringList> rows;
    WorkFile::Error parseError = WorkFile::Error::None;
    if (!WorkFile::fromCsv(QString::fromUtf8(bytes), 1000, &rows, &parseError)) {
        *error = QStringLiteral("%1 を読めません（%2）。").arg(path, WorkFile::errorText(parseError, 1000));
        return false;
    }
    for (const QStringList &row : std::as_const(rows)) {
        bool ok = false;
        const int slot = row.value(0).toInt(&ok);
        if (ok && row.size() >= 3 && !row[2].contains(u'/') && row[2] != u"." && row[2] != u"..")
            out->append({slot, row[1], row[2]});
    }
    return true;
}

} // namespace

QStringList ownFolders(const QString &masterDir)
{
    return {folderOf(masterDir)};
}

QStringList setNames(const QString &master)
{
    QStringList names{QStringLiteral("syomei.mst"), QStringLiteral("syomei.csv"), QStringLiteral("hijou.csv")};
    if (!master.isEmpty() && !names.contains(QFileInfo(master).fileName()))
        names.append(QFileInfo(master).fileName());
    return names;
}

bool mend(const QString &masterDir, QString *error)
{
    return FileSet::mend(masterDir, ownFolders(masterDir), setNames(), error);
}

QList<Kept> kept(const QString &masterDir, QString *error)
{
    QList<Kept> out;
    QString why;
    if (!readKept(masterDir, &out, &why)) {
        out.clear();
        if (error)
            *error = why;
    }
    return out;
}

QString keptFile(const QList<Kept> &index, const QString &masterDir, int slot, const QString &currentName)
{
    for (const Kept &k : index) {
        if (k.slot != slot)
            continue;
        const QString path = QDir(folderOf(masterDir)).filePath(k.file);
        // Whatever is there under the name: a reader refuses a link or a FIFO planted in the
        // program's folder, and says what it is.
        const QFileInfo info(path);
        return k.name.trimmed() == currentName.trimmed() && (info.exists() || info.isSymLink()) ? path : QString();
    }
    return QString();
}

QString keptFile(const QString &masterDir, int slot, const QString &currentName)
{
    return keptFile(kept(masterDir), masterDir, slot, currentName);
}

bool keepChanges(const QString &masterDir, int slot, const QString &name, const QString &source, const QByteArray &bytes,
                 QList<Change> *out, QString *error)
{
    const QString folder = folderOf(masterDir);
    const QString suffix = QFileInfo(source).suffix().compare(QStringLiteral("ldt"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("ldt")
                               : QStringLiteral("ies");
    const QString fileName = QStringLiteral("%1.%2").arg(slot).arg(suffix);
    if (!folderIsOurs(masterDir, error))
        return false;
    const Change copy{QDir(folder).filePath(fileName), bytes, true};
    // The index: every other slot as it was, this one under its new name and file.
    QString index = MasterCsv::line({QStringLiteral("slot"), QStringLiteral("name"), QStringLiteral("file")});
    // An index that cannot be read is not rewritten: the other slots' entries would be lost.
    QList<Kept> others;
    if (!readKept(masterDir, &others, error))
        return false;
    for (const Kept &k : std::as_const(others))
        if (k.slot != slot)
            index += MasterCsv::line({QString::number(k.slot), k.name, k.file});
    index += MasterCsv::line({QString::number(slot), storedName(name), fileName});
    const Change list{QDir(folder).filePath(kIndex), index.toUtf8(), true};
    // The other file of the slot (the other format) stays: the index names the one in use.
    out->append(copy);
    out->append(list);
    return true;
}

bool masterChange(const QString &mstPath, int slot, const LuminaireRecord &record, Change *out, QString *error)
{
    QByteArray old;
    if (!readBounded(mstPath, kMasterLimit, &old, error))
        return false;
    QByteArray bytes;
    if (!record.toBytes(&bytes) || bytes.size() != LuminaireRecord::kLength) {
        *error = QStringLiteral("照明器具マスタの形に収まりません。");
        return false;
    }
    QByteArray mst = old.left(old.size() - old.size() % LuminaireRecord::kLength); // whole records
    QByteArray empty;
    LuminaireRecord().toBytes(&empty);
    while (mst.size() < qsizetype(slot) * LuminaireRecord::kLength)
        mst.append(empty);
    mst.replace(qsizetype(slot - 1) * LuminaireRecord::kLength, LuminaireRecord::kLength, bytes);
    *out = Change{mstPath, mst};
    return true;
}

bool apply(const FileSet::Lock &lock, const QList<Change> &changes, QString *error)
{
    QList<FileSet::File> files;
    for (const Change &c : changes)
        files.append({c.path, c.bytes, c.own});
    return FileSet::write(lock, files, error);
}

} // namespace LuminaireImport
