#include "photometry/Radiosity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace Radiosity {

namespace {

constexpr double kTwoPi = 2 * M_PI;
constexpr double kMaxPatch = 0.5; // m
constexpr int kMaxDivisions = 24; // a side

using Vec = std::array<double, 3>;

Vec sub(const Vec &a, const Vec &b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double dot(const Vec &a, const Vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The corner functions of the two exact factors (their limits where a root or a log vanishes).
double parallelG(double u, double v, double c)
{
    const double a = std::sqrt(v * v + c * c), b = std::sqrt(u * u + c * c);
    double g = 0;
    if (a > 0)
        g += u * a * std::atan(u / a);
    if (b > 0)
        g += v * b * std::atan(v / b);
    const double q = u * u + v * v + c * c;
    if (q > 0)
        g -= c * c / 2 * std::log(q);
    return g;
}

double perpendicularG(double u, double y, double z)
{
    const double r2 = y * y + z * z, r = std::sqrt(r2);
    double g = 0;
    if (r > 0)
        g += u * r * std::atan(u / r);
    const double q = u * u + r2;
    if (q > 0)
        g += 0.25 * (u * u - r2) * std::log(q);
    return g;
}

// [x1,x2]×[y1,y2] in z = 0 and [ξ1,ξ2]×[η1,η2] in z = c.
double parallelExchange(const double x[2], const double y[2], const double xi[2], const double eta[2], double c)
{
    double sum = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                for (int l = 0; l < 2; ++l)
                    sum += ((i + j + k + l) % 2 ? -1 : 1) * parallelG(x[i] - xi[k], y[j] - eta[l], c);
    return sum / kTwoPi;
}

// [x1,x2]×[y1,y2] in z = 0 (y ≥ 0) and [ξ1,ξ2]×[z1,z2] in y = 0 (z ≥ 0), the x axis common.
double perpendicularExchange(const double x[2], const double y[2], const double xi[2], const double z[2])
{
    double sum = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                for (int l = 0; l < 2; ++l)
                    sum += ((i + j + k + l) % 2 ? -1 : 1) * perpendicularG(x[i] - xi[k], y[j], z[l]);
    // The corner sum gives the factor with its sign by the order of the corners: the exchange
    // between two rectangles that face each other is never negative.
    return std::fabs(sum) / kTwoPi;
}

// Divisions of a side: cells of at most 0.5 m, at most `most` of them.
int divisions(double length, int most = kMaxDivisions)
{
    if (!(length > 1e-9))
        return 0;
    return std::clamp(int(std::ceil(length / kMaxPatch - 1e-9)), 1, std::max(1, most));
}

QList<double> cuts(double from, double to, int n)
{
    QList<double> out;
    for (int k = 0; k <= n; ++k)
        out.append(k == n ? to : from + (to - from) * k / n);
    return out;
}

Patch makePatch(int surface, int axis, int inward, double at, int p, double p0, double p1, int q, double q0, double q1, double rho)
{
    Patch out;
    out.surface = surface;
    out.axis = axis;
    out.inward = inward;
    out.lo[size_t(axis)] = out.hi[size_t(axis)] = at;
    out.lo[size_t(p)] = p0;
    out.hi[size_t(p)] = p1;
    out.lo[size_t(q)] = q0;
    out.hi[size_t(q)] = q1;
    out.area = (p1 - p0) * (q1 - q0);
    out.rho = rho;
    return out;
}

std::vector<Vec> corners(const Patch &patch)
{
    const int a = patch.axis, p = (a + 1) % 3, q = (a + 2) % 3;
    std::vector<Vec> out(4);
    const double ps[4] = {patch.lo[size_t(p)], patch.hi[size_t(p)], patch.hi[size_t(p)], patch.lo[size_t(p)]};
    const double qs[4] = {patch.lo[size_t(q)], patch.lo[size_t(q)], patch.hi[size_t(q)], patch.hi[size_t(q)]};
    for (int k = 0; k < 4; ++k) {
        out[size_t(k)][size_t(a)] = patch.lo[size_t(a)];
        out[size_t(k)][size_t(p)] = ps[k];
        out[size_t(k)][size_t(q)] = qs[k];
    }
    return out;
}

Vec normalOf(const Patch &patch)
{
    Vec n{0, 0, 0};
    n[size_t(patch.axis)] = patch.inward;
    return n;
}

// The first light on a patch: its mean over Gauss points, the patch divided where a luminaire is
// close to it (its light changes fast there).
double patchDirect(const Luminaire &l, const Patch &patch, const Vec &n, double p0, double p1, double q0, double q1, int depth)
{
    const int a = patch.axis, p = (a + 1) % 3, q = (a + 2) % 3;
    const Vec at{l.x, l.y, l.z};
    // The luminaire's distance to the rectangle.
    const double dp = std::max({p0 - at[size_t(p)], 0.0, at[size_t(p)] - p1});
    const double dq = std::max({q0 - at[size_t(q)], 0.0, at[size_t(q)] - q1});
    const double da = at[size_t(a)] - patch.lo[size_t(a)];
    const double distance = std::sqrt(dp * dp + dq * dq + da * da);
    const double size = std::max(p1 - p0, q1 - q0);
    if (depth < 5 && distance < 1.5 * size) {
        const double pm = (p0 + p1) / 2, qm = (q0 + q1) / 2;
        return (patchDirect(l, patch, n, p0, pm, q0, qm, depth + 1) + patchDirect(l, patch, n, pm, p1, q0, qm, depth + 1)
                + patchDirect(l, patch, n, p0, pm, qm, q1, depth + 1) + patchDirect(l, patch, n, pm, p1, qm, q1, depth + 1))
               / 4;
    }
    // 4 × 4 Gauss points; 2 × 2 where the light hardly changes across the patch.
    static constexpr double kNodes4[] = {-0.8611363115940526, -0.3399810435848563, 0.3399810435848563, 0.8611363115940526};
    static constexpr double kWeights4[] = {0.3478548451374538, 0.6521451548625461, 0.6521451548625461, 0.3478548451374538};
    static constexpr double kNodes2[] = {-0.5773502691896257, 0.5773502691896257};
    static constexpr double kWeights2[] = {1, 1};
    const bool far = distance > 6 * size;
    const double *nodes = far ? kNodes2 : kNodes4, *weights = far ? kWeights2 : kWeights4;
    const int order = far ? 2 : 4;
    double sum = 0;
    Vec point{};
    point[size_t(a)] = patch.lo[size_t(a)];
    for (int i = 0; i < order; ++i) {
        point[size_t(p)] = (p0 + p1) / 2 + (p1 - p0) / 2 * nodes[i];
        for (int j = 0; j < order; ++j) {
            point[size_t(q)] = (q0 + q1) / 2 + (q1 - q0) / 2 * nodes[j];
            sum += weights[i] * weights[j] * directAt(l, point, n);
        }
    }
    return sum / 4;
}

// A key for the exchanges that depend only on where two patches stand relative to each other.
struct Key {
    std::array<std::int64_t, 9> v{};
    bool operator==(const Key &) const = default;
};
struct KeyHash {
    std::size_t operator()(const Key &k) const
    {
        std::uint64_t h = 1469598103934665603ULL;
        for (std::int64_t x : k.v)
            h = (h ^ std::uint64_t(x)) * 1099511628211ULL;
        return std::size_t(h ^ (h >> 29));
    }
};

std::int64_t q7(double v)
{
    const double x = v * 1e7;
    return std::int64_t(x < 0 ? x - 0.5 : x + 0.5);
}

class Exchanges
{
public:
    double of(const Patch &a, const Patch &b)
    {
        Key k;
        if (a.axis == b.axis) {
            const int ax = a.axis, p = (ax + 1) % 3, q = (ax + 2) % 3;
            if (std::fabs(a.lo[size_t(ax)] - b.lo[size_t(ax)]) < 1e-12)
                return 0;
            k.v = {1, q7(std::fabs(a.lo[size_t(ax)] - b.lo[size_t(ax)])), q7(a.lo[size_t(p)] - b.lo[size_t(p)]),
                   q7(a.hi[size_t(p)] - a.lo[size_t(p)]), q7(b.hi[size_t(p)] - b.lo[size_t(p)]),
                   q7(a.lo[size_t(q)] - b.lo[size_t(q)]), q7(a.hi[size_t(q)] - a.lo[size_t(q)]),
                   q7(b.hi[size_t(q)] - b.lo[size_t(q)]), 0};
        } else {
            const int t = 3 - a.axis - b.axis;
            const double bc = b.lo[size_t(b.axis)], ac = a.lo[size_t(a.axis)];
            const double y0 = std::fabs(a.lo[size_t(b.axis)] - bc), y1 = std::fabs(a.hi[size_t(b.axis)] - bc);
            const double z0 = std::fabs(b.lo[size_t(a.axis)] - ac), z1 = std::fabs(b.hi[size_t(a.axis)] - ac);
            k.v = {2, q7(a.lo[size_t(t)] - b.lo[size_t(t)]), q7(a.hi[size_t(t)] - a.lo[size_t(t)]),
                   q7(b.hi[size_t(t)] - b.lo[size_t(t)]), q7(std::min(y0, y1)), q7(std::max(y0, y1)),
                   q7(std::min(z0, z1)), q7(std::max(z0, z1)), 0};
        }
        const auto found = m_known.find(k);
        if (found != m_known.end())
            return found->second;
        const double value = exchange(a, b);
        m_known.emplace(k, value);
        return value;
    }

private:
    std::unordered_map<Key, double, KeyHash> m_known;
};

} // namespace

const char *surfaceName(int surface)
{
    static const char *const names[] = {"floor", "ceiling", "wall_x0", "wall_x1", "wall_y0", "wall_y1"};
    return surface >= 0 && surface < 6 ? names[surface] : "";
}

double exchange(const Patch &a, const Patch &b)
{
    if (a.axis == b.axis) {
        const int ax = a.axis, p = (ax + 1) % 3, q = (ax + 2) % 3;
        const double c = std::fabs(a.lo[size_t(ax)] - b.lo[size_t(ax)]);
        if (c < 1e-12)
            return 0;
        const double x[2] = {a.lo[size_t(p)], a.hi[size_t(p)]}, y[2] = {a.lo[size_t(q)], a.hi[size_t(q)]};
        const double xi[2] = {b.lo[size_t(p)], b.hi[size_t(p)]}, eta[2] = {b.lo[size_t(q)], b.hi[size_t(q)]};
        return parallelExchange(x, y, xi, eta, c);
    }
    // Perpendicular: the common axis t; a's extent measured off b's plane, b's off a's.
    const int t = 3 - a.axis - b.axis;
    const double bc = b.lo[size_t(b.axis)], ac = a.lo[size_t(a.axis)];
    const double x[2] = {a.lo[size_t(t)], a.hi[size_t(t)]}, xi[2] = {b.lo[size_t(t)], b.hi[size_t(t)]};
    double y[2] = {std::fabs(a.lo[size_t(b.axis)] - bc), std::fabs(a.hi[size_t(b.axis)] - bc)};
    double z[2] = {std::fabs(b.lo[size_t(a.axis)] - ac), std::fabs(b.hi[size_t(a.axis)] - ac)};
    if (y[0] > y[1])
        std::swap(y[0], y[1]);
    if (z[0] > z[1])
        std::swap(z[0], z[1]);
    return perpendicularExchange(x, y, xi, z);
}

double formFactor(const Patch &a, const Patch &b)
{
    return a.area > 0 ? exchange(a, b) / a.area : 0;
}

double pointFactor(const std::array<double, 3> &p, const std::array<double, 3> &n, const std::vector<std::array<double, 3>> &polygon)
{
    double sum = 0;
    for (size_t k = 0; k < polygon.size(); ++k) {
        const Vec r0 = sub(polygon[k], p), r1 = sub(polygon[(k + 1) % polygon.size()], p);
        const Vec c = cross(r0, r1);
        const double length = std::sqrt(dot(c, c));
        if (length < 1e-15)
            continue;
        const double beta = std::atan2(length, dot(r0, r1));
        sum += beta * dot(n, c) / length;
    }
    return std::fabs(sum) / kTwoPi;
}

double pointToPatch(const std::array<double, 3> &p, const std::array<double, 3> &n, const Patch &patch)
{
    // The patch clipped to the side of the point's plane that its normal faces.
    const std::vector<Vec> in = corners(patch);
    std::vector<Vec> out;
    const auto side = [&](const Vec &v) { return dot(n, sub(v, p)); };
    for (size_t k = 0; k < in.size(); ++k) {
        const Vec &a = in[k], &b = in[(k + 1) % in.size()];
        const double sa = side(a), sb = side(b);
        if (sa >= 0)
            out.push_back(a);
        if ((sa > 0 && sb < 0) || (sa < 0 && sb > 0)) {
            const double t = sa / (sa - sb);
            out.push_back({a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t});
        }
    }
    if (out.size() < 3)
        return 0;
    return pointFactor(p, n, out);
}

double directAt(const Luminaire &l, const std::array<double, 3> &p, const std::array<double, 3> &n)
{
    if (!l.table)
        return 0;
    const Vec v{l.x - p[0], l.y - p[1], l.z - p[2]}; // towards the luminaire
    const double d2 = dot(v, v);
    if (d2 < 1e-18)
        return 0;
    const double d = std::sqrt(d2);
    const double cosXi = dot(n, v) / d;
    if (cosXi <= 0)
        return 0;
    // The direction of the light: from the luminaire to the point; γ from the nadir, C from +x to +y.
    const double cosGamma = std::clamp(v[2] / d, -1.0, 1.0);
    const double gamma = std::acos(cosGamma) * 180 / M_PI;
    const double c = l.table->dependsOnC() && (v[0] != 0 || v[1] != 0) ? std::atan2(-v[1], -v[0]) * 180 / M_PI : 0;
    return l.table->at(c, gamma) * l.scale * cosXi / d2;
}

QList<Patch> mesh(const Box &box)
{
    QList<Patch> out;
    const int nx = divisions(box.width), ny = divisions(box.depth);
    const QList<double> xs = cuts(0, box.width, nx), ys = cuts(0, box.depth, ny);
    // The walls' rows: below the work plane and above it, at most 24 in all.
    const double wp = std::clamp(box.workPlane, 0.0, box.height);
    const int below = divisions(wp, kMaxDivisions - 1);
    const int above = divisions(box.height - wp, kMaxDivisions - below);
    QList<double> zs = cuts(0, wp, below);
    if (below == 0)
        zs = {0};
    const QList<double> upper = cuts(wp, box.height, above);
    for (qsizetype k = 1; k < upper.size(); ++k)
        zs.append(upper[k]);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            out.append(makePatch(Floor, 2, 1, 0, 0, xs[i], xs[i + 1], 1, ys[j], ys[j + 1], box.floor));
            out.append(makePatch(Ceiling, 2, -1, box.height, 0, xs[i], xs[i + 1], 1, ys[j], ys[j + 1], box.ceiling));
        }
    for (qsizetype k = 0; k + 1 < zs.size(); ++k) {
        for (int i = 0; i < nx; ++i) {
            out.append(makePatch(WallY0, 1, 1, 0, 2, zs[k], zs[k + 1], 0, xs[i], xs[i + 1], box.wall));
            out.append(makePatch(WallY1, 1, -1, box.depth, 2, zs[k], zs[k + 1], 0, xs[i], xs[i + 1], box.wall));
        }
        for (int j = 0; j < ny; ++j) {
            out.append(makePatch(WallX0, 0, 1, 0, 1, ys[j], ys[j + 1], 2, zs[k], zs[k + 1], box.wall));
            out.append(makePatch(WallX1, 0, -1, box.width, 1, ys[j], ys[j + 1], 2, zs[k], zs[k + 1], box.wall));
        }
    }
    return out;
}

double Solution::imbalance() const
{
    if (!(flux > 0))
        return 0;
    return std::max(std::fabs(firstLight - flux), std::fabs(absorbed - flux)) / flux;
}

namespace {

double meanOf(const QList<Patch> &patches, bool walls, bool luminance)
{
    double sum = 0, area = 0;
    for (const Patch &p : patches) {
        const bool wall = p.surface != Floor && p.surface != Ceiling;
        if (wall != walls || (!walls && p.surface != Ceiling))
            continue;
        sum += p.area * (luminance ? p.m / M_PI : p.e);
        area += p.area;
    }
    return area > 0 ? sum / area : 0;
}

} // namespace

double Solution::wallIlluminance() const
{
    return meanOf(patches, true, false);
}
double Solution::ceilingIlluminance() const
{
    return meanOf(patches, false, false);
}
double Solution::wallLuminance() const
{
    return meanOf(patches, true, true);
}
double Solution::ceilingLuminance() const
{
    return meanOf(patches, false, true);
}

bool solvePatches(QList<Patch> patches, const QList<Luminaire> &luminaires, Solution *out, QString *error)
{
    *out = Solution();
    const qsizetype n = patches.size();
    if (n == 0) {
        *error = QStringLiteral("室の面がありません。");
        return false;
    }
    for (const Patch &p : std::as_const(patches))
        if (!(p.rho >= 0 && p.rho < 1)) {
            *error = QStringLiteral("反射率は 0 以上 100 % 未満にしてください。");
            return false;
        }
    // First light.
    for (Patch &p : patches) {
        const Vec normal = normalOf(p);
        const int a = p.axis, u = (a + 1) % 3, v = (a + 2) % 3;
        p.e0 = 0;
        for (const Luminaire &l : luminaires)
            p.e0 += patchDirect(l, p, normal, p.lo[size_t(u)], p.hi[size_t(u)], p.lo[size_t(v)], p.hi[size_t(v)], 0);
    }
    // The patches that reflect are the unknowns; every patch receives from them.
    QList<qsizetype> live;
    QList<qsizetype> column(n, -1);
    for (qsizetype i = 0; i < n; ++i)
        if (patches[i].rho > 0) {
            column[i] = live.size();
            live.append(i);
        }
    const qsizetype m = live.size();
    // The exchanges A_i F_ij towards the unknowns, each pair worked out once: a row a patch.
    std::vector<double> k(std::size_t(n * m), 0.0);
    Exchanges exchanges;
    for (qsizetype i = 0; i < n; ++i)
        for (qsizetype j = i + 1; j < n; ++j) {
            if (column[i] < 0 && column[j] < 0)
                continue;
            const double x = exchanges.of(patches[i], patches[j]);
            if (column[j] >= 0)
                k[std::size_t(i * m + column[j])] = x;
            if (column[i] >= 0)
                k[std::size_t(j * m + column[i])] = x;
        }
    // A row times a vector, four sums at a time.
    const auto rowTimes = [&](qsizetype i, const std::vector<double> &in) {
        const double *row = k.data() + i * m;
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        qsizetype b = 0;
        for (; b + 3 < m; b += 4) {
            s0 += row[b] * in[std::size_t(b)];
            s1 += row[b + 1] * in[std::size_t(b + 1)];
            s2 += row[b + 2] * in[std::size_t(b + 2)];
            s3 += row[b + 3] * in[std::size_t(b + 3)];
        }
        for (; b < m; ++b)
            s0 += row[b] * in[std::size_t(b)];
        return (s0 + s1) + (s2 + s3);
    };
    // Conjugate gradients on (A/ρ) M − K M = A E0.
    const std::size_t unknowns = std::size_t(m);
    std::vector<double> x(unknowns), r(unknowns), d(unknowns), q(unknowns);
    const auto apply = [&](const std::vector<double> &in, std::vector<double> &result) {
        for (qsizetype a = 0; a < m; ++a) {
            const Patch &p = patches[live[a]];
            result[std::size_t(a)] = p.area / p.rho * in[std::size_t(a)] - rowTimes(live[a], in);
        }
    };
    for (qsizetype a = 0; a < m; ++a)
        x[std::size_t(a)] = patches[live[a]].rho * patches[live[a]].e0;
    apply(x, q);
    double rr = 0;
    for (qsizetype a = 0; a < m; ++a) {
        const Patch &p = patches[live[a]];
        r[std::size_t(a)] = p.area * p.e0 - q[std::size_t(a)];
        d[std::size_t(a)] = r[std::size_t(a)];
        rr += r[std::size_t(a)] * r[std::size_t(a)];
    }
    int iterations = 0;
    for (; iterations < 2000 && m > 0; ++iterations) {
        double largest = 0;
        for (double v : x)
            largest = std::max(largest, std::fabs(v));
        if (rr == 0)
            break;
        apply(d, q);
        double dq = 0;
        for (qsizetype a = 0; a < m; ++a)
            dq += d[std::size_t(a)] * q[std::size_t(a)];
        if (!(dq > 0))
            break;
        const double alpha = rr / dq;
        double change = 0, next = 0;
        for (qsizetype a = 0; a < m; ++a) {
            x[std::size_t(a)] += alpha * d[std::size_t(a)];
            change = std::max(change, std::fabs(alpha * d[std::size_t(a)]));
            r[std::size_t(a)] -= alpha * q[std::size_t(a)];
            next += r[std::size_t(a)] * r[std::size_t(a)];
        }
        for (qsizetype a = 0; a < m; ++a)
            d[std::size_t(a)] = r[std::size_t(a)] + next / rr * d[std::size_t(a)];
        rr = next;
        if (change <= 1e-9 * std::max(largest, 1e-300))
            break;
    }
    // Each patch's light and exitance from the solution.
    for (qsizetype i = 0; i < n; ++i)
        patches[i].e = patches[i].e0 + (m > 0 ? rowTimes(i, x) : 0.0) / patches[i].area;
    for (Patch &p : patches)
        p.m = p.rho * p.e;
    Solution &s = *out;
    s.iterations = iterations;
    for (const Luminaire &l : luminaires)
        s.flux += l.flux;
    for (const Patch &p : std::as_const(patches)) {
        s.firstLight += p.area * p.e0;
        s.absorbed += p.area * (1 - p.rho) * p.e;
    }
    s.patches = std::move(patches);
    for (const Patch &p : std::as_const(s.patches))
        if (!std::isfinite(p.e)) {
            *error = QStringLiteral("相互反射を計算できません（値が大きすぎます）。");
            return false;
        }
    return true;
}

bool solve(const Box &box, const QList<Luminaire> &luminaires, Solution *out, QString *error)
{
    if (!(box.width > 0) || !(box.depth > 0) || !(box.height > 0) || !std::isfinite(box.width + box.depth + box.height)) {
        *error = QStringLiteral("間口、奥行と高さが必要です。");
        return false;
    }
    if (!(box.workPlane >= 0) || box.workPlane >= box.height) {
        *error = QStringLiteral("作業面の高さは 0 以上、天井の高さ未満にしてください。");
        return false;
    }
    return solvePatches(mesh(box), luminaires, out, error);
}

double indirectAt(const Solution &s, const Box &box, QPointF at)
{
    const Vec p{at.x(), at.y(), box.workPlane};
    const Vec up{0, 0, 1};
    double e = 0;
    for (const Patch &patch : s.patches) {
        if (patch.m == 0 || patch.surface == Floor || patch.hi[2] <= box.workPlane + 1e-9)
            continue;
        e += patch.m * pointToPatch(p, up, patch);
    }
    return e;
}

} // namespace Radiosity
