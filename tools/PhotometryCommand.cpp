#include "PhotometryCommand.h"

#include "photometry/PhotometryPlot.h"
#include "photometry/Glare.h"
#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "io/CheckedFile.h"
#include "io/FileSet.h"
#include "master/MasterCsv.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryMath.h"
#include "photometry/PhotometryReader.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdio>
#include <unistd.h>

namespace {

void out(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "prx5m-mst: %s\n", message.toUtf8().constData());
    return 1;
}

struct Options {
    QString file;
    QString plot;
    QString ugrTable;
    double spacing = 0.25;
    QString into;
    int slot = 0;
    QString name;
    QStringList mf;
};

bool parseOptions(const QStringList &args, Options *o, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const auto value = [&](QString *target) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("%1 の値がありません。").arg(a);
                return false;
            }
            *target = args[++i];
            return true;
        };
        if (a == u"--plot") {
            if (!value(&o->plot))
                return false;
        } else if (a == u"--ugr-table") {
            if (!value(&o->ugrTable))
                return false;
        } else if (a == u"--spacing") {
            QString spacing;
            if (!value(&spacing))
                return false;
            // The catalogues' spacing, or the standard's own example.
            if (spacing != u"0.25" && spacing != u"1") {
                *error = QStringLiteral("--spacing は 0.25 か 1 です（器具の間隔 ÷ 高さ）。");
                return false;
            }
            o->spacing = spacing.toDouble();
        } else if (a == u"--into") {
            if (!value(&o->into))
                return false;
        } else if (a == u"--name") {
            if (!value(&o->name))
                return false;
        } else if (a == u"--slot") {
            QString slot;
            if (!value(&slot))
                return false;
            bool ok = false;
            o->slot = slot.toInt(&ok);
            // The pick list of the sheet shows slots 1 to 80.
            if (!ok || o->slot < 1 || o->slot > 80) {
                *error = QStringLiteral("--slot は 1～80 です（照明器具の一覧に出るのは 80 番まで）。");
                return false;
            }
        } else if (a == u"--mf") {
            QString mf;
            if (!value(&mf))
                return false;
            o->mf = mf.split(u',');
            for (const QString &m : std::as_const(o->mf)) {
                const auto v = NumberText::strict(m);
                if (o->mf.size() != 3 || !v || *v <= 0 || *v > 1 || m.trimmed().size() > 4) {
                    *error = QStringLiteral("--mf は保守率 3 つです（例: 0.81,0.77,0.72、各 4 文字まで）。");
                    return false;
                }
            }
        } else if (a.startsWith(QStringLiteral("--"))) {
            *error = QStringLiteral("知らないオプション %1").arg(a);
            return false;
        } else if (o->file.isEmpty()) {
            o->file = a;
        } else {
            *error = QStringLiteral("ファイルは 1 つです: %1").arg(a);
            return false;
        }
    }
    if (o->file.isEmpty()) {
        *error = QStringLiteral("配光データのファイル（.ies / .ldt）を指定してください。");
        return false;
    }
    if (o->into.isEmpty() != (o->slot == 0)) {
        *error = QStringLiteral("--into と --slot は一緒に指定します。");
        return false;
    }
    if (o->spacing != 0.25 && o->ugrTable.isEmpty()) {
        *error = QStringLiteral("--spacing は --ugr-table と一緒に指定します。");
        return false;
    }
    return true;
}

void printReport(const LuminaireImport::Analysis &a)
{
    for (const QString &line : LuminaireImport::describe(a))
        out(line);
    const Photometry &p = a.photometry;
    QStringList zones;
    for (int i = 0; i < 18; ++i)
        zones.append(QStringLiteral("%1-%2: %3").arg(10 * i).arg(10 * i + 10).arg(NumberText::format(a.zones[size_t(i)], QStringLiteral("0"))));
    out(QStringLiteral("ゾーン光束(lm): %1").arg(zones.join(QStringLiteral(", "))));
    if (p.lorl || p.dff) {
        QStringList dr;
        for (double v : p.directRatios)
            dr.append(NumberText::format(v, QStringLiteral("0.000")));
        out(QStringLiteral("ファイルの値  : LORL %1 %、DFF %2 %、直接比 %3")
                .arg(NumberText::plain(p.lorl.value_or(0)), NumberText::plain(p.dff.value_or(0)), dr.join(u' ')));
    }
    for (const QString &w : a.warnings)
        out(QStringLiteral("警告: %1").arg(w));
    out(QStringLiteral("照明率表（×100、切り捨て）: 室指数"));
    QString head = QStringLiteral("          ");
    for (double k : PhotometryMath::kClassIndex)
        head += NumberText::plain(k).rightJustified(5);
    out(head);
    const char *const names[] = {"70/50/10", "50/50/10", "30/30/10"};
    for (size_t r = 0; r < 3; ++r) {
        QString line = QString::fromLatin1(names[r]).leftJustified(10);
        for (int e : a.table.entries[r])
            line += QString::number(e).rightJustified(5);
        out(line);
    }
}

