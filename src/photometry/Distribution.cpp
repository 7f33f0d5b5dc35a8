#include "photometry/Distribution.h"

#include "photometry/PhotometryMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Distribution {

namespace {

constexpr double kBand = 0.5;

Grid gridOver(double x0, double y0, double width, double depth)
{
    Grid g;
    g.x0 = x0;
    g.y0 = y0;
    g.width = width;
    g.depth = depth;
    const double d = std::max(width, depth);
    g.cell = 0.2 * std::pow(5.0, std::log10(d));
    g.cellsX = std::max(1, int(std::ceil(width / g.cell - 1e-9)));
    g.cellsY = std::max(1, int(std::ceil(depth / g.cell - 1e-9)));
    return g;
}

// The candela of the file times this for the room's.
double scaleOf(const Room &room, const Photometry &p)
{
    const double flux = p.absolute ? 1.0 : room.fluxPerLuminaire / p.lampFlux;
    return flux * room.maintenance;
}

} // namespace

Layout defaultLayout(int fittings, double width, double depth)
{
    // Among the layouts whose spacings along x and y are within 1.5 of each other, the one with the
    // fewest luminaires beyond the fittings, then the most even; a room that has none (a corridor)
    // takes the most even of all.
    Layout best;
    if (fittings <= 0 || fittings > kMaxLuminaires || !(width > 0) || !(depth > 0) || !std::isfinite(width)
        || !std::isfinite(depth))
        return best;
    const double even = std::log(1.5) + 1e-9;
    bool bestEven = false;
    int bestExtra = std::numeric_limits<int>::max();
    double bestSkew = std::numeric_limits<double>::max();
    for (int nx = 1; nx <= fittings; ++nx) {
        const int ny = (fittings + nx - 1) / nx;
        const int extra = nx * ny - fittings;
        const double skew = std::fabs(std::log((width / nx) / (depth / ny)));
        const bool isEven = skew <= even;
        const bool better = isEven != bestEven ? isEven
                            : isEven            ? (extra < bestExtra || (extra == bestExtra && skew < bestSkew - 1e-12))
                                                : (skew < bestSkew - 1e-12 || (std::fabs(skew - bestSkew) <= 1e-12 && extra < bestExtra));
        if (better) {
            best = {nx, ny};
            bestEven = isEven;
            bestExtra = extra;
            bestSkew = skew;
        }
    }
    return best;
}

Grid calculationGrid(double width, double depth)
{
    // No band in a room with a side under 2 m.
    const double band = std::min(width, depth) < 2 ? 0 : kBand;
    return gridOver(band, band, width - 2 * band, depth - 2 * band);
}

Grid floorGrid(double width, double depth)
{
    return gridOver(0, 0, width, depth);
}

double directAt(const Photometry &p, double scale, const QList<QPointF> &luminaires, double height, QPointF at)
{
    double e = 0;
    const double h2 = height * height;
    for (const QPointF &l : luminaires) {
        const double dx = at.x() - l.x();
        const double dy = at.y() - l.y();
        const double r2 = dx * dx + dy * dy;
        const double cosG = height / std::sqrt(h2 + r2);
        const double gamma = std::acos(cosG) * 180 / M_PI;
        const double c = r2 > 0 ? std::atan2(dy, dx) * 180 / M_PI : 0;
        e += PhotometryMath::intensity(p, c, gamma) * cosG * cosG * cosG / h2;
    }
    return e * scale;
}

bool compute(const Room &room, const Photometry &p, Layout layout, Result *out, QString *error)
{
    *out = Result();
    if (!(room.width > 0) || !(room.depth > 0)) {
        *error = QStringLiteral("間口と奥行が必要です。");
        return false;
    }
    if (!(room.height > 0)) {
        *error = QStringLiteral("器具が作業面より高くありません（高さ − 器具下り − 作業面の高さ が 0 以下です）。");
        return false;
    }
    if (!std::isfinite(room.width) || !std::isfinite(room.depth) || room.width > kMaxSide || room.depth > kMaxSide) {
        *error = QStringLiteral("間口と奥行は %1 m までです。").arg(kMaxSide);
        return false;
    }
    if (!std::isfinite(room.height) || !std::isfinite(room.fluxPerLuminaire) || !std::isfinite(room.maintenance)
        || room.maintenance < 0 || room.fluxPerLuminaire < 0) {
        *error = QStringLiteral("高さ、光束または保守率が計算できる値ではありません。");
        return false;
    }
    if (layout.nx < 1 || layout.ny < 1) {
        *error = QStringLiteral("台数が 0 です。");
        return false;
    }
    if (layout.nx > kMaxLuminaires || layout.ny > kMaxLuminaires || layout.count() > kMaxLuminaires) {
        *error = QStringLiteral("配置 %1 × %2 は %3 台までです。").arg(layout.nx).arg(layout.ny).arg(kMaxLuminaires);
        return false;
    }
    if (!p.absolute && !(p.lampFlux > 0)) {
        *error = QStringLiteral("配光データのランプ光束が 0 です。");
        return false;
    }
    if (floorGrid(room.width, room.depth).count() > kMaxPoints || calculationGrid(room.width, room.depth).count() > kMaxPoints) {
        *error = QStringLiteral("計算点が %1 を超えます。").arg(kMaxPoints);
        return false;
    }
    Result &r = *out;
    r.layout = layout;
    r.height = room.height;
    for (int j = 0; j < layout.ny; ++j)
        for (int i = 0; i < layout.nx; ++i)
            r.luminaires.append({(i + 0.5) * room.width / layout.nx, (j + 0.5) * room.depth / layout.ny});
    const double scale = scaleOf(room, p);
    // The uniform part: what the lumen method gives beyond the direct light on the floor.
    const Grid floor = floorGrid(room.width, room.depth);
    double sum = 0;
    for (int j = 0; j < floor.cellsY; ++j)
        for (int i = 0; i < floor.cellsX; ++i)
            sum += directAt(p, scale, r.luminaires, room.height, floor.point(i, j));
    r.directFloor = sum / floor.count();
    r.lumen = room.area > 0 ? layout.count() * room.fluxPerLuminaire * room.utilization * room.maintenance / room.area : 0;
    r.indirect = std::max(0.0, r.lumen - r.directFloor);
    r.grid = calculationGrid(room.width, room.depth);
    r.direct.reserve(r.grid.count());
    r.total.reserve(r.grid.count());
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i) {
            const double d = directAt(p, scale, r.luminaires, room.height, r.grid.point(i, j));
            r.direct.append(d);
            r.total.append(d + r.indirect);
        }
    const auto [lo, hi] = std::minmax_element(r.total.cbegin(), r.total.cend());
    r.minimum = *lo;
    r.maximum = *hi;
    double all = 0;
    for (double e : std::as_const(r.total))
        all += e;
    r.average = all / r.total.size();
    r.u0 = r.average > 0 ? r.minimum / r.average : 0;
    r.ud = r.maximum > 0 ? r.minimum / r.maximum : 0;
    if (!std::isfinite(r.average) || !std::isfinite(r.maximum)) {
        *error = QStringLiteral("照度を計算できません（値が大きすぎます）。");
        return false;
    }
    return true;
}

double totalAt(const Room &room, const Photometry &p, const Result &r, QPointF at)
{
    return directAt(p, scaleOf(room, p), r.luminaires, r.height, at) + r.indirect;
}

} // namespace Distribution
