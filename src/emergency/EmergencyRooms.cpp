#include "emergency/EmergencyRooms.h"

#include "emergency/EmergencyRecord.h"
#include "grid/RoomFloors.h"
#include "photometry/Distribution.h"
#include "text/NumberText.h"

#include <cmath>

namespace EmergencyRooms {

using namespace EmergencyRecord;

namespace {

QString fullName(const RecordGrid &grid, int row)
{
    const QString two = grid.text(row, RoomName2).trimmed();
    return two.isEmpty() ? grid.text(row, RoomName1) : grid.text(row, RoomName1) + u' ' + two;
}

struct Reader {
    QList<Refusal> *refusals;
    QString room;
    bool failed = false;

    void fail(int row, const QString &field, const QString &value, const QString &reason)
    {
        refusals->append({row, room, field, value, reason});
        failed = true;
    }
    // A number that must be there: finite, and above `low` (or at least it when `inclusive`).
    std::optional<double> number(int row, const QString &field, const QString &text)
    {
        const NumberText::Field v = NumberText::field(text);
        if (!v.ok()) {
            fail(row, field, text, v.reason());
            return std::nullopt;
        }
        return v.value;
    }
};

} // namespace

QString Room::rowsText() const
{
    QStringList out;
    for (int r : rows)
        out.append(QString::number(r));
    return out.join(u'+');
}

int Room::luminaires() const
{
    int n = 0;
    for (const Kind &k : kinds)
        n += int(k.positions.size());
    return n;
}

QString Refusal::message() const
{
    const QString name = room.isEmpty() ? QStringLiteral("室名なし") : room;
    if (value.isEmpty())
        return QStringLiteral("%1 行目（%2）の%3%4").arg(row).arg(name, field, reason);
    return QStringLiteral("%1 行目（%2）の%3「%4」%5").arg(row).arg(name, field, value, reason);
}

bool used(const RecordGrid &grid)
{
    if (grid.colCount() < kFirstColumn)
        return false;
    for (int r = 1; r <= kRooms; ++r)
        if (grid.text(r, InUse) == u"1")
            for (int c = kFirstColumn; c <= kLastColumn; ++c)
                if (!grid.text(r, c).isEmpty())
                    return true;
    return false;
}

QList<int> roomRows(const RecordGrid &grid, int row)
{
    return RoomFloors::physicalRoomOf(grid, row);
}

bool parsePositions(const QString &text, QList<QPointF> *out, QString *error)
{
    out->clear();
    for (const QString &part : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList xy = part.split(u',');
        const auto x = xy.size() == 2 ? NumberText::strict(xy[0]) : std::nullopt;
        const auto y = xy.size() == 2 ? NumberText::strict(xy[1]) : std::nullopt;
        if (!x || !y || !std::isfinite(*x) || !std::isfinite(*y)) {
            *error = QStringLiteral("は「x,y;x,y;…」（m）の形ではありません（%1）。").arg(part.trimmed());
            return false;
        }
        out->append({*x, *y});
    }
    return true;
}

QString positionsText(const QList<QPointF> &positions)
{
    QStringList out;
    for (const QPointF &p : positions)
        out.append(NumberText::format(p.x(), QStringLiteral("0.###")) + u',' + NumberText::format(p.y(), QStringLiteral("0.###")));
    return out.join(u';');
}

bool evaluate(const RecordGrid &grid, const QList<int> &rows, const EmergencyMaster::Master &master, Lights *lights,
              Room *room, QList<Refusal> *refusals, bool inputsOnly)
{
    *room = Room();
    if (rows.isEmpty())
        return false;
    const int first = rows.first();
    Room r;
    r.rows = rows;
    r.floor = RoomFloors::of(grid).value(first);
    r.name = fullName(grid, first);
    r.area = grid.text(first, Area);
    r.checked = grid.text(first, Checked).trimmed() != u"0";
    r.remark = grid.text(first, Remark);
    Reader read{refusals, r.name};
    if (!r.checked) {
        *room = r;
        return true; // exempt: nothing of it is worked out
    }
    const auto width = read.number(first, QStringLiteral("間口"), grid.text(first, Width));
    const auto depth = read.number(first, QStringLiteral("奥行"), grid.text(first, Depth));
    if (width && depth) {
        if (*width <= 0 || *depth <= 0)
            read.fail(first, QStringLiteral("間口・奥行"), grid.text(first, Width) + u'×' + grid.text(first, Depth),
                      QStringLiteral("は 0 より大きい値にしてください。"));
        else if (*width > EmergencyCheck::kMaxSide || *depth > EmergencyCheck::kMaxSide)
            read.fail(first, QStringLiteral("間口・奥行"), grid.text(first, Width) + u'×' + grid.text(first, Depth),
                      QStringLiteral("は %1 m までです。").arg(EmergencyCheck::kMaxSide));
        r.width = width.value_or(0);
        r.depth = depth.value_or(0);
    }
    bool onlyIncandescent = true;
    int total = 0;
    for (int row : rows) {
        const QString slotText = grid.text(row, Slot).trimmed();
        if (slotText.isEmpty())
            continue;
        Kind k;
        k.row = row;
        bool ok = false;
        k.slot = slotText.toInt(&ok);
        if (!ok || k.slot < EmergencyMaster::kFirstSlot || k.slot > EmergencyMaster::kLastSlot) {
            read.fail(row, QStringLiteral("非常用照明器具"), slotText, QStringLiteral("は 1～99 の番号ではありません。"));
            continue;
        }
        k.luminaire = master.find(k.slot);
        if (!k.luminaire) {
            read.fail(row, QStringLiteral("非常用照明器具"), slotText, QStringLiteral("はマスタにありません。"));
            continue;
        }
        if (!lights->contains(k.slot)) {
            EmergencyMaster::Light light;
            QString why;
            if (!EmergencyMaster::light(master, k.slot, &light, &why)) {
                read.fail(row, QStringLiteral("非常用照明器具"), slotText, QStringLiteral("は計算できません（%1）").arg(why));
                continue;
            }
            lights->insert(k.slot, light);
        }
        onlyIncandescent = onlyIncandescent && EmergencyMaster::threshold(k.luminaire->source) < 2;
        // 取付高さ: typed, else the room's 高さ.
        const QString heightText = grid.text(row, MountingHeight).trimmed().isEmpty() ? grid.text(row, CeilingHeight)
                                                                                       : grid.text(row, MountingHeight);
        const QString heightField = grid.text(row, MountingHeight).trimmed().isEmpty() ? QStringLiteral("高さ")
                                                                                        : QStringLiteral("取付高さ");
        if (const auto h = read.number(row, heightField, heightText)) {
            if (*h < EmergencyCheck::kMinHeight || *h > EmergencyCheck::kMaxHeight)
                read.fail(row, heightField, heightText,
                          QStringLiteral("は %1～%2 m にしてください。").arg(EmergencyCheck::kMinHeight).arg(EmergencyCheck::kMaxHeight));
            k.height = *h;
        }
        // 配置: typed positions inside the room, or the distribution's layout of the count.
        const QString layout = grid.text(row, Layout).trimmed();
        const QString countText = grid.text(row, Count).trimmed();
        std::optional<double> count;
        if (!countText.isEmpty() || layout.isEmpty())
            count = read.number(row, QStringLiteral("台数"), countText);
        if (count && (*count < 0 || *count != std::floor(*count) || *count > EmergencyCheck::kMaxLuminaires)) {
            read.fail(row, QStringLiteral("台数"), countText, QStringLiteral("は 0～%1 の整数にしてください。").arg(EmergencyCheck::kMaxLuminaires));
            count.reset();
        }
        if (!layout.isEmpty()) {
            QString why;
            if (!parsePositions(layout, &k.positions, &why)) {
                read.fail(row, QStringLiteral("配置"), QString(), why);
                continue;
            }
            k.typed = true;
            if (count && int(*count) != k.positions.size()) {
                read.fail(row, QStringLiteral("配置"), layout,
                          QStringLiteral("の位置の数（%1）が台数（%2）と違います。").arg(k.positions.size()).arg(int(*count)));
                continue;
            }
            for (const QPointF &p : std::as_const(k.positions)) {
                if (r.width > 0 && r.depth > 0 && (p.x() < 0 || p.y() < 0 || p.x() > r.width || p.y() > r.depth)) {
                    read.fail(row, QStringLiteral("配置"), NumberText::plain(p.x()) + u',' + NumberText::plain(p.y()),
                              QStringLiteral("は室の外です（間口 %1 m × 奥行 %2 m）。").arg(NumberText::plain(r.width), NumberText::plain(r.depth)));
                    break;
                }
            }
            k.count = int(k.positions.size());
        } else if (count) {
            k.count = int(*count);
            if (r.width > 0 && r.depth > 0)
                k.positions = Distribution::positions(Distribution::defaultLayout(k.count, r.width, r.depth), r.width, r.depth);
        }
        total += k.count;
        r.kinds.append(k);
    }
    if (total > EmergencyCheck::kMaxLuminaires)
        read.fail(first, QStringLiteral("台数"), QString::number(total),
                  QStringLiteral("は 1 室 %1 台までです。").arg(EmergencyCheck::kMaxLuminaires));
    r.threshold = !r.kinds.isEmpty() && onlyIncandescent ? 1.0 : 2.0;
    if (read.failed)
        return false;
    if (inputsOnly) {
        *room = r;
        return true;
    }
    QString why;
    if (!EmergencyCheck::check(r.width, r.depth, luminairesOf(r, *lights), r.threshold, &r.result, &why)) {
        read.fail(first, QStringLiteral("室"), QString(), QStringLiteral("：%1").arg(why));
        return false;
    }
    *room = r;
    return true;
}

bool evaluateAll(const RecordGrid &grid, const EmergencyMaster::Master &master, Lights *lights, QList<Room> *rooms,
                 QList<Refusal> *refusals)
{
    return evaluateAll(grid, master, lights, rooms, refusals, {}, nullptr);
}

bool evaluateAll(const RecordGrid &grid, const EmergencyMaster::Master &master, Lights *lights, QList<Room> *rooms,
                 QList<Refusal> *refusals, const std::function<bool(int, int)> &progress, bool *cancelled)
{
    rooms->clear();
    refusals->clear();
    if (cancelled)
        *cancelled = false;
    bool ok = true;
    const QList<QList<int>> all = RoomFloors::physicalRooms(grid);
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (progress && !progress(int(i), int(all.size()))) {
            if (cancelled)
                *cancelled = true;
            rooms->clear();
            return false;
        }
        Room room;
        if (evaluate(grid, all[i], master, lights, &room, refusals))
            rooms->append(room);
        else
            ok = false;
    }
    if (progress)
        progress(int(all.size()), int(all.size()));
    return ok;
}

QList<EmergencyCheck::Luminaire> luminairesOf(const Room &room, const Lights &lights)
{
    QList<EmergencyCheck::Luminaire> out;
    for (const Kind &k : room.kinds) {
        const auto light = lights.constFind(k.slot);
        if (light == lights.constEnd())
            continue;
        for (const QPointF &p : k.positions)
            out.append({p, k.height, light->table.get(), light->scale});
    }
    return out;
}

} // namespace EmergencyRooms
