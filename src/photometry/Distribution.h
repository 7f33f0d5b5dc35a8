#pragma once

#include "photometry/Photometry.h"
#include "photometry/PhotometryMath.h"
#include "photometry/Radiosity.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

// The illuminance distribution of a room on its work plane (照度分布), point by point:
//
//   - the room is lit by one or more kinds of luminaire (the rows of the sheet that make it up),
//     each laid out by its own count and at its own height: h, the height of its luminaires
//     above the work plane (ceiling less suspension less work plane); C0 along +x (間口), C90
//     along +y (奥行);
//   - the default layout places exactly the count: rows parallel to 間口 whose counts differ by at
//     most one, each row's luminaires at equal spacing centred in the room, the rows at equal
//     spacing; of these, the one whose spacings along x and y are closest to equal;
//   - relative photometry scaled to the row's lamp flux a luminaire (光束 x 灯数), absolute as it
//     is; every intensity times the row's maintenance factor;
//   - direct illuminance E = sum over every luminaire of I(C, g) cos^3 g / h^2, g from the nadir, C
//     from +x to +y, the intensity linear between the file's angles;
//   - the inter-reflected part by radiosity (the room's floor, ceiling and walls with their
//     reflectances, every luminaire at its height above the floor; Radiosity), or, as the user
//     may choose and where the room has no height or reflectances, one uniform value: max(0, the
//     sum of the rows' lumen-method illuminances - the mean direct illuminance of all luminaires
//     over the floor), each row's E_lumen = N F U M / A by its own factors, so the floor's mean is
//     the lumen method's;
//   - the grid: the work plane less a 0.5 m band along the walls (none when a side is under 2 m),
//     cells of p = 0.2 x 5^log10(d) m, d the longer side of that area, ceil(side / p) cells a side,
//     a point at each cell's centre; the floor's mean is taken on the same rule over the whole floor.
namespace Distribution {

// What a room may ask of the calculation: its sides (the points grow with them) and its luminaires
// (the work at every point). A full sheet of 220 rooms at these bounds takes seconds.
constexpr double kMaxSide = 100;       // m
constexpr int kMaxFittings = 200;      // 台数 of a row
constexpr int kMaxLuminaires = 400;    // the luminaires of a room, laid out (by default or as tried)
constexpr int kMaxPoints = 2500;       // points of a grid (a side of 100 m gives 400)

// Luminaires in rows parallel to 間口, the first row nearest y = 0.
struct Layout {
    QList<int> rows;

    int count() const;
    int longest() const;
    int shortest() const;
    // A full grid of nx along 間口 by ny rows.
    static Layout grid(int nx, int ny);
    bool operator==(const Layout &) const = default;
};
// Exactly `fittings` luminaires as the default layout above; an empty layout for no fittings.
Layout defaultLayout(int fittings, double width, double depth);
// Where the luminaires of a layout stand in a room of these sides.
QList<QPointF> positions(const Layout &layout, double width, double depth);

// One kind of luminaire in the room: a row of the sheet.
struct Source {
    Photometry photometry;
    double fluxPerLuminaire = 0; // lm: 光束 x 1台あたりの灯数
    double utilization = 0;      // 照明率
    double maintenance = 0;      // 保守率
    double height = 0;           // mounting height above the work plane, m
    int fittings = 0;            // 台数 of the design
    Layout layout;
};

enum class InterReflection { Radiosity, Uniform };
// "radiosity", "uniform": as the setting, the command line and the CSV files name them.
QString methodName(InterReflection method);
std::optional<InterReflection> methodOf(const QString &name);

struct Room {
    double width = 0;  // 間口 (x), m
    double depth = 0;  // 奥行 (y), m
    double area = 0;   // 面積, m2 (the sheet's)
    double height = 0;    // floor to ceiling, m (none: the uniform part only)
    double workPlane = 0; // above the floor, m
    std::optional<std::array<double, 3>> reflectances; // ceiling, walls, floor (0 … 1)
    InterReflection method = InterReflection::Radiosity;
    QList<Source> sources;
};

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
    QList<QList<QPointF>> luminaires; // of each source
    // Each source's intensities made ready for many points (shared by the copies of a result).
    QList<std::shared_ptr<const PhotometryMath::IntensityTable>> intensities;
    Grid grid;
    QVector<double> direct;     // at the grid's points, row by row (j, then i)
    QVector<double> reflected;  // the inter-reflected part at them
    QVector<double> total;
    double directFloor = 0;     // mean direct illuminance of all luminaires over the floor
    double indirect = 0;        // uniform: the value everywhere; radiosity: the mean at the points
    InterReflection method = InterReflection::Uniform; // as worked out
    QString uniformWhy;         // why uniform when radiosity was asked for ("" otherwise)
    // Radiosity: the room's surfaces, and the inter-reflected light on a coarse grid of the work
    // plane (corners included) for drawing between the points.
    std::shared_ptr<const Radiosity::Solution> surfaces;
    Radiosity::Box box;
    int fieldX = 0, fieldY = 0;
    QVector<double> field;
    double lumen = 0;           // the sum of the rows' E_lumen
    double average = 0, minimum = 0, maximum = 0;
    double u0 = 0, ud = 0;
};

// The lumen method's illuminance of a source's layout in a room of this area.
double lumenOf(const Source &s, double area);

// The direct illuminance at a point of the work plane from luminaires `height` above it; `scale`
// turns the file's candela into this room's (flux and maintenance).
double directAt(const PhotometryMath::IntensityTable &p, double scale, const QList<QPointF> &luminaires, double height,
                QPointF at);
// That of every source of the room.
double directAt(const Room &room, const Result &r, QPointF at);

// Works the room out; false with the reason for the user when its figures cannot give one.
bool compute(const Room &room, Result *out, QString *error);

// The inter-reflected part anywhere on the work plane (between the field's points for radiosity).
double reflectedAt(const Result &r, QPointF at);
// The illuminance anywhere on the floor (direct and the inter-reflected part), for drawing.
double totalAt(const Room &room, const Result &r, QPointF at);

} // namespace Distribution
