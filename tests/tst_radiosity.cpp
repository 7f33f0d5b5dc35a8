// The radiosity of a room against the published checks: exact form factors, their reciprocity and
// closure, the point-source and diffuse-reflection cases of the validation suite, the 4 m cube's
// mean inter-reflected light and flux balances, and a six-surface room solved here by elimination.
#include "photometry/Distribution.h"
#include "photometry/Photometry.h"
#include "photometry/PhotometryMath.h"
#include "photometry/Radiosity.h"

#include <QTest>

Q_DECLARE_METATYPE(Radiosity::Patch)

#include <cmath>
#include <functional>

using namespace Radiosity;

namespace {

constexpr double kPi = 3.14159265358979323846;

Photometry sampled(const std::function<double(double g)> &intensity)
{
    Photometry p;
    p.format = QStringLiteral("test");
    p.lamps = 1;
    p.cAngles = {0, 360};
    for (int g = 0; g <= 180; ++g)
        p.gAngles.append(g);
    QList<double> plane;
    for (double g : p.gAngles)
        plane.append(intensity(g));
    p.candela = {plane, plane};
    p.lampFlux = PhotometryMath::flux(p);
    return p;
}

// A rectangle: the axis it is flat across, where, its inward normal's sign, and its two ranges
// (the axes after it in turn).
Patch rect(int axis, double at, int inward, double p0, double p1, double q0, double q1, double rho = 0)
{
    Patch r;
    r.axis = axis;
    r.inward = inward;
    const int p = (axis + 1) % 3, q = (axis + 2) % 3;
    r.lo[size_t(axis)] = r.hi[size_t(axis)] = at;
    r.lo[size_t(p)] = p0;
    r.hi[size_t(p)] = p1;
    r.lo[size_t(q)] = q0;
    r.hi[size_t(q)] = q1;
    r.area = (p1 - p0) * (q1 - q0);
    r.rho = rho;
    return r;
}

// The factor between two directly opposed, aligned a × b rectangles c apart (the catalogue's
// closed form, not the corner sums of the program).
double opposed(double a, double b, double c)
{
    const double x = a / c, y = b / c;
    const double x1 = std::sqrt(1 + x * x), y1 = std::sqrt(1 + y * y);
    return 2 / (kPi * x * y)
           * (std::log(std::sqrt((1 + x * x) * (1 + y * y) / (1 + x * x + y * y))) + x * y1 * std::atan(x / y1)
              + y * x1 * std::atan(y / x1) - x * std::atan(x) - y * std::atan(y));
}

// The solid angle of an a × b rectangle seen from a point d in front of one of its corners.
double cornerSolidAngle(double a, double b, double d)
{
    return std::atan(a * b / (d * std::sqrt(a * a + b * b + d * d)));
}

// That of any axis-aligned rectangle [u0,u1]×[v0,v1] seen from the foot point (0,0) at distance d.
double solidAngle(double u0, double u1, double v0, double v1, double d)
{
    const auto signedCorner = [&](double u, double v) {
        return (u < 0 ? -1 : 1) * (v < 0 ? -1 : 1) * cornerSolidAngle(std::fabs(u), std::fabs(v), d);
    };
    return signedCorner(u1, v1) - signedCorner(u0, v1) - signedCorner(u1, v0) + signedCorner(u0, v0);
}

} // namespace

class TestRadiosity : public QObject
{
    Q_OBJECT
private slots:
    void formFactors_data();
    void formFactors();
    void reciprocityAndClosure_data();
    void reciprocityAndClosure();
    void pointSource_data();
    void pointSource();
    void diffuseReflection_data();
    void diffuseReflection();
    void pointFactorClosedForms();
    void isotropicPatchFlux();
    void eachSurfaceItsOwnReflectance_data();
    void eachSurfaceItsOwnReflectance();
    void cubeInterReflection_data();
    void cubeInterReflection();
    void sixSurfacesSolvedHere();
    void blackRoomIsTheDirectLight();
    void planesTurnAsTheDistributionTurnsThem();
};

