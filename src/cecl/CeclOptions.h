#pragma once

#include "grid/RecordGrid.h"

#include <QSet>

class MasterTables;

// The options of a CEC/L work file, kept in the headings row (columns 100 to 103): the building
// type, the simplified method, and whether the zones' standard power and hours follow the room
// master.
struct CeclOptions {
    int buildingType = -1;    // 0..5, -1 = not chosen
    bool simplified = false;  // Chk_Kani
    int method = 0;           // 1..3 = the option button selected, 0 = none
    bool linkPower = true;    // Chk_Ws
    bool linkHours = true;    // Chk_T

    // The dialog's load: reads row 221; an empty SimplifiedMethod is written "0" into the grid.
    static CeclOptions load(RecordGrid &grid);
    // The zones whose standard power / standard hours were copied from the room master.
    struct Copied {
        QSet<int> power;
        QSet<int> hours;
    };
    // OK: writes row 221, then copies the room master's standard values into the zones whose
    // name it finds (records 1 to 100, up to the first empty name, exact comparison).
    Copied apply(RecordGrid &grid, const MasterTables &masters) const;

    // Row 221's values as the print table reads them.
    static int simplifiedMethod(const RecordGrid &grid);
    static QString methodLabel(int method);
};
