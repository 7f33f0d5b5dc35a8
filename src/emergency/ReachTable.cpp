#include "emergency/ReachTable.h"

#include "text/NumberText.h"

#include "emergency/EmergencyCheck.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

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

constexpr int kFewestRings = 8;       // summed one by one before what lies beyond is taken as a whole

// What the luminaires beyond the rings summed one by one give together: a lattice's far
// luminaires lie where one's light changes little across a cell, so their sum is the light that
// falls beyond, spread over the cells (the midpoint rule). The light a luminaire sends to the
// floor beyond a distance is its flux there: per direction θ on the floor,
// ∫ I(C, γ) sin γ dγ from the γ of that distance to 90°. Worked out once, per C every 5° and γ
// every 0.5°, for every height alike.
class Beyond
{
public:
    explicit Beyond(const PhotometryMath::IntensityTable &table) : m_planes(table.dependsOnC() ? kPlanes : 1)
    {
        m_cumulative.resize(m_planes * (kSteps + 1));
        for (int c = 0; c < m_planes; ++c) {
            double sum = 0, last = 0;
            for (int g = 0; g <= kSteps; ++g) {
                const double gamma = g * kGammaStep;
                const double f = table.at(c * kCStep, gamma) * std::sin(gamma * M_PI / 180);
                if (g > 0)
                    sum += (last + f) / 2 * kGammaStep * M_PI / 180;
                last = f;
                m_cumulative[c * (kSteps + 1) + g] = sum; // from 0 to γ
            }
        }
    }
    // ∫ I sin γ dγ from γ0 to γ1 (degrees, within 0–90) at C (degrees).
    double between(double c, double g0, double g1) const
    {
        if (g1 <= g0)
            return 0;
        if (m_planes == 1)
            return upTo(0, g1) - upTo(0, g0);
        c = std::fmod(std::fmod(c, 360) + 360, 360);
        const int ci = std::min(int(c / kCStep), kPlanes - 1);
        const double t = c / kCStep - ci;
        const int cn = (ci + 1) % kPlanes;
        return (upTo(ci, g1) - upTo(ci, g0)) * (1 - t) + (upTo(cn, g1) - upTo(cn, g0)) * t;
    }

private:
    static constexpr double kCStep = 5, kGammaStep = 0.5;
    static constexpr int kPlanes = 72, kSteps = 180;
    double upTo(int c, double gamma) const
    {
        const double x = std::clamp(gamma, 0.0, 90.0) / kGammaStep;
        const int g = std::min(int(x), kSteps - 1);
        const double t = x - g;
        const double *row = m_cumulative.data() + c * (kSteps + 1);
        return row[g] * (1 - t) + row[g + 1] * t;
    }
    int m_planes;
    std::vector<double> m_cumulative;
};

struct One {
    const PhotometryMath::IntensityTable &table;
    const Beyond *beyond; // for the sums of rows and grids
    double scale, height;
    double at(double dx, double dy) const { return EmergencyCheck::single(table, scale, height, dx, dy); }

    // The light at a point from luminaires spread evenly, one a `cell` of floor, over the floor
    // outside the rectangle [x0, x1] × [y0, y1] around the point (the origin; luminaires' places
    // from it) and, with `bounded`, where (nx, ny)·(x, y) ≥ c (the side of a wall the rows are
    // on): the region the luminaires beyond the rings summed one by one stand in.
    double spread(double cell, double x0, double x1, double y0, double y1, bool bounded = false, double nx = 0,
                  double ny = 0, double c = 0) const
    {
        constexpr int kDirections = 720;
        double sum = 0;
        for (int k = 0; k < kDirections; ++k) {
            const double theta = (k + 0.5) * 2 * M_PI / kDirections;
            const double cx = std::cos(theta), cy = std::sin(theta);
            // Where the ray from the point leaves the rectangle.
            double from = std::numeric_limits<double>::infinity();
            if (cx > 1e-12)
                from = std::min(from, x1 / cx);
            if (cx < -1e-12)
                from = std::min(from, x0 / cx);
            if (cy > 1e-12)
                from = std::min(from, y1 / cy);
            if (cy < -1e-12)
                from = std::min(from, y0 / cy);
            double to = std::numeric_limits<double>::infinity();
            if (bounded) {
                const double along = nx * cx + ny * cy;
                if (c > 0) {
                    if (along <= 1e-12)
                        continue;
                    from = std::max(from, c / along);
                } else if (along < -1e-12) {
                    to = c / along;
                }
            }
            if (to <= from)
                continue;
            const double g0 = std::atan(from / height) * 180 / M_PI;
            const double g1 = std::isinf(to) ? 90.0 : std::atan(to / height) * 180 / M_PI;
            // The light from the luminaires there comes to the point from the opposite direction.
            sum += beyond->between(theta * 180 / M_PI + 180, g0, g1);
        }
        return sum * (2 * M_PI / kDirections) * scale / cell;
    }
};

