#pragma once

#include "grid/RecordGrid.h"
#include "illuminance/IlluminancePanel.h"

class MasterTables;

// The procedures of the illuminance sheet that move rooms between the record grid and the panel,
// free of widgets so that they run the same on the form and in tests.
namespace RoomSheet {

// Every cell emptied (the headings too), then 221 x 38 again.
void Record_Clear(RecordGrid &grid);

// Loads record row `row` into the panel; a free row clears it.
void Screen_Set(const RecordGrid &grid, int row, IlluminancePanel &panel, FormState &state);
// The capacity mode of a stored row: 1 when its capacity is the one 自動計算 works out from its
// lamps (it then follows them), 2 when typed, 3 none, 0 unset.
int capacityModeOf(const RecordGrid &grid, int row, const MasterTables &masters);
// Clears the panel (not the row field); both 自動 boxes checked; the choices back to 0.
void Screen_Clear(IlluminancePanel &panel, FormState &state);

// Writes the panel into row `row` (Btn_Adv); with both the room name and the luminaire kind
// empty the row is blanked instead.
void commit(RecordGrid &grid, int row, const IlluminancePanel &panel, const FormState &state);

// Inserts a free row at `activeRow` / deletes it; the headings row stays in row 221 and every
// column of a wider grid moves with its row.
void Line_Add(RecordGrid &grid, int activeRow);
void Line_Delete(RecordGrid &grid, int activeRow);

// True when any of rows 1..220 is in use.
bool anyRoomInUse(const RecordGrid &grid);

// Capacity buttons (index 0 自動計算, 1 手動計算, 2 計算しない); returns the control to focus.
QString Btn_Youryou_Click(int index, IlluminancePanel &panel, FormState &state, const MasterTables &masters);

// Adds the panel's Remark1 into Remark2 of every selected row: the stored row when in use, else
// the panel itself when the row is the panel's own.
void addTotalCapacity(RecordGrid &grid, const QList<int> &selectedRows, int panelRow, IlluminancePanel &panel);

// The fixed reflectance patterns (ceiling, wall, floor in %), pattern 1..3.
struct Reflectance {
    int ceiling, wall, floor;
};
Reflectance reflectancePattern(int pattern);

} // namespace RoomSheet
