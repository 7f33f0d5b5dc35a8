#pragma once

#include "grid/RecordGrid.h"

// The figures the CEC/L sheet derives for a zone (トータル入力, power density, annual energy,
// lighting and virtual energy, coefficient: columns 105 to 107 and 112 to 114), kept true to the
// zone's inputs, also when another sheet changed its 台数 or 入力電力.
namespace ZoneFigures {

// True when the row holds values of the CEC/L sheet (any of columns 101 to 114 but 入力電力,
// which the BEI/L sheet writes too).
bool holdsZone(const RecordGrid &grid, int row);
// The derived columns of zone `row` worked out anew from its inputs, as the panel would show
// them; true when any of them changed. A free row is left alone.
bool recompute(RecordGrid &grid, int row);
// The same for every zone; true when any changed.
bool recomputeAll(RecordGrid &grid);

} // namespace ZoneFigures
