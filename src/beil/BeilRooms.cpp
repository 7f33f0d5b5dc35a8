#include "beil/BeilRooms.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilRecord.h"
#include "grid/RoomFloors.h"
#include "text/NumberText.h"

#include <cmath>

namespace BeilRooms {

using namespace BeilRecord;

namespace {

struct Failure {
    Refusal refusal;
};

class Reader
{
public:
    explicit Reader(const RoomTexts &t) : m_texts(t) {}

    // A value that must be a number: not blank, not negative, finite.
    double required(int row, const QString &field, const QString &text) const
    {
        if (text.trimmed().isEmpty())
            fail(row, field, text, QStringLiteral("が入力されていません。"));
        return *optional(row, field, text);
    }

    // A value that may be blank.
    std::optional<double> optional(int row, const QString &field, const QString &text) const
    {
        if (text.trimmed().isEmpty())
            return std::nullopt;
        const auto v = NumberText::strict(text);
        if (!v)
            fail(row, field, text, QStringLiteral("は数値ではありません。"));
        if (!std::isfinite(*v))
            fail(row, field, text, QStringLiteral("は大きすぎて計算できません。"));
        if (*v < 0)
            fail(row, field, text, QStringLiteral("は負の値です。"));
        return v;
    }

    [[noreturn]] void fail(int row, const QString &field, const QString &value, const QString &reason) const
    {
        throw Failure{{row, fullName(m_texts), field, value, reason}};
    }

private:
    const RoomTexts &m_texts;
};

void work(const RoomTexts &t, const StandardValues &table, Room *room)
{
    const Reader read(t);
    Room r;
    r.texts = t;
    if (t.building.trimmed().isEmpty())
        read.fail(t.row, QStringLiteral("建物用途"), t.building, QStringLiteral("が選ばれていません。"));
    if (t.roomUse.trimmed().isEmpty())
        read.fail(t.row, QStringLiteral("室用途"), t.roomUse, QStringLiteral("が選ばれていません。"));
    r.standard = table.find(t.building, t.roomUse);
    if (!r.standard)
        read.fail(t.row, QStringLiteral("室用途"), t.roomUse,
                  QStringLiteral("は建物用途「%1」の室用途として基準値の表にありません。").arg(t.building));
    r.area = read.required(t.row, QStringLiteral("床面積"), t.area);
    // A room of no area has no standard energy to compare with: refused as a blank area is.
    if (r.area == 0)
        read.fail(t.row, QStringLiteral("床面積"), t.area, QStringLiteral("は 0 より大きい値を入力してください。"));
    read.optional(t.row, QStringLiteral("階高"), t.storyHeight);

    const auto typed = read.optional(t.row, QStringLiteral("室指数"), t.roomIndex);
    const auto width = read.optional(t.row, QStringLiteral("間口"), t.width);
    const auto depth = read.optional(t.row, QStringLiteral("奥行"), t.depth);
    const auto height = read.optional(t.row, QStringLiteral("天井高"), t.height);
    std::optional<double> k;
    if (typed) {
        r.indexSource = IndexSource::Typed;
        k = typed;
    } else if (!width && !depth && !height) {
        r.indexSource = IndexSource::NotGiven;
    } else if (width && depth && height && (k = BeilCalculation::roomIndex(*width, *depth, *height))) {
        r.indexSource = IndexSource::Computed;
    } else {
        r.indexSource = IndexSource::Impossible;
    }
    r.roomIndex = k.value_or(0);
    r.shapeFactor = k ? BeilCalculation::shapeFactor(*k) : 1.0;

    double watts = 0;
    for (const LuminaireTexts &l : t.luminaires) {
        Luminaire lum;
        lum.row = l.row;
        lum.name = l.name;
        lum.watts = read.required(l.row, QStringLiteral("入力電力"), l.watts);
        lum.count = read.required(l.row, QStringLiteral("台数"), l.count);
        for (int c = 0; c < Controls::kCategories; ++c) {
            lum.choices[c] = Controls::find(c, l.controls[c]);
            if (!lum.choices[c])
                read.fail(l.row, Controls::categoryName(c), l.controls[c], QStringLiteral("は選択肢にありません。"));
            lum.factor *= lum.choices[c]->factor;
        }
        lum.corrected = lum.watts * lum.count * lum.factor;
        if (!std::isfinite(lum.corrected))
            read.fail(l.row, QStringLiteral("入力電力"), l.watts, QStringLiteral("は大きすぎて計算できません。"));
        watts += lum.corrected;
        r.luminaires.append(lum);
    }
    r.designWh = watts * r.shapeFactor * r.standard->hours;
    r.designMJ = BeilCalculation::megajoules(r.designWh);
    r.standardMJ = r.standard->energyPerArea * r.area;
    if (!std::isfinite(r.designMJ) || !std::isfinite(r.standardMJ))
        read.fail(t.row, QStringLiteral("床面積"), t.area, QStringLiteral("は大きすぎて計算できません。"));
    *room = r;
}

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
    for (int r : rows) {
        LuminaireTexts l;
        l.row = r;
        l.name = equipmentName(grid, r);
        l.watts = grid.text(r, InputPower);
        l.count = grid.text(r, FittingCount);
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
    if (value.isEmpty())
        return QStringLiteral("%1 行目（%2）の%3%4").arg(row).arg(name, field, reason);
    return QStringLiteral("%1 行目（%2）の%3「%4」%5").arg(row).arg(name, field, value, reason);
}

bool evaluate(const RoomTexts &texts, const StandardValues &table, Room *room, Refusal *refusal)
{
    try {
        work(texts, table, room);
        return true;
    } catch (const Failure &f) {
        *refusal = f.refusal;
        return false;
    }
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
