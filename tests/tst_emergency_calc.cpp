// The emergency-lighting check as the rule and the makers' tables define it, against closed forms
// and sums worked here: the nadir, an isotropic and a Lambertian source and their reach, two
// luminaires summed, the threshold of the light source, the floor (never the work plane), the
// scaling to the emergency flux, the rows and grids of the reach tables, the minimum on a wall
// between two luminaires, a luminaire whose planes differ.
#include "emergency/EmergencyCheck.h"
#include "emergency/EmergencyMaster.h"
#include "emergency/ReachTable.h"
#include "photometry/PhotometryMath.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <functional>

namespace {

// A photometry of I(C, γ) in candela, sampled every 1° of γ and 5° of C.
Photometry sampled(const std::function<double(double c, double g)> &intensity)
{
    Photometry p;
    p.format = QStringLiteral("test");
    p.lamps = 1;
    for (int c = 0; c <= 360; c += 5)
        p.cAngles.append(c);
    for (int g = 0; g <= 180; ++g)
        p.gAngles.append(g);
    for (double c : p.cAngles) {
        QList<double> plane;
        for (double g : p.gAngles)
            plane.append(intensity(c, g));
        p.candela.append(plane);
    }
    p.lampFlux = PhotometryMath::flux(p);
    return p;
}

constexpr double kPi = 3.14159265358979323846;
double rad(double deg) { return deg * kPi / 180; }

// I(γ) = I0 cos γ below the horizon.
Photometry lambertian(double i0)
{
    return sampled([i0](double, double g) { return g <= 90 ? i0 * std::cos(rad(g)) : 0.0; });
}

Photometry isotropic(double i)
{
    return sampled([i](double, double) { return i; });
}

// Longer across (C90–C270) than along (C0–C180): a wide-spread batten.
Photometry elongated()
{
    return sampled([](double c, double g) {
        if (g > 90)
            return 0.0;
        const double across = std::pow(std::sin(rad(c)), 2);
        return (60 + 60 * across) * std::pow(std::cos(rad(g)), 1.0 - 0.6 * across);
    });
}

// One Lambertian luminaire's floor illuminance, the closed form: I0 H² / (r² + H²)².
double lambertAt(double i0, double h, double r)
{
    return i0 * h * h / std::pow(r * r + h * h, 2);
}

} // namespace

class TestEmergencyCalc : public QObject
{
    Q_OBJECT
private slots:
    void closedForms_data();
    void closedForms();
    void reachOfOneLuminaire_data();
    void reachOfOneLuminaire();
    void rowsAndGridsAgainstSumsWorkedHere_data();
    void rowsAndGridsAgainstSumsWorkedHere();
    void twoLuminairesAddUp();
    void thresholdOfTheLightSource();
    void scaledToTheEmergencyFlux();
    void minimumOnAWallBetweenTwoLuminaires();
    void planesThatDifferGiveDifferentReach();
    void unevenLuminaireAgainstSumsWorkedHere_data();
    void unevenLuminaireAgainstSumsWorkedHere();
    void printedFiguresAreCutDown_data();
    void printedFiguresAreCutDown();
};

void TestEmergencyCalc::closedForms_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("expected");
    const double i0 = 300 / kPi; // a Lambertian 300 lm
    QTest::newRow("Lambertian nadir: I(0) / H²") << "lambert" << 2.5 << 0.0 << i0 / 6.25; // 15.28 lx
    QTest::newRow("Lambertian 2 m off") << "lambert" << 2.5 << 2.0 << lambertAt(i0, 2.5, 2.0);
    QTest::newRow("Lambertian 5 m off, 4 m high") << "lambert" << 4.0 << 5.0 << lambertAt(i0, 4.0, 5.0);
    // Isotropic: I H / (r² + H²)^(3/2).
    QTest::newRow("isotropic nadir") << "iso" << 3.0 << 0.0 << 50.0 / 9.0;
    QTest::newRow("isotropic 4 m off") << "iso" << 3.0 << 4.0 << 50.0 * 3 / 125.0;
}

