#include "photometry/Glare.h"

#include "photometry/GlareTables.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr double kDeg = M_PI / 180;

// The side seen from the horizontal direction C: the faces towards C0 … C270 by their share.
double sideHeight(const Opening &o, double cx, double sy)
{
    const double x = cx >= 0 ? o.heights[0] : o.heights[2];
    const double y = sy >= 0 ? o.heights[1] : o.heights[3];
    const double sum = std::fabs(cx) + std::fabs(sy);
    return sum > 0 ? (std::fabs(cx) * x + std::fabs(sy) * y) / sum : 0;
}

// A value of the 19 rooms between them: linear along Y within the rows of equal X, then along X;
// a row's own ends where Y is beyond them.
double betweenRooms(double x, double y, const std::function<double(int room)> &value)
{
    static const std::array<int, 4> xs = {2, 4, 8, 12};
    x = std::clamp(x, 2.0, 12.0);
    y = std::clamp(y, 2.0, 12.0);
    const auto along = [&](int rowX) {
        int below = -1, above = -1;
        for (int k = 0; k < int(Glare::kRooms.size()); ++k) {
            if (Glare::kRooms[k][0] != rowX)
                continue;
            const int ry = Glare::kRooms[k][1];
            if (ry <= y && (below < 0 || ry > Glare::kRooms[below][1]))
                below = k;
            if (ry >= y && (above < 0 || ry < Glare::kRooms[above][1]))
                above = k;
        }
        if (below < 0)
            return value(above);
        if (above < 0 || above == below)
            return value(below);
        const double y0 = Glare::kRooms[below][1], y1 = Glare::kRooms[above][1];
        return value(below) + (value(above) - value(below)) * (y - y0) / (y1 - y0);
    };
    int i = 0;
    while (i + 2 < int(xs.size()) && x > xs[i + 1])
        ++i;
    const double t = (x - xs[i]) / (xs[i + 1] - xs[i]);
    if (t <= 0)
        return along(xs[i]);
    if (t >= 1)
        return along(xs[i + 1]);
    return along(xs[i]) * (1 - t) + along(xs[i + 1]) * t;
}

} // namespace

bool Opening::present() const
{
    if (shape == Shape::Sphere)
        return length > 0;
    return shape != Shape::None && length > 0 && width > 0 && std::isfinite(length * width);
}

double Opening::bottom() const
{
    switch (shape) {
    case Shape::None: return 0;
    case Shape::Rectangle: return length * width;
    case Shape::Round: return M_PI * length * width / 4;
    case Shape::Sphere: return M_PI * length * length / 4;
    }
    return 0;
}

double Opening::projected(double c, double gamma) const
{
    if (shape == Shape::Sphere)
        return bottom();
    const double cx = std::cos(c * kDeg), sy = std::sin(c * kDeg);
    const double down = std::max(0.0, std::cos(gamma * kDeg));
    const double across = std::fabs(std::sin(gamma * kDeg));
    double side = 0;
    if (shape == Shape::Rectangle) {
        side = width * (cx >= 0 ? heights[0] : heights[2]) * std::fabs(cx)
               + length * (sy >= 0 ? heights[1] : heights[3]) * std::fabs(sy);
    } else if (shape == Shape::Round) {
        // The ellipse's extent across the direction of view, times the side's height.
        const double a = length / 2, b = width / 2;
        side = 2 * std::sqrt(a * a * sy * sy + b * b * cx * cx) * sideHeight(*this, cx, sy);
    }
    return bottom() * down + side * across;
}

QString Opening::text() const
{
    const auto m = [](double v) { return QString::number(v, 'f', 3); };
    const double tallest = *std::max_element(heights.cbegin(), heights.cend());
    const QString sides = tallest > 0 ? QStringLiteral("、側面の高さ %1 m").arg(m(tallest)) : QString();
    switch (shape) {
    case Shape::None: return QString();
    case Shape::Rectangle: return QStringLiteral("長さ %1 × 幅 %2 m%3").arg(m(length), m(width), sides);
    case Shape::Round:
        return (length == width ? QStringLiteral("円形 直径 %1 m").arg(m(length))
                                : QStringLiteral("楕円形 %1 × %2 m").arg(m(length), m(width)))
               + sides;
    case Shape::Sphere: return QStringLiteral("球形 直径 %1 m").arg(m(length));
    }
    return QString();
}

