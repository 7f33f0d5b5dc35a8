#pragma once

#include "beil/Controls.h"
#include "beil/StandardValues.h"
#include "grid/RecordGrid.h"

#include <QList>
#include <QVector>
#include <QString>

#include <array>
#include <optional>

// The rooms of the BEI/L sheet in the record grid and their figures. A room is a room of the
// building as RoomFloors::physicalRooms has it (the distribution's room); each row is one kind of
// luminaire. Works on texts, the same for the sheet, the report,
// the CSV files and the tests.
namespace BeilRooms {

// The floor each row in use is on: its own 階, else that of the rows above it; rows above the
// first 階 are on that floor (as the CEC/L sheet's zones and floor groups have it).
QVector<QString> floors(const RecordGrid &grid);
// The rows of every room, in grid order.
QList<QList<int>> rooms(const RecordGrid &grid);
// The rows of the room that holds `row` (empty when the row is not in use).
QList<int> roomRows(const RecordGrid &grid, int row);

// What a row names its luminaire: the typed 機器名称, else 照明器具形式 and the lamp as the
// CEC/L report prints them ("FL40 2灯用(FLR40S)").
QString equipmentName(const RecordGrid &grid, int row);
// The name without a typed one.
QString derivedEquipmentName(const RecordGrid &grid, int row);

struct LuminaireTexts {
    int row = 0;
    QString name;
    QString watts;   // 入力電力, W/台
    QString count;   // 台数
    QString building, roomUse; // as typed on this row (the room takes its first row's)
    QString countNote; // the illuminance sheet's 灯数 that do not agree with 台数 ("" when they do)
    bool unverified = false; // the illuminance sheet's figures kept as stored: its inputs cannot give them
    QString remark;          // 備考 of the row (from an official input sheet)
    std::array<QString, Controls::kCategories> controls;
};

struct RoomTexts {
    int row = 0; // the room's first row
    QString floor, name, name2, building, roomUse;
    QString area, width, depth, height, roomIndex, storyHeight;
    QString nonHabitable; // "1", "0", or "" (not decided: proposed from the names)
    QString windowRatio;  // % (optional)
    QList<LuminaireTexts> luminaires;
};

RoomTexts textsOf(const RecordGrid &grid, const QList<int> &rows);
// 室名１ and 室名２ as the room is named on the outputs ("会議室 （第1）").
QString fullName(const RoomTexts &texts);

enum class IndexSource {
    Typed,      // K as typed
    Computed,   // K from L, D and H
    NotGiven,   // L, D, H and K all blank: C_L 1
    Impossible, // K cannot be formed (L, D or H missing): C_L 1, and the room says so
};

// What a room without a formed K shows in place of its index.
QString impossibleIndexNote();

struct Luminaire {
    int row = 0;
    QString name;
    double watts = 0;
    double count = 0;
    std::array<const Controls::Choice *, Controls::kCategories> choices{};
    double factor = 1;     // F = F1 × F2 × F3 × F4
    double corrected = 0;  // W × N × F
    QStringList notes;     // what the report's 備考 says of its choices ("点滅方式は非居室に限ります")
};

struct Room {
    RoomTexts texts;
    int file = 0; // of a building of several work files, the file's number (1, 2, …); 0 for one
    const StandardValues::Entry *standard = nullptr;
    double area = 0;
    IndexSource indexSource = IndexSource::NotGiven;
    double roomIndex = 0;   // the K used (Typed, Computed)
    double shapeFactor = 1; // C_L
    QList<Luminaire> luminaires;
    bool nonHabitable = false; // 非居室, as ticked or (not decided) proposed
    std::optional<double> windowRatio;
    double designWh = 0;    // E_L,r in Wh/年
    double designMJ = 0;    // E_L,r in MJ/年
    double standardMJ = 0;  // E_SL,r in MJ/年
    std::optional<double> bei() const;
    QString roomIndexText() const; // the K shown ("" when none, the note when it cannot be formed)
};

// Why a room cannot be worked out (an error), or what its figures should be read with (a
// warning: the report is still made): the row, the room, the field and the value.
struct Refusal {
    int row = 0;
    QString room, field, value, reason;
    bool warning = false;
    QString file; // the work file's name, for a building of several
    QString message() const;
};
using Problem = Refusal;

// One room from its texts; false with the first error when a value is no number, negative or not
// finite, a needed value is missing, or the 建物用途 / 室用途 pair is not in the table.
bool evaluate(const RoomTexts &texts, const StandardValues &table, Room *room, Refusal *refusal);
// The same with every problem of the room, errors and warnings, in the order of its rows and
// fields; false when there is an error.
bool evaluate(const RoomTexts &texts, const StandardValues &table, Room *room, QList<Problem> *problems);
// Every room of the grid; false at the first error.
bool evaluateAll(const RecordGrid &grid, const StandardValues &table, QList<Room> *rooms, Refusal *refusal);
// Every room of the grid and every problem of every room; the rooms without errors in *rooms.
// False when any room has an error.
bool evaluateBuilding(const RecordGrid &grid, const StandardValues &table, QList<Room> *rooms,
                      QList<Problem> *problems);
// A building of several work files (an import too large for one): every room of each, in the
// files' order, the problems naming their file.
bool evaluateBuilding(const QList<RecordGrid> &grids, const QStringList &names, const StandardValues &table,
                      QList<Room> *rooms, QList<Problem> *problems);
// The row of a room as the outputs name it: "12", or "2:12" in the second file of several.
QString rowText(const Room &room);
// The rows with an error ("要入力" in the list).
QList<int> rowsWithErrors(const QList<Problem> &problems);
bool hasErrors(const QList<Problem> &problems);
// One line each ("3 行目（事務室）の入力電力が入力されていません。"; warnings marked 注意).
QStringList messages(const QList<Problem> &problems);

// 非居室 proposed for a room by its 室名 or 室用途 (便所, 倉庫, 廊下, 階段, 機械室 …).
bool proposedNonHabitable(const QString &name, const QString &roomUse);
// The room's 非居室 as it counts: ticked, or not decided and proposed.
bool isNonHabitable(const RoomTexts &texts);
// Why a choice does not suit the room ("" when it does): "点滅方式は非居室に限ります",
// "調光方式W20は窓面積率 20 % 以上に限ります".
QString choiceNote(const Controls::Choice &choice, bool nonHabitable, std::optional<double> windowRatio);

// The building's sums, room by room in grid order (the one order every output adds them in).
struct Sums {
    double area = 0, designMJ = 0, standardMJ = 0;
};
Sums sums(const QList<Room> &rooms);
// Σ E_L / Σ E_SL; no value when Σ E_SL is 0.
std::optional<double> ratio(double designMJ, double standardMJ);

} // namespace BeilRooms