// A row of luminaires at k × s along the direction (ux, uy), at a point (px, py): summed one by one
// until a further luminaire adds less than 0.001 lx, the rest as a line of light spread along it.
double row(const One &one, double s, double ux, double uy, double px, double py)
{
    double e = one.at(px, py);
    int k = 1;
    for (; k < kMostRings * 50; ++k) {
        const double a = one.at(px - k * s * ux, py - k * s * uy), b = one.at(px + k * s * ux, py + k * s * uy);
        e += a + b;
        if (k >= kFewestRings && std::max(a, b) < kNegligible)
            break;
    }
    // ∫ beyond (k + ½) s on both sides, / s: t = 1/u, Gauss–Legendre on u in (0, 1/L].
    static constexpr double kNodes[] = {0.0950125098376374, 0.2816035507792589, 0.4580167776572274, 0.6178762444026438,
                                        0.7554044083550030, 0.8656312023878318, 0.9445750230732326, 0.9894009349916499};
    static constexpr double kWeights[] = {0.1894506104550685, 0.1826034150449236, 0.1691565193950025, 0.1495959888165767,
                                          0.1246289712555339, 0.0951585116824928, 0.0622535239386479, 0.0271524594117541};
    const double far = 1 / ((k + 0.5) * s);
    double tail = 0;
    for (int n = 0; n < 8; ++n) {
        for (double sign : {-1.0, 1.0}) {
            const double u = far / 2 * (1 + sign * kNodes[n]);
            const double t = 1 / u;
            tail += kWeights[n] * (one.at(px - t * ux, py - t * uy) + one.at(px + t * ux, py + t * uy)) / (u * u);
        }
    }
    return e + tail * far / 2 / s;
}

// Calls f(i, j) for the lattice points of ring k (max(|i|, |j|) == k), only j >= 0 when `half`.
template<typename F>
void forRing(int k, bool half, F f)
{
    if (k == 0) {
        f(0, 0);
        return;
    }
    for (int i = -k; i <= k; ++i) {
        f(i, k);
        if (!half)
            f(i, -k);
    }
    for (int j = half ? 0 : -k + 1; j <= k - 1; ++j) {
        f(-k, j);
        f(k, j);
    }
}

// An unbounded grid of spacing s at a point (px, py) of the cell at the origin: ring by ring until
// a further luminaire adds less than 0.001 lx, the rest as light spread over the floor beyond.
double grid(const One &one, double s, double px, double py)
{
    double e = 0;
    int k = 0;
    for (; k < kMostRings; ++k) {
        double most = 0;
        forRing(k, false, [&](int i, int j) {
            const double add = one.at(px - i * s, py - j * s);
            e += add;
            most = std::max(most, add);
        });
        if (k >= kFewestRings && most < kNegligible)
            break;
    }
    // The luminaires' cells summed: the square of ring k's outer edges, seen from the point.
    const double edge = (k + 0.5) * s;
    return e + one.spread(s * s, -edge - px, edge - px, -edge - py, edge - py);
}