void TestEmergencyCalc::closedForms()
{
    QFETCH(QString, source);
    QFETCH(double, height);
    QFETCH(double, r);
    QFETCH(double, expected);
    const Photometry p = source == u"iso" ? isotropic(50) : lambertian(300 / kPi);
    const PhotometryMath::IntensityTable t(p);
    for (double angle : {0.0, 37.0, 90.0, 210.0}) {
        const double e = EmergencyCheck::single(t, 1.0, height, r * std::cos(rad(angle)), r * std::sin(rad(angle)));
        QVERIFY2(std::fabs(e - expected) < 2e-4 * expected, qPrintable(QStringLiteral("%1 against %2").arg(e).arg(expected)));
    }
}

void TestEmergencyCalc::reachOfOneLuminaire_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<double>("reach");
    // Lambertian: A1 = H tan(arccos((E_th H² / I0)^(1/4))); 300 lm at 2.5 m: 3.32 m at 2 lx, 4.26 m at 1 lx.
    const double i0 = 300 / kPi;
    const auto lambertReach = [i0](double h, double e) { return h * std::tan(std::acos(std::pow(e * h * h / i0, 0.25))); };
    QTest::newRow("Lambertian 2.5 m, 2 lx") << "lambert" << 2.5 << 2.0 << lambertReach(2.5, 2);
    QTest::newRow("Lambertian 2.5 m, 1 lx") << "lambert" << 2.5 << 1.0 << lambertReach(2.5, 1);
    QTest::newRow("Lambertian 6 m, 1 lx") << "lambert" << 6.0 << 1.0 << lambertReach(6, 1);
    // Isotropic: A1 = √((I H / E_th)^(2/3) − H²).
    const auto isoReach = [](double i, double h, double e) { return std::sqrt(std::pow(i * h / e, 2.0 / 3) - h * h); };
    QTest::newRow("isotropic 50 cd, 3 m, 1 lx") << "iso" << 3.0 << 1.0 << isoReach(50, 3, 1);
    QTest::newRow("isotropic 50 cd, 3 m, 2 lx") << "iso" << 3.0 << 2.0 << isoReach(50, 3, 2);
}

void TestEmergencyCalc::reachOfOneLuminaire()
{
    QFETCH(QString, source);
    QFETCH(double, height);
    QFETCH(double, threshold);
    QFETCH(double, reach);
    const Photometry p = source == u"iso" ? isotropic(50) : lambertian(300 / kPi);
    const PhotometryMath::IntensityTable t(p);
    const ReachTable::Figures f = ReachTable::figures(t, 1.0, height, threshold);
    QVERIFY2(std::fabs(f[ReachTable::A1] - reach) < 0.002, qPrintable(QStringLiteral("%1 against %2").arg(f[ReachTable::A1]).arg(reach)));
    QCOMPARE(f[ReachTable::B1], f[ReachTable::A1]); // the same both ways round
}

void TestEmergencyCalc::rowsAndGridsAgainstSumsWorkedHere_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<double>("a2");
    QTest::addColumn<double>("a4");
    QTest::addColumn<double>("a0");
    // The shared note's synthetic check: a Lambertian 300 lm.
    QTest::newRow("2.5 m, 2 lx") << 2.5 << 2.0 << 8.37 << 7.90 << 1.99;
    QTest::newRow("2.5 m, 1 lx") << 2.5 << 1.0 << 10.52 << 9.63 << 2.62;
}

