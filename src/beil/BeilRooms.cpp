#include "beil/BeilRooms.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilRecord.h"
#include "grid/RoomFloors.h"
#include "illuminance/RoomFigures.h"
#include "text/NumberText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace BeilRooms {

using namespace BeilRecord;

namespace {

// Reads a room's texts and notes every problem on the way: an error where a value is missing or
// cannot be used, a warning where a choice does not suit the room.
class Reader
{
public:
    Reader(const RoomTexts &t, QList<Problem> *problems) : m_texts(t), m_problems(problems) {}

    // A value that must be a number: not blank, not negative, finite.
    std::optional<double> required(int row, const QString &field, const QString &text)
    {
        if (text.trimmed().isEmpty()) {
            error(row, field, text, QStringLiteral("が入力されていません。"));
            return std::nullopt;
        }
        return optional(row, field, text);
    }

    // A value that may be blank.
    std::optional<double> optional(int row, const QString &field, const QString &text)
    {
        const NumberText::Field v = NumberText::field(text);
        if (v.problem == NumberText::Field::Problem::Blank)
            return std::nullopt;
        if (!v.ok()) {
            error(row, field, text, v.reason());
            return std::nullopt;
        }
        if (*v.value < 0) {
            error(row, field, text, QStringLiteral("は負の値です。"));
            return std::nullopt;
        }
        return v.value; // "-0" counts, and prints, as 0
    }

