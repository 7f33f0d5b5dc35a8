#include "PhotometryCommand.h"

#include "photometry/PhotometryPlot.h"
#include "grid/WorkFile.h"
#include "io/CheckedFile.h"
#include "master/MasterCsv.h"
#include "photometry/PhotometryMath.h"
#include "photometry/PhotometryReader.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

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

QString percent(double fraction)
{
    return NumberText::format(fraction * 100, QStringLiteral("0.0")) + QStringLiteral(" %");
}

struct Options {
    QString file;
    QString plot;
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
    return true;
}

void printReport(const Photometry &p, const PhotometryMath::Table &table)
{
    const auto f = PhotometryMath::fractions(p);
    const double luminaire = PhotometryMath::flux(p);
    out(QStringLiteral("形式          : %1").arg(p.format));
    out(QStringLiteral("器具名        : %1").arg(p.name));
    if (p.absolute)
        out(QStringLiteral("ランプ光束    : 絶対測光（器具光束 %1 lm をランプ光束とします）").arg(NumberText::format(luminaire, QStringLiteral("0"))));
    else
        out(QStringLiteral("ランプ光束    : %1 lm（ランプ %2 本）").arg(NumberText::plain(p.lampFlux)).arg(p.lamps));
    out(QStringLiteral("器具光束      : %1 lm（器具効率 %2）").arg(NumberText::format(luminaire, QStringLiteral("0")), percent(f.total)));
    out(QStringLiteral("下方光束比    : %1（ランプ光束に対して）、上方 %2").arg(percent(f.downward), percent(f.upward)));
    QStringList zones;
    const auto z = PhotometryMath::zonalFlux(p);
    for (int i = 0; i < 18; ++i)
        zones.append(QStringLiteral("%1-%2: %3").arg(10 * i).arg(10 * i + 10).arg(NumberText::format(z[size_t(i)], QStringLiteral("0"))));
    out(QStringLiteral("ゾーン光束(lm): %1").arg(zones.join(QStringLiteral(", "))));
    if (p.lorl || p.dff) {
        QStringList dr;
        for (double v : p.directRatios)
            dr.append(NumberText::format(v, QStringLiteral("0.000")));
        out(QStringLiteral("ファイルの値  : LORL %1 %、DFF %2 %、直接比 %3")
                .arg(NumberText::plain(p.lorl.value_or(0)), NumberText::plain(p.dff.value_or(0)), dr.join(u' ')));
    }
    for (const QString &w : p.warnings + table.warnings)
        out(QStringLiteral("警告: %1").arg(w));
    out(QStringLiteral("照明率表（×100、切り捨て）: 室指数"));
    QString head = QStringLiteral("          ");
    for (double k : PhotometryMath::kClassIndex)
        head += NumberText::plain(k).rightJustified(5);
    out(head);
    const char *const names[] = {"70/50/10", "50/50/10", "30/30/10"};
    for (size_t r = 0; r < 3; ++r) {
        QString line = QString::fromLatin1(names[r]).leftJustified(10);
        for (int e : table.entries[r])
            line += QString::number(e).rightJustified(5);
        out(line);
    }
}

// The CP932 text cut to at most `bytes` bytes, never inside a character; characters CP932 cannot
// hold (a European file's accents) become "?".
QString cutToBytes(const QString &text, int bytes)
{
    QString cut;
    for (QChar c : text) {
        bool ok = false;
        Cp932::encode(QString(c), &ok);
        const QChar kept = ok && c != QChar(0xFFFD) ? c : QChar(u'?');
        if (Cp932::byteLength(cut + kept) > bytes)
            break;
        cut += kept;
    }
    return cut;
}

// The master CSV with the slot written, checked to convert; nothing is written yet.
struct SlotText {
    QByteArray bytes;
    QString name;
    QByteArray original; // the master as it was, to give back if the curve cannot be written
};

bool prepareSlot(const Options &o, const Photometry &p, const PhotometryMath::Table &table, SlotText *result,
                 QString *error)
{
    QFile file(o.into);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 を読み込めません。").arg(o.into);
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    result->original = bytes;
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
    result->name = cutToBytes(name, 18);
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

} // namespace

int photometryCommand(const QStringList &args)
{
    Options o;
    QString error;
    if (!parseOptions(args, &o, &error))
        return fail(error + QStringLiteral("\n使い方: prx5m-mst photometry FILE.ies|FILE.ldt [--plot OUT.png|OUT.pdf] "
                                           "[--into syomei.csv --slot N [--name TEXT] [--mf 0.81,0.77,0.72]]"));
    Photometry p;
    if (!PhotometryReader::readFile(o.file, &p, &error))
        return fail(QStringLiteral("%1: %2").arg(o.file, error));

    // The file's own figures checked against what its distribution gives.
    const auto f = PhotometryMath::fractions(p);
    // A figure the file leaves at 0 is unknown, not wrong.
    if (p.lorl && *p.lorl > 0 && std::fabs(f.total * 100 - *p.lorl) > 0.02 * *p.lorl)
        p.warnings.append(QStringLiteral("ファイルの器具効率 %1 % と配光から求めた %2 が 2 % 以上違います。")
                              .arg(NumberText::plain(*p.lorl), percent(f.total)));
    if (p.dff && *p.dff > 0 && f.total > 0 && std::fabs(f.downward / f.total * 100 - *p.dff) > 0.02 * *p.dff)
        p.warnings.append(QStringLiteral("ファイルの下方光束比 %1 % と配光から求めた %2 が 2 % 以上違います。")
                              .arg(NumberText::plain(*p.dff), percent(f.downward / f.total)));
    const PhotometryMath::Table table = PhotometryMath::utilizationTable(p);
    printReport(p, table);
    // Every check, and the curve drawn, before anything is written: a refusal leaves no file.
    SlotText slot;
    if (!o.into.isEmpty() && !prepareSlot(o, p, table, &slot, &error))
        return fail(error);
    QByteArray plot;
    if (!o.plot.isEmpty()) {
        if (!CheckedFile::checkTarget(o.plot, &error))
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.plot, error));
        plot = PhotometryPlot::render(p, o.plot, &error);
        if (plot.isEmpty())
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.plot, error));
    }
    // The master and the curve succeed or fail together: a curve that cannot be written takes the
    // master's slot back.
    if (!o.into.isEmpty()) {
        if (!CheckedFile::write(o.into, slot.bytes, &error))
            return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.into, error));
    }
    if (!o.plot.isEmpty() && !CheckedFile::write(o.plot, plot, &error)) {
        QString undo;
        if (!o.into.isEmpty() && !CheckedFile::write(o.into, slot.original, &undo))
            return fail(QStringLiteral("%1 を書き込めません: %2\n%3 を元に戻せません: %4").arg(o.plot, error, o.into, undo));
        return fail(QStringLiteral("%1 を書き込めません: %2").arg(o.plot, error));
    }
    if (!o.plot.isEmpty())
        out(QStringLiteral("配光曲線を書きました: %1").arg(o.plot));
    if (!o.into.isEmpty())
        out(QStringLiteral("スロット %1 に「%2」を書きました: %3").arg(o.slot).arg(slot.name, o.into));
    return 0;
}
