#pragma once

#include "photometry/Distribution.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

// The drawing of a room's illuminance distribution: the plan to scale (x along 間口 to the right,
// y along 奥行 upwards), its luminaires, the calculation area, isolux lines at round steps with
// their values, optionally shaded between them.
namespace DistributionPlot {

// The illuminance at a point of the floor (lx).
using Field = std::function<double(QPointF)>;

// Draws into `area` (device units of the painter); `field` gives the values between the points.
void draw(QPainter &painter, const QRectF &area, const Distribution::Room &room, const Distribution::Result &r,
          const Field &field, bool shaded);

// The isolux levels for values from `low` to `high`: round steps (1, 2 or 5 times a power of ten),
// three to six of them.
QList<double> levels(double low, double high);

// The figures beside the drawing, a line each: layout, height, grid, Eavg, Emin, Emax, U0, Ud and
// the lumen method's value.
QStringList figures(const Distribution::Room &room, const Distribution::Result &r, double lumenMethodResult);

} // namespace DistributionPlot
