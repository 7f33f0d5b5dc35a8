#pragma once

// A room of the emergency-lighting sheet (非常用照明) in the record grid: the room's own columns as
// the other sheets keep them, and per row one kind of emergency luminaire in columns 132 to 137,
// written only when this sheet is used. A room is a room of the building as
// RoomFloors::physicalRooms has it (the BEI/L sheet's and the distribution's).
namespace EmergencyRecord {

constexpr int kColumns = 140;
constexpr int kRooms = 220;
constexpr int kHeadingsRow = 221;

enum Column : int {
    InUse = 1,
    RoomName1 = 2,
    RoomName2 = 3,
    Width = 10,         // 間口 (x), m
    Depth = 11,         // 奥行 (y), m
    Area = 12,          // 床面積, ㎡
    CeilingHeight = 13, // 高さ: the mounting height when none is typed
    Floor = 33,
    Slot = 132,         // 非常用照明器具: the slot of the emergency master
    Count = 133,        // 台数
    MountingHeight = 134, // 取付高さ above the floor, m (blank: 高さ)
    Layout = 135,       // 配置: blank automatic, or "x,y;x,y;…" m from the room's corner, x along 間口
    Checked = 136,      // 判定対象: "0" not checked (an exempt room), anything else checked
    Remark = 137,       // 備考: why a room is not checked, or anything the designer notes
};

constexpr int kFirstColumn = 132;
constexpr int kLastColumn = 137;
constexpr int kTitle1 = 1;
constexpr int kTitle2 = 2;
constexpr int kDate = 3;

} // namespace EmergencyRecord
