#include "illuminance/Requirements.h"

#include "grid/WorkFile.h"
#include "io/BoundedRead.h"
#include "master/FixedField.h"
#include "master/LuminaireRecord.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

namespace Requirements {

namespace {

constexpr qint64 kMaxBytes = 1024 * 1024;

const QString kNone = QStringLiteral("—");

bool isNone(const QString &t)
{
    const QString s = t.trimmed();
    return s.isEmpty() || s == kNone || s == u"－" || s == u"-" || s == u"―" || s == u"ー";
}

// A figure of the master: none for "—", else a number within its bounds.
bool figure(const QString &text, double low, double high, std::optional<double> *out)
{
    if (isNone(text)) {
        out->reset();
        return true;
    }
    const auto v = NumberText::strict(text.trimmed());
    if (!v || !std::isfinite(*v) || *v < low || *v > high)
        return false;
    *out = *v;
    return true;
}

// The figure as printed, read back: what the verdict compares.
std::optional<double> printed(const std::optional<double> &v, const char *pattern)
{
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return NumberText::format(*v, QString::fromLatin1(pattern)).toDouble();
}

} // namespace

QStringList header()
{
    return {QStringLiteral("区分"), QStringLiteral("領域・作業又は活動"), QStringLiteral("Em"), QStringLiteral("Em下限"),
            QStringLiteral("Em上限"), QStringLiteral("Uo"), QStringLiteral("UGR_L"), QStringLiteral("Ra"),
            QStringLiteral("出典"), QStringLiteral("備考")};
}

QString limitText(const std::optional<double> &v, int decimals)
{
    return v ? QString::number(*v, 'f', decimals) : kNone;
}

QString Requirement::summary() const
{
    QStringList parts;
    if (em) {
        QString t = QStringLiteral("Em %1 lx").arg(limitText(em, 0));
        if (emLow || emHigh)
            t += QStringLiteral("（%1～%2）").arg(emLow ? limitText(emLow, 0) : QString(), emHigh ? limitText(emHigh, 0) : QString());
        parts.append(t);
    }
    if (uo)
        parts.append(QStringLiteral("Uo %1 以上").arg(limitText(uo, 2)));
    if (ugrLimit)
        parts.append(QStringLiteral("UGR %1 以下").arg(limitText(ugrLimit, 0)));
    if (ra)
        parts.append(QStringLiteral("Ra %1 以上").arg(limitText(ra, 0)));
    return parts.isEmpty() ? kNone : parts.join(QStringLiteral("・"));
}

bool parse(const QByteArray &bytes, QList<Requirement> *out, QString *error)
{
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (utf8.hasError()) {
        // A spreadsheet saves its CSV in code page 932.
        bool ok = false;
        text = Cp932::decode(body, &ok);
        if (!ok) {
            *error = QStringLiteral("文字コードが UTF-8 でもシフトJISでもありません。");
            return false;
        }
    }
    QVector<QStringList> rows;
    WorkFile::Error e = WorkFile::Error::None;
    if (!WorkFile::fromCsv(text, kMaxRows + 1, &rows, &e)) {
        *error = WorkFile::errorText(e, kMaxRows + 1);
        return false;
    }
    if (rows.isEmpty() || rows.first() != header()) {
        *error = QStringLiteral("1 行目が %1 ではありません。").arg(header().join(u','));
        return false;
    }
    QList<Requirement> list;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList &f = rows[i];
        const int line = int(i) + 1;
        if (f.size() == 1 && f.first().trimmed().isEmpty())
            continue; // a blank line
        if (f.size() != header().size()) {
            *error = QStringLiteral("%1 行目: 項目が %2 個です（%3 個）。").arg(line).arg(f.size()).arg(header().size());
            return false;
        }
        Requirement r;
        r.area = f[0].trimmed();
        r.task = f[1].trimmed();
        r.source = f[8].trimmed();
        r.note = f[9].trimmed();
        if (r.task.isEmpty()) {
            *error = QStringLiteral("%1 行目: 領域・作業又は活動がありません。").arg(line);
            return false;
        }
        if (find(list, r.task)) {
            *error = QStringLiteral("%1 行目: 領域・作業又は活動「%2」が重複しています。").arg(line).arg(r.task);
            return false;
        }
        const struct {
            int column;
            double low, high;
            std::optional<double> *value;
        } figures[] = {{2, 1, 100000, &r.em},   {3, 1, 100000, &r.emLow}, {4, 1, 100000, &r.emHigh},
                       {5, 0.01, 1, &r.uo},    {6, 5, 40, &r.ugrLimit}, {7, 1, 100, &r.ra}};
        for (const auto &fig : figures)
            if (!figure(f[fig.column], fig.low, fig.high, fig.value)) {
                *error = QStringLiteral("%1 行目: %2「%3」は %4～%5 の数値か「—」にしてください。")
                             .arg(line)
                             .arg(header()[fig.column], f[fig.column].trimmed(), NumberText::plain(fig.low),
                                  NumberText::plain(fig.high));
                return false;
            }
        list.append(r);
    }
    *out = list;
    return true;
}

