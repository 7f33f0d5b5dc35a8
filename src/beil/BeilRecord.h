#pragma once

// One room of the lighting primary-energy sheet (BEI/L) in the record grid: the room's own columns
// as the illuminance and CEC/L sheets keep them, and the sheet's inputs in columns 121 to 131.
// A room is the run of neighbouring rows in use on the same floor (a row without a 階 is on the
// floor of the rows above it; rows above the first 階 are on that floor) with the same 室名１,
// 室名２, 間口, 奥行 and 床面積; each row is one kind of luminaire in it. The room's fields are read from its first row.
namespace BeilRecord {

constexpr int kColumns = 140; // the grid is widened to this, as the CEC/L sheet does
constexpr int kRooms = 220;
constexpr int kHeadingsRow = 221;

enum Column : int {
    InUse = 1,
    RoomName1 = 2,
    RoomName2 = 3,
    LuminaireType = 4,
    LampName = 6,
    Width = 10,         // 間口 L
    Depth = 11,         // 奥行 D
    Area = 12,          // 床面積 A
    CeilingHeight = 13, // 天井高 H
    FittingCount = 25,  // 台数 N
    Floor = 33,
    FittingCountAuto = 38, // "1" while the illuminance sheet works 台数 out from the lamps
    InputPower = 104,   // 入力電力 W, one luminaire
    BuildingUse = 121,  // every row of the room
    RoomUse = 122,      // every row of the room
    RoomIndex = 123,    // typed K, first row (blank: computed)
    StoryHeight = 124,  // 階高, first row, for the input sheet only
    Occupancy = 125,    // 在室検知制御, each row
    Daylight = 126,     // 明るさ検知制御
    Schedule = 127,     // タイムスケジュール制御
    InitialCorrection = 128, // 初期照度補正機能
    EquipmentName = 129,     // 機器名称 typed, each row
    NonHabitable = 130,      // 非居室: "1" ticked, "0" not (blank: not decided, proposed from the names)
    WindowRatio = 131,       // 窓面積率 %, optional
    Remark = 138,            // 備考 of the row, as the official input sheet has it (an import)
};

// The headings row: the report's headings (as every sheet keeps them) and the building's
// default 建物用途.
constexpr int kTitle1 = 1;
constexpr int kTitle2 = 2;
constexpr int kDate = 3;
constexpr int kDefaultBuildingUse = 121;

constexpr int kFirstColumn = 121;
constexpr int kLastColumn = 131;

} // namespace BeilRecord
