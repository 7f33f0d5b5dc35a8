#pragma once

#include "photometry/Photometry.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>

// The illuminance distribution of a room on its work plane (照度分布), point by point:
//
//   - the luminaires in nx by ny equal cells, one at each cell's centre, at the ceiling less the
//     suspension; h is their height above the work plane; C0 along +x (間口), C90 along +y (奥行);
//   - relative photometry scaled to the room's lamp flux a luminaire (光束 x 灯数), absolute as it
//     is; every intensity times the maintenance factor;
//   - direct illuminance E = sum I(C, g) cos^3 g / h^2, g from the nadir, C from +x to +y, the
//     intensity linear between the file's angles;
//   - the inter-reflected part one uniform value, max(0, E_lumen - mean direct over the floor), with
//     E_lumen = nx ny F U M / A by the sheet's own factors, so the floor's mean is the lumen method's;
//   - the grid: the work plane less a 0.5 m band along the walls (none when a side is under 2 m),
//     cells of p = 0.2 x 5^log10(d) m, d the longer side of that area, ceil(side / p) cells a side,
//     a point at each cell's centre; the floor's mean is taken on the same rule over the whole floor.
namespace Distribution {

// What a room may ask of the calculation: its sides (the points grow with them) and its luminaires
// (the work at every point). A full sheet of 220 rooms at these bounds takes seconds.
constexpr double kMaxSide = 100;       // m
constexpr int kMaxFittings = 200;      // 台数
constexpr int kMaxLuminaires = 400;    // nx ny of a layout (the default one or one tried)
constexpr int kMaxPoints = 2500;       // points of a grid (a side of 100 m gives 400)

struct Room {
    double width = 0;        // 間口 (x), m
    double depth = 0;        // 奥行 (y), m
    double area = 0;         // 面積, m2 (the sheet's)
    double height = 0;       // mounting height above the work plane, m
    double fluxPerLuminaire = 0; // lm: 光束 x 1台あたりの灯数
    double utilization = 0;  // 照明率
    double maintenance = 0;  // 保守率
    int fittings = 0;        // 台数
};

struct Layout {
    int nx = 0;
    int ny = 0;
    int count() const { return nx * ny; }
};
// nx ny at least the fittings, with as few extra as possible and the spacings along x and y as
// equal as possible: the fewest extra among the layouts whose spacings are within 1.5 of each
// other, the most even of those; without any such layout, the most even.
Layout defaultLayout(int fittings, double width, double depth);

struct Grid {
    double x0 = 0, y0 = 0;       // the area's corner, m
    double width = 0, depth = 0; // its sides, m
    int cellsX = 0, cellsY = 0;
    double cell = 0;             // p, m
    QPointF point(int i, int j) const { return {x0 + (i + 0.5) * width / cellsX, y0 + (j + 0.5) * depth / cellsY}; }
    int count() const { return cellsX * cellsY; }
};
// The calculation grid of the work plane (with its band) and the grid of the whole floor.
Grid calculationGrid(double width, double depth);
Grid floorGrid(double width, double depth);

struct Result {
    Layout layout;
    double height = 0;
    QList<QPointF> luminaires;
    Grid grid;
    QVector<double> direct;     // at the grid's points, row by row (j, then i)
    QVector<double> total;
    double directFloor = 0;     // mean direct illuminance over the floor
    double indirect = 0;
    double lumen = 0;           // E_lumen
    double average = 0, minimum = 0, maximum = 0;
    double u0 = 0, ud = 0;
};

// The direct illuminance at a point of the work plane from luminaires `height` above it; `scale`
// turns the file's candela into this room's (flux and maintenance).
double directAt(const Photometry &p, double scale, const QList<QPointF> &luminaires, double height, QPointF at);

// Works the room out; false with the reason for the user when its figures cannot give one.
bool compute(const Room &room, const Photometry &p, Layout layout, Result *out, QString *error);

// The illuminance anywhere on the floor (direct and the uniform part), for drawing.
double totalAt(const Room &room, const Photometry &p, const Result &r, QPointF at);

} // namespace Distribution