void TestEmergencyCalc::rowsAndGridsAgainstSumsWorkedHere()
{
    QFETCH(double, height);
    QFETCH(double, threshold);
    QFETCH(double, a2);
    QFETCH(double, a4);
    QFETCH(double, a0);
    const double i0 = 300 / kPi;
    const PhotometryMath::IntensityTable t(lambertian(i0));
    const ReachTable::Figures f = ReachTable::figures(t, 1.0, height, threshold);
    // The summations worked here, luminaire by luminaire by the closed form, over ±400 of a row and
    // ±400 a side of a grid (what lies beyond adds under 0.00001 lx), at the figures found: they
    // hold 1 mm short of the spacing found and fail 1 mm beyond it.
    const auto e = [&](double dx, double dy) { return lambertAt(i0, height, std::hypot(dx, dy)); };
    const auto row = [&](double s, double x, double y) {
        double sum = 0;
        for (int k = -400; k <= 400; ++k)
            sum += e(x - k * s, y);
        return sum;
    };
    const auto grid = [&](double s, double x, double y, double from) {
        double sum = 0;
        for (int i = -400; i <= 400; ++i)
            for (int j = from < 0 ? -400 : 0; j <= 400; ++j)
                sum += e(x - i * s, y - (std::max(0.0, from) + j * s));
        return sum;
    };
    const auto rowHolds = [&](double s) { return std::min(row(s, s / 2, 1), row(s, 0, 1)) >= threshold; };
    const auto gridHolds = [&](double s) { return std::min(grid(s, s / 2, s / 2, -1), grid(s, s / 2, 0, -1)) >= threshold; };
    // Found to the millimetre: the true reach lies within 1 mm of each figure.
    QVERIFY(rowHolds(f[ReachTable::A2] - 0.001));
    QVERIFY(!rowHolds(f[ReachTable::A2] + 0.001));
    QVERIFY(gridHolds(f[ReachTable::A4] - 0.001));
    QVERIFY(!gridHolds(f[ReachTable::A4] + 0.001));
    QVERIFY(grid(f[ReachTable::A4], f[ReachTable::A4] / 2, 0, f[ReachTable::A0] - 0.001) >= threshold);
    QVERIFY(grid(f[ReachTable::A4], f[ReachTable::A4] / 2, 0, f[ReachTable::A0] + 0.001) < threshold);
    // And the published figures, to the centimetre.
    QVERIFY2(std::fabs(f[ReachTable::A2] - a2) < 0.01, qPrintable(QString::number(f[ReachTable::A2])));
    QVERIFY2(std::fabs(f[ReachTable::A4] - a4) < 0.01, qPrintable(QString::number(f[ReachTable::A4])));
    QVERIFY2(std::fabs(f[ReachTable::A0] - a0) < 0.01, qPrintable(QString::number(f[ReachTable::A0])));
}

void TestEmergencyCalc::twoLuminairesAddUp()
{
    // Two at spacing s: the midpoint has twice one's value at s/2.
    const PhotometryMath::IntensityTable t(lambertian(300 / kPi));
    const QList<EmergencyCheck::Luminaire> two = {{QPointF(1, 2), 2.5, &t, 1.0}, {QPointF(7, 2), 2.5, &t, 1.0}};
    const double one = EmergencyCheck::single(t, 1.0, 2.5, 3, 0);
    QVERIFY(std::fabs(EmergencyCheck::illuminance(two, QPointF(4, 2)) - 2 * one) < 1e-12);
}

void TestEmergencyCalc::thresholdOfTheLightSource()
{
    // The same luminaire and room: incandescent asks 1 lx and passes, LED asks 2 lx and fails.
    QCOMPARE(EmergencyMaster::threshold(EmergencyMaster::Source::Incandescent), 1.0);
    QCOMPARE(EmergencyMaster::threshold(EmergencyMaster::Source::Halogen), 1.0);
    QCOMPARE(EmergencyMaster::threshold(EmergencyMaster::Source::Led), 2.0);
    QCOMPARE(EmergencyMaster::threshold(EmergencyMaster::Source::Fluorescent), 2.0);
    const PhotometryMath::IntensityTable t(lambertian(300 / kPi));
    // One at the centre of a 5 × 5 m room, 2.5 m: the corners are 3.54 m off: 1.70 lx.
    const QList<EmergencyCheck::Luminaire> one = {{QPointF(2.5, 2.5), 2.5, &t, 1.0}};
    EmergencyCheck::Result a, b;
    QString error;
    QVERIFY(EmergencyCheck::check(5, 5, one, 1.0, &a, &error));
    QVERIFY(EmergencyCheck::check(5, 5, one, 2.0, &b, &error));
    QCOMPARE(a.e, b.e); // the light is the same
    QVERIFY(std::fabs(a.minimum - lambertAt(300 / kPi, 2.5, std::hypot(2.5, 2.5))) < 1e-3);
    // The points under 2 lx: those farther than the reach √((I0 H² / 2)^½ − H²) = 3.32 m, counted
    // here on the 0.25 m grid of the floor, its boundary included (21 × 21 points).
    const double reach = std::sqrt(std::sqrt(300 / kPi * 6.25 / 2) - 6.25);
    int farther = 0;
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j)
            farther += std::hypot(i * 0.25 - 2.5, j * 0.25 - 2.5) > reach ? 1 : 0;
    QCOMPARE(b.below, farther);
    QCOMPARE(b.grid.count(), 21 * 21);
    QVERIFY(a.ok());
    QVERIFY(!b.ok());
    QCOMPARE(b.at, QPointF(0, 0)); // a corner
}

