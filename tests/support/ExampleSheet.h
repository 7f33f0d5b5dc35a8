#pragma once

#include "illuminance/FSyoudo.h"

// Fills the sheet with the example office building (three floors, 31 rows) through the sheet's
// own procedures, as a user picking from the sample masters would.
void fillExampleOffice(FSyoudo &sheet);

class FCECL;
class ScriptedDialogs;

// Completes the example office as a CEC/L sheet through that sheet's own procedures: opens the
// illuminance file, chooses 事務所 with both links to the room master, and gives every zone its
// luminaire number, input power, control content and the three factors.
void fillExampleCecl(FCECL &sheet, ScriptedDialogs &dialogs, const QString &illuminanceFile);