    void error(int row, const QString &field, const QString &value, const QString &reason)
    {
        m_problems->append({row, fullName(m_texts), field, value, reason, false, QString()});
        m_failed = true;
    }
    void warn(int row, const QString &field, const QString &value, const QString &reason)
    {
        m_problems->append({row, fullName(m_texts), field, value, reason, true, QString()});
    }
    bool failed() const { return m_failed; }

private:
    const RoomTexts &m_texts;
    QList<Problem> *m_problems;
    bool m_failed = false;
};

bool work(const RoomTexts &t, const StandardValues &table, Room *room, QList<Problem> *problems)
{
    Reader read(t, problems);
    Room r;
    r.texts = t;
    if (t.building.trimmed().isEmpty())
        read.error(t.row, QStringLiteral("建物用途"), t.building, QStringLiteral("が選ばれていません。"));
    if (t.roomUse.trimmed().isEmpty())
        read.error(t.row, QStringLiteral("室用途"), t.roomUse, QStringLiteral("が選ばれていません。"));
    r.standard = table.find(t.building, t.roomUse);
    if (t.roomUse.trimmed() == StandardValues::kOtherMethod)
        read.error(t.row, QStringLiteral("室用途"), t.roomUse,
                   QStringLiteral("：非主要室（主要室入力法）はこのシートでは計算できません。"));
    else if (!r.standard && !t.building.trimmed().isEmpty() && !t.roomUse.trimmed().isEmpty())
        read.error(t.row, QStringLiteral("室用途"), t.roomUse,
                   QStringLiteral("は建物用途「%1」の室用途として基準値の表にありません。").arg(t.building));
    // One room has one use, its first row's: a later row that names another is said, not silently
    // overruled.
    for (const LuminaireTexts &l : t.luminaires) {
        if (!l.building.trimmed().isEmpty() && l.building.trimmed() != t.building.trimmed())
            read.warn(l.row, QStringLiteral("建物用途"), l.building,
                      QStringLiteral("が同じ室の %1 行目「%2」と異なります（%1 行目の用途で計算しました）。").arg(t.row).arg(t.building.trimmed()));
        if (!l.roomUse.trimmed().isEmpty() && l.roomUse.trimmed() != t.roomUse.trimmed())
            read.warn(l.row, QStringLiteral("室用途"), l.roomUse,
                      QStringLiteral("が同じ室の %1 行目「%2」と異なります（%1 行目の用途で計算しました）。").arg(t.row).arg(t.roomUse.trimmed()));
    }
    const auto area = read.required(t.row, QStringLiteral("床面積"), t.area);
    // A room of no area has no standard energy to compare with: refused as a blank area is.
    if (area && *area == 0)
        read.error(t.row, QStringLiteral("床面積"), t.area, QStringLiteral("は 0 より大きい値を入力してください。"));
    r.area = area.value_or(0);
    read.optional(t.row, QStringLiteral("階高"), t.storyHeight);
    r.windowRatio = read.optional(t.row, QStringLiteral("窓面積率"), t.windowRatio);
    r.nonHabitable = isNonHabitable(t);

    const auto typed = read.optional(t.row, QStringLiteral("室指数"), t.roomIndex);
    const auto width = read.optional(t.row, QStringLiteral("間口"), t.width);
    const auto depth = read.optional(t.row, QStringLiteral("奥行"), t.depth);
    const auto height = read.optional(t.row, QStringLiteral("天井高"), t.height);
    std::optional<double> k;
    if (typed) {
        r.indexSource = IndexSource::Typed;
        k = typed;
    } else if (t.width.trimmed().isEmpty() && t.depth.trimmed().isEmpty() && t.height.trimmed().isEmpty()) {
        r.indexSource = IndexSource::NotGiven;
    } else if (width && depth && height && (k = BeilCalculation::roomIndex(*width, *depth, *height))) {
        r.indexSource = IndexSource::Computed;
    } else {
        r.indexSource = IndexSource::Impossible;
    }
    if (k && !std::isfinite(*k)) {
        // Only a height too small for a double gets here (the sides are finite and not both 0).
        read.error(t.row, QStringLiteral("天井高"), t.height, QStringLiteral("は小さすぎて計算できません。"));
        k.reset();
    }
    if (typed && *typed == 0)
        r.texts.roomIndex = QStringLiteral("0"); // "-0" typed
    r.roomIndex = k.value_or(0);
    r.shapeFactor = k ? BeilCalculation::shapeFactor(*k) : 1.0;

    // 入力電力 missing on every row of a room of several rows is one problem, said once.
    bool noPowerAnywhere = t.luminaires.size() > 1;
    for (const LuminaireTexts &l : t.luminaires)
        noPowerAnywhere = noPowerAnywhere && l.watts.trimmed().isEmpty();
    if (noPowerAnywhere)
        read.error(t.row, QStringLiteral("入力電力"), QString(),
                   QStringLiteral("がこの室のどの行（%1 行）にも入力されていません。").arg(t.luminaires.size()));

    double watts = 0;
    for (const LuminaireTexts &l : t.luminaires) {
        Luminaire lum;
        lum.row = l.row;
        lum.name = l.name;
        const auto w = noPowerAnywhere ? std::optional<double>() : read.required(l.row, QStringLiteral("入力電力"), l.watts);
        const auto n = read.required(l.row, QStringLiteral("台数"), l.count);
        lum.watts = w.value_or(0);
        lum.count = n.value_or(0);
        // The energy counts the fittings given; the illuminance sheet's lamps stay as worked out.
        if (l.unverified)
            read.warn(l.row, QStringLiteral("照度計算書の計算結果"), QString(),
                      QStringLiteral("は入力が足りないため確かめられません（保存された値のままです）。"));
        if (n && !l.countNote.isEmpty())
            read.warn(l.row, QStringLiteral("台数"), l.count,
                      QStringLiteral("は%1（エネルギーは台数で計算します）。").arg(l.countNote));
        for (int c = 0; c < Controls::kCategories; ++c) {
            lum.choices[c] = Controls::find(c, l.controls[c]);
            if (!lum.choices[c]) {
                read.error(l.row, Controls::categoryName(c), l.controls[c], QStringLiteral("は選択肢にありません。"));
                continue;
            }
            lum.factor *= lum.choices[c]->factor;
            const QString note = choiceNote(*lum.choices[c], r.nonHabitable, r.windowRatio);
            if (!note.isEmpty()) {
                lum.notes.append(note);
                const QString typedRatio = lum.choices[c]->minWindowRatio > 0
                                               ? QStringLiteral("（窓面積率 %1 %）").arg(t.windowRatio.trimmed())
                                               : QString();
                read.warn(l.row, Controls::categoryName(c), lum.choices[c]->text,
                          note.mid(lum.choices[c]->text.size()) + typedRatio + QStringLiteral("。第三者評価による場合のほかは選べません。"));
            }
        }
        lum.corrected = lum.watts * lum.count * lum.factor;
        if (w && n && !std::isfinite(lum.corrected)) {
            const bool count = lum.count > lum.watts;
            read.error(l.row, count ? QStringLiteral("台数") : QStringLiteral("入力電力"), count ? l.count : l.watts,
                       QStringLiteral("は大きすぎて計算できません。"));
        }
        watts += lum.corrected;
        r.luminaires.append(lum);
    }
    if (read.failed())
        return false;
    r.designWh = watts * r.shapeFactor * r.standard->hours;
    r.designMJ = BeilCalculation::megajoules(r.designWh);
    r.standardMJ = r.standard->energyPerArea * r.area;
    if (!std::isfinite(r.designMJ)) {
        // The luminaire row that carries the most, and of it the larger of its two factors.
        const LuminaireTexts *most = &t.luminaires.first();
        double largest = -1;
        for (qsizetype i = 0; i < r.luminaires.size(); ++i)
            if (r.luminaires[i].corrected > largest) {
                largest = r.luminaires[i].corrected;
                most = &t.luminaires[i];
            }
        const qsizetype i = most - t.luminaires.data();
        const bool count = r.luminaires[i].count > r.luminaires[i].watts;
        read.error(most->row, count ? QStringLiteral("台数") : QStringLiteral("入力電力"), count ? most->count : most->watts,
                   QStringLiteral("は大きすぎて計算できません。"));
        return false;
    }
    if (!std::isfinite(r.standardMJ)) {
        read.error(t.row, QStringLiteral("床面積"), t.area, QStringLiteral("は大きすぎて計算できません。"));
        return false;
    }
    if (!std::isfinite(r.designMJ / r.standardMJ)) {
        read.error(t.row, QStringLiteral("床面積"), t.area, QStringLiteral("は小さすぎて計算できません。"));
        return false;
    }
    *room = r;
    return true;
}

// Names that make a room a 非居室 (a part of the name is enough: 男子便所, 階段室, 更衣室又は倉庫).
const QStringList kNonHabitableNames = {
    QStringLiteral("便所"),   QStringLiteral("トイレ"), QStringLiteral("洗面"),   QStringLiteral("倉庫"),
    QStringLiteral("書庫"),   QStringLiteral("物置"),   QStringLiteral("納戸"),   QStringLiteral("廊下"),
    QStringLiteral("階段"),   QStringLiteral("風除"),   QStringLiteral("機械室"), QStringLiteral("電気室"),
    QStringLiteral("ポンプ室"), QStringLiteral("更衣室"), QStringLiteral("湯沸"),   QStringLiteral("給湯室"),
    QStringLiteral("駐車場"), QStringLiteral("廃棄物"), QStringLiteral("ゴミ"),   QStringLiteral("ごみ"),
};

} // namespace