void TestEmergencyCalc::scaledToTheEmergencyFlux()
{
    // A file of 1000 lm made a 150 lm emergency luminaire: every intensity × 0.15.
    const Photometry p = lambertian(1000 / kPi);
    const double whole = PhotometryMath::flux(p);
    QVERIFY(std::fabs(whole - 1000) < 1.0);
    const PhotometryMath::IntensityTable t(p);
    const double scale = 150 / whole;
    const double nadir = EmergencyCheck::single(t, scale, 2.0, 0, 0);
    QVERIFY(std::fabs(nadir - 150 / kPi / 4) < 1e-3 * nadir);
}

void TestEmergencyCalc::minimumOnAWallBetweenTwoLuminaires()
{
    // A corridor 2 m wide, 12 m long, two luminaires on its centre line at 3 and 9 m: the worst
    // points are on the walls, midway (6, 0) and (6, 2), or at the ends; here the ends are nearer
    // a luminaire than the midpoints of the walls are (3.16 m against 3.16 m: the corners
    // (0, 0) are √(9 + 1) off one and 9.06 m off the other; the wall midpoint √(9 + 1) off both).
    const PhotometryMath::IntensityTable t(lambertian(300 / kPi));
    const QList<EmergencyCheck::Luminaire> two = {{QPointF(3, 1), 2.5, &t, 1.0}, {QPointF(9, 1), 2.5, &t, 1.0}};
    EmergencyCheck::Result r;
    QString error;
    QVERIFY(EmergencyCheck::check(12, 2, two, 2.0, &r, &error));
    const double mid = 2 * lambertAt(300 / kPi, 2.5, std::hypot(3, 1));
    const double corner = lambertAt(300 / kPi, 2.5, std::hypot(3, 1)) + lambertAt(300 / kPi, 2.5, std::hypot(9, 1));
    QVERIFY(corner < mid);
    QVERIFY(std::fabs(r.minimum - corner) < 1e-3);
    QVERIFY(r.at.y() == 0 || r.at.y() == 2);
    QVERIFY(r.at.x() == 0 || r.at.x() == 12);
    // The grid holds the boundary: steps of at most 0.25 m that end on the walls.
    QVERIFY(r.grid.stepX() <= 0.25 && r.grid.stepY() <= 0.25);
    QCOMPARE(r.grid.point(r.grid.nx, r.grid.ny), QPointF(12, 2));
}

void TestEmergencyCalc::planesThatDifferGiveDifferentReach()
{
    const PhotometryMath::IntensityTable t(elongated());
    QVERIFY(t.dependsOnC());
    const ReachTable::Figures f = ReachTable::figures(t, 1.0, 3.0, 1.0);
    QVERIFY2(f[ReachTable::B1] > f[ReachTable::A1] + 0.2, qPrintable(QStringLiteral("A1 %1 B1 %2").arg(f[ReachTable::A1]).arg(f[ReachTable::B1])));
    QVERIFY(f[ReachTable::B2] > f[ReachTable::A2]);
    // A1 is where one luminaire's light along C0 falls to the threshold.
    QVERIFY(EmergencyCheck::single(t, 1.0, 3.0, f[ReachTable::A1], 0) >= 1.0 * (1 - 1e-9));
    QVERIFY(EmergencyCheck::single(t, 1.0, 3.0, f[ReachTable::A1] + 0.005, 0) < 1.0);
}

