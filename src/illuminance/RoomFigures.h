#pragma once

#include "grid/RecordGrid.h"

#include <QList>
#include <QString>

class MasterTables;

// The figures the illuminance sheet derives for a stored row (灯数１, 灯数２, 照度２, 台数 and the
// capacity of 自動計算 in 備考１, columns 22 to 26) kept true to the row's inputs and its 自動
// boxes, whatever last wrote the row: a file saved by an older version, another sheet's edit, a
// spreadsheet. A stored figure is a cache of its inputs, never a source of its own.
namespace RoomFigures {

// True when the row is a room the illuminance sheet worked out (in use, with its record tag).
bool holdsCalculation(const RecordGrid &grid, int row);

// Works the row's figures out anew into the grid; true when any changed. Without masters the
// capacity is left as it is.
bool recompute(RecordGrid &grid, int row, const MasterTables *masters);
// Every room of the sheet; the rows that changed, in order.
QList<int> recomputeAll(RecordGrid &grid, const MasterTables *masters);
// "3 行の計算結果を入力に合わせて更新しました（3, 7, 12 行）" ("" for none).
QString updatedText(const QList<int> &rows);

// 台数 given on another sheet: the count is kept as given (台数 no longer 自動), the lamps are the
// count times the lamps per fitting (灯数 no longer 自動), and the illuminance and the capacity
// follow them. A row the illuminance sheet did not work out gets the count only.
void giveFittingCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters);

} // namespace RoomFigures
