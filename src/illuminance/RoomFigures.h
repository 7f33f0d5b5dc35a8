#pragma once

#include "grid/RecordGrid.h"

#include <QList>
#include <QString>

#include <optional>

class MasterTables;

// The figures the illuminance sheet derives for a stored row (灯数１, 灯数２, 照度２, 台数 and the
// capacity of 自動計算 in 備考１, columns 22 to 26) kept true to the row's inputs and its 自動
// boxes, whatever last wrote the row: a file saved by an older version, another sheet's edit, a
// spreadsheet. A stored figure is a cache of its inputs, never a source of its own.
namespace RoomFigures {

// True when the row is a room the illuminance sheet worked out (in use, with its record tag).
bool holdsCalculation(const RecordGrid &grid, int row);

// A row whose inputs cannot give its figures (no 光束, 照明率, 保守率, 設計照度 or 床面積: typed in
// another program, an older file): what it stores is kept, never replaced by what the missing
// inputs would give (an illuminance of 0).
bool missingInputs(const RecordGrid &grid, int row);

enum class Outcome { Unchanged, Updated, Unverifiable };
// Works the row's figures out anew into the grid: Updated when any changed; Unverifiable (the
// grid untouched) when they would change but the row's inputs cannot give them. Without masters
// the capacity is left as it is.
Outcome recomputeRow(RecordGrid &grid, int row, const MasterTables *masters);
// What recomputeRow would do, the grid untouched.
Outcome examine(const RecordGrid &grid, int row, const MasterTables *masters);
// examine() == Unverifiable, looked at only where inputs are missing (cheap for every other row).
bool keptAsStored(const RecordGrid &grid, int row, const MasterTables *masters);
bool recompute(RecordGrid &grid, int row, const MasterTables *masters);
// Every room of the sheet; the rows that changed, in order (and those kept as stored).
QList<int> recomputeAll(RecordGrid &grid, const MasterTables *masters, QList<int> *unverifiable = nullptr);
// "3 行の計算結果を入力に合わせて更新しました（3, 7, 12 行）" ("" for none).
QString updatedText(const QList<int> &rows);
// "7 行目は入力が足りないため計算結果を確かめられません（保存された値のままです）" ("" for none).
QString unverifiedText(const QList<int> &rows);

// 台数 and 灯数 of a row that do not agree: the lamps the illuminance is worked out with are not
// the fittings times their lamps (台数 typed on a sheet while 灯数 stays, Part of the rules).
struct CountMismatch {
    double fittings = 0;    // 台数
    double perFitting = 0;  // 1 台あたりの灯数
    double lamps = 0;       // 灯数 (the illuminance's)
};
// From the texts of 台数, 1 台あたりの灯数 and 灯数２: none when they agree or are no numbers.
std::optional<CountMismatch> countMismatch(const QString &fittings, const QString &perFitting, const QString &lamps);
std::optional<CountMismatch> countMismatch(const RecordGrid &grid, int row);
// "台数 40 × 2 灯 = 80 灯ですが、灯数は 60 灯です（照度は 60 灯で計算しています）"
QString mismatchNote(const CountMismatch &m);
// "照度計算書の灯数 60 と台数 40 × 1 台あたり 2 灯が合いません"
QString mismatchProblem(const CountMismatch &m);

// 台数 given on another sheet: the count is kept as given (台数 no longer 自動), the lamps are the
// count times the lamps per fitting (灯数 no longer 自動), and the illuminance and the capacity
// follow them. A row the illuminance sheet did not work out gets the count only.
void giveFittingCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters);

} // namespace RoomFigures
