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

} // namespace RoomFloors