void TestRadiosity::formFactors_data()
{
    QTest::addColumn<Patch>("a");
    QTest::addColumn<Patch>("b");
    QTest::addColumn<double>("factor");
    QTest::newRow("cube, opposite") << rect(2, 0, 1, 0, 1, 0, 1) << rect(2, 1, -1, 0, 1, 0, 1) << 0.199825;
    QTest::newRow("cube, adjacent") << rect(2, 0, 1, 0, 1, 0, 1) << rect(1, 0, 1, 0, 1, 0, 1) << 0.200044;
    QTest::newRow("1 × 1.5 at 0.5 m") << rect(2, 0, 1, 0, 1, 0, 1.5) << rect(2, 0.5, -1, 0, 1, 0, 1.5) << 0.475576;
    // A 4 × 6 × 3 m room: x 4, y 6, z 3.
    QTest::newRow("floor to ceiling") << rect(2, 0, 1, 0, 4, 0, 6) << rect(2, 3, -1, 0, 4, 0, 6) << 0.341694;
    QTest::newRow("floor to a 4 m wall") << rect(2, 0, 1, 0, 4, 0, 6) << rect(1, 0, 1, 0, 3, 0, 4) << 0.129616;
    QTest::newRow("floor to a 6 m wall") << rect(2, 0, 1, 0, 4, 0, 6) << rect(0, 0, 1, 0, 6, 0, 3) << 0.199537;
    QTest::newRow("parallel, offset") << rect(2, 0, 1, 0, 1, 0, 2) << rect(2, 1.2, -1, 0.5, 2.5, 1, 1.5) << 0.0711549;
    // [0,1]×[0.5,2] in z = 0 to [0.3,1.7] (x) × [0.2,1.1] (z) in y = 0.
    QTest::newRow("perpendicular, offset") << rect(2, 0, 1, 0, 1, 0.5, 2) << rect(1, 0, 1, 0.2, 1.1, 0.3, 1.7) << 0.0640574;
}

void TestRadiosity::formFactors()
{
    QFETCH(Patch, a);
    QFETCH(Patch, b);
    QFETCH(double, factor);
    const double f = formFactor(a, b);
    QVERIFY2(std::fabs(f - factor) < 1e-6, qPrintable(QString::number(f, 'g', 10)));
}

void TestRadiosity::reciprocityAndClosure_data()
{
    QTest::addColumn<double>("patch"); // the side of the test's own division; 0 for the program's mesh
    QTest::newRow("the program's mesh") << 0.0;
    QTest::newRow("1 m patches") << 1.0;
}

void TestRadiosity::reciprocityAndClosure()
{
    QFETCH(double, patch);
    const Box box{10, 6, 3, 0.8, 0.7, 0.5, 0.2};
    QList<Patch> patches;
    if (patch == 0) {
        patches = mesh(box);
        QCOMPARE(patches.size(), 20 * 12 * 2 + (2 + 5) * (20 + 12) * 2); // 0.5 m, walls split at 0.8 m
    } else {
        for (double x = 0; x < 10; x += patch)
            for (double y = 0; y < 6; y += patch) {
                patches.append(rect(2, 0, 1, x, x + patch, y, y + patch));
                patches.append(rect(2, 3, -1, x, x + patch, y, y + patch));
            }
        for (double z = 0; z < 3; z += patch) {
            for (double x = 0; x < 10; x += patch) {
                patches.append(rect(1, 0, 1, z, z + patch, x, x + patch));
                patches.append(rect(1, 6, -1, z, z + patch, x, x + patch));
            }
            for (double y = 0; y < 6; y += patch) {
                patches.append(rect(0, 0, 1, y, y + patch, z, z + patch));
                patches.append(rect(0, 10, -1, y, y + patch, z, z + patch));
            }
        }
    }
    for (qsizetype i = 0; i < patches.size(); i += 7) {
        double sum = 0;
        for (qsizetype j = 0; j < patches.size(); ++j) {
            const double f = formFactor(patches[i], patches[j]);
            sum += f;
            if (j % 13 == 0)
                QVERIFY(std::fabs(patches[i].area * f - patches[j].area * formFactor(patches[j], patches[i])) < 1e-12);
        }
        QVERIFY2(std::fabs(sum - 1) < 1e-9, qPrintable(QStringLiteral("patch %1: %2").arg(i).arg(sum - 1)));
    }
}

void TestRadiosity::pointSource_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("e");
    QTest::newRow("centre") << 0.0 << 0.0 << 111.11;
    QTest::newRow("(0.5, 0)") << 0.5 << 0.0 << 105.21;
    QTest::newRow("(1.0, 0)") << 1.0 << 0.0 << 90.02;
    QTest::newRow("(1.5, 0)") << 1.5 << 0.0 << 71.11;
    QTest::newRow("(0.5, 0.5)") << 0.5 << 0.5 << 99.73;
    QTest::newRow("(1.0, 1.0)") << 1.0 << 1.0 << 74.36;
    QTest::newRow("(1.5, 1.5)") << 1.5 << 1.5 << 49.39;
}