// The master CSV with the slot written, checked to convert; nothing is written yet.
struct SlotText {
    QByteArray bytes;
    QString name;
};

bool prepareSlot(const Options &o, const Photometry &p, const PhotometryMath::Table &table, SlotText *result,
                 QString *error)
{
    // A master of 999 slots is far below this; a FIFO or a device is refused, not waited on.
    QByteArray bytes;
    if (BoundedRead::read(o.into, 4 * 1024 * 1024, &bytes, error) != BoundedRead::Outcome::Read)
        return false;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString csv = utf8.decode(bom ? bytes.mid(3) : bytes);
    if (utf8.hasError()) {
        *error = QStringLiteral("%1 は UTF-8 ではありません。").arg(o.into);
        return false;
    }
    QVector<QStringList> rows;
    WorkFile::Error parseError = WorkFile::Error::None;
    const QStringList header = MasterCsv::header(MasterCsv::Kind::Luminaire);
    if (!WorkFile::fromCsv(csv, 1001, &rows, &parseError) || rows.isEmpty() || rows.first() != header) {
        *error = QStringLiteral("%1 は照明器具マスタの CSV ではありません。").arg(o.into);
        return false;
    }
    while (rows.size() > 1 && rows.last().size() == 1 && rows.last().first().isEmpty())
        rows.removeLast();
    // Slots up to the one wanted, each at least its number.
    while (rows.size() <= o.slot)
        rows.append({QString::number(rows.size())});
    QStringList row = rows[o.slot];
    while (row.size() < header.size())
        row.append(QString());
    const int mfAt = 3 + 45 + 1;
    const bool hasFactors = !row[mfAt].trimmed().isEmpty() || !row[mfAt + 1].trimmed().isEmpty()
                            || !row[mfAt + 2].trimmed().isEmpty();
    if (o.mf.isEmpty() && !hasFactors) {
        *error = QStringLiteral("スロット %1 には保守率がありません。--mf で 3 つの保守率を指定してください。").arg(o.slot);
        return false;
    }
    const QString name = o.name.isEmpty() ? p.name : o.name;
    result->name = LuminaireImport::storedName(name);
    if (result->name != name)
        out(QStringLiteral("警告: 器具名を 18 バイトのシフトJISにしました: %1（--name で名前を指定できます）").arg(result->name));
    row[0] = QString::number(o.slot);
    row[1] = QString::number(o.slot).rightJustified(2, u'0');
    row[2] = result->name;
    for (size_t pattern = 0; pattern < 3; ++pattern)
        for (size_t c = 0; c < 12; ++c)
            row[3 + int(pattern) * 15 + int(c)] = QString::number(table.entries[pattern][c]).rightJustified(2, u'0');
    if (!o.mf.isEmpty())
        for (int i = 0; i < 3; ++i)
            row[mfAt + i] = o.mf[i].trimmed();
    row[mfAt + 3] = QStringLiteral("1");
    rows[o.slot] = row;
    QString text;
    for (const QStringList &r : std::as_const(rows))
        text += MasterCsv::line(r);
    // The master must still convert: every field fits its width.
    QByteArray mst;
    QString why;
    if (!MasterCsv::toMst(MasterCsv::Kind::Luminaire, text, &mst, &why)) {
        *error = QStringLiteral("書き込むと照明器具マスタに変換できなくなります: %1").arg(why);
        return false;
    }
    result->bytes = (bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    return true;
}

// What a stopped single write of `path` left beside it (".NAME.XXXXXX.tmp", the checked write's
// own pattern): removed, nothing else.
void removeStrayTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QRegularExpression temp(QStringLiteral("^\\.%1\\.[A-Za-z0-9]{6}\\.tmp$").arg(QRegularExpression::escape(target.fileName())));
    const QDir folder = target.dir();
    for (const QString &left : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (temp.match(left).hasMatch() && !QFileInfo(folder.filePath(left)).isSymLink())
            QFile::remove(folder.filePath(left));
}

} // namespace