QVector<QString> floors(const RecordGrid &grid)
{
    return RoomFloors::of(grid);
}

QList<QList<int>> rooms(const RecordGrid &grid)
{
    return RoomFloors::physicalRooms(grid);
}

QList<int> roomRows(const RecordGrid &grid, int row)
{
    return RoomFloors::physicalRoomOf(grid, row);
}

QString equipmentName(const RecordGrid &grid, int row)
{
    const QString typed = grid.text(row, EquipmentName);
    return typed.trimmed().isEmpty() ? derivedEquipmentName(grid, row) : typed;
}

QString derivedEquipmentName(const RecordGrid &grid, int row)
{
    const QString lamp = grid.text(row, LampName);
    return grid.text(row, LuminaireType) + (lamp.isEmpty() ? QString() : QStringLiteral("(") + lamp + QStringLiteral(")"));
}

RoomTexts textsOf(const RecordGrid &grid, const QList<int> &rows)
{
    RoomTexts t;
    if (rows.isEmpty())
        return t;
    const int f = rows.first();
    t.row = f;
    t.floor = floors(grid).value(f);
    t.name = grid.text(f, RoomName1);
    t.name2 = grid.text(f, RoomName2);
    t.building = grid.text(f, BuildingUse);
    t.roomUse = grid.text(f, RoomUse);
    t.area = grid.text(f, Area);
    t.width = grid.text(f, Width);
    t.depth = grid.text(f, Depth);
    t.height = grid.text(f, CeilingHeight);
    t.roomIndex = grid.text(f, RoomIndex);
    t.storyHeight = grid.text(f, StoryHeight);
    t.nonHabitable = grid.text(f, NonHabitable);
    t.windowRatio = grid.text(f, WindowRatio);
    for (int r : rows) {
        LuminaireTexts l;
        l.row = r;
        l.name = equipmentName(grid, r);
        l.watts = grid.text(r, InputPower);
        l.count = grid.text(r, FittingCount);
        if (const auto m = RoomFigures::countMismatch(grid, r))
            l.countNote = RoomFigures::mismatchProblem(*m);
        l.unverified = RoomFigures::keptAsStored(grid, r, nullptr);
        l.remark = grid.text(r, Remark);
        l.building = grid.text(r, BuildingUse);
        l.roomUse = grid.text(r, RoomUse);
        for (int c = 0; c < Controls::kCategories; ++c)
            l.controls[c] = grid.text(r, Occupancy + c);
        t.luminaires.append(l);
    }
    return t;
}