void TestEmergencyCalc::unevenLuminaireAgainstSumsWorkedHere_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("threshold");
    QTest::newRow("3 m, 2 lx") << 3.0 << 2.0;
    QTest::newRow("6 m, 1 lx") << 6.0 << 1.0;
}

void TestEmergencyCalc::unevenLuminaireAgainstSumsWorkedHere()
{
    // Thrown forward (C0) more than back (C180): every figure of both planes, and the walls on
    // both sides, against sums worked here luminaire by luminaire (±100 a side; beyond, under
    // 0.00001 lx for a light that falls as cos² γ).
    QFETCH(double, height);
    QFETCH(double, threshold);
    const PhotometryMath::IntensityTable t(sampled([](double c, double g) {
        return g <= 90 ? 80 * (1 + 0.7 * std::cos(rad(c))) * std::pow(std::cos(rad(g)), 2) : 0.0;
    }));
    const ReachTable::Figures f = ReachTable::figures(t, 1.0, height, threshold);
    const auto e = [&](double dx, double dy) { return EmergencyCheck::single(t, 1.0, height, dx, dy); };
    const auto grid = [&](double s, double x, double y) {
        double sum = 0;
        for (int i = -100; i <= 100; ++i)
            for (int j = -100; j <= 100; ++j)
                sum += e(x - i * s, y - j * s);
        return sum;
    };
    // A wall along x (along y when turned), the rows from a off it on either side: the shorter.
    const auto wall = [&](double s, double a, bool turned) {
        double least = std::numeric_limits<double>::infinity();
        for (double side : {1.0, -1.0}) {
            double sum = 0;
            for (int i = -100; i <= 100; ++i)
                for (int j = 0; j <= 100; ++j)
                    sum += turned ? e(-side * (a + j * s), s / 2 - i * s) : e(s / 2 - i * s, -side * (a + j * s));
            least = std::min(least, sum);
        }
        return least;
    };
    const auto a4 = [&](double s) { return std::min(grid(s, s / 2, s / 2), grid(s, s / 2, 0)) >= threshold; };
    const auto b4 = [&](double s) { return std::min(grid(s, s / 2, s / 2), grid(s, 0, s / 2)) >= threshold; };
    QVERIFY(a4(f[ReachTable::A4] - 0.001));
    QVERIFY(!a4(f[ReachTable::A4] + 0.001));
    QVERIFY(b4(f[ReachTable::B4] - 0.001));
    QVERIFY(!b4(f[ReachTable::B4] + 0.001));
    const double sa = f[ReachTable::A4], sb = f[ReachTable::B4];
    QVERIFY(wall(sa, f[ReachTable::A0] - 0.001, false) >= threshold);
    QVERIFY(wall(sa, f[ReachTable::A0] + 0.001, false) < threshold);
    QVERIFY(wall(sb, f[ReachTable::B0] - 0.001, true) >= threshold);
    QVERIFY(wall(sb, f[ReachTable::B0] + 0.001, true) < threshold);
    // A1: the shorter way, back towards C180.
    QVERIFY(e(-f[ReachTable::A1], 0) >= threshold * (1 - 1e-9));
    QVERIFY(e(-(f[ReachTable::A1] + 0.002), 0) < threshold);
    QVERIFY(e(f[ReachTable::A1] + 0.002, 0) >= threshold);
}

void TestEmergencyCalc::printedFiguresAreCutDown_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("reach");
    QTest::addColumn<double>("minimum");
    QTest::newRow("1.9999") << 1.9999 << 1.9 << 1.99;
    QTest::newRow("exactly 3.3") << 3.3 << 3.3 << 3.3;
    QTest::newRow("0.30000000000000004") << 0.30000000000000004 << 0.3 << 0.3;
    QTest::newRow("nothing") << 0.0 << 0.0 << 0.0;
}

void TestEmergencyCalc::printedFiguresAreCutDown()
{
    QFETCH(double, value);
    QFETCH(double, reach);
    QFETCH(double, minimum);
    QCOMPARE(ReachTable::printed(value), reach);
    QCOMPARE(EmergencyCheck::printedMinimum(value), minimum);
}

QTEST_GUILESS_MAIN(TestEmergencyCalc)
#include "tst_emergency_calc.moc"
