#pragma once

#include <QString>

// One zone of the CEC/L sheet: an in-use room row of the record grid (the room's columns 1 to 38
// as the illuminance sheet wrote them) with the CEC/L values in columns 101 to 114.
namespace ZoneRecord {

constexpr int kColumns = 140;
constexpr int kRooms = 220;
constexpr int kHeadingsRow = 221;

// The room's own columns the zone reads.
enum RoomColumn : int {
    InUse = 1,
    RoomName1 = 2,
    RoomName2 = 3,
    LuminaireType = 4,
    LampName = 6,
    Area = 12,
    ResultIlluminance = 24,
    FittingCount = 25,
    Floor = 33,
};

enum Column : int {
    LuminaireNumber = 101,
    StandardPower = 102,
    StandardHours = 103,
    InputPower = 104,
    TotalInput = 105,
    PlannedPowerDensity = 106,
    AnnualEnergy = 107,
    ControlContent = 108,
    ControlFactor = 109,
    TypeFactor = 110,
    IlluminanceFactor = 111,
    LightingEnergy = 112,
    VirtualEnergy = 113,
    ZoneCecl = 114,
};

// The CEC/L options in the headings row.
enum OptionColumn : int {
    BuildingType = 100,
    SimplifiedMethod = 101,
    LinkStandardPower = 102,
    LinkStandardHours = 103,
};

// The panel box of each field.
struct BoxColumn {
    const char *box;
    int column;
};

// Loaded by Screen_Set, in this order.
inline constexpr BoxColumn kLoadOrder[] = {
    {"Txt_Kai", Floor},
    {"Txt_Shitsu", RoomName1},
    {"Txt_Shitsu2", RoomName2},
    {"Txt_Kiguban", LuminaireNumber},
    {"Txt_Kigu", LuminaireType},
    {"Txt_Kougen", LampName},
    {"Txt_HSyoumei", StandardPower},
    {"Txt_HTentou", StandardHours},
    {"Txt_Menseki", Area},
    {"Txt_Daisu", FittingCount},
    {"Txt_InDenryoku", InputPower},
    {"Txt_Syoudo", ResultIlluminance},
    {"Txt_TotalIn", TotalInput},
    {"Txt_Ksyoumei", PlannedPowerDensity},
    {"Txt_Nendenryoku", AnnualEnergy},
    {"Txt_Seigyo", ControlContent},
    {"Txt_SeigyoHosei", ControlFactor},
    {"Txt_SyuHosei", TypeFactor},
    {"Txt_SyouHosei", IlluminanceFactor},
    {"Txt_Syodenryoku", LightingEnergy},
    {"Txt_Vsyoden", VirtualEnergy},
    {"Txt_SyoEne", ZoneCecl},
};

// Written by Confirm into columns 101 to 114, in this order.
inline constexpr BoxColumn kConfirmOrder[] = {
    {"Txt_Kiguban", LuminaireNumber},    {"Txt_HSyoumei", StandardPower},    {"Txt_HTentou", StandardHours},
    {"Txt_InDenryoku", InputPower},      {"Txt_TotalIn", TotalInput},        {"Txt_Ksyoumei", PlannedPowerDensity},
    {"Txt_Nendenryoku", AnnualEnergy},   {"Txt_Seigyo", ControlContent},     {"Txt_SeigyoHosei", ControlFactor},
    {"Txt_SyuHosei", TypeFactor},        {"Txt_SyouHosei", IlluminanceFactor}, {"Txt_Syodenryoku", LightingEnergy},
    {"Txt_Vsyoden", VirtualEnergy},      {"Txt_SyoEne", ZoneCecl},
};

// The columns ZoneCalculation works out from the others.
inline constexpr BoxColumn kDerived[] = {
    {"Txt_TotalIn", TotalInput},          {"Txt_Ksyoumei", PlannedPowerDensity}, {"Txt_Nendenryoku", AnnualEnergy},
    {"Txt_Syodenryoku", LightingEnergy}, {"Txt_Vsyoden", VirtualEnergy},       {"Txt_SyoEne", ZoneCecl},
};

// The building types of the options, by list position (the room master's index).
inline constexpr const char *kBuildingTypes[] = {"ホテル又は旅館", "病院又は診療所", "物品販売業を営む店舗",
                                                 "事務所",         "学校",           "飲食店"};
constexpr int kBuildingTypeCount = 6;

} // namespace ZoneRecord
