#include "photometry/PhotometryMath.h"

#include <algorithm>
#include <cmath>

namespace PhotometryMath {

namespace {

constexpr double kRad = M_PI / 180;

// Position of x among ascending samples: index i and weight t with x = s[i] + t (s[i+1] - s[i]).
bool locate(const QList<double> &s, double x, int *i, double *t)
{
    if (s.isEmpty() || x < s.first() - 1e-9 || x > s.last() + 1e-9)
        return false;
    if (s.size() == 1) {
        *i = 0;
        *t = 0;
        return true;
    }
    const auto it = std::upper_bound(s.begin(), s.end(), x);
    int k = int(it - s.begin()) - 1;
    k = std::clamp(k, 0, int(s.size()) - 2);
    *i = k;
    *t = std::clamp((x - s[k]) / (s[k + 1] - s[k]), 0.0, 1.0);
    return true;
}

// The integral of I(gamma) sin(gamma) over [from, to] (degrees) for one plane, I linear between
// the samples.
double planeIntegral(const QList<double> &g, const QList<double> &values, double from, double to)
{
    double sum = 0;
    for (int k = 0; k + 1 < g.size(); ++k) {
        const double a = std::max(g[k], from);
        const double b = std::min(g[k + 1], to);
        if (b <= a)
            continue;
        const double span = g[k + 1] - g[k];
        const double slope = (values[k + 1] - values[k]) / (span * kRad);
        const double ia = values[k] + slope * (a - g[k]) * kRad; // I at a
        const double ar = a * kRad, br = b * kRad;
        // Integral of (ia + slope (x - a)) sin x dx from a to b.
        sum += ia * (std::cos(ar) - std::cos(br)) + slope * (-(br - ar) * std::cos(br) + std::sin(br) - std::sin(ar));
    }
    return sum;
}

// Zonal multipliers Kz = exp(-A RCR^B) of the nine downward zones.
constexpr double kA[9] = {0.000, 0.041, 0.070, 0.100, 0.136, 0.190, 0.315, 0.640, 2.100};
constexpr double kB[9] = {0.00, 0.98, 1.05, 1.12, 1.16, 1.25, 1.25, 1.25, 0.80};

} // namespace

double intensity(const Photometry &p, double c, double gamma)
{
    c = std::fmod(std::fmod(c, 360) + 360, 360);
    int ci = 0, gi = 0;
    double ct = 0, gt = 0;
    if (!locate(p.cAngles, c, &ci, &ct) || !locate(p.gAngles, gamma, &gi, &gt))
        return 0;
    const auto at = [&](int cc, int gg) {
        return p.candela[std::min(cc, int(p.candela.size()) - 1)][std::min(gg, int(p.gAngles.size()) - 1)];
    };
    const double low = at(ci, gi) * (1 - gt) + at(ci, gi + 1) * gt;
    const double high = at(ci + 1, gi) * (1 - gt) + at(ci + 1, gi + 1) * gt;
    return low * (1 - ct) + high * ct;
}

IntensityTable::IntensityTable(const Photometry &p) : m_candela(p.candela)
{
    m_c.samples = p.cAngles;
    m_g.samples = p.gAngles;
    for (Axis *axis : {&m_c, &m_g}) {
        const QList<double> &s = axis->samples;
        if (s.size() < 2)
            continue;
        const double step = (s.last() - s.first()) / (s.size() - 1);
        bool even = step > 0;
        for (qsizetype k = 1; even && k < s.size(); ++k)
            even = std::fabs(s[k] - s[k - 1] - step) <= 1e-9 * step;
        axis->step = even ? step : 0;
    }
    m_dependsOnC = false;
    for (qsizetype c = 1; !m_dependsOnC && c < m_candela.size(); ++c)
        m_dependsOnC = m_candela[c] != m_candela.first();
}

bool IntensityTable::Axis::locate(double x, int *i, double *t) const
{
    if (step <= 0)
        return PhotometryMath::locate(samples, x, i, t);
    if (x < samples.first() - 1e-9 || x > samples.last() + 1e-9)
        return false;
    int k = int((x - samples.first()) / step);
    k = std::clamp(k, 0, int(samples.size()) - 2);
    *i = k;
    *t = std::clamp((x - samples[k]) / (samples[k + 1] - samples[k]), 0.0, 1.0);
    return true;
}

double IntensityTable::at(double c, double gamma) const
{
    int gi = 0;
    double gt = 0;
    if (m_candela.isEmpty() || !m_g.locate(gamma, &gi, &gt))
        return 0;
    const int lastG = int(m_g.samples.size()) - 1;
    const auto along = [&](const QList<double> &plane) {
        return plane[std::min(gi, lastG)] * (1 - gt) + plane[std::min(gi + 1, lastG)] * gt;
    };
    if (!m_dependsOnC)
        return along(m_candela.first());
    if (c < 0)
        c += 360;
    int ci = 0;
    double ct = 0;
    if (!m_c.locate(c, &ci, &ct))
        return 0;
    const int lastC = int(m_candela.size()) - 1;
    return along(m_candela[std::min(ci, lastC)]) * (1 - ct) + along(m_candela[std::min(ci + 1, lastC)]) * ct;
}

double flux(const Photometry &p, double gammaFrom, double gammaTo)
{
    if (p.cAngles.size() < 2 || p.gAngles.size() < 2)
        return 0;
    // Linear in C as well: the trapezoid over the planes is exact for it.
    double sum = 0;
    for (int c = 0; c + 1 < p.cAngles.size(); ++c) {
        const double w = (p.cAngles[c + 1] - p.cAngles[c]) * kRad;
        sum += w / 2
               * (planeIntegral(p.gAngles, p.candela[c], gammaFrom, gammaTo)
                  + planeIntegral(p.gAngles, p.candela[c + 1], gammaFrom, gammaTo));
    }
    return sum;
}

std::array<double, 18> zonalFlux(const Photometry &p)
{
    std::array<double, 18> zones {};
    for (int z = 0; z < 18; ++z)
        zones[size_t(z)] = flux(p, 10.0 * z, 10.0 * z + 10);
    return zones;
}

Fractions fractions(const Photometry &p)
{
    Fractions f;
    const double down = flux(p, 0, 90);
    const double up = flux(p, 90, 180);
    const double lamp = p.absolute ? down + up : p.lampFlux;
    if (lamp <= 0)
        return f;
    f.downward = down / lamp;
    f.upward = up / lamp;
    f.total = f.downward + f.upward;
    return f;
}

double directRatio(const std::array<double, 18> &zones, double rcr)
{
    double down = 0, direct = 0;
    for (int z = 0; z < 9; ++z) {
        down += zones[size_t(z)];
        direct += std::exp(-kA[z] * std::pow(rcr, kB[z])) * zones[size_t(z)];
    }
    return down > 0 ? direct / down : 0;
}

double utilizationFactor(double rcr, double d, double down, double up, double rcc, double rw, double rfc)
{
    // The zonal-cavity method's floor-to-ceiling form factor of the room cavity (the infinite-strip
    // formula in x = RCR / 5), and the flux-transfer coefficients.
    const double x = rcr / 5;
    const double f2 = std::sqrt(x * x + 1) - x;
    const double c1 = (1 - rw) * (1 - f2 * f2) * rcr / (2.5 * rw * (1 - f2 * f2) + rcr * f2 * (1 - rw));
    const double c2 = (1 - rcc) * (1 + f2) / (1 + rcc * f2);
    const double c3 = (1 - rfc) * (1 + f2) / (1 + rfc * f2);
    const double c0 = c1 + c2 + c3;
    return 2.5 * rw * c1 * c3 * (1 - d) * down / (rcr * (1 - rw) * (1 - rfc) * c0)
           + rcc * c2 * c3 * up / ((1 - rcc) * (1 - rfc) * c0)
           + (1 - rfc * c3 * (c1 + c2) / ((1 - rfc) * c0)) * d * down / (1 - rfc);
}

namespace {

// A table's entry: 100 x the factor cut to a whole number; a factor beyond any table is 99.
int entryOf(double cu)
{
    // Taken as a number before it becomes a whole one.
    const double entry = std::floor(cu * 100 + 1e-9);
    return entry >= 0 && entry < 100 ? int(entry) : entry >= 100 || std::isnan(entry) ? 99 : 0;
}

double factorAt(const Fractions &f, const std::array<double, 18> &zones, double roomIndex, double ceiling, double wall,
                double floor)
{
    const double rcr = 5 / roomIndex;
    return utilizationFactor(rcr, directRatio(zones, rcr), f.downward, f.upward, ceiling, wall, floor);
}

} // namespace

double utilizationAt(const Photometry &p, double roomIndex, double ceiling, double wall, double floor)
{
    return roomIndex > 0 ? factorAt(fractions(p), zonalFlux(p), roomIndex, ceiling, wall, floor) : 0;
}

int utilizationEntry(const Photometry &p, int roomClass, double ceiling, double wall, double floor)
{
    if (roomClass < 1 || roomClass > 12)
        return 0;
    return entryOf(factorAt(fractions(p), zonalFlux(p), kClassIndex[size_t(roomClass - 1)], ceiling, wall, floor));
}

Table utilizationTable(const Photometry &p)
{
    Table t;
    const Fractions f = fractions(p);
    const auto zones = zonalFlux(p);
    bool capped = false;
    for (size_t pattern = 0; pattern < 3; ++pattern) {
        for (size_t c = 0; c < 12; ++c) {
            const double cu = factorAt(f, zones, kClassIndex[c], kPatterns[pattern][0], kPatterns[pattern][1], kPatterns[pattern][2]);
            t.factors[pattern][c] = cu;
            capped = capped || !(std::floor(cu * 100 + 1e-9) < 100);
            t.entries[pattern][c] = entryOf(cu);
        }
    }
    if (capped)
        t.warnings.append(QStringLiteral("照明率が 1.00 以上になる欄があります。2 桁の欄には 99 として書きます。"));
    return t;
}

} // namespace PhotometryMath
