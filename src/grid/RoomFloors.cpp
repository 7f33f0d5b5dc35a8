#include "grid/RoomFloors.h"

#include "text/NumberText.h"

namespace RoomFloors {

QVector<QString> of(const RecordGrid &grid)
{
    QVector<QString> out(kRooms + 2);
    QString current;
    int firstNamed = 0;
    for (int r = 1; r <= kRooms; ++r) {
        if (grid.text(r, kInUse) != u"1")
            continue;
        const QString own = grid.text(r, kFloor);
        if (!own.isEmpty()) {
            current = own;
            if (firstNamed == 0)
                firstNamed = r;
        }
        out[r] = current;
    }
    for (int r = 1; r < firstNamed; ++r)
        if (grid.text(r, kInUse) == u"1")
            out[r] = out[firstNamed];
    return out;
}

QList<QList<int>> rooms(const RecordGrid &grid, const Joins &joins)
{
    const QVector<QString> floors = of(grid);
    QList<QList<int>> out;
    for (int row = 1; row <= kRooms; ++row) {
        if (grid.text(row, kInUse) != u"1")
            continue;
        QList<int> rows{row};
        while (rows.last() < kRooms && grid.text(rows.last() + 1, kInUse) == u"1"
               && joins(floors, row, rows.last(), rows.last() + 1))
            rows.append(rows.last() + 1);
        out.append(rows);
        row = rows.last();
    }
    return out;
}

QList<int> roomOf(const QList<QList<int>> &rooms, int row)
{
    for (const QList<int> &rows : rooms)
        if (rows.contains(row))
            return rows;
    return {};
}

namespace {

// Two texts of a dimension: numbers as numbers ("8" is "8.0"), blank only as blank, anything
// else as it is written.
bool sameValue(const QString &a, const QString &b)
{
    const QString x = a.trimmed(), y = b.trimmed();
    if (x.isEmpty() || y.isEmpty())
        return x.isEmpty() && y.isEmpty();
    const auto u = NumberText::strict(x), v = NumberText::strict(y);
    if (u && v)
        return *u == *v;
    return x == y;
}

} // namespace

bool sameRoom(const RecordGrid &grid, const QVector<QString> &floors, int row, int next)
{
    const auto inUse = [&grid](int r) { return r >= 1 && r <= kRooms && grid.text(r, kInUse) == u"1"; };
    if (!inUse(row) || !inUse(next) || grid.text(row, kRoomName1).isEmpty() || floors[next] != floors[row])
        return false;
    if (grid.text(next, kRoomName1) != grid.text(row, kRoomName1) || grid.text(next, kRoomName2) != grid.text(row, kRoomName2))
        return false;
    // A further luminaire of the room above, its dimensions left to the room's first row (as the
    // official input sheet writes a room's further rows).
    bool blank = true;
    for (int column : {kWidth, kDepth, kArea})
        blank = blank && grid.text(next, column).trimmed().isEmpty();
    if (blank)
        return true;
    for (int column : {kWidth, kDepth, kArea})
        if (!sameValue(grid.text(row, column), grid.text(next, column)))
            return false;
    return true;
}

QList<QList<int>> physicalRooms(const RecordGrid &grid)
{
    return rooms(grid, [&grid](const QVector<QString> &floors, int first, int, int next) {
        return sameRoom(grid, floors, first, next);
    });
}

QList<int> physicalRoomOf(const RecordGrid &grid, int row)
{
    return roomOf(physicalRooms(grid), row);
}

} // namespace RoomFloors
