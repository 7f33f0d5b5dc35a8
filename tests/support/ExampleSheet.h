#pragma once

#include "illuminance/FSyoudo.h"

// Fills the sheet with the example office building (three floors, 30 rooms) through the sheet's
// own procedures, as a user picking from the sample masters would.
void fillExampleOffice(FSyoudo &sheet);
