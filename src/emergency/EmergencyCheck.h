#pragma once

#include "photometry/PhotometryMath.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QVector>

// The check of the rule (建築基準法施行令第126条の5): direct light only, horizontal illuminance at
// the floor, from the room's own emergency luminaires in emergency mode, no maintenance factor, no
// inter-reflection; the minimum over the room's floor against 1 or 2 lx.
//
//   E(P) = Σ_k I_k(C_k, γ_k) cos³ γ_k / H_k²,  H_k the luminaire's height above the floor, C and γ as
//   the distribution has them (C0 along +x = 間口, C90 along +y = 奥行, γ from the nadir);
//   the floor's points on a grid of at most 0.25 m a step that holds the room's boundary and
//   corners (where the worst points lie).
namespace EmergencyCheck {

constexpr double kMaxSide = 100;    // m
constexpr int kMaxLuminaires = 200; // a room
constexpr double kMaxStep = 0.25;   // m
constexpr double kMinHeight = 0.5;  // m above the floor
constexpr double kMaxHeight = 30;

struct Luminaire {
    QPointF at;                               // m from the room's corner
    double height = 0;                        // above the floor, m
    const PhotometryMath::IntensityTable *table = nullptr;
    double scale = 0;                         // the file's candela × scale = emergency candela
};

// One luminaire's horizontal illuminance at a floor point (dx, dy) from below it.
double single(const PhotometryMath::IntensityTable &table, double scale, double height, double dx, double dy);
double illuminance(const QList<Luminaire> &luminaires, QPointF at);

struct Grid {
    double width = 0, depth = 0;
    int nx = 0, ny = 0; // steps: (nx + 1) × (ny + 1) points, the boundary included
    double stepX() const { return width / nx; }
    double stepY() const { return depth / ny; }
    QPointF point(int i, int j) const { return {i * width / nx, j * depth / ny}; }
    int count() const { return (nx + 1) * (ny + 1); }
};
Grid gridOf(double width, double depth);

struct Result {
    Grid grid;
    QVector<double> e;  // at the grid's points, row by row (j, then i)
    double threshold = 0;
    double minimum = 0;
    QPointF at;         // where the minimum is (the first such point)
    int below = 0;      // points under the threshold
    bool ok() const { return below == 0; }
};

// Works the room out; false with the reason when its sides or luminaires are beyond the bounds.
bool check(double width, double depth, const QList<Luminaire> &luminaires, double threshold, Result *out, QString *error);

// The minimum as printed: 0.01 lx cut down, never rounded up (a value within binary noise of a
// hundredth is that hundredth).
double printedMinimum(double lux);

} // namespace EmergencyCheck