QString fullName(const RoomTexts &texts)
{
    return texts.name2.trimmed().isEmpty() ? texts.name : texts.name + u' ' + texts.name2.trimmed();
}

QString impossibleIndexNote()
{
    return QStringLiteral("室指数を求められないため 1.00");
}

std::optional<double> Room::bei() const
{
    return ratio(designMJ, standardMJ);
}

QString Room::roomIndexText() const
{
    switch (indexSource) {
    case IndexSource::Typed: return texts.roomIndex.trimmed();
    case IndexSource::Computed: return BeilCalculation::roomIndexText(roomIndex);
    case IndexSource::NotGiven: return QString();
    case IndexSource::Impossible: return impossibleIndexNote();
    }
    return QString();
}

QString Refusal::message() const
{
    const QString name = room.isEmpty() ? QStringLiteral("室名なし") : room;
    const QString where = file.isEmpty() ? QString() : file + QStringLiteral(" の ");
    if (value.isEmpty())
        return where + QStringLiteral("%1 行目（%2）の%3%4").arg(row).arg(name, field, reason);
    return where + QStringLiteral("%1 行目（%2）の%3「%4」%5").arg(row).arg(name, field, value, reason);
}

bool evaluate(const RoomTexts &texts, const StandardValues &table, Room *room, QList<Problem> *problems)
{
    return work(texts, table, room, problems);
}

bool evaluate(const RoomTexts &texts, const StandardValues &table, Room *room, Refusal *refusal)
{
    QList<Problem> problems;
    if (work(texts, table, room, &problems))
        return true;
    for (const Problem &p : std::as_const(problems))
        if (!p.warning) {
            *refusal = p;
            break;
        }
    return false;
}

bool evaluateAll(const RecordGrid &grid, const StandardValues &table, QList<Room> *out, Refusal *refusal)
{
    out->clear();
    for (const QList<int> &rows : rooms(grid)) {
        Room room;
        if (!evaluate(textsOf(grid, rows), table, &room, refusal)) {
            out->clear();
            return false;
        }
        out->append(room);
    }
    return true;
}

// The building's sums as every output adds them: a sum that is not finite although each room's
// figures are is refused, naming the room that carries the most of it, so that no output prints
// "inf" or a BEI/L of 0 (and all of them refuse the same files).
bool checkSums(const QList<Room> &rooms, const QStringList &names, QList<Problem> *problems)
{
    if (rooms.isEmpty())
        return true;
    const Sums s = sums(rooms);
    const auto largest = [&](auto value) {
        const Room *most = &rooms.first();
        for (const Room &r : rooms)
            if (value(r) > value(*most))
                most = &r;
        return most;
    };
    const auto refuse = [&](const Room &r, int row, const QString &field, const QString &value, const QString &reason) {
        problems->append({row, fullName(r.texts), field, value, reason, false, r.file > 0 ? names.value(r.file - 1) : QString()});
        return false;
    };
    const QString whole = QStringLiteral("は建物全体の合計が大きすぎて計算できません。");
    if (!std::isfinite(s.area) || !std::isfinite(s.standardMJ)) {
        const Room &r = *largest([](const Room &x) { return x.standardMJ + x.area; });
        return refuse(r, r.texts.row, QStringLiteral("床面積"), r.texts.area, whole);
    }
    if (!std::isfinite(s.designMJ)) {
        const Room &r = *largest([](const Room &x) { return x.designMJ; });
        qsizetype most = 0;
        for (qsizetype i = 1; i < r.luminaires.size(); ++i)
            if (r.luminaires[i].corrected > r.luminaires[most].corrected)
                most = i;
        const LuminaireTexts &l = r.texts.luminaires.at(most);
        return refuse(r, l.row, QStringLiteral("入力電力"), l.watts, whole);
    }
    if (const auto bei = ratio(s.designMJ, s.standardMJ); bei && !std::isfinite(*bei)) {
        const Room &r = *largest([](const Room &x) { return x.designMJ / x.standardMJ; });
        return refuse(r, r.texts.row, QStringLiteral("床面積"), r.texts.area,
                      QStringLiteral("は小さすぎて建物全体の BEI/L を計算できません。"));
    }
    return true;
}