// The point on a wall midway between two luminaires of the row nearest it, a from the wall, the
// grid of spacing s beyond: the wall along x (A0; turned, along y: B0), the luminaires on its
// `side` (+1: towards +y, or +x turned). Ring by ring as the grid, the rest spread beyond.
double atWall(const One &one, double s, double a, double side, bool turned)
{
    // The luminaire (i, j): across the wall i s, away from it a + j s; the point at s/2 across.
    const auto at = [&](int i, int j) {
        const double across = s / 2 - i * s, away = -side * (a + j * s);
        return turned ? one.at(away, across) : one.at(across, away);
    };
    double e = 0;
    int k = 0;
    for (; k < kMostRings; ++k) {
        double most = 0;
        forRing(k, true, [&](int i, int j) {
            const double add = at(i, j);
            e += add;
            most = std::max(most, add);
        });
        if (k >= kFewestRings && most < kNegligible)
            break;
    }
    // The luminaires' places seen from the point: across in [-edge - s/2, edge - s/2], away
    // side × [a - edge, a + edge], on the rows' side of the line a - s/2 from the wall.
    const double edge = (k + 0.5) * s;
    const double c0 = -edge - s / 2, c1 = edge - s / 2;
    const double w0 = side > 0 ? a - edge : -a - edge, w1 = side > 0 ? a + edge : -a + edge;
    return e + (turned ? one.spread(s * s, w0, w1, c0, c1, true, side, 0, a - s / 2)
                       : one.spread(s * s, c0, c1, w0, w1, true, 0, side, a - s / 2));
}

// The end of the stretch from `from` on where the margin (illuminance less the threshold) is not
// negative, to 1 mm: 0 when it is negative at `from`. `scan` walks in fine steps (a shape that is
// not monotone, cheap to work out); otherwise the margin falls with the spacing and the end is
// closed in by false position, halving where that is slow (each margin is a large sum).
double reach(const std::function<double(double)> &margin, double from, bool scan, double surely = 0)
{
    // A spacing known to hold (one luminaire alone lights the worst points) saves the sums of the
    // closest spacings, whose luminaires are many.
    double lo = from, mlo = 0;
    if (surely > from && (mlo = margin(surely)) >= 0)
        lo = surely;
    else if ((mlo = margin(from)) < 0)
        return 0;
    double hi = lo, mhi = 0;
    if (scan) {
        while (hi < kLongest && margin(hi + kStep) >= 0)
            hi += kStep;
        if (hi >= kLongest)
            return kLongest;
        lo = hi;
        hi = lo + kStep;
        while (hi - lo > kExact / 4) {
            const double mid = (lo + hi) / 2;
            (margin(mid) >= 0 ? lo : hi) = mid;
        }
        return lo;
    }
    // Outwards in growing steps until it fails.
    for (double step = std::max(0.25, lo * 0.25);; step *= 2) {
        hi = std::min(kLongest, lo + step);
        mhi = margin(hi);
        if (mhi < 0)
            break;
        if (hi >= kLongest)
            return kLongest;
        lo = hi;
        mlo = mhi;
    }
    int side = 0; // Illinois: the end kept twice running has its margin halved
    while (hi - lo > kExact / 4) {
        const double width = hi - lo;
        double mid = lo + (hi - lo) * mlo / (mlo - mhi);
        if (!(mid > lo && mid < hi))
            mid = (lo + hi) / 2;
        // Never a hair from an end: that end would stay where it is.
        mid = std::clamp(mid, lo + kExact / 16, hi - kExact / 16);
        const double m = margin(mid);
        if (m >= 0) {
            lo = mid;
            mlo = m;
            if (side == 1)
                mhi /= 2;
            side = 1;
        } else {
            hi = mid;
            mhi = m;
            if (side == -1)
                mlo /= 2;
            side = -1;
        }
        // Slow progress: a plain halving next.
        if (hi - lo > width * 0.5) {
            const double half = (lo + hi) / 2;
            const double mh = margin(half);
            (mh >= 0 ? lo : hi) = half;
            (mh >= 0 ? mlo : mhi) = mh;
            side = 0;
        }
    }
    return lo;
}

} // namespace

