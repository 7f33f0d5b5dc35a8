#include "emergency/ReachTable.h"

#include "emergency/EmergencyCheck.h"

#include <cmath>
#include <functional>

namespace ReachTable {

namespace {

constexpr double kNegligible = 0.001; // lx: what a further ring may add before the sum stops
constexpr double kLongest = 60;       // m: no reach of an emergency luminaire goes beyond
constexpr double kStep = 0.005;       // m: the scan for the first point that falls short
constexpr double kExact = 0.001;      // m: the reach's precision
// m: the closest spacing of a row or grid looked at: closer, the sums grow without bound in work
// (and no table lists such a spacing); a luminaire that needs it is given 0 there.
constexpr double kClosest = 0.5;
constexpr int kMostRings = 2000;

struct One {
    const PhotometryMath::IntensityTable &table;
    double scale, height;
    double at(double dx, double dy) const { return EmergencyCheck::single(table, scale, height, dx, dy); }
};

// A row of luminaires at k × s along the direction (ux, uy), at a point (px, py).
double row(const One &one, double s, double ux, double uy, double px, double py)
{
    double e = one.at(px, py);
    for (int k = 1; k < kMostRings * 50; ++k) {
        const double a = one.at(px - k * s * ux, py - k * s * uy), b = one.at(px + k * s * ux, py + k * s * uy);
        e += a + b;
        if (std::max(a, b) < kNegligible)
            break;
    }
    return e;
}

// A grid of spacing s (rows from `firstRow` on, all rows when it is negative infinity) at a point.
double grid(const One &one, double s, double px, double py, bool half, double offset)
{
    double e = 0;
    for (int k = 0; k < kMostRings; ++k) {
        double ring = 0, most = 0;
        for (int i = -k; i <= k; ++i) {
            for (int j = -k; j <= k; ++j) {
                if (std::max(std::abs(i), std::abs(j)) != k)
                    continue;
                if (half && j < 0)
                    continue;
                const double add = one.at(px - i * s, py - (offset + j * s));
                ring += add;
                most = std::max(most, add);
            }
        }
        e += ring;
        // The whole ring, not its largest: a grid's many small lights add up.
        if (k > 0 && ring < kNegligible)
            break;
    }
    return e;
}

// The end of the stretch from `from` on where `holds` is true, to 1 mm: 0 when it does not hold at
// `from`. `scan` walks in fine steps (a shape that is not monotone); otherwise halving alone.
double reach(const std::function<bool(double)> &holds, double from, bool scan, double surely = 0)
{
    // A spacing known to hold (one luminaire alone lights the worst points) saves the sums of the
    // closest spacings, whose luminaires are many.
    if (surely > from && holds(surely))
        from = surely;
    else if (!holds(from))
        return 0;
    double lo = from, hi = kLongest;
    if (scan) {
        hi = lo;
        while (hi < kLongest && holds(hi + kStep))
            hi += kStep;
        if (hi >= kLongest)
            return kLongest;
        lo = hi;
        hi = lo + kStep;
    } else if (holds(hi)) {
        return kLongest;
    }
    while (hi - lo > kExact / 4) {
        const double mid = (lo + hi) / 2;
        (holds(mid) ? lo : hi) = mid;
    }
    return lo;
}

} // namespace

Figures figures(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold)
{
    const One one{table, scale, height};
    const auto at = [&](double e) { return e >= threshold * (1 - 1e-12); };
    Figures f{};
    // A1 / B1: the shorter of the two directions of the plane.
    const auto single = [&](double ux, double uy) {
        const double forward = reach([&](double r) { return at(one.at(r * ux, r * uy)); }, 0, true);
        const double back = reach([&](double r) { return at(one.at(-r * ux, -r * uy)); }, 0, true);
        return std::min(forward, back);
    };
    f[A1] = single(1, 0);
    f[B1] = single(0, 1);
    const double one1 = std::min(f[A1], f[B1]);
    // A2 / B2: the row on the corridor's centre line, both wall lines.
    const auto corridor = [&](double ux, double uy) {
        return reach(
            [&](double s) {
                const double nx = -uy, ny = ux; // across the corridor
                for (double side : {1.0, -1.0}) {
                    if (!at(row(one, s, ux, uy, side * nx + s / 2 * ux, side * ny + s / 2 * uy))
                        || !at(row(one, s, ux, uy, side * nx, side * ny)))
                        return false;
                }
                return true;
            },
            kClosest, false, one1 > 1 ? 2 * std::sqrt(one1 * one1 - 1) * 0.99 : 0);
    };
    f[A2] = corridor(1, 0);
    f[B2] = corridor(0, 1);
    // A4 / B4: the grid's cell centre and the middle of the side along the plane.
    f[A4] = reach([&](double s) { return at(grid(one, s, s / 2, s / 2, false, 0)) && at(grid(one, s, s / 2, 0, false, 0)); },
                  kClosest, false, one1 * std::sqrt(2.0) * 0.99);
    f[B4] = reach([&](double s) { return at(grid(one, s, s / 2, s / 2, false, 0)) && at(grid(one, s, 0, s / 2, false, 0)); },
                  kClosest, false, one1 * std::sqrt(2.0) * 0.99);
    // A0 / B0: the grid at that spacing, its nearest row a from the wall.
    if (f[A4] > 0)
        f[A0] = reach([&](double a) { return at(grid(one, f[A4], f[A4] / 2, 0, true, a)); }, 0, false);
    if (f[B4] > 0) {
        // The wall along y: the grid turned, its rows along y a from the wall x = 0.
        const One turned{table, scale, height};
        f[B0] = reach(
            [&](double a) {
                double e = 0;
                const double s = f[B4];
                for (int k = 0; k < kMostRings; ++k) {
                    double ring = 0;
                    for (int i = 0; i <= k; ++i)
                        for (int j = -k; j <= k; ++j)
                            if (std::max(i, std::abs(j)) == k)
                                ring += turned.at(0 - (a + i * s), s / 2 - j * s);
                    e += ring;
                    if (k > 0 && ring < kNegligible)
                        break;
                }
                return at(e);
            },
            0, false);
    }
    return f;
}

std::array<double, 2> single(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold)
{
    const One one{table, scale, height};
    const auto at = [&](double e) { return e >= threshold * (1 - 1e-12); };
    const auto way = [&](double ux, double uy) {
        return std::min(reach([&](double r) { return at(one.at(r * ux, r * uy)); }, 0, true),
                        reach([&](double r) { return at(one.at(-r * ux, -r * uy)); }, 0, true));
    };
    return {way(1, 0), way(0, 1)};
}

QList<Line> table(const PhotometryMath::IntensityTable &t, double scale)
{
    QList<Line> out;
    for (int h = 0; h <= 16; ++h)
        for (double threshold : {1.0, 2.0})
            out.append({2.0 + 0.5 * h, threshold, figures(t, scale, 2.0 + 0.5 * h, threshold)});
    return out;
}

double printed(double metres)
{
    if (!std::isfinite(metres) || metres <= 0)
        return 0;
    const double tenths = metres * 10;
    const double near = std::round(tenths);
    return (std::fabs(tenths - near) < 1e-9 * std::max(1.0, near) ? near : std::floor(tenths)) / 10;
}

const char *name(int figure)
{
    static const char *const names[] = {"A1", "B1", "A2", "B2", "A4", "B4", "A0", "B0"};
    return figure >= 0 && figure < 8 ? names[figure] : "";
}

} // namespace ReachTable
