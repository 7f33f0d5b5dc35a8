#include "emergency/EmergencyCheck.h"

#include <cmath>

namespace EmergencyCheck {

double single(const PhotometryMath::IntensityTable &table, double scale, double height, double dx, double dy)
{
    const double r2 = dx * dx + dy * dy;
    const double h2 = height * height;
    const double cosG = height / std::sqrt(h2 + r2);
    const double gamma = std::acos(std::min(1.0, cosG)) * 180 / M_PI;
    const double c = table.dependsOnC() && r2 > 0 ? std::atan2(dy, dx) * 180 / M_PI : 0;
    return table.at(c, gamma) * scale * cosG * cosG * cosG / h2;
}

double illuminance(const QList<Luminaire> &luminaires, QPointF at)
{
    double e = 0;
    for (const Luminaire &l : luminaires)
        if (l.table)
            e += single(*l.table, l.scale, l.height, at.x() - l.at.x(), at.y() - l.at.y());
    return e;
}

Grid gridOf(double width, double depth)
{
    Grid g;
    g.width = width;
    g.depth = depth;
    g.nx = std::max(1, int(std::ceil(width / kMaxStep - 1e-9)));
    g.ny = std::max(1, int(std::ceil(depth / kMaxStep - 1e-9)));
    return g;
}

bool check(double width, double depth, const QList<Luminaire> &luminaires, double threshold, Result *out, QString *error)
{
    *out = Result();
    if (!(width > 0) || !(depth > 0) || !std::isfinite(width) || !std::isfinite(depth)) {
        *error = QStringLiteral("間口と奥行が必要です。");
        return false;
    }
    if (width > kMaxSide || depth > kMaxSide) {
        *error = QStringLiteral("間口と奥行は %1 m までです。").arg(kMaxSide);
        return false;
    }
    if (luminaires.size() > kMaxLuminaires) {
        *error = QStringLiteral("非常用照明器具は 1 室 %1 台までです（%2 台）。").arg(kMaxLuminaires).arg(luminaires.size());
        return false;
    }
    for (const Luminaire &l : luminaires) {
        if (!(l.height >= kMinHeight) || !(l.height <= kMaxHeight)) {
            *error = QStringLiteral("取付高さ %1 m は %2～%3 m の範囲にありません。").arg(l.height).arg(kMinHeight).arg(kMaxHeight);
            return false;
        }
    }
    Result r;
    r.grid = gridOf(width, depth);
    r.threshold = threshold;
    r.e.resize(r.grid.count());
    r.minimum = std::numeric_limits<double>::infinity();
    for (int j = 0; j <= r.grid.ny; ++j) {
        for (int i = 0; i <= r.grid.nx; ++i) {
            const QPointF p = r.grid.point(i, j);
            const double e = illuminance(luminaires, p);
            r.e[j * (r.grid.nx + 1) + i] = e;
            if (e < r.minimum) {
                r.minimum = e;
                r.at = p;
            }
            // Within binary noise of the threshold is the threshold reached.
            if (e < threshold * (1 - 1e-12))
                ++r.below;
        }
    }
    *out = r;
    return true;
}

double printedMinimum(double lux)
{
    if (!std::isfinite(lux) || lux <= 0)
        return 0;
    const double hundredths = lux * 100;
    const double near = std::round(hundredths);
    return (std::fabs(hundredths - near) < 1e-9 * std::max(1.0, near) ? near : std::floor(hundredths)) / 100;
}

} // namespace EmergencyCheck
