#pragma once

#include "grid/RecordGrid.h"

#include <QList>
#include <QString>
#include <QVector>

#include <functional>

// The floor each room of a sheet is on, as the CEC/L sheet's zones and floor groups have it: a row
// in use without a floor label (階, column 33) is on the floor of the rows above it, and the rows
// above the first label are on that floor. Rooms joined across rows (a zone, a room lit by several
// kinds of luminaire) never cross a floor.
namespace RoomFloors {

constexpr int kInUse = 1;
constexpr int kRoomName1 = 2;
constexpr int kRoomName2 = 3;
constexpr int kWidth = 10;
constexpr int kDepth = 11;
constexpr int kArea = 12;
constexpr int kFloor = 33;
constexpr int kRooms = 220;

// By row, 1 to 220 (free rows "").
QVector<QString> of(const RecordGrid &grid);

// The rooms of the sheet, each the run of rows in use that `joins` keeps together: it is asked
// whether row `next` belongs to the room whose first row is `first` and last so far `last`, with
// the floors as of() gives them.
using Joins = std::function<bool(const QVector<QString> &floors, int first, int last, int next)>;
QList<QList<int>> rooms(const RecordGrid &grid, const Joins &joins);
// The room's rows that hold `row` (none when it is free).
QList<int> roomOf(const QList<QList<int>> &rooms, int row);

// The rooms a room is in the building: a run of neighbouring rows in use on the same floor whose
// 室名１, 室名２, 間口, 奥行 and 床面積 are all the same (numbers compared as numbers, blank equal
// only to blank), or whose 間口, 奥行 and 床面積 are all blank (a further row of the room above, as
// the official input sheet writes them); each row is one kind of luminaire in it. An empty 室名１
// is a room of its own.
// The BEI/L sheet and the distribution both see rooms so.
QList<QList<int>> physicalRooms(const RecordGrid &grid);
QList<int> physicalRoomOf(const RecordGrid &grid, int row);
// The rule for two rows (both in use, on the floors given).
bool sameRoom(const RecordGrid &grid, const QVector<QString> &floors, int row, int next);

} // namespace RoomFloors
