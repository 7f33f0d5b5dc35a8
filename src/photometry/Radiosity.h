#pragma once

#include "photometry/PhotometryMath.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>

#include <array>
#include <vector>

// The inter-reflected light of a rectangular room by radiosity: the floor, the ceiling and the four
// walls (x along 間口, y along 奥行, z up from the floor) as Lambertian surfaces, each divided into
// rectangles (patches) of at most 0.5 m and at most 24 a side, the walls split at the work plane;
// the first light on each patch from the luminaires by quadrature; the exact form factors between
// axis-aligned rectangles; the system
//
//     E_i = E0_i + Σ_j F_ij M_j,   M_i = ρ_i E_i
//
// solved (conjugate gradients on its symmetric form A_i/ρ_i M_i − Σ_j A_i F_ij M_j = A_i E0_i) to a
// change below 1e-9 of the largest exitance. A point of the work plane, facing up, then receives
// Σ_j M_j F(dA → patch j) from the patches above the work plane. The luminaires are points: their
// bodies neither block nor reflect.
namespace Radiosity {

enum Surface { Floor, Ceiling, WallX0, WallX1, WallY0, WallY1 };
// "floor", "ceiling", "wall_x0", …: as the CSV files name them.
const char *surfaceName(int surface);

struct Box {
    double width = 0, depth = 0, height = 0; // 間口 (x), 奥行 (y), floor to ceiling (z), m
    double workPlane = 0;                    // above the floor, m
    double ceiling = 0, wall = 0, floor = 0; // reflectances 0 … 1
};

struct Luminaire {
    const PhotometryMath::IntensityTable *table = nullptr;
    double scale = 0;   // the file's candela × scale = the room's (flux and maintenance)
    double flux = 0;    // the luminaire's whole flux in the room, lm (its candela × scale over the sphere)
    double x = 0, y = 0, z = 0; // its light centre, z above the floor
};

// An axis-aligned rectangle: `axis` (0 x, 1 y, 2 z) is the one it is flat across, at lo[axis] =
// hi[axis]; `inward` the sign of its normal along that axis (into the room).
struct Patch {
    int surface = Floor;
    int axis = 2;
    int inward = 1;
    std::array<double, 3> lo{}, hi{};
    double area = 0;
    double rho = 0;
    double e0 = 0;  // first light, lx
    double e = 0;   // all the light it receives, lx
    double m = 0;   // exitance, lm/m²
};

// The exact form factor from patch a to patch b (0 for coplanar ones).
double formFactor(const Patch &a, const Patch &b);
// Times a's area: A_a F_ab = A_b F_ba.
double exchange(const Patch &a, const Patch &b);
// From a point with unit normal n to a convex polygon (Lambert's contour formula).
double pointFactor(const std::array<double, 3> &p, const std::array<double, 3> &n, const std::vector<std::array<double, 3>> &polygon);
// From a point to a patch: the patch's part on the side of the point's plane its normal faces
// (the part of a wall above a work plane), or 0.
double pointToPatch(const std::array<double, 3> &p, const std::array<double, 3> &n, const Patch &patch);

// The direct illuminance at a point with unit normal n from one luminaire.
double directAt(const Luminaire &l, const std::array<double, 3> &p, const std::array<double, 3> &n);

// The room's patches as the rule above divides it.
QList<Patch> mesh(const Box &box);

struct Solution {
    QList<Patch> patches;
    double flux = 0;         // of the luminaires, lm
    double firstLight = 0;   // Σ A_i E0_i
    double absorbed = 0;     // Σ A_i (1 − ρ_i) E_i
    int iterations = 0;
    // The worse of the two balances against the luminaires' flux, as a share (0.005 = 0.5 %).
    double imbalance() const;
    // The area means of the walls and of the ceiling: illuminance and luminance ρE/π.
    double wallIlluminance() const;
    double ceilingIlluminance() const;
    double wallLuminance() const;
    double ceilingLuminance() const;
};

// Works the room out; false with the reason for the user.
bool solve(const Box &box, const QList<Luminaire> &luminaires, Solution *out, QString *error);
// As solve(), with the patches given (their e0 worked out here; a test's own division).
bool solvePatches(QList<Patch> patches, const QList<Luminaire> &luminaires, Solution *out, QString *error);

// The inter-reflected illuminance at a point of the work plane (facing up) from every patch above it.
double indirectAt(const Solution &s, const Box &box, QPointF at);

} // namespace Radiosity
