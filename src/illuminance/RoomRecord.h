#pragma once

#include <QString>

// One room of the illuminance sheet: a row of the record grid, 38 text columns.
namespace RoomRecord {

constexpr int kRows = 221;        // rooms 1..220, headings in 221
constexpr int kRooms = 220;
constexpr int kHeadingsRow = 221;
constexpr int kColumns = 38;

enum Column : int {
    InUse = 1,
    RoomName1 = 2,
    RoomName2 = 3,
    LuminaireType = 4,
    LuminaireIndex = 5,
    LampName = 6,
    LampIndex = 7,
    LampFlux = 8,
    DesignIlluminance = 9,
    Width = 10,
    Depth = 11,
    Area = 12,
    CeilingHeight = 13,
    WorkPlaneHeight = 14,
    Suspension = 15,
    RoomIndex = 16,
    CeilingReflectance = 17,
    WallReflectance = 18,
    FloorReflectance = 19,
    UtilizationFactor = 20,
    MaintenanceFactor = 21,
    LampCountComputed = 22,
    LampCount = 23,
    ResultIlluminance = 24,
    FittingCount = 25,
    Remark1 = 26,
    Remark2 = 27,
    LampsPerFitting = 28,
    ReflectanceChoice = 29,
    MaintenanceChoice = 30,
    CapacityMode = 31,
    Reserved = 32,
    Floor = 33,
    RowNumber = 34,
    RecordTag = 35,
    LampNameEntry = 36,
    LampCountAuto = 37,
    FittingCountAuto = 38,
};

// Headings row: title lines and the date of the report.
constexpr int kTitle1 = 1;
constexpr int kTitle2 = 2;
constexpr int kDate = 3;

inline const QString kRecordTag = QStringLiteral("SYOUDO002");

// The panel box that feeds each text column on commit and is filled from it on load.
struct BoxColumn {
    const char *box;
    Column column;
};

inline constexpr BoxColumn kBoxColumns[] = {
    {"Txt_Shitsu", RoomName1},          {"Txt_Shitsu2", RoomName2},         {"Txt_Kigu", LuminaireType},
    {"Txt_Kougen", LampName},           {"Txt_Kousoku", LampFlux},          {"Txt_Syoudo1", DesignIlluminance},
    {"Txt_Maguchi", Width},             {"Txt_Okuyuki", Depth},             {"Txt_Menseki", Area},
    {"Txt_Takasa", CeilingHeight},      {"Txt_Stakasa", WorkPlaneHeight},   {"Txt_Kudari", Suspension},
    {"Txt_Shisu", RoomIndex},           {"Txt_Hrten", CeilingReflectance},  {"Txt_Hrkabe", WallReflectance},
    {"Txt_Hryuka", FloorReflectance},   {"Txt_Syouritsu", UtilizationFactor}, {"Txt_Horitsu", MaintenanceFactor},
    {"Txt_Tousu1", LampCountComputed},  {"Txt_Tousu2", LampCount},          {"Txt_Syoudo2", ResultIlluminance},
    {"Txt_Daisu", FittingCount},        {"Txt_Biko1", Remark1},             {"Txt_Biko2", Remark2},
    {"Txt_WTousu", LampsPerFitting},    {"Txt_Kai", Floor},                 {"Txt_WKougen", LampNameEntry},
};

} // namespace RoomRecord
