#include "beil/BeilCalculation.h"

#include "text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace BeilCalculation {

namespace {

// Binary noise of a few operations on decimal inputs stays far below this share of a value; a
// true difference from a decimal bound of even a millionth of a percent stays above it.
constexpr double kNoise = 1e-12;

// `v` when it is not within the noise of `bound`, else the bound itself.
double snapped(double v, double bound)
{
    return std::fabs(v - bound) <= kNoise * std::fabs(bound) ? bound : v;
}

} // namespace

double shapeFactor(double k)
{
    // The quotient of three lengths carries binary noise: 3 × 3 / (2 × 6) is 0.75, not just below.
    double key = k;
    for (double bound : {0.75, 0.95, 1.25, 1.75, 2.50})
        key = snapped(key, bound);
    if (key < 0.75)
        return 0.50;
    if (key < 0.95)
        return 0.60;
    if (key < 1.25)
        return 0.70;
    if (key < 1.75)
        return 0.80;
    if (key < 2.50)
        return 0.90;
    return 1.00;
}

std::optional<double> roomIndex(double width, double depth, double height)
{
    if (height == 0)
        return 2.5;
    if (width + depth == 0)
        return std::nullopt;
    // L × D / (H (L + D)), correctly rounded, where both products are ordinary doubles; else as
    // 1 / (H (1/L + 1/D)), which does not overflow where K is finite (1e200 m rooms give 0.5,
    // not NaN). Whatever is still not finite (a height too small for a double) is the caller's.
    const double area = width * depth, perimeter = height * (width + depth);
    if (std::isnormal(area) && std::isnormal(perimeter))
        return area / perimeter;
    return 1 / (height * (1 / width + 1 / depth));
}

double megajoules(double wattHours)
{
    // Whole watt-hours times 9760 are exact in a double: one rounding, in the division.
    return wattHours * kPrimaryEnergyFactor / 1e6;
}

double ceilHundredths(double x)
{
    const double scaled = x * 100;
    const double nearest = std::nearbyint(scaled);
    if (snapped(scaled, nearest) == nearest)
        return nearest / 100;
    return std::ceil(scaled) / 100;
}

QString factorText(double f)
{
    return NumberText::format(f, QString::fromLatin1(kFactorPattern));
}

QString mjText(double mj)
{
    return NumberText::format(mj, QStringLiteral("#,##0.0"));
}

QString gjText(double mj)
{
    // From the MJ as printed, halves up in whole tenths of MJ, so the two never disagree
    // (12,345.0 MJ is 12.35 GJ, though 12,344.96 MJ alone would give 12.34).
    const double tenths = std::round(QString(mjText(mj)).remove(u',').toDouble() * 10);
    if (!std::isfinite(tenths) || tenths < 0 || tenths > 9e15)
        return NumberText::format(mj / 1000, QStringLiteral("#,##0.00"));
    const double hundredths = std::floor((tenths + 50) / 100);
    return NumberText::format(hundredths / 100, QStringLiteral("#,##0.00"));
}

QString beiText(double bei)
{
    return NumberText::format(ceilHundredths(bei), QStringLiteral("0.00"));
}

QString roomIndexText(double k)
{
    // Cut, but 1.15 read as 1.1499999999999999 is still 1.15 (the same noise as the classes
    // allow, so the K shown is never in a class above the one used).
    const double scaled = k * 100;
    const double nearest = std::nearbyint(scaled);
    const double cut = snapped(scaled, nearest) == nearest ? nearest : std::floor(scaled);
    return NumberText::format(cut / 100, QStringLiteral("0.00"));
}

QString shapeFactorText(double cl)
{
    return NumberText::format(cl, QStringLiteral("0.00"));
}

QString shortest(double value)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString();
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

} // namespace BeilCalculation