bool evaluateBuilding(const RecordGrid &grid, const StandardValues &table, QList<Room> *out, QList<Problem> *problems)
{
    out->clear();
    problems->clear();
    bool ok = true;
    for (const QList<int> &rows : rooms(grid)) {
        Room room;
        if (work(textsOf(grid, rows), table, &room, problems))
            out->append(room);
        else
            ok = false;
    }
    return checkSums(*out, {}, problems) && ok;
}

bool evaluateBuilding(const QList<RecordGrid> &grids, const QStringList &names, const StandardValues &table,
                      QList<Room> *out, QList<Problem> *problems)
{
    out->clear();
    problems->clear();
    bool ok = true;
    for (qsizetype i = 0; i < grids.size(); ++i) {
        QList<Room> rooms;
        QList<Problem> found;
        ok = evaluateBuilding(grids[i], table, &rooms, &found) && ok;
        for (Room &r : rooms)
            r.file = grids.size() > 1 ? int(i) + 1 : 0;
        for (Problem &p : found)
            p.file = grids.size() > 1 ? names.value(i) : QString();
        *out += rooms;
        *problems += found;
    }
    return (grids.size() < 2 || checkSums(*out, names, problems)) && ok;
}

QString rowText(const Room &room)
{
    return room.file > 0 ? QStringLiteral("%1:%2").arg(room.file).arg(room.texts.row) : QString::number(room.texts.row);
}

QList<int> rowsWithErrors(const QList<Problem> &problems)
{
    QList<int> rows;
    for (const Problem &p : problems)
        if (!p.warning && !rows.contains(p.row))
            rows.append(p.row);
    return rows;
}

bool hasErrors(const QList<Problem> &problems)
{
    return std::any_of(problems.begin(), problems.end(), [](const Problem &p) { return !p.warning; });
}

QStringList messages(const QList<Problem> &problems)
{
    QStringList out;
    for (const Problem &p : problems)
        out.append(p.warning ? QStringLiteral("注意: ") + p.message() : p.message());
    return out;
}

bool proposedNonHabitable(const QString &name, const QString &roomUse)
{
    for (const QString &part : kNonHabitableNames)
        if (name.contains(part) || roomUse.contains(part))
            return true;
    return false;
}

bool isNonHabitable(const RoomTexts &texts)
{
    const QString ticked = texts.nonHabitable.trimmed();
    if (ticked == u"1")
        return true;
    if (ticked == u"0")
        return false;
    return proposedNonHabitable(texts.name, texts.roomUse);
}

QString choiceNote(const Controls::Choice &choice, bool nonHabitable, std::optional<double> windowRatio)
{
    if (choice.nonHabitableOnly && !nonHabitable)
        return QStringLiteral("%1は非居室に限ります").arg(choice.text);
    if (choice.minWindowRatio > 0 && windowRatio && *windowRatio < choice.minWindowRatio)
        return QStringLiteral("%1は窓面積率 %2 % 以上に限ります").arg(choice.text).arg(choice.minWindowRatio);
    return QString();
}

Sums sums(const QList<Room> &rooms)
{
    Sums s;
    for (const Room &r : rooms) {
        s.area += r.area;
        s.designMJ += r.designMJ;
        s.standardMJ += r.standardMJ;
    }
    return s;
}

std::optional<double> ratio(double designMJ, double standardMJ)
{
    if (standardMJ == 0)
        return std::nullopt;
    return designMJ / standardMJ;
}

} // namespace BeilRooms
