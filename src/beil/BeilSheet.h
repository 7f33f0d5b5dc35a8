#pragma once

#include "beil/BeilRooms.h"
#include "grid/Panel.h"
#include "grid/RecordGrid.h"

#include <QString>
#include <QStringList>

class MasterTables;

// The procedures of the BEI/L sheet that move a row between the record grid and the panel and
// work out its figures live: free of widgets, so they run the same on the form and in tests.
// The panel shows the room of the row (its fields from the room's first row) and the row's own
// kind of luminaire; the figures are the room's, with the panel's values in place of the grid's.
namespace BeilSheet {

// The panel's boxes.
inline const QString kFloor = QStringLiteral("Txt_Kai");
inline const QString kRoomName = QStringLiteral("Txt_Shitsu");
inline const QString kRoomName2 = QStringLiteral("Txt_Shitsu2");
inline const QString kBuildingUse = QStringLiteral("Txt_Tatemono");
inline const QString kRoomUse = QStringLiteral("Txt_Youto");
inline const QString kArea = QStringLiteral("Txt_Menseki");
inline const QString kWidth = QStringLiteral("Txt_Maguchi");
inline const QString kDepth = QStringLiteral("Txt_Okuyuki");
inline const QString kHeight = QStringLiteral("Txt_Takasa");
inline const QString kRoomIndex = QStringLiteral("Txt_Shisu");
inline const QString kStoryHeight = QStringLiteral("Txt_Kaidaka");
inline const QString kNonHabitable = QStringLiteral("Chk_Hikyoshitsu"); // 非居室 ("1" / "0")
inline const QString kWindowRatio = QStringLiteral("Txt_Madomenseki");  // 窓面積率 %
inline const QString kEquipment = QStringLiteral("Txt_Kiki");
inline const QString kWatts = QStringLiteral("Txt_InDenryoku");
inline const QString kCount = QStringLiteral("Txt_Daisu");
inline const QString kControls[] = {QStringLiteral("Txt_Zaishitsu"), QStringLiteral("Txt_Akarusa"),
                                    QStringLiteral("Txt_Schedule"), QStringLiteral("Txt_Shoki")};
inline const QString kFactor = QStringLiteral("Txt_F");
inline const QString kCorrected = QStringLiteral("Txt_Hosei");
inline const QString kDesign = QStringLiteral("Txt_EL");
inline const QString kStandard = QStringLiteral("Txt_ESL");
inline const QString kBei = QStringLiteral("Txt_BEIL");
// Labels: the K used and its C_L; the table's T_L and a_SL; why the room has no figures.
inline const QString kIndexUsed = QStringLiteral("Lbl_IndexUsed");
inline const QString kStandardValues = QStringLiteral("Lbl_StandardValues");
inline const QString kMessage = QStringLiteral("Lbl_Message");
// The derived 機器名称 shown while none is typed.
inline const QString kEquipmentDerived = QStringLiteral("Lbl_KikiDerived");
// What a changed 台数 or 入力電力 does to the other sheets' figures, before it is confirmed.
inline const QString kShared = QStringLiteral("Lbl_Shared");
// What the count given here leaves the illuminance row short of, in red.
inline const QString kSharedWarning = QStringLiteral("Lbl_SharedWarning");

// Empties every box and label of the panel but the row field.
void Screen_Clear(Panel &panel);
// Loads row `row` (a free row clears the panel) and works out its figures.
void Screen_Set(const RecordGrid &grid, int row, Panel &panel, const MasterTables *masters = nullptr);
// The figures of the row on the panel: its F and W × N × F, the room's K and C_L, T_L and a_SL,
// E_L, E_SL and BEI/L; blank with the reason in the message when the room cannot be worked out;
// and what a changed 台数 or 入力電力 does to the other sheets. The room's problems, errors and
// warnings, are given in *problems (the message lists them).
void calculate(const RecordGrid &grid, int row, Panel &panel, const MasterTables *masters = nullptr,
               QList<BeilRooms::Problem> *problems = nullptr);
// Confirm: the room's fields into every row of its room (建物用途, 室用途) or its first row (室指数,
// 階高), the luminaire's into `row`; a 台数 changed here reaches the illuminance row by that
// sheet's rules and the CEC/L figures follow. A free row has columns 121 to 129 emptied instead.
void confirm(RecordGrid &grid, int row, const Panel &panel, const MasterTables *masters = nullptr);

// The room use proposed for a room: its 室名１ when that is a room use of its building use, else
// the use its name commonly stands for (男子便所 → 便所, 給湯室 → 湯沸室等, 玄関ホール → ロビー,
// 書庫 → 倉庫 …) when the building use has it; "" otherwise. Always a proposal to confirm.
QString proposedRoomUse(const QString &building, const QString &roomName);
// Rows in use whose room has no 建物用途.
QList<int> roomsWithoutBuildingUse(const RecordGrid &grid);
// Gives those rooms `building` (every row of each).
void applyDefaultBuildingUse(RecordGrid &grid, const QString &building);
// As a file opens: controls stored in older spellings (減光, 消灯, full-width parentheses) in the
// current ones; the rows changed.
QList<int> currentSpellings(RecordGrid &grid);
// The choice of a category shown on the panel: "無" for blank.
QString shownControl(int category, const QString &stored);

} // namespace BeilSheet