namespace {

Figures figuresWith(const PhotometryMath::IntensityTable &table, const Beyond &beyond, double scale, double height,
                    double threshold)
{
    const One one{table, &beyond, scale, height};
    // What holds within binary noise of the threshold holds.
    const double least = threshold * (1 - 1e-12);
    Figures f{};
    // A1 / B1: the shorter of the two directions of the plane.
    const auto single = [&](double ux, double uy) {
        const double forward = reach([&](double r) { return one.at(r * ux, r * uy) - least; }, 0, true);
        const double back = reach([&](double r) { return one.at(-r * ux, -r * uy) - least; }, 0, true);
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
                double e = std::numeric_limits<double>::infinity();
                for (double side : {1.0, -1.0})
                    e = std::min({e, row(one, s, ux, uy, side * nx + s / 2 * ux, side * ny + s / 2 * uy),
                                  row(one, s, ux, uy, side * nx, side * ny)});
                return e - least;
            },
            kClosest, false, one1 > 1 ? 2 * std::sqrt(one1 * one1 - 1) * 0.99 : 0);
    };
    f[A2] = corridor(1, 0);
    f[B2] = corridor(0, 1);
    // A4 / B4: the grid's cell centre and the middle of the side along the plane.
    f[A4] = reach([&](double s) { return std::min(grid(one, s, s / 2, s / 2), grid(one, s, s / 2, 0)) - least; },
                  kClosest, false, one1 * std::sqrt(2.0) * 0.99);
    f[B4] = reach([&](double s) { return std::min(grid(one, s, s / 2, s / 2), grid(one, s, 0, s / 2)) - least; },
                  kClosest, false, one1 * std::sqrt(2.0) * 0.99);
    // A0 / B0: the grid at that spacing, its nearest row a from the wall; a wall on either side
    // (the shorter, as for A1).
    for (int figure : {A0, B0}) {
        const double s = f[figure == A0 ? A4 : B4];
        if (s <= 0)
            continue;
        const bool turned = figure == B0;
        f[figure] = reach([&](double a) { return std::min(atWall(one, s, a, 1, turned), atWall(one, s, a, -1, turned)) - least; },
                          0, false);
    }
    return f;
}

} // namespace

Figures figures(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold)
{
    const Beyond beyond(table);
    return figuresWith(table, beyond, scale, height, threshold);
}

std::array<double, 2> single(const PhotometryMath::IntensityTable &table, double scale, double height, double threshold)
{
    const Beyond beyond(PhotometryMath::IntensityTable{Photometry{}});
    const One one{table, &beyond, scale, height};
    const double least = threshold * (1 - 1e-12);
    const auto way = [&](double ux, double uy) {
        return std::min(reach([&](double r) { return one.at(r * ux, r * uy) - least; }, 0, true),
                        reach([&](double r) { return one.at(-r * ux, -r * uy) - least; }, 0, true));
    };
    return {way(1, 0), way(0, 1)};
}

QList<Line> table(const PhotometryMath::IntensityTable &t, double scale)
{
    QList<Line> out;
    const Beyond beyond(t);
    for (int h = 0; h <= 16; ++h)
        for (double threshold : {1.0, 2.0})
            out.append({2.0 + 0.5 * h, threshold, figuresWith(t, beyond, scale, 2.0 + 0.5 * h, threshold)});
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

QString shown(double metres)
{
    if (!std::isfinite(metres) || metres <= 0)
        return QStringLiteral("—");
    return NumberText::format(printed(metres), QStringLiteral("0.0"));
}

bool makerDiffers(double maker, double metres)
{
    return std::fabs(maker - printed(metres)) > 0.1 + 1e-9;
}

const char *name(int figure)
{
    static const char *const names[] = {"A1", "B1", "A2", "B2", "A4", "B4", "A0", "B0"};
    return figure >= 0 && figure < 8 ? names[figure] : "";
}

} // namespace ReachTable