bool load(const QString &programDir, QList<Requirement> *out, QString *error)
{
    const QString path = QDir(programDir).filePath(kFile);
    QByteArray bytes;
    const BoundedRead::Outcome read = BoundedRead::read(path, kMaxBytes, &bytes, error);
    if (read == BoundedRead::Outcome::Missing) {
        out->clear();
        *error = QStringLiteral("照明要件のマスタ %1 がありません。").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (read != BoundedRead::Outcome::Read)
        return false;
    QString why;
    if (!parse(bytes, out, &why)) {
        *error = QStringLiteral("照明要件のマスタ %1 を読めません: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

QByteArray toCsv(const QList<Requirement> &rows)
{
    const auto field = [](const QString &s) {
        return s.contains(u',') || s.contains(u'"') || s.contains(u'\n') ? u'"' + QString(s).replace(u'"', QStringLiteral("\"\"")) + u'"'
                                                                        : s;
    };
    QString csv = header().join(u',') + u'\n';
    for (const Requirement &r : rows) {
        const QStringList f = {r.area, r.task, limitText(r.em, 0), limitText(r.emLow, 0), limitText(r.emHigh, 0),
                               r.uo ? NumberText::plain(*r.uo) : kNone, limitText(r.ugrLimit, 0), limitText(r.ra, 0), r.source, r.note};
        QStringList quoted;
        for (const QString &s : f)
            quoted.append(field(s));
        csv += quoted.join(u',') + u'\n';
    }
    return csv.toUtf8();
}

const Requirement *find(const QList<Requirement> &rows, const QString &task)
{
    for (const Requirement &r : rows)
        if (r.task == task.trimmed())
            return &r;
    return nullptr;
}

QString proposed(const QString &roomName, const QList<Requirement> &rows)
{
    // Common names for a master's rows; the longest name found in the room's name wins
    // (非常階段 before 階段).
    static const QList<std::pair<QString, QString>> synonyms = {
        {QStringLiteral("事務所"), QStringLiteral("事務室")},         {QStringLiteral("オフィス"), QStringLiteral("事務室")},
        {QStringLiteral("執務"), QStringLiteral("事務室")},           {QStringLiteral("設計"), QStringLiteral("設計室・製図室")},
        {QStringLiteral("製図"), QStringLiteral("設計室・製図室")},   {QStringLiteral("中央監視"), QStringLiteral("制御室")},
        {QStringLiteral("監視室"), QStringLiteral("制御室")},         {QStringLiteral("通路"), QStringLiteral("廊下・通路")},
        {QStringLiteral("廊下"), QStringLiteral("廊下・通路")},       {QStringLiteral("非常階段"), QStringLiteral("屋内非常階段")},
        {QStringLiteral("階段"), QStringLiteral("階段")},             {QStringLiteral("WC"), QStringLiteral("便所・洗面所")},
        {QStringLiteral("便所"), QStringLiteral("便所・洗面所")},     {QStringLiteral("トイレ"), QStringLiteral("便所・洗面所")},
        {QStringLiteral("洗面"), QStringLiteral("便所・洗面所")},     {QStringLiteral("倉庫"), QStringLiteral("倉庫")},
        {QStringLiteral("電気室"), QStringLiteral("電気室・空調機械室")}, {QStringLiteral("機械室"), QStringLiteral("電気室・空調機械室")},
        {QStringLiteral("出入口"), QStringLiteral("出入口")},
    };
    const QString name = roomName.normalized(QString::NormalizationForm_KC).toUpper();
    QString best;
    qsizetype longest = 0;
    const auto consider = [&](const QString &word, const QString &task) {
        const QString w = word.normalized(QString::NormalizationForm_KC).toUpper();
        if (w.size() >= 2 && w.size() > longest && name.contains(w) && find(rows, task)) {
            longest = w.size();
            best = task;
        }
    };
    for (const Requirement &r : rows)
        for (const QString &part : r.task.split(u'・'))
            consider(part, r.task);
    for (const auto &[word, task] : synonyms)
        consider(word, task);
    return best;
}

std::optional<double> typedRa(const LuminaireRecord &record)
{
    static const QRegularExpression pattern(QStringLiteral("^Ra\\s*(\\d{1,3})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(FixedField::trimmedRight(record.spare).trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int v = m.captured(1).toInt();
    return v >= 1 && v <= 100 ? std::optional<double>(v) : std::nullopt;
}

QString verdictText(Verdict v)
{
    switch (v) {
    case Verdict::Pass: return QStringLiteral("適合");
    case Verdict::Fail: return QStringLiteral("不適合");
    case Verdict::NotApplicable: return QStringLiteral("対象外");
    }
    return QString();
}

QString emText(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? NumberText::format(*v, QStringLiteral("0")) : QString();
}

QString uoText(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? NumberText::format(*v, QStringLiteral("0.00")) : QString();
}

QString ugrText(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? NumberText::format(*v, QStringLiteral("0.0")) : QString();
}

QString raText(const std::optional<double> &v)
{
    return v && std::isfinite(*v) ? NumberText::format(*v, QStringLiteral("0")) : QString();
}

Check check(const Requirement *r, const Figures &f)
{
    Check c;
    if (!r) {
        c.reasons.append(QStringLiteral("照明要件が選ばれていません"));
        return c;
    }
    // Em: the lumen method's and the grid's mean, each as printed, both at least Em.
    if (r->em) {
        const auto lumen = printed(f.emLumen, "0"), grid = printed(f.emGrid, "0");
        if (!lumen && !grid) {
            c.reasons.append(QStringLiteral("Em: 照度がありません"));
        } else {
            c.em = Verdict::Pass;
            if (lumen && *lumen < *r->em) {
                c.em = Verdict::Fail;
                c.reasons.append(QStringLiteral("Em: 光束法 %1 lx < %2 lx").arg(emText(lumen), limitText(r->em, 0)));
            }
            if (grid && *grid < *r->em) {
                c.em = Verdict::Fail;
                c.reasons.append(QStringLiteral("Em: 照度分布の平均 %1 lx < %2 lx").arg(emText(grid), limitText(r->em, 0)));
            }
            if (!grid && !f.whyNoGrid.isEmpty())
                c.reasons.append(QStringLiteral("Em: 光束法の照度のみ（%1）").arg(f.whyNoGrid));
        }
    }
    if (r->uo) {
        if (const auto uo = printed(f.uo, "0.00")) {
            c.uo = *uo >= *r->uo ? Verdict::Pass : Verdict::Fail;
            if (c.uo == Verdict::Fail)
                c.reasons.append(QStringLiteral("Uo: %1 < %2").arg(uoText(uo), limitText(r->uo, 2)));
        } else {
            c.reasons.append(QStringLiteral("Uo: %1").arg(f.whyNoGrid.isEmpty() ? QStringLiteral("照度分布がありません") : f.whyNoGrid));
        }
    }
    if (r->ugrLimit) {
        if (const auto ugr = printed(f.ugr, "0.0")) {
            c.ugr = *ugr <= *r->ugrLimit ? Verdict::Pass : Verdict::Fail;
            if (c.ugr == Verdict::Fail)
                c.reasons.append(QStringLiteral("UGR: %1 > %2").arg(ugrText(ugr), limitText(r->ugrLimit, 0)));
        } else {
            c.reasons.append(QStringLiteral("UGR: %1").arg(f.whyNoUgr.isEmpty() ? QStringLiteral("UGR がありません") : f.whyNoUgr));
        }
    }
    if (r->ra) {
        if (const auto ra = printed(f.ra, "0")) {
            c.ra = *ra >= *r->ra ? Verdict::Pass : Verdict::Fail;
            if (c.ra == Verdict::Fail)
                c.reasons.append(QStringLiteral("Ra: %1 < %2").arg(raText(ra), limitText(r->ra, 0)));
        } else {
            c.reasons.append(QStringLiteral("Ra: %1").arg(f.whyNoRa.isEmpty() ? QStringLiteral("Ra が不明です") : f.whyNoRa));
        }
    }
    bool pass = false, fail = false;
    for (Verdict v : {c.em, c.uo, c.ugr, c.ra}) {
        pass = pass || v == Verdict::Pass;
        fail = fail || v == Verdict::Fail;
    }
    c.room = fail ? Verdict::Fail : pass ? Verdict::Pass : Verdict::NotApplicable;
    return c;
}

} // namespace Requirements