namespace Glare {

QString noOpeningText()
{
    return QStringLiteral("発光部の寸法がないため UGR を計算できません。");
}

std::optional<double> positionIndex(double tOverR, double hOverR)
{
    using namespace GlareTables;
    if (!(tOverR >= 0) || !(hOverR >= 0) || tOverR > (kGuthRows - 1) * kGuthStep + 1e-9
        || hOverR > (kGuthColumns - 1) * kGuthStep + 1e-9)
        return std::nullopt;
    // A position on a row or column of the table takes that row or column alone.
    const auto cell = [](double v, int last, int *i, double *f) {
        const double at = v / kGuthStep;
        *i = std::min(int(std::floor(at + 1e-9)), last);
        *f = std::max(0.0, at - *i);
        if (*f < 1e-9)
            *f = 0;
    };
    int i = 0, j = 0;
    double ft = 0, fh = 0;
    cell(tOverR, kGuthRows - 1, &i, &ft);
    cell(hOverR, kGuthColumns - 1, &j, &fh);
    double p = 0;
    for (int di = 0; di < 2; ++di)
        for (int dj = 0; dj < 2; ++dj) {
            const double w = (di ? ft : 1 - ft) * (dj ? fh : 1 - fh);
            if (w == 0)
                continue;
            const double v = kGuth[i + di][j + dj];
            if (!(v > 0))
                return std::nullopt; // the brow hides it
            p += w * v;
        }
    return p;
}

double Sight::distance() const
{
    return std::sqrt(t * t + r * r + h * h);
}

double Sight::gamma() const
{
    return std::atan2(std::hypot(t, r), h) / kDeg;
}

bool counts(const Sight &s)
{
    if (!(s.r > 0) || !(s.h >= 0) || s.gamma() > 85)
        return false;
    return positionIndex(std::fabs(s.t) / s.r, s.h / s.r).has_value();
}

double term(double intensity, double projectedArea, const Sight &s)
{
    if (!counts(s) || !(projectedArea > 0))
        return 0;
    const double p = *positionIndex(std::fabs(s.t) / s.r, s.h / s.r);
    const double d2 = s.t * s.t + s.r * s.r + s.h * s.h;
    return intensity * intensity / (projectedArea * d2 * p * p);
}

std::optional<double> rating(double sum, double background)
{
    if (!(sum > 0) || !(background > 0) || !std::isfinite(sum / background))
        return std::nullopt;
    return 8 * std::log10(0.25 / background * sum);
}

int nearestSet(double ceiling, double wall)
{
    int best = 0;
    double nearest = std::numeric_limits<double>::max();
    for (int k = 0; k < int(kSets.size()); ++k) {
        const double d = std::pow(ceiling * 100 - kSets[k][0], 2) + std::pow(wall * 100 - kSets[k][1], 2);
        if (d < nearest - 1e-9) {
            nearest = d;
            best = k;
        }
    }
    return best;
}

double lampFlux(const Photometry &p)
{
    return p.absolute ? PhotometryMath::flux(p) : p.lampFlux;
}

Zones zones(const Photometry &p)
{
    Zones z;
    const double lamps = lampFlux(p);
    if (!(lamps > 0))
        return z;
    const PhotometryMath::IntensityTable table(p);
    // G at the zones' mid-points from the mean over the C planes (cd/klm), then scaled to the
    // light output ratio: the mid-point rule's error is not the luminaire's.
    std::array<double, 18> g{};
    double sum = 0;
    for (int k = 0; k < 18; ++k) {
        const double gamma = 5 + 10 * k;
        double mean = 0;
        for (int c = 0; c < 360; ++c)
            mean += table.at(c, gamma);
        mean = mean / 360 * 1000 / lamps;
        g[k] = mean * 2 * M_PI * std::sin(gamma * kDeg) * (10 * kDeg);
        sum += g[k];
    }
    const double lor = PhotometryMath::flux(p) / lamps;
    if (!(sum > 0))
        return z;
    for (double &v : g)
        v *= lor / (sum / 1000);
    const auto upTo = [&g](int zones) {
        double s = 0;
        for (int k = 0; k < zones; ++k)
            s += g[k];
        return s;
    };
    z.downward = upTo(9) / 1000;
    z.upward = (upTo(18) - upTo(9)) / 1000;
    z.cumulative = {upTo(4) + 0.130 * g[4], upTo(6), upTo(7) + 0.547 * g[7], upTo(9)};
    return z;
}

std::array<double, 4> gainFactors(double k)
{
    const auto &rows = GlareTables::kGain;
    const auto at = [](const GlareTables::GainRow &r) { return std::array<double, 4>{r.f1, r.f2, r.f3, r.f4}; };
    if (k <= rows.front().k)
        return at(rows.front());
    for (int i = 0; i + 1 < int(rows.size()); ++i) {
        // The table's k are the rooms' own, to two decimals: a room's k is its row.
        if (std::fabs(k - rows[i].k) < 0.005)
            return at(rows[i]);
        if (k < rows[i + 1].k - 0.005) {
            const double t = (k - rows[i].k) / (rows[i + 1].k - rows[i].k);
            const auto a = at(rows[i]), b = at(rows[i + 1]);
            return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t, a[3] + (b[3] - a[3]) * t};
        }
    }
    return at(rows.back());
}

Transfer transferAt(int set, double x, double y)
{
    const auto row = [set](int room) -> const GlareTables::TransferRow & {
        return GlareTables::kTransfer[set * int(kRooms.size()) + room];
    };
    Transfer t;
    t.floorToWall = betweenRooms(x, y, [&](int room) { return row(room).floorToWall; });
    t.wallToWall = betweenRooms(x, y, [&](int room) { return row(room).wallToWall; });
    t.ceilingToWall = betweenRooms(x, y, [&](int room) { return row(room).ceilingToWall; });
    return t;
}

