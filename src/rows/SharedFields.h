#pragma once

#include "grid/RecordGrid.h"

#include <QString>

class MasterTables;

// The values one row of the work file shares between the sheets, and what keeps the sheets true
// to each other when one of them changes them:
//   台数 (column 25): worked out by the illuminance sheet, used by the CEC/L and BEI/L sheets
//     (and typed on the BEI/L sheet);
//   入力電力 (column 104): typed on the CEC/L and the BEI/L sheet, used by both.
// A sheet that changes a shared value says on its panel what the other sheets' figures become,
// and on 確認 those figures are worked out again by the other sheets' own rules.
namespace SharedFields {

enum class Sheet { Illuminance, Cecl, Beil, Emergency };

constexpr int kFittingCount = 25;
constexpr int kInputPower = 104;
// The BEI/L sheet's columns (the rows lib knows them only as the range that sheet writes).
constexpr int kBeilFirstColumn = 121;
constexpr int kBeilLastColumn = 131;

// The sheet holds values of its own in the row.
bool usedBy(const RecordGrid &grid, int row, Sheet sheet);
// The sheet a work file opens in when it is named on the command line and was never saved on
// this machine: the most specific sheet whose columns hold data in a row in use — 非常用照明
// (132–137), else BEI/L (121–131), else CEC/L (101–114), else the illuminance sheet.
Sheet sheetOfFile(const RecordGrid &grid);
// "照度計算書", "CEC/L 計算書", "一次エネルギー（照明）計算書", "非常用照明計算書".
QString sheetName(Sheet sheet);

// What changes on the other sheets when `from` writes `count` and `watts` into the row (a sheet
// that does not write one passes the stored text): a line for its panel, "" when nothing else
// changes. ("照度計算書の台数も 30 台になります（計算照度 751 → 490 lx）")
QString note(const RecordGrid &grid, int row, Sheet from, const QString &count, const QString &watts,
             const MasterTables *masters);

// 台数 given on a sheet that does not work it out, where the illuminance it leaves the row with
// falls below the row's 設計照度 (column 9): "設計照度 750 lx を下回ります（490 lx）"; "" otherwise.
QString shortfall(const RecordGrid &grid, int row, Sheet from, const QString &count, const MasterTables *masters);

// 台数 given on a sheet that does not work it out: written as given, and the illuminance row follows
// it by its own rules (台数 kept as given, the lamps from it, the illuminance from the lamps).
void giveCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters);
// After a sheet wrote the row: the figures the CEC/L sheet stores follow 台数 and 入力電力.
void follow(RecordGrid &grid, int row);

// As a file opens, on every sheet: the illuminance rows whose stored figures no longer follow
// their inputs are worked out again (and the CEC/L figures after their 台数); the rows changed,
// and the rows whose inputs cannot give their figures (kept as stored).
struct UpToDate {
    QList<int> updated;
    QList<int> unverifiable;
};
UpToDate bringUpToDate(RecordGrid &grid, const MasterTables *masters);
// What the status bar says of them ("" for none).
QString updatedText(const UpToDate &rows);

// The question a 確認 asks before it erases what other sheets use: the row's 台数 or 入力電力
// left blank where they held a value, or the whole row emptied (`emptiesRow`). "" when it erases
// nothing. ("8 行目の台数と入力電力を消去します。照度計算書と CEC/L 計算書でも使われています。消去しますか？")
QString erasureQuestion(const RecordGrid &grid, int row, Sheet from, const QString &count, const QString &watts,
                        bool emptiesRow);

} // namespace SharedFields
