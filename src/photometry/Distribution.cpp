#include "photometry/Distribution.h"

#include "photometry/PhotometryMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Distribution {

namespace {

constexpr double kBand = 0.5;
constexpr double kBelowCeiling = 0.05; // m: the light centre of a luminaire at the ceiling, for its upward light

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

// The candela of the file times this for the source's.
double scaleOf(const Source &s)
{
    const double flux = s.photometry.absolute ? 1.0 : s.fluxPerLuminaire / s.photometry.lampFlux;
    return flux * s.maintenance;
}

// The room's inter-reflected light by radiosity into the result; a room without a height or
// reflectances keeps the uniform part, with the reason. False (with the reason) when the room's
// figures cannot be worked out at all.
bool interReflect(const Room &room, Result *out, QString *error)
{
    Result &r = *out;
    if (!(room.height > 0) || !std::isfinite(room.height)) {
        r.uniformWhy = QStringLiteral("天井の高さがないため、相互反射は一様（光束法）です。");
        return true;
    }
    if (!room.reflectances) {
        r.uniformWhy = QStringLiteral("反射率がないため、相互反射は一様（光束法）です。");
        return true;
    }
    for (double rho : *room.reflectances)
        if (!(rho >= 0 && rho < 1)) {
            *error = QStringLiteral("反射率は 0 以上 100 % 未満にしてください。");
            return false;
        }
    r.box = Radiosity::Box{room.width, room.depth, room.height, room.workPlane, (*room.reflectances)[0], (*room.reflectances)[1],
                           (*room.reflectances)[2]};
    QList<Radiosity::Luminaire> luminaires;
    for (qsizetype k = 0; k < room.sources.size(); ++k) {
        const Source &s = room.sources[k];
        const double z = room.workPlane + s.height;
        if (z > room.height + 1e-9) {
            *error = QStringLiteral("器具が天井より上にあります（作業面の高さ＋器具の高さ %1 m、天井 %2 m）。")
                         .arg(z)
                         .arg(room.height);
            return false;
        }
        // A luminaire at the ceiling (no suspension) sends its upward light to the ceiling from just
        // below it: in the ceiling's own plane that light would meet it edge on and be lost.
        const double lightAt = std::min(z, room.height - kBelowCeiling);
        const double scale = scaleOf(s);
        const double flux = PhotometryMath::flux(s.photometry) * scale;
        for (const QPointF &at : r.luminaires[k]) {
            Radiosity::Luminaire l;
            l.table = r.intensities[k].get();
            l.scale = scale;
            l.flux = flux;
            l.x = at.x();
            l.y = at.y();
            l.z = lightAt;
            luminaires.append(l);
        }
    }
    auto solution = std::make_shared<Radiosity::Solution>();
    if (!Radiosity::solve(r.box, luminaires, solution.get(), error))
        return false;
    r.surfaces = solution;
    r.method = InterReflection::Radiosity;
    // The field for drawing: at most 9 points a side, at least 2, corners included.
    const double step = std::max(room.width, room.depth) / 8;
    r.fieldX = std::max(2, int(std::ceil(room.width / step - 1e-9)) + 1);
    r.fieldY = std::max(2, int(std::ceil(room.depth / step - 1e-9)) + 1);
    r.field.resize(r.fieldX * r.fieldY);
    for (int j = 0; j < r.fieldY; ++j)
        for (int i = 0; i < r.fieldX; ++i)
            r.field[j * r.fieldX + i] =
                Radiosity::indirectAt(*solution, r.box, {room.width * i / (r.fieldX - 1), room.depth * j / (r.fieldY - 1)});
    return true;
}

} // namespace

int Layout::count() const
{
    int n = 0;
    for (int k : rows)
        n += k;
    return n;
}

int Layout::longest() const
{
    return rows.isEmpty() ? 0 : *std::max_element(rows.cbegin(), rows.cend());
}

int Layout::shortest() const
{
    return rows.isEmpty() ? 0 : *std::min_element(rows.cbegin(), rows.cend());
}

Layout Layout::grid(int nx, int ny)
{
    Layout l;
    if (nx >= 1 && ny >= 1 && nx <= kMaxLuminaires && ny <= kMaxLuminaires)
        l.rows = QList<int>(ny, nx);
    return l;
}

