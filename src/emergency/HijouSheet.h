#pragma once

#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRooms.h"
#include "grid/Panel.h"
#include "grid/RecordGrid.h"

#include <QString>

// The procedures of the emergency-lighting sheet that move a row between the record grid and the
// panel and work out its room live: free of widgets, so they run the same on the form and in
// tests. The panel shows the room of the row (its fields, 判定対象 and 備考 from the room's first
// row) and the row's own kind of emergency luminaire; the check is the room's, with the panel's
// values in place of the grid's.
namespace HijouSheet {

// The panel's boxes.
inline const QString kFloor = QStringLiteral("Txt_Kai");
inline const QString kRoomName = QStringLiteral("Txt_Shitsu");
inline const QString kRoomName2 = QStringLiteral("Txt_Shitsu2");
inline const QString kArea = QStringLiteral("Txt_Menseki");
inline const QString kWidth = QStringLiteral("Txt_Maguchi");
inline const QString kDepth = QStringLiteral("Txt_Okuyuki");
inline const QString kHeight = QStringLiteral("Txt_Takasa");
inline const QString kChecked = QStringLiteral("Chk_Hantei"); // 判定対象 ("1" / "0")
inline const QString kRemark = QStringLiteral("Txt_Bikou");
inline const QString kSlot = QStringLiteral("Txt_Kigu");
inline const QString kCount = QStringLiteral("Txt_Daisu");
inline const QString kMounting = QStringLiteral("Txt_Toritsuke");
inline const QString kLayout = QStringLiteral("Txt_Haichi");
// Labels: the luminaire of the slot; how the luminaires are placed; the verdict and the figures;
// why the room cannot be worked out.
inline const QString kLuminaire = QStringLiteral("Lbl_Kigu");
inline const QString kPlacing = QStringLiteral("Lbl_Haichi");
inline const QString kVerdict = QStringLiteral("Lbl_Hantei");
inline const QString kFigures = QStringLiteral("Lbl_Figures");
inline const QString kMessage = QStringLiteral("Lbl_Message");

// Empties every box and label of the panel but the row field (判定対象 ticked).
void Screen_Clear(Panel &panel);
// Loads row `row`: its room's fields and its own luminaire (a free row clears the panel and says
// why). The check is left to calculate().
void Screen_Set(const RecordGrid &grid, int row, Panel &panel, const EmergencyMaster::Master &master);
// Confirm: the luminaire into `row` (columns 132 to 135), 判定対象 and 備考 into every row of its
// room ("0" when not checked, blank when checked); a free row has columns 132 to 137 emptied.
void confirm(RecordGrid &grid, int row, const Panel &panel);

// The room of the row on the panel, worked out with the panel's values.
struct Live {
    bool room = false;      // the row is in a room
    int row = 0;
    bool ok = false;        // worked out (or not checked)
    EmergencyRooms::Room worked;
    QList<EmergencyRooms::Refusal> refusals;
};
Live calculate(const RecordGrid &grid, int row, const Panel &panel, const EmergencyMaster::Master &master,
               EmergencyRooms::Lights *lights);
// The verdict, the figures and the refusals of a room on the panel's labels.
void show(const Live &live, Panel &panel);
// The slot's luminaire as the panel names it ("KZ-EL-DL-LED　LED　260 lm"), or why there is none.
QString luminaireText(const EmergencyMaster::Master &master, const QString &slot);

} // namespace HijouSheet
