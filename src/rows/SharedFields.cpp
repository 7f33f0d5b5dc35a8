#include "rows/SharedFields.h"

#include "cecl/ZoneFigures.h"
#include "illuminance/RoomFigures.h"
#include "text/NumberText.h"

namespace SharedFields {

namespace {

constexpr int kInUse = 1;
constexpr int kDesignIlluminance = 9;
constexpr int kResultIlluminance = 24;
constexpr int kTotalInput = 105;

// "照度計算書と CEC/L 計算書": a name in Latin letters stands apart from the Japanese before it.
QString join(const QStringList &names)
{
    QString out;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += i + 1 == names.size() ? QStringLiteral("と") : QStringLiteral("、");
        if (i > 0 && names[i].front().unicode() < 0x80)
            out += u' ';
        out += names[i];
    }
    return out;
}

QStringList otherUsers(const RecordGrid &grid, int row, Sheet from, bool count)
{
    QStringList out;
    for (Sheet s : {Sheet::Illuminance, Sheet::Cecl, Sheet::Beil}) {
        if (s == from || (!count && s == Sheet::Illuminance))
            continue;
        if (usedBy(grid, row, s))
            out.append(sheetName(s));
    }
    return out;
}

QString numberText(const QString &text)
{
    const auto v = NumberText::strict(text);
    return v ? NumberText::format(*v, QStringLiteral("#,##0.##")) : text.trimmed();
}

} // namespace

bool usedBy(const RecordGrid &grid, int row, Sheet sheet)
{
    if (row < 1 || row > 220 || grid.text(row, kInUse) != u"1")
        return false;
    switch (sheet) {
    case Sheet::Illuminance:
        return RoomFigures::holdsCalculation(grid, row);
    case Sheet::Cecl:
        return ZoneFigures::holdsZone(grid, row);
    case Sheet::Beil:
        for (int c = kBeilFirstColumn; c <= std::min(kBeilLastColumn, grid.colCount()); ++c)
            if (!grid.text(row, c).isEmpty())
                return true;
        return false;
    case Sheet::Emergency:
        return false; // it shares neither 台数 nor 入力電力
    }
    return false;
}

Sheet sheetOfFile(const RecordGrid &grid)
{
    const auto holds = [&grid](int first, int last) {
        for (int r = 1; r <= 220; ++r) {
            if (grid.text(r, kInUse) != u"1")
                continue;
            for (int c = first; c <= std::min(last, grid.colCount()); ++c)
                if (!grid.text(r, c).trimmed().isEmpty())
                    return true;
        }
        return false;
    };
    if (holds(132, 137))
        return Sheet::Emergency;
    if (holds(kBeilFirstColumn, kBeilLastColumn))
        return Sheet::Beil;
    if (holds(101, 114))
        return Sheet::Cecl;
    return Sheet::Illuminance;
}

QString sheetName(Sheet sheet)
{
    switch (sheet) {
    case Sheet::Illuminance: return QStringLiteral("照度計算書");
    case Sheet::Cecl: return QStringLiteral("CEC/L 計算書");
    case Sheet::Beil: return QStringLiteral("一次エネルギー（照明）計算書");
    case Sheet::Emergency: return QStringLiteral("非常用照明計算書");
    }
    return QString();
}

QString note(const RecordGrid &grid, int row, Sheet from, const QString &count, const QString &watts,
             const MasterTables *masters)
{
    if (row < 1 || row > 220 || grid.text(row, kInUse) != u"1")
        return QString();
    const bool countChanged = count.trimmed() != grid.text(row, kFittingCount).trimmed();
    const bool wattsChanged = grid.colCount() >= kInputPower && watts.trimmed() != grid.text(row, kInputPower).trimmed();
    if (!countChanged && !wattsChanged)
        return QString();
    RecordGrid after = grid;
    if (countChanged)
        giveCount(after, row, count, masters);
    if (wattsChanged)
        after.setText(row, kInputPower, watts.trimmed());
    follow(after, row);

    QStringList lines;
    if (countChanged && from != Sheet::Illuminance && usedBy(grid, row, Sheet::Illuminance)) {
        const QString n = count.trimmed().isEmpty() ? QStringLiteral("空欄") : QStringLiteral(" %1 台").arg(numberText(count));
        const QString before = grid.text(row, kResultIlluminance), now = after.text(row, kResultIlluminance);
        lines.append(before == now ? QStringLiteral("照度計算書の台数も%1になります").arg(n)
                                   : QStringLiteral("照度計算書の台数も%1になります（計算照度 %2 → %3 lx）").arg(n, before, now));
    }
    if (from != Sheet::Cecl && usedBy(grid, row, Sheet::Cecl)) {
        const QString what = countChanged && wattsChanged ? QStringLiteral("台数と入力電力")
                             : countChanged              ? QStringLiteral("台数")
                                                         : QStringLiteral("入力電力");
        const QString before = grid.text(row, kTotalInput), now = after.text(row, kTotalInput);
        lines.append(before == now ? QStringLiteral("CEC/L 計算書の%1も変わります").arg(what)
                                   : QStringLiteral("CEC/L 計算書の%1も変わります（トータル入力 %2 → %3 W）")
                                         .arg(what, before.isEmpty() ? QStringLiteral("空欄") : before,
                                              now.isEmpty() ? QStringLiteral("空欄") : now));
    }
    if (wattsChanged && from != Sheet::Beil && usedBy(grid, row, Sheet::Beil)) {
        lines.append(watts.trimmed().isEmpty()
                         ? QStringLiteral("一次エネルギー（照明）計算書の入力電力も空欄になります")
                         : QStringLiteral("一次エネルギー（照明）計算書の入力電力も %1 W になります").arg(numberText(watts)));
    }
    return lines.join(u'\n');
}