Layout defaultLayout(int fittings, double width, double depth)
{
    Layout best;
    if (fittings <= 0 || fittings > kMaxLuminaires || !(width > 0) || !(depth > 0) || !std::isfinite(width)
        || !std::isfinite(depth))
        return best;
    // The number of rows whose spacings, along a row (its mean count) and between the rows, are
    // closest to equal; the fewer rows when two are as close.
    int bestRows = 1;
    double bestSkew = std::numeric_limits<double>::max();
    for (int ny = 1; ny <= fittings; ++ny) {
        const double along = width * ny / fittings;
        const double across = depth / ny;
        const double skew = std::fabs(std::log(along / across));
        if (skew < bestSkew - 1e-12) {
            bestSkew = skew;
            bestRows = ny;
        }
    }
    // The rows one longer than the others spread evenly and, where the numbers allow, the same
    // from either wall: even places rounded away from the middle row.
    const int base = fittings / bestRows;
    const int longer = fittings % bestRows;
    best.rows = QList<int>(bestRows, base);
    const double middle = (bestRows - 1) / 2.0;
    for (int k = 0; k < longer; ++k) {
        const double place = (k + 0.5) * bestRows / longer - 0.5;
        const int row = place < middle - 1e-9 ? int(std::floor(place + 1e-9))
                        : place > middle + 1e-9 ? int(std::ceil(place - 1e-9))
                                                : int(std::floor(place));
        best.rows[std::clamp(row, 0, bestRows - 1)] += 1;
    }
    return best;
}