int photometryCommand(const QStringList &args)
{
    Options o;
    QString error;
    if (!parseOptions(args, &o, &error)) {
        // A mistyped command line, as for the tool's other commands.
        fail(error + QStringLiteral("\n使い方: prx5m-mst photometry FILE.ies|FILE.ldt [--plot OUT.png|OUT.pdf] "
                                    "[--ugr-table OUT.csv [--spacing 0.25|1]] [--into syomei.csv --slot N [--name TEXT] [--mf 0.81,0.77,0.72]]"));
        return 2;
    }
    LuminaireImport::Analysis a;
    if (!LuminaireImport::analyse(o.file, &a, &error))
        return fail(QStringLiteral("%1: %2").arg(o.file, error));
    printReport(a);
    // Every check, and the curve drawn, before anything is written: a refusal leaves no file.
    QList<LuminaireImport::Change> changes;
    SlotText slot;
    // The master, its photometry/ and index.csv are read and written under the lock of their
    // folder: a second import waits for this one, and never loses its slot or this one's.
    FileSet::Lock lock;
    if (!o.into.isEmpty()) {
        const QString home = QFileInfo(o.into).absolutePath();
        if (!lock.acquire(home, &error, LuminaireImport::ownFolders(home), LuminaireImport::setNames(o.into)))
            return fail(error);
        if (!prepareSlot(o, a.photometry, a.table, &slot, &error))
            return fail(error);
        changes.append({o.into, slot.bytes});
        // The file itself is kept beside the master, for the distribution of its rooms.
        if (!LuminaireImport::keepChanges(home, o.slot, slot.name, o.file, a.bytes, &changes, &error))
            return fail(error);
    }
    // The UGR table: refused (status 2) before anything is written.
    QByteArray ugr;
    if (!o.ugrTable.isEmpty()) {
        Glare::Table t;
        if (!Glare::table(a.photometry, o.spacing, &t, &error)) {
            std::fprintf(stderr, "prx5m-mst: %s: %s\n", qPrintable(o.file), error.toUtf8().constData());
            return 2;
        }
        if (!CheckedFile::checkTarget(o.ugrTable, &error))
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.ugrTable, error));
        ugr = Glare::tableCsv(t);
    }
    QByteArray plot;
    if (!o.plot.isEmpty()) {
        if (!CheckedFile::checkTarget(o.plot, &error))
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.plot, error));
        plot = PhotometryPlot::render(a.photometry, o.plot, &error);
        if (plot.isEmpty())
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.plot, error));
    }
    if (!lock.held()) {
        if (!plot.isEmpty() && !CheckedFile::write(o.plot, plot, &error))
            return fail(QStringLiteral("書き込めません: %1").arg(error));
        if (!ugr.isEmpty() && !CheckedFile::write(o.ugrTable, ugr, &error))
            return fail(QStringLiteral("書き込めません: %1").arg(error));
    } else {
        // The master and its kept file first, as one set; the curve only once they are in place,
        // so that a stop between the two never leaves a new curve beside the old master.
        if (!LuminaireImport::apply(lock, changes, &error))
            return fail(QStringLiteral("書き込めません: %1").arg(error));
        if (!plot.isEmpty()) {
            removeStrayTemporaries(o.plot);
            if (!CheckedFile::write(o.plot, plot, &error))
                return fail(QStringLiteral("マスタには登録しましたが、配光曲線 %1 を書き込めません: %2").arg(o.plot, error));
        }
        if (!ugr.isEmpty() && !CheckedFile::write(o.ugrTable, ugr, &error))
            return fail(QStringLiteral("マスタには登録しましたが、UGR 表 %1 を書き込めません: %2").arg(o.ugrTable, error));
    }
    if (!o.ugrTable.isEmpty())
        out(QStringLiteral("UGR 表を書きました（SHR %1）: %2").arg(NumberText::plain(o.spacing), o.ugrTable));
    if (!o.plot.isEmpty())
        out(QStringLiteral("配光曲線を書きました: %1").arg(o.plot));
    if (!o.into.isEmpty())
        out(QStringLiteral("スロット %1 に「%2」を書きました: %3").arg(o.slot).arg(slot.name, o.into));
    return 0;
}
