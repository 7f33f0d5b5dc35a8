#pragma once

#include "grid/Panel.h"

// The edit panel of the illuminance sheet as the calculation sees it (the maintenance labels are
// "Lbl_Hosyu_0" to "Lbl_Hosyu_2").
using IlluminancePanel = Panel;

// The form integers of the sheet beside its boxes.
struct FormState {
    int luminaireIndex = 0;    // slot of the picked luminaire, 0 = none
    int lampIndex = 0;         // slot of the picked lamp, 0 = typed by hand
    int reflectanceChoice = 0; // 0 none, 1..3 pattern
    int maintenanceChoice = 0; // index 0..2 of the last maintenance button
    int capacityMode = 0;      // 0 unset, 1 automatic, 2 manual, 3 none
    int reserved = 0;
};
