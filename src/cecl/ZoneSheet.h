#pragma once

#include "grid/Panel.h"
#include "grid/RecordGrid.h"

// The procedures of the CEC/L sheet that move zones between the record grid and the panel, and
// the factor choices of its tabs 1 to 3: free of widgets, so they run the same on the form and in
// tests.
namespace ZoneSheet {

// Loads zone `row` into the panel and recomputes it; a free row clears the panel.
void Screen_Set(const RecordGrid &grid, int row, Panel &panel);
// Empties every box of the panel but the row field.
void Screen_Clear(Panel &panel);
// Confirm: the panel into columns 101 to 114 of `row`; a free row has them emptied instead. The
// room's own columns are never written.
void confirm(RecordGrid &grid, int row, const Panel &panel);

// For a row that is one of several luminaires of a zone: the zone, its rows and its figures as
// the report prints them ("" for a zone of one row, a free row, or a sheet that cannot be
// printed before the zone is reached).
QString zoneLine(RecordGrid grid, int row);

// The choices of tabs 1 to 3: each writes its texts and names the control to focus next.
QString Btn_Seigyo_Click(int index, Panel &panel);
QString Btn_Syuho_Click(int index, Panel &panel);
QString Btn_Syoho_Click(int index, Panel &panel);

// The captions of the choices, by index.
QStringList seigyoCaptions();

} // namespace ZoneSheet
