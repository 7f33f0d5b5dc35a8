#pragma once

#include "grid/RecordGrid.h"

#include <QString>
#include <QVector>

// The floor each room of a sheet is on, as the CEC/L sheet's zones and floor groups have it: a row
// in use without a floor label (階, column 33) is on the floor of the rows above it, and the rows
// above the first label are on that floor. Rooms joined across rows (a zone, a room lit by several
// kinds of luminaire) never cross a floor.
namespace RoomFloors {

constexpr int kInUse = 1;
constexpr int kFloor = 33;
constexpr int kRooms = 220;

// By row, 1 to 220 (free rows "").
QVector<QString> of(const RecordGrid &grid);

} // namespace RoomFloors