QList<QPointF> positions(const Layout &layout, double width, double depth)
{
    QList<QPointF> out;
    const int ny = int(layout.rows.size());
    for (int j = 0; j < ny; ++j) {
        const int nx = layout.rows[j];
        for (int i = 0; i < nx; ++i)
            out.append({(i + 0.5) * width / nx, (j + 0.5) * depth / ny});
    }
    return out;
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

double directAt(const PhotometryMath::IntensityTable &p, double scale, const QList<QPointF> &luminaires, double height,
                QPointF at)
{
    double e = 0;
    const double h2 = height * height;
    const bool planes = p.dependsOnC();
    for (const QPointF &l : luminaires) {
        const double dx = at.x() - l.x();
        const double dy = at.y() - l.y();
        const double r2 = dx * dx + dy * dy;
        const double cosG = height / std::sqrt(h2 + r2);
        const double gamma = std::acos(cosG) * 180 / M_PI;
        const double c = planes && r2 > 0 ? std::atan2(dy, dx) * 180 / M_PI : 0;
        e += p.at(c, gamma) * cosG * cosG * cosG / h2;
    }
    return e * scale;
}

double directAt(const Room &room, const Result &r, QPointF at)
{
    double e = 0;
    for (int k = 0; k < room.sources.size() && k < r.luminaires.size() && k < r.intensities.size(); ++k) {
        const Source &s = room.sources[k];
        e += directAt(*r.intensities[k], scaleOf(s), r.luminaires[k], s.height, at);
    }
    return e;
}

double lumenOf(const Source &s, double area)
{
    return area > 0 ? s.layout.count() * s.fluxPerLuminaire * s.utilization * s.maintenance / area : 0;
}

bool compute(const Room &room, Result *out, QString *error)
{
    *out = Result();
    if (!(room.width > 0) || !(room.depth > 0)) {
        *error = QStringLiteral("間口と奥行が必要です。");
        return false;
    }
    if (!std::isfinite(room.width) || !std::isfinite(room.depth) || room.width > kMaxSide || room.depth > kMaxSide) {
        *error = QStringLiteral("間口と奥行は %1 m までです。").arg(kMaxSide);
        return false;
    }
    int luminaires = 0;
    for (const Source &s : room.sources) {
        if (!(s.height > 0)) {
            *error = QStringLiteral("器具が作業面より高くありません（高さ − 器具下り − 作業面の高さ が 0 以下です）。");
            return false;
        }
        if (!std::isfinite(s.height) || !std::isfinite(s.fluxPerLuminaire) || !std::isfinite(s.maintenance)
            || s.maintenance < 0 || s.fluxPerLuminaire < 0) {
            *error = QStringLiteral("高さ、光束または保守率が計算できる値ではありません。");
            return false;
        }
        if (s.layout.count() < 1 || s.layout.shortest() < 1) {
            *error = QStringLiteral("台数が 0 です。");
            return false;
        }
        if (!s.photometry.absolute && !(s.photometry.lampFlux > 0)) {
            *error = QStringLiteral("配光データのランプ光束が 0 です。");
            return false;
        }
        luminaires += s.layout.count();
        if (s.layout.count() > kMaxLuminaires || luminaires > kMaxLuminaires) {
            *error = QStringLiteral("照度分布で計算できる器具は一室 %1 台までです（この配置は %2 台）。")
                         .arg(kMaxLuminaires)
                         .arg(luminaires);
            return false;
        }
    }
    if (room.sources.isEmpty()) {
        *error = QStringLiteral("台数が 0 です。");
        return false;
    }
    if (floorGrid(room.width, room.depth).count() > kMaxPoints || calculationGrid(room.width, room.depth).count() > kMaxPoints) {
        *error = QStringLiteral("計算点が %1 を超えます。").arg(kMaxPoints);
        return false;
    }
    Result &r = *out;
    for (const Source &s : room.sources) {
        r.luminaires.append(positions(s.layout, room.width, room.depth));
        r.intensities.append(std::make_shared<const PhotometryMath::IntensityTable>(s.photometry));
        r.lumen += lumenOf(s, room.area);
    }
    // The uniform part: what the lumen method gives beyond the direct light on the floor.
    const Grid floor = floorGrid(room.width, room.depth);
    double sum = 0;
    for (int j = 0; j < floor.cellsY; ++j)
        for (int i = 0; i < floor.cellsX; ++i)
            sum += directAt(room, r, floor.point(i, j));
    r.directFloor = sum / floor.count();
    r.indirect = std::max(0.0, r.lumen - r.directFloor);
    r.grid = calculationGrid(room.width, room.depth);
    if (room.method == InterReflection::Radiosity && !interReflect(room, &r, error))
        return false;
    r.direct.reserve(r.grid.count());
    r.reflected.reserve(r.grid.count());
    r.total.reserve(r.grid.count());
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i) {
            const QPointF at = r.grid.point(i, j);
            const double d = directAt(room, r, at);
            const double reflected = r.surfaces ? Radiosity::indirectAt(*r.surfaces, r.box, at) : r.indirect;
            r.direct.append(d);
            r.reflected.append(reflected);
            r.total.append(d + reflected);
        }
    if (r.surfaces) {
        double sum = 0;
        for (double v : std::as_const(r.reflected))
            sum += v;
        r.indirect = sum / r.reflected.size();
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

double reflectedAt(const Result &r, QPointF at)
{
    if (!r.surfaces || r.fieldX < 2 || r.fieldY < 2)
        return r.indirect;
    const double fx = std::clamp(at.x() / r.box.width, 0.0, 1.0) * (r.fieldX - 1);
    const double fy = std::clamp(at.y() / r.box.depth, 0.0, 1.0) * (r.fieldY - 1);
    const int i = std::min(int(fx), r.fieldX - 2), j = std::min(int(fy), r.fieldY - 2);
    const double tx = fx - i, ty = fy - j;
    const auto v = [&](int a, int b) { return r.field[b * r.fieldX + a]; };
    return (v(i, j) * (1 - tx) + v(i + 1, j) * tx) * (1 - ty) + (v(i, j + 1) * (1 - tx) + v(i + 1, j + 1) * tx) * ty;
}

double totalAt(const Room &room, const Result &r, QPointF at)
{
    return directAt(room, r, at) + reflectedAt(r, at);
}

QString methodName(InterReflection method)
{
    return method == InterReflection::Radiosity ? QStringLiteral("radiosity") : QStringLiteral("uniform");
}

std::optional<InterReflection> methodOf(const QString &name)
{
    if (name == u"radiosity")
        return InterReflection::Radiosity;
    if (name == u"uniform")
        return InterReflection::Uniform;
    return std::nullopt;
}

} // namespace Distribution
