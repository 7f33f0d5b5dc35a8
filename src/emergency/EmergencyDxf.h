#pragma once

#include "emergency/EmergencyRooms.h"

#include <QByteArray>
#include <QList>

// The emergency check's plans as one DXF drawing (R12, mm): each room at its own origin, floor by
// floor, its title (階, 室名, 寸法) under it; layers ROOM, LUMINAIRE, REACH (each luminaire's A1 × B1
// at its height, dashed), CONTOUR (the threshold's line), MINIMUM (a cross and the value),
// CHECK-TEXT (verdict, minimum, threshold) and NOTE (direct light only, on the floor, no
// maintenance factor).
namespace EmergencyDxf {

QByteArray drawing(const QList<EmergencyRooms::Room> &rooms, const EmergencyRooms::Lights &lights);

} // namespace EmergencyDxf