void TestRadiosity::pointSource()
{
    // I(γ) = 1000 cos γ cd, 3 m above the centre of a 4 × 4 m plane.
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, e);
    const PhotometryMath::IntensityTable t(sampled([](double g) { return g <= 90 ? 1000 * std::cos(g * kPi / 180) : 0.0; }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.x = 2;
    l.y = 2;
    l.z = 3;
    const double got = directAt(l, {2 + x, 2 + y, 0}, {0, 0, 1});
    QVERIFY2(std::fabs(got - e) < 1e-3 * e, qPrintable(QString::number(got)));
}

void TestRadiosity::diffuseReflection_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("share");
    QTest::newRow("y 0.25") << 0.25 << 26.80;
    QTest::newRow("y 0.75") << 0.75 << 30.94;
    QTest::newRow("y 1.25") << 1.25 << 33.98;
    QTest::newRow("y 1.75") << 1.75 << 35.57;
    QTest::newRow("y 3.75 (symmetric)") << 3.75 << 26.80;
}

void TestRadiosity::diffuseReflection()
{
    // A ceiling point along x = 2 facing down at a uniformly lit 4 × 4 m floor 3 m below.
    QFETCH(double, y);
    QFETCH(double, share);
    const double f = pointToPatch({2, y, 3}, {0, 0, -1}, rect(2, 0, 1, 0, 4, 0, 4));
    QVERIFY2(std::fabs(100 * f - share) < 1e-3 * share, qPrintable(QString::number(100 * f)));
}

void TestRadiosity::pointFactorClosedForms()
{
    // Opposite one corner of a parallel 2 × 1.5 rectangle 1.2 m away; at the foot of a vertical one.
    QVERIFY(std::fabs(pointToPatch({0, 0, 0}, {0, 0, 1}, rect(2, 1.2, -1, 0, 2, 0, 1.5)) - 0.178112) < 1e-6);
    QVERIFY(std::fabs(pointToPatch({0, 0, 0}, {0, 0, 1}, rect(1, 1.2, -1, 0, 1.5, 0, 2)) - 0.083898) < 1e-6);
    // A wall reaching below the work plane counts only above it.
    QVERIFY(std::fabs(pointToPatch({0, 0, 0}, {0, 0, 1}, rect(1, 1.2, -1, -0.8, 1.5, 0, 2)) - 0.083898) < 1e-6);
}

