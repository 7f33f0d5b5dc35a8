#pragma once

#include "photometry/Distribution.h"
#include "photometry/Glare.h"

#include <QList>
#include <QString>

#include <optional>

// The UGR of a room worked out by the distribution: observers at the middle of each wall, 0.5 m
// into the room, looking across it (perpendicular to their wall); the room's own luminaires at
// their height, C0 along 間口; the background luminance from the radiosity's surfaces (the
// indirect light on a vertical plane at the eye, facing the view), or with the uniform setting
// the standard's rule for a room of the same X/H, Y/H and reflectances. Luminaires at their lamps'
// initial flux (no maintenance factor), as the standard table is.
namespace RoomGlare {

constexpr double kSeated = 1.2;   // eye above the floor, m
constexpr double kStanding = 1.5;
constexpr double kFromWall = 0.5; // m

struct Observer {
    int number = 0;     // 1 … 4: the walls y = 0, x = 間口, y = 奥行, x = 0
    double x = 0, y = 0; // the eye, m from the room's corner
    double eye = kSeated;
    double view = 0;    // degrees, 0 towards +x, 90 towards +y
    double background = 0; // Lb, cd/m²
    std::optional<double> ugr;
    int counted = 0;    // luminaires inside the field of view
};

struct Result {
    QList<Observer> observers;
    std::optional<double> largest;  // the room's UGR
    std::optional<double> table;    // the luminaire's table at the room
    QString tableWhat;              // what the table's value is ("表 SHR 0.25、70/50/20、…"), or why none
    QString why;                    // why the room has no UGR ("" when it has)
};

// The observers of a room of these sides.
QList<Observer> observers(double width, double depth, double eye);
// The room's UGR; `r` as Distribution::compute gave it for `room`.
Result compute(const Distribution::Room &room, const Distribution::Result &r, double eye = kSeated);

} // namespace RoomGlare
