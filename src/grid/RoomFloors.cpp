#include "grid/RoomFloors.h"

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

} // namespace RoomFloors