void TestRadiosity::isotropicPatchFlux()
{
    // An isotropic 100 cd source: a patch's first light × its area is I × its solid angle, also
    // for a patch near the source, where the quadrature divides it.
    const PhotometryMath::IntensityTable t(sampled([](double) { return 100.0; }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.x = 1.1;
    l.y = 0.2;
    l.z = 0.15; // above the floor patch [1, 1.5] × [0, 0.5]
    QList<Patch> patches{rect(2, 0, 1, 1, 1.5, 0, 0.5, 0), rect(2, 0, 1, 3, 3.5, 2, 2.5, 0)};
    Solution s;
    QString why;
    QVERIFY(solvePatches(patches, {l}, &s, &why));
    const double near = 100 * solidAngle(1 - 1.1, 1.5 - 1.1, 0 - 0.2, 0.5 - 0.2, 0.15);
    const double far = 100 * solidAngle(3 - 1.1, 3.5 - 1.1, 2 - 0.2, 2.5 - 0.2, 0.15);
    QVERIFY2(std::fabs(s.patches[0].e0 * 0.25 - near) < 1e-4 * near, qPrintable(QString::number(s.patches[0].e0 * 0.25 / near - 1)));
    QVERIFY2(std::fabs(s.patches[1].e0 * 0.25 - far) < 1e-6 * far, qPrintable(QString::number(s.patches[1].e0 * 0.25 / far - 1)));
}

void TestRadiosity::cubeInterReflection_data()
{
    QTest::addColumn<double>("rho");
    QTest::addColumn<double>("mean");
    QTest::newRow("ρ 0.2") << 0.2 << 26.04;
    QTest::newRow("ρ 0.5") << 0.5 << 104.17;
    QTest::newRow("ρ 0.8") << 0.8 << 416.67;
}

void TestRadiosity::cubeInterReflection()
{
    // A 4 m cube, one reflectance, an isotropic 10 000 lm source at its centre.
    QFETCH(double, rho);
    QFETCH(double, mean);
    const double flux = 10000;
    const PhotometryMath::IntensityTable t(sampled([&](double) { return flux / (4 * kPi); }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.flux = flux;
    l.x = l.y = l.z = 2;
    Solution s;
    QString why;
    QVERIFY(solve(Box{4, 4, 4, 0.8, rho, rho, rho}, {l}, &s, &why));
    double area = 0, reflected = 0, first = 0, absorbed = 0;
    for (const Patch &p : std::as_const(s.patches)) {
        area += p.area;
        reflected += p.area * (p.e - p.e0);
        first += p.area * p.e0;
        absorbed += p.area * (1 - p.rho) * p.e;
    }
    QCOMPARE(area, 96.0);
    QVERIFY2(std::fabs(reflected / area - mean) < 5e-3 * mean, qPrintable(QString::number(reflected / area)));
    QVERIFY2(std::fabs(first - flux) < 1e-6 * flux, qPrintable(QString::number(first / flux - 1)));
    QVERIFY2(std::fabs(absorbed - flux) < 1e-6 * flux, qPrintable(QString::number(absorbed / flux - 1)));
    QVERIFY(s.imbalance() < 1e-6);
}

void TestRadiosity::sixSurfacesSolvedHere()
{
    // A 4 × 6 × 3 m room, one patch a surface, an isotropic 1000 cd source at (2, 3, 2): the first
    // light of each face from its solid angle, the factors from the published values, the catalogue's
    // opposed-rectangle form, reciprocity and closure; the six equations eliminated here.
    const double w = 4, d = 6, h = 3;
    const double rho[6] = {0.2, 0.7, 0.5, 0.5, 0.5, 0.5}; // floor, ceiling, x0, x1, y0, y1
    QList<Patch> faces{rect(2, 0, 1, 0, w, 0, d, rho[0]), rect(2, h, -1, 0, w, 0, d, rho[1]),
                       rect(0, 0, 1, 0, d, 0, h, rho[2]), rect(0, w, -1, 0, d, 0, h, rho[3]),
                       rect(1, 0, 1, 0, h, 0, w, rho[4]), rect(1, d, -1, 0, h, 0, w, rho[5])};
    const double area[6] = {w * d, w * d, d * h, d * h, w * h, w * h};
    const PhotometryMath::IntensityTable t(sampled([](double) { return 1000.0; }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.flux = 4000 * kPi;
    l.x = 2;
    l.y = 3;
    l.z = 2;
    // First light: I Ω / A, Ω about the foot of the source on each face.
    const double e0[6] = {1000 * solidAngle(-2, 2, -3, 3, 2) / area[0], 1000 * solidAngle(-2, 2, -3, 3, 1) / area[1],
                          1000 * solidAngle(-3, 3, -2, 1, 2) / area[2], 1000 * solidAngle(-3, 3, -2, 1, 2) / area[3],
                          1000 * solidAngle(-2, 2, -2, 1, 3) / area[4], 1000 * solidAngle(-2, 2, -2, 1, 3) / area[5]};
    double f[6][6] = {};
    const double fc = 0.341694, f4 = 0.129616, f6 = 0.199537; // floor → ceiling, → 4 m wall (y), → 6 m wall (x)
    f[0][1] = f[1][0] = fc;
    f[0][4] = f[0][5] = f[1][4] = f[1][5] = f4;
    f[0][2] = f[0][3] = f[1][2] = f[1][3] = f6;
    for (int wall = 2; wall < 6; ++wall)
        f[wall][0] = f[wall][1] = area[0] * f[0][wall] / area[wall];
    f[2][3] = f[3][2] = opposed(d, h, w); // the 6 m walls, 4 m apart
    f[4][5] = f[5][4] = opposed(w, h, d);
    f[2][4] = f[2][5] = f[3][4] = f[3][5] = (1 - 2 * f[2][0] - f[2][3]) / 2;
    for (int a : {4, 5})
        for (int b : {2, 3})
            f[a][b] = area[b] * f[b][a] / area[a];
    // E_i − ρ_j Σ F_ij E_j = E0_i, eliminated.
    double m[6][7];
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 6; ++j)
            m[i][j] = (i == j ? 1 : 0) - f[i][j] * rho[j];
        m[i][6] = e0[i];
    }
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 6; ++r)
            if (r != c) {
                const double k = m[r][c] / m[c][c];
                for (int j = c; j < 7; ++j)
                    m[r][j] -= k * m[c][j];
            }
    Solution s;
    QString why;
    QVERIFY(solvePatches(faces, {l}, &s, &why));
    for (int i = 0; i < 6; ++i) {
        const double expected = m[i][6] / m[i][i];
        QVERIFY2(std::fabs(s.patches[i].e - expected) < 1e-4 * expected,
                 qPrintable(QStringLiteral("face %1: %2 against %3").arg(i).arg(s.patches[i].e).arg(expected)));
    }
}

void TestRadiosity::blackRoomIsTheDirectLight()
{
    const PhotometryMath::IntensityTable t(sampled([](double g) { return g <= 90 ? 500 * std::cos(g * kPi / 180) : 50.0; }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.x = 3;
    l.y = 2;
    l.z = 2.5;
    const Box box{6, 4, 2.8, 0.8, 0, 0, 0};
    Solution s;
    QString why;
    QVERIFY(solve(box, {l}, &s, &why));
    for (const Patch &p : std::as_const(s.patches)) {
        QCOMPARE(p.m, 0.0);
        QCOMPARE(p.e, p.e0);
    }
    QCOMPARE(indirectAt(s, box, QPointF(1, 1)), 0.0);
}

void TestRadiosity::planesTurnAsTheDistributionTurnsThem()
{
    // A luminaire thrown towards C60: on the work plane its first light is the distribution's
    // direct light at every point around it.
    Photometry p;
    p.format = QStringLiteral("test");
    p.lamps = 1;
    for (int c = 0; c <= 360; c += 15)
        p.cAngles.append(c);
    for (int g = 0; g <= 180; g += 5)
        p.gAngles.append(g);
    for (double c : p.cAngles) {
        QList<double> plane;
        for (double g : p.gAngles)
            plane.append(g <= 90 ? 300 * (1.2 + std::cos((c - 60) * kPi / 180)) * std::cos(g * kPi / 180) : 0);
        p.candela.append(plane);
    }
    const PhotometryMath::IntensityTable t(p);
    Luminaire l;
    l.table = &t;
    l.scale = 0.8;
    l.x = 2;
    l.y = 1.5;
    l.z = 0.8 + 2.1;
    for (const QPointF at : {QPointF(3.5, 2.9), QPointF(0.4, 2.2), QPointF(1.1, 0.3), QPointF(3.9, 0.2)}) {
        const double here = directAt(l, {at.x(), at.y(), 0.8}, {0, 0, 1});
        const double there = Distribution::directAt(t, 0.8, {QPointF(2, 1.5)}, 2.1, at);
        QVERIFY2(std::fabs(here - there) < 1e-9 * there, qPrintable(QStringLiteral("%1 against %2").arg(here).arg(there)));
    }
}

void TestRadiosity::eachSurfaceItsOwnReflectance_data()
{
    QTest::addColumn<double>("ceiling");
    QTest::addColumn<double>("wall");
    QTest::addColumn<double>("floor");
    // Three different reflectances: a surface that took another's would show it.
    QTest::newRow("70/50/10") << 0.7 << 0.5 << 0.1;
    QTest::newRow("30/60/20") << 0.3 << 0.6 << 0.2;
}

void TestRadiosity::eachSurfaceItsOwnReflectance()
{
    QFETCH(double, ceiling);
    QFETCH(double, wall);
    QFETCH(double, floor);
    const PhotometryMath::IntensityTable t(sampled([](double) { return 200.0; }));
    Luminaire l;
    l.table = &t;
    l.scale = 1;
    l.x = 2.2;
    l.y = 1.7;
    l.z = 2.4;
    Box box;
    box.width = 5;
    box.depth = 4;
    box.height = 2.8;
    box.workPlane = 0.85;
    box.ceiling = ceiling;
    box.wall = wall;
    box.floor = floor;
    Solution s;
    QString why;
    QVERIFY2(solve(box, {l}, &s, &why), qPrintable(why));
    // Every patch reflects with its own surface's reflectance: M = ρ E.
    bool strip = false;
    for (const Patch &p : std::as_const(s.patches)) {
        const double rho = p.surface == Floor ? floor : p.surface == Ceiling ? ceiling : wall;
        QVERIFY2(std::fabs(p.m - rho * p.e) <= 1e-9 * std::max(1.0, p.m), qPrintable(QString::number(p.surface)));
        // The walls' strip just above the work plane is a patch of its own.
        strip = strip || (p.surface == WallX0 && std::fabs(p.lo[2] - box.workPlane) < 1e-12);
    }
    QVERIFY(strip);
    // Luminance is exitance over π (not the exitance itself): the walls' mean ρE/π.
    double area = 0, exitance = 0;
    for (const Patch &p : std::as_const(s.patches))
        if (p.surface != Floor && p.surface != Ceiling) {
            area += p.area;
            exitance += p.area * p.m;
        }
    const double luminance = exitance / area / M_PI;
    QVERIFY2(std::fabs(s.wallLuminance() - luminance) < 1e-9 * luminance, qPrintable(QString::number(s.wallLuminance() / luminance)));
    QVERIFY(std::fabs(s.wallIlluminance() * wall / M_PI - luminance) < 1e-9 * luminance);
}

QTEST_MAIN(TestRadiosity)
#include "tst_radiosity.moc"