double wallIlluminance(const Zones &z, double x, double y, int set, double flux, int count, double wallArea)
{
    const std::array<double, 4> f = gainFactors(x * y / (x + y));
    double zonal = 0;
    for (int n = 0; n < 4; ++n)
        zonal += f[n] * z.cumulative[n];
    const double direct = zonal / 1000;           // F_DF
    const double walls = z.downward - direct;     // F_DW
    const Transfer t = transferAt(set, x, y);
    const double share = direct * t.floorToWall + walls * t.wallToWall + z.upward * t.ceilingToWall;
    return flux * count / wallArea * share;
}

bool table(const Photometry &p, double spacing, Table *out, QString *error)
{
    if (!p.opening.present()) {
        *error = noOpeningText();
        return false;
    }
    const double flux = lampFlux(p);
    if (!(flux > 0) || !std::isfinite(flux)) {
        *error = QStringLiteral("光束がないため UGR を計算できません。");
        return false;
    }
    if (!(spacing > 0)) {
        *error = QStringLiteral("器具の間隔が正しくありません。");
        return false;
    }
    Table t;
    t.spacing = spacing;
    t.flux = flux;
    const PhotometryMath::IntensityTable intensities(p);
    const Zones z = zones(p);
    const double h = kTableHeight, s = spacing * h;
    for (int room = 0; room < int(kRooms.size()); ++room) {
        const double x = kRooms[room][0], y = kRooms[room][1];
        double cross = 0, end = 0;
        int count = 0;
        for (int j = 0; (j + 0.5) * s < y * h - 1e-9; ++j)
            for (int i = 0; (i + 0.5) * s < x * h / 2 - 1e-9; ++i)
                for (int side : {-1, 1}) {
                    ++count;
                    const Sight at{side * (i + 0.5) * s, (j + 0.5) * s, h};
                    if (!counts(at))
                        continue;
                    const double across = std::atan(at.t / at.r) / kDeg;
                    const double c1 = across < 0 ? across + 360 : across, c2 = 90 - across;
                    const double g = at.gamma();
                    cross += term(intensities.at(c1, g), p.opening.projected(c1, g), at);
                    end += term(intensities.at(c2, g), p.opening.projected(c2, g), at);
                }
        const double wallArea = 2 * (x + y) * h * h;
        for (int set = 0; set < int(kSets.size()); ++set) {
            const double lb = wallIlluminance(z, x, y, set, flux, count, wallArea) / M_PI;
            t.cells[room][set] = rating(cross, lb).value_or(std::nan(""));
            t.cells[room][5 + set] = rating(end, lb).value_or(std::nan(""));
        }
    }
    *out = t;
    return true;
}

std::optional<double> tableAt(const Table &t, int column, double x, double y)
{
    if (column < 0 || column >= 10 || !(x >= 2 - 1e-9 && x <= 12 + 1e-9 && y >= 2 - 1e-9 && y <= 12 + 1e-9))
        return std::nullopt;
    const double v = betweenRooms(x, y, [&](int room) { return t.cells[room][column]; });
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

QStringList columnLabels()
{
    QStringList labels;
    for (const char *view : {"横", "縦"})
        for (const auto &set : kSets)
            labels.append(QStringLiteral("%1 %2/%3/%4").arg(QString::fromUtf8(view)).arg(set[0]).arg(set[1]).arg(set[2]));
    return labels;
}

QString viewsText()
{
    return QStringLiteral("横: 器具の C0–C180 面を視線の方向から見る（視線に直交する器具）、縦: C90–C270 面を視線の方向から見る。"
                          "反射率は 天井/壁/床 %、X は視線に直交、Y は視線方向の室の大きさ（H の倍数）。");
}

QString titleText(const Table &t)
{
    return QStringLiteral("UGR 表（SHR %1、H %2 m、ランプ光束 %3 lm に対する値）")
        .arg(QString::number(t.spacing), QString::number(kTableHeight), QString::number(t.flux, 'f', 0));
}

QString cellText(double v)
{
    return std::isfinite(v) ? QString::number(v, 'f', 1) : QStringLiteral("—");
}

QByteArray tableCsv(const Table &t)
{
    QByteArray csv = "x_h,y_h";
    for (const char *view : {"cross", "end"})
        for (const auto &set : kSets)
            csv += QStringLiteral(",%1_%2_%3_%4").arg(QLatin1StringView(view)).arg(set[0]).arg(set[1]).arg(set[2]).toUtf8();
    csv += '\n';
    for (int room = 0; room < int(kRooms.size()); ++room) {
        csv += QByteArray::number(kRooms[room][0]) + ',' + QByteArray::number(kRooms[room][1]);
        for (double v : t.cells[room])
            csv += ',' + (std::isfinite(v) ? QByteArray::number(v, 'f', 1) : QByteArray());
        csv += '\n';
    }
    return csv;
}

} // namespace Glare