QString shortfall(const RecordGrid &grid, int row, Sheet from, const QString &count, const MasterTables *masters)
{
    if (from == Sheet::Illuminance || !usedBy(grid, row, Sheet::Illuminance)
        || count.trimmed() == grid.text(row, kFittingCount).trimmed())
        return QString();
    RecordGrid after = grid;
    giveCount(after, row, count, masters);
    const auto design = NumberText::strict(grid.text(row, kDesignIlluminance));
    const auto now = NumberText::strict(after.text(row, kResultIlluminance));
    if (!design || !now || !(*now < *design) || after.text(row, kResultIlluminance) == grid.text(row, kResultIlluminance))
        return QString();
    return QStringLiteral("設計照度 %1 lx を下回ります（%2 lx）").arg(numberText(grid.text(row, kDesignIlluminance)), numberText(after.text(row, kResultIlluminance)));
}

void giveCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters)
{
    if (count.trimmed() == grid.text(row, kFittingCount).trimmed())
        return;
    RoomFigures::giveFittingCount(grid, row, count, masters);
}

void follow(RecordGrid &grid, int row)
{
    if (ZoneFigures::holdsZone(grid, row))
        ZoneFigures::recompute(grid, row);
}

UpToDate bringUpToDate(RecordGrid &grid, const MasterTables *masters)
{
    UpToDate out;
    out.updated = RoomFigures::recomputeAll(grid, masters, &out.unverifiable);
    for (int r : std::as_const(out.updated))
        follow(grid, r);
    return out;
}

QString updatedText(const UpToDate &rows)
{
    QStringList said;
    for (const QString &s : {RoomFigures::updatedText(rows.updated), RoomFigures::unverifiedText(rows.unverifiable)})
        if (!s.isEmpty())
            said.append(s);
    return said.join(QStringLiteral("　"));
}

QString erasureQuestion(const RecordGrid &grid, int row, Sheet from, const QString &count, const QString &watts,
                        bool emptiesRow)
{
    if (row < 1 || row > 220 || grid.text(row, kInUse) != u"1")
        return QString();
    if (emptiesRow) {
        QStringList others;
        for (Sheet s : {Sheet::Cecl, Sheet::Beil})
            if (s != from && usedBy(grid, row, s))
                others.append(sheetName(s));
        return others.isEmpty() ? QStringLiteral("%1 行目のデータをすべて消去します。消去しますか？").arg(row)
                                : QStringLiteral("%1 行目のデータをすべて消去します。%2の値も消えます。消去しますか？")
                                      .arg(row)
                                      .arg(join(others));
    }
    const bool countErased = count.trimmed().isEmpty() && !grid.text(row, kFittingCount).trimmed().isEmpty();
    const bool wattsErased = from != Sheet::Illuminance && grid.colCount() >= kInputPower && watts.trimmed().isEmpty()
                             && !grid.text(row, kInputPower).trimmed().isEmpty();
    if (!countErased && !wattsErased)
        return QString();
    const QString what = countErased && wattsErased ? QStringLiteral("台数と入力電力")
                         : countErased              ? QStringLiteral("台数")
                                                    : QStringLiteral("入力電力");
    const QStringList users = otherUsers(grid, row, from, countErased);
    return users.isEmpty() ? QStringLiteral("%1 行目の%2を消去します。消去しますか？").arg(row).arg(what)
                           : QStringLiteral("%1 行目の%2を消去します。%3でも使われています。消去しますか？")
                                 .arg(row)
                                 .arg(what, join(users));
}

} // namespace SharedFields
