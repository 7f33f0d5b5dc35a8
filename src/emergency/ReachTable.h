#pragma once

#include "photometry/PhotometryMath.h"

#include <QList>
#include <QString>

#include <array>

// The reach tables (配置表) makers print, worked out from a luminaire's photometry in emergency mode
// for a mounting height and a threshold (1 or 2 lx), floor illuminance, direct light:
//   A1 (B1): one luminaire, the reach in the C0–C180 plane (B: C90–C270), the shorter side;
//   A2 (B2): a row along the plane's direction on the centre line of a 2 m corridor, the largest
//            spacing that keeps both wall lines (1 m off) at the threshold, midway between two
//            luminaires and opposite one;
//   A4 (B4): an unbounded square grid, the largest spacing that keeps a cell's centre and the
//            middle of its side along the plane at the threshold;
//   A0 (B0): with the grid at spacing A4 (B4), the largest distance of the row nearest a wall from
//            the wall that keeps the wall point midway between two of that row's luminaires there
//            (the wall along the plane; on whichever side gives the shorter).
// Rows and grids are unbounded: summed luminaire by luminaire until a further one adds under
// 0.001 lx, and what lies beyond added as the light those luminaires spread over the floor there;
// each reach is found to 1 mm as the end of the stretch from nothing on where the threshold holds.
namespace ReachTable {

enum Figure { A1, B1, A2, B2, A4, B4, A0, B0 };
using Figures = std::array<double, 8>;

Figures figures(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold);
// A1 and B1 alone (one luminaire's reach ellipse), without the sums of rows and grids.
std::array<double, 2> single(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold);

struct Line {
    double height = 0;
    double threshold = 0;
    Figures figures{};
};
// Heights 2.0 to 10.0 m in steps of 0.5 m, each for 1 and 2 lx.
QList<Line> table(const PhotometryMath::IntensityTable &table, double scale);

// A reach as printed: 0.1 m cut down, never rounded up.
double printed(double metres);
// A reach as the 配置表 shows it: "—" where the threshold is never reached (no distance at all),
// else the printed figure to 0.1 m.
QString shown(double metres);
// Whether a maker's figure and the one worked out (as printed) differ by more than 0.1 m: the
// luminaire in the master may not be the one in the catalogue.
bool makerDiffers(double maker, double metres);
// The figures' names ("A1", …).
const char *name(int figure);

} // namespace ReachTable
