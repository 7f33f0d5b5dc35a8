#pragma once

#include "illuminance/RoomDistribution.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// The rooms' distributions as one DXF drawing (R12, mm) a CAD program opens: each room at its own
// origin (its corner, x along 間口), floor by floor, its title (階, 室名, 寸法) and a note of what the
// figures are under it; layers ROOM, LUMINAIRE (its opening to scale, oriented; a point where the
// file gives none), LUMINAIRE-TEXT, ISOLUX and ISOLUX-TEXT (the report's levels and contouring),
// GRID-TEXT (each calculation point's value), UGR (the observers and their ratings) and NOTE.
namespace DistributionDxf {

// `floors` the 階 of each room (as the sheet's rows give them); a room without a distribution is
// drawn as its outline with why. `gridTexts`: the points' values shown (their layer on), else the
// layer is there but off.
QByteArray drawing(const QList<RoomDistribution::Outcome> &rooms, const QStringList &floors, bool gridTexts);

} // namespace DistributionDxf
