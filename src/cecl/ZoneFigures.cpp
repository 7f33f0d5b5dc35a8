#include "cecl/ZoneFigures.h"

#include "cecl/CeclCalculation.h"
#include "cecl/ZoneRecord.h"
#include "grid/TextPanel.h"

namespace ZoneFigures {

bool holdsZone(const RecordGrid &grid, int row)
{
    if (row < 1 || row > ZoneRecord::kRooms || grid.colCount() < ZoneRecord::ZoneCecl)
        return false;
    // 入力電力 alone is the BEI/L sheet's as much as this one's.
    for (int c = ZoneRecord::LuminaireNumber; c <= ZoneRecord::ZoneCecl; ++c)
        if (c != ZoneRecord::InputPower && !grid.text(row, c).isEmpty())
            return true;
    return false;
}

bool recompute(RecordGrid &grid, int row)
{
    if (grid.text(row, ZoneRecord::InUse) != u"1")
        return false;
    TextPanel panel;
    for (const auto &f : ZoneRecord::kLoadOrder)
        panel.setText(QLatin1String(f.box), grid.text(row, f.column));
    CeclCalculation::ZoneCalculation(panel);
    bool changed = false;
    for (const auto &f : ZoneRecord::kDerived) {
        const QString now = panel.text(QLatin1String(f.box));
        if (grid.text(row, f.column) != now) {
            grid.setText(row, f.column, now);
            changed = true;
        }
    }
    return changed;
}

bool recomputeAll(RecordGrid &grid)
{
    bool changed = false;
    for (int r = 1; r <= ZoneRecord::kRooms; ++r)
        changed = recompute(grid, r) || changed;
    return changed;
}

} // namespace ZoneFigures
