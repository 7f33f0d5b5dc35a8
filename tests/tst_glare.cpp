// Discomfort glare against figures worked out by hand from the published tables: the position
// index read between its cells, a luminaire's share of the sum and its rating, what the field of
// view leaves out, the luminous opening as the eye sees it, the standard table's background rule
// and one of its cells, its properties (flux doubled, crosswise and endwise, rooms along the line
// of sight), the readers' openings, and a room's observers.
#include "photometry/Distribution.h"
#include "photometry/Glare.h"
#include "photometry/PhotometryReader.h"
#include "photometry/RoomGlare.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

namespace {

using Shape = std::function<double(double c, double g)>;

// A distribution sampled every 5° in C and 1° in gamma, nothing upwards.
Photometry sampled(const Shape &shape, double lampFlux, const Opening &opening)
{
    Photometry p;
    p.format = QStringLiteral("test");
    p.lamps = 1;
    p.lampFlux = lampFlux;
    for (int c = 0; c <= 360; c += 5)
        p.cAngles.append(c);
    for (int g = 0; g <= 180; ++g)
        p.gAngles.append(g);
    for (double c : std::as_const(p.cAngles)) {
        QList<double> plane;
        for (double g : std::as_const(p.gAngles))
            plane.append(g < 90 ? shape(c, g) : 0.0);
        p.candela.append(plane);
    }
    p.opening = opening;
    return p;
}

Opening rectangle(double length, double width, std::array<double, 4> heights = {})
{
    Opening o;
    o.shape = Opening::Shape::Rectangle;
    o.length = length;
    o.width = width;
    o.heights = heights;
    return o;
}

Opening round(double length, double width, double height = 0)
{
    Opening o;
    o.shape = Opening::Shape::Round;
    o.length = length;
    o.width = width;
    o.heights.fill(height);
    return o;
}

QByteArray withLines(const QString &file, const QMap<int, QByteArray> &lines)
{
    QFile f(QDir(TestEnv::sourceDir()).filePath(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> all = f.readAll().split('\n');
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        all[it.key() - 1] = it.value() + '\r';
    return all.join('\n');
}

} // namespace

class TestGlare : public QObject
{
    Q_OBJECT
private slots:
    void positionIndexBetweenCells_data();
    void positionIndexBetweenCells();
    void oneLuminaireByHand();
    void outsideTheFieldOfView_data();
    void outsideTheFieldOfView();
    void openingAsTheEyeSeesIt_data();
    void openingAsTheEyeSeesIt();
    void backgroundRule();
    void tableCellByHand();
    void tableProperties_data();
    void tableProperties();
    void openingsRead_data();
    void openingsRead();
    void roomObserversByHand_data();
    void roomObserversByHand();
    void roomWithoutOpeningOrLight();
    void toolWritesTheTable_data();
    void toolWritesTheTable();
};

void TestGlare::positionIndexBetweenCells_data()
{
    QTest::addColumn<double>("tOverR");
    QTest::addColumn<double>("hOverR");
    QTest::addColumn<double>("p"); // 0: none
    QTest::newRow("a cell: T/R 0.2, H/R 0.4") << 0.2 << 0.4 << 2.20;
    QTest::newRow("the middle of four cells") << 0.25 << 0.45 << (2.20 + 2.66 + 2.25 + 2.70) / 4;
    // Weights 0.5 across T/R, 0.2 across H/R: swapped they give 4.408.
    QTest::newRow("T/R 0.15, H/R 0.72: each axis its own weight") << 0.15 << 0.72 << (4.24 + 4.024) / 2;
    QTest::newRow("the last column: T/R 1.0, H/R 1.9") << 1.0 << 1.9 << 16.00;
    QTest::newRow("on a column beside an empty one: H/R 1.7") << 0.0 << 1.7 << 16.20;
    QTest::newRow("next to an empty cell: H/R 1.75") << 0.0 << 1.75 << 0.0;
    QTest::newRow("an empty cell: H/R 1.8") << 0.0 << 1.8 << 0.0;
    QTest::newRow("the last row: T/R 3.0") << 3.0 << 0.0 << 4.22;
    QTest::newRow("beyond the rows: T/R 3.05") << 3.05 << 0.0 << 0.0;
    QTest::newRow("beyond the columns: H/R 1.95") << 0.5 << 1.95 << 0.0;
}

void TestGlare::positionIndexBetweenCells()
{
    QFETCH(double, tOverR);
    QFETCH(double, hOverR);
    QFETCH(double, p);
    const auto got = Glare::positionIndex(tOverR, hOverR);
    QCOMPARE(got.has_value(), p > 0);
    if (got)
        QVERIFY2(std::fabs(*got - p) < 1e-9, qPrintable(QString::number(*got, 'g', 10)));
}

void TestGlare::oneLuminaireByHand()
{
    // 1500 cd towards the eye from a 1.2 × 0.3 m opening 0.5 m aside, 2.5 m ahead, 1.0 m up:
    // T/R 0.2, H/R 0.4 → p 2.20 (the table); r² 7.5; A_p = 0.36 cos γ, cos γ = 1 / √7.5.
    const Glare::Sight sight{0.5, 2.5, 1.0};
    const double cosGamma = 1 / std::sqrt(7.5);
    const double gamma = std::acos(cosGamma) * 180 / M_PI;
    const double ap = 0.36 * cosGamma;
    const double sum = 1500.0 * 1500.0 / (ap * 7.5 * 2.20 * 2.20);
    const Opening o = rectangle(1.2, 0.3);
    QVERIFY(std::fabs(o.projected(0, gamma) - ap) < 1e-12);
    const double t = Glare::term(1500, o.projected(0, gamma), sight);
    QVERIFY2(std::fabs(t - sum) < 1e-9 * sum, qPrintable(QString::number(t)));
    for (double lb : {10.0, 40.0}) {
        const double ugr = 8 * std::log10(0.25 / lb * sum);
        QVERIFY2(std::fabs(*Glare::rating(t, lb) - ugr) < 1e-9, qPrintable(QString::number(*Glare::rating(t, lb))));
    }
    QCOMPARE(*Glare::rating(t, 40), 8 * std::log10(0.25 / 40 * sum)); // 27.76
    QVERIFY(!Glare::rating(0, 40));
    QVERIFY(!Glare::rating(t, 0));
}

void TestGlare::outsideTheFieldOfView_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("h");
    QTest::addColumn<bool>("counts");
    QTest::newRow("ahead: T/R 0.2, H/R 0.4") << 0.5 << 2.5 << 1.0 << true;
    QTest::newRow("behind the eye") << 0.5 << -2.5 << 1.0 << false;
    QTest::newRow("level with the eye's plane: R 0") << 0.5 << 0.0 << 1.0 << false;
    QTest::newRow("far aside: T/R 3.2") << 3.2 << 1.0 << 0.5 << false;
    QTest::newRow("high above: H/R 2.0") << 0.0 << 1.0 << 2.0 << false;
    QTest::newRow("behind the brow: H/R 1.8") << 0.0 << 1.0 << 1.8 << false;
    QTest::newRow("next to the brow's cells: H/R 1.75") << 0.0 << 1.0 << 1.75 << false;
    QTest::newRow("below the eye") << 0.0 << 2.0 << -0.5 << false;
    QTest::newRow("seen at 85.4°") << 0.0 << 10.0 << 0.8 << false;
    QTest::newRow("seen at 83.7°") << 0.0 << 10.0 << 1.1 << true;
}

void TestGlare::outsideTheFieldOfView()
{
    QFETCH(double, t);
    QFETCH(double, r);
    QFETCH(double, h);
    QFETCH(bool, counts);
    const Glare::Sight s{t, r, h};
    QCOMPARE(Glare::counts(s), counts);
    QCOMPARE(Glare::term(1000, 0.1, s) > 0, counts);
}

void TestGlare::openingAsTheEyeSeesIt_data()
{
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("gamma");
    QTest::addColumn<double>("area");
    const std::array<double, 4> sides{0.05, 0.1, 0.05, 0.1};
    const double s60 = std::sqrt(3.0) / 2, s45 = std::sqrt(0.5);
    QTest::newRow("rectangle from C0 at 60°: bottom + the side facing C0 (its width)")
        << rectangle(1.2, 0.3, sides) << 0.0 << 60.0 << 0.36 * 0.5 + 0.3 * 0.05 * s60;
    QTest::newRow("rectangle from C90 at 60°: the side along its length")
        << rectangle(1.2, 0.3, sides) << 90.0 << 60.0 << 0.36 * 0.5 + 1.2 * 0.1 * s60;
    QTest::newRow("rectangle from C225 at 30°: the sides facing C180 and C270")
        << rectangle(1.2, 0.3, {0, 0, 0.05, 0.1}) << 225.0 << 30.0 << 0.36 * s60 + (0.3 * 0.05 * s45 + 1.2 * 0.1 * s45) * 0.5;
    QTest::newRow("rectangle from C45 at 30°: the sides facing C0 and C90 are 0")
        << rectangle(1.2, 0.3, {0, 0, 0.05, 0.1}) << 45.0 << 30.0 << 0.36 * s60;
    QTest::newRow("round, 0.2 m: a disc") << round(0.2, 0.2) << 30.0 << 60.0 << M_PI * 0.01 * 0.5;
    QTest::newRow("round with a 0.1 m side") << round(0.2, 0.2, 0.1) << 30.0 << 60.0 << M_PI * 0.01 * 0.5 + 0.2 * 0.1 * s60;
    QTest::newRow("ellipse 0.4 × 0.2 seen from C0 at 90°: its short diameter") << round(0.4, 0.2, 0.1) << 0.0 << 90.0 << 0.02;
    QTest::newRow("ellipse 0.4 × 0.2 seen from C90 at 90°: its long diameter") << round(0.4, 0.2, 0.1) << 90.0 << 90.0 << 0.04;
    Opening sphere;
    sphere.shape = Opening::Shape::Sphere;
    sphere.length = 0.3;
    QTest::newRow("sphere 0.3 m from anywhere") << sphere << 123.0 << 71.0 << M_PI * 0.0225;
}

void TestGlare::openingAsTheEyeSeesIt()
{
    QFETCH(Opening, opening);
    QFETCH(double, c);
    QFETCH(double, gamma);
    QFETCH(double, area);
    QVERIFY2(std::fabs(opening.projected(c, gamma) - area) < 1e-12, qPrintable(QString::number(opening.projected(c, gamma), 'g', 12)));
}

void TestGlare::backgroundRule()
{
    // F_GL at the standard room 4H × 8H (k = 32 / 12 = 2.67): the table's row.
    const auto f = Glare::gainFactors(4.0 * 8 / 12);
    QCOMPARE(f, (std::array<double, 4>{0.280, 0.165, 0.499, 0.006}));
    // Between rows, linear: k 2.2 is halfway between 2.00 and 2.40.
    QVERIFY(std::fabs(Glare::gainFactors(2.2)[0] - (0.338 + 0.296) / 2) < 1e-12);
    // A room of k 1.33 (2H × 4H) and a luminaire with R_DLO 0.6497, R_ULO 0, its cumulative zonal
    // fluxes 437.8 up to 65° and 649.7 below the horizontal: F_DF = 0.916 × 0.4378 − 0.017 × 0.6497
    // = 0.390, F_DW = 0.260; with F_T 0.187 / 0.351 (70/50/20): E_WID = Φ N / A_w (F_DF F_T,FW +
    // F_DW F_T,WW−1), 8 luminaires of 1000 lm and walls 2 × 2 (2 + 4) × 2 = 48 m².
    Glare::Zones z;
    z.downward = 0.6497;
    z.cumulative = {437.8, 437.8, 437.8, 649.7};
    const double expected = 1000.0 * 8 / 48 * (0.390 * 0.187 + (0.6497 - 0.390) * 0.351);
    const double got = Glare::wallIlluminance(z, 2, 4, 0, 1000, 8, 48);
    QVERIFY2(std::fabs(got - expected) < 1e-3 * expected, qPrintable(QStringLiteral("%1, not %2").arg(got).arg(expected)));
    // The nearest set: 70/50 → 0, 50/30 → 3, ceiling 80 % and walls 20 % → 70/30.
    QCOMPARE(Glare::nearestSet(0.7, 0.5), 0);
    QCOMPARE(Glare::nearestSet(0.5, 0.3), 3);
    QCOMPARE(Glare::nearestSet(0.8, 0.2), 1);
    QCOMPARE(Glare::nearestSet(0.35, 0.3), 4);
}

void TestGlare::tableCellByHand()
{
    // The room 2H × 2H at SHR 1, H = 2 m: four luminaires at T ±1 m, R 1 and 3 m. Those at R 1 m
    // are above the field (H/R 2); each at R 3 m is at T/R 1/3, H/R 2/3: p between rows 0.3, 0.4
    // and columns 0.6, 0.7 = 3.6889, r² 14, cos γ = 2 / √14. 1000 cd in every downward direction
    // of a sphere 0.3 m across (A 0.0707 m²).
    Opening sphere;
    sphere.shape = Opening::Shape::Sphere;
    sphere.length = 0.3;
    const double i0 = 1000;
    const Photometry p = sampled([&](double, double) { return i0; }, 2 * M_PI * i0, sphere);
    Glare::Table t;
    QString error;
    QVERIFY2(Glare::table(p, 1, &t, &error), qPrintable(error));
    const double pRow3 = 3.25 + (3.90 - 3.25) * 2 / 3.0, pRow4 = 3.30 + (3.90 - 3.30) * 2 / 3.0;
    const double pIndex = pRow3 + (pRow4 - pRow3) / 3;
    const double sum = 2 * i0 * i0 / (M_PI * 0.0225 * 14 * pIndex * pIndex);
    // The background: G at the zones' mid-points ∝ sin γm for a uniform hemisphere, scaled to the
    // luminaire's output (its lamp flux: LOR 1); F_GL of k 1, F_T of 2 × 2 at 70/50/20.
    double down = 0;
    std::array<double, 9> g{};
    for (int k = 0; k < 9; ++k)
        down += g[k] = std::sin((5 + 10 * k) * M_PI / 180);
    const auto upTo = [&](int n) {
        double s = 0;
        for (int k = 0; k < n; ++k)
            s += g[k] / down;
        return s;
    };
    // The flux the samples hold against 2π I0 (the LOR): I0 to 89°, falling linearly to 0 at 90°.
    double strip = 0;
    for (int k = 0; k < 1000; ++k) {
        const double a = 89 + (k + 0.5) / 1000;
        strip += (90 - a) * std::sin(a * M_PI / 180) * (M_PI / 180) / 1000;
    }
    const double lor = 1 - std::cos(89 * M_PI / 180) + strip;
    const double phi1 = upTo(4) + 0.130 * g[4] / down, phi2 = upTo(6), phi3 = upTo(7) + 0.547 * g[7] / down, phi4 = 1;
    const double fdf = lor * (0.690 * phi1 + 0.109 * phi2 + 0.085 * phi3 - 0.016 * phi4);
    const double fdw = lor - fdf;
    const double e = 2 * M_PI * i0 * 4 / 32 * (fdf * 0.220 + fdw * 0.422);
    const double expected = 8 * std::log10(0.25 / (e / M_PI) * sum);
    QVERIFY2(std::fabs(t.cells[0][0] - expected) < 0.01, qPrintable(QStringLiteral("%1, not %2").arg(t.cells[0][0]).arg(expected)));
    QVERIFY(std::fabs(t.cells[0][5] - expected) < 0.01);
    // And as the tool's file prints it: the first room, one decimal.
    const QList<QByteArray> lines = Glare::tableCsv(t).split('\n');
    QCOMPARE(lines.value(0), QByteArray("x_h,y_h,cross_70_50_20,cross_70_30_20,cross_50_50_20,cross_50_30_20,cross_30_30_20,"
                                        "end_70_50_20,end_70_30_20,end_50_50_20,end_50_30_20,end_30_30_20"));
    QVERIFY(lines.value(1).startsWith("2,2," + QByteArray::number(expected, 'f', 1) + ','));
    QCOMPARE(lines.size(), 21); // the header, 19 rooms, the last line's end
}

void TestGlare::tableProperties_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<Opening>("opening");
    QTest::addColumn<bool>("symmetric");
    const Shape cosine = [](double, double g) { return 400 * std::cos(g * M_PI / 180); };
    const Shape asymmetric = [](double c, double g) { return 400 * std::cos(g * M_PI / 180) * (1 + 0.5 * std::fabs(std::cos(c * M_PI / 180))); };
    QTest::newRow("round opening, the same in every C plane") << cosine << round(0.2, 0.2) << true;
    QTest::newRow("flat rectangular opening: the same from every side") << cosine << rectangle(1.2, 0.2) << true;
    QTest::newRow("rectangular opening 1.2 × 0.2 with 0.05 m sides") << cosine << rectangle(1.2, 0.2, {0.05, 0.05, 0.05, 0.05}) << false;
    QTest::newRow("round opening, more light in C0") << asymmetric << round(0.2, 0.2) << false;
}

void TestGlare::tableProperties()
{
    QFETCH(Shape, shape);
    QFETCH(Opening, opening);
    QFETCH(bool, symmetric);
    const Photometry p = sampled(shape, 1000, opening);
    Photometry twice = p;
    twice.lampFlux *= 2;
    for (auto &plane : twice.candela)
        for (double &v : plane)
            v *= 2;
    QString error;
    for (double spacing : {0.25, 1.0}) {
        Glare::Table t, t2;
        QVERIFY(Glare::table(p, spacing, &t, &error));
        QVERIFY(Glare::table(twice, spacing, &t2, &error));
        bool crossIsEnd = true;
        for (int room = 0; room < 19; ++room)
            for (int col = 0; col < 10; ++col) {
                // Twice the flux: 8 log10 2 more in every cell.
                QVERIFY2(std::fabs(t2.cells[room][col] - t.cells[room][col] - 8 * std::log10(2.0)) < 1e-9,
                         qPrintable(QStringLiteral("room %1, column %2").arg(room).arg(col)));
                if (col < 5)
                    crossIsEnd = crossIsEnd && std::fabs(t.cells[room][col] - t.cells[room][col + 5]) < 1e-6;
            }
        QCOMPARE(crossIsEnd, symmetric);
        // Longer along the line of sight, more luminaires near it: X 2H and 4H from Y 2H to 8H.
        for (int col = 0; col < 10; ++col)
            for (int first : {0, 6})
                for (int room = first; room < first + 4; ++room)
                    QVERIFY2(t.cells[room + 1][col] > t.cells[room][col],
                             qPrintable(QStringLiteral("SHR %1, room %2, column %3").arg(spacing).arg(room).arg(col)));
        // Darker surroundings, more glare: 30/30/20 above 70/50/20 in every room.
        for (int room = 0; room < 19; ++room)
            QVERIFY(t.cells[room][4] > t.cells[room][0] && t.cells[room][9] > t.cells[room][5]);
    }
    // No opening, no table: said.
    Photometry none = p;
    none.opening = Opening();
    Glare::Table t;
    QVERIFY(!Glare::table(none, 0.25, &t, &error));
    QCOMPARE(error, QStringLiteral("発光部の寸法がないため UGR を計算できません。"));
}

void TestGlare::openingsRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ldt");
    QTest::addColumn<int>("shape");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("side"); // the side facing C90
    QTest::addColumn<double>("ra");   // 0: none
    const QString ies = QStringLiteral("data/photometry/downlight-dl2000.ies");
    const QString ldt = QStringLiteral("data/photometry/linear-bl5200.ldt");
    const auto iesLine = [&](const QByteArray &geometry) { return withLines(ies, {{10, "1 -1 1.0 19 1 1 " + geometry}}); };
    const int rect = int(Opening::Shape::Rectangle), roundShape = int(Opening::Shape::Round), sphere = int(Opening::Shape::Sphere);
    QTest::newRow("IES in metres: width, length, height") << iesLine("2 0.3 1.2 0.05") << false << rect << 1.2 << 0.3 << 0.05 << 0.0;
    QTest::newRow("IES in feet") << iesLine("1 1 4 0") << false << rect << 4 * 0.3048 << 0.3048 << 0.0 << 0.0;
    QTest::newRow("IES round: both negative") << iesLine("2 -0.2 -0.2 0") << false << roundShape << 0.2 << 0.2 << 0.0 << 0.0;
    QTest::newRow("IES round, written with the width alone") << iesLine("2 -0.15 0 0") << false << roundShape << 0.15 << 0.15 << 0.0 << 0.0;
    QTest::newRow("IES elliptical") << iesLine("2 -0.2 -0.3 0") << false << roundShape << 0.3 << 0.2 << 0.0 << 0.0;
    QTest::newRow("IES vertical cylinder") << iesLine("2 -0.2 -0.2 0.1") << false << roundShape << 0.2 << 0.2 << 0.1 << 0.0;
    QTest::newRow("IES sphere") << iesLine("2 -0.3 -0.3 -0.3") << false << sphere << 0.3 << 0.3 << 0.3 << 0.0;
    QTest::newRow("IES without an opening") << iesLine("2 0 0 0") << false << 0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("EULUMDAT 1200 × 180 mm, Ra 80") << withLines(ldt, {}) << true << rect << 1.2 << 0.18 << 0.0 << 80.0;
    QTest::newRow("EULUMDAT with sides, Ra90")
        << withLines(ldt, {{16, "1150"}, {17, "180"}, {18, "10"}, {19, "20"}, {20, "30"}, {21, "40"}, {31, "Ra90"}}) << true << rect
        << 1.15 << 0.18 << 0.02 << 90.0;
    QTest::newRow("EULUMDAT round (width 0), group 1B")
        << withLines(ldt, {{16, "200"}, {17, "0"}, {31, "1B"}}) << true << roundShape << 0.2 << 0.2 << 0.0 << 80.0;
    QTest::newRow("EULUMDAT without an opening, Ra unreadable")
        << withLines(ldt, {{16, "0"}, {17, "0"}, {31, "-"}}) << true << 0 << 0.0 << 0.0 << 0.0 << 0.0;
}

void TestGlare::openingsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ldt);
    QFETCH(int, shape);
    QFETCH(double, length);
    QFETCH(double, width);
    QFETCH(double, side);
    QFETCH(double, ra);
    Photometry p;
    QString error;
    QVERIFY2(ldt ? PhotometryReader::readLdt(bytes, &p, &error) : PhotometryReader::readIes(bytes, &p, &error), qPrintable(error));
    QCOMPARE(int(p.opening.shape), shape);
    QCOMPARE(p.opening.present(), shape != 0);
    QVERIFY(std::fabs(p.opening.length - length) < 1e-12);
    QVERIFY(std::fabs(p.opening.width - width) < 1e-12);
    QVERIFY(std::fabs(p.opening.heights[1] - side) < 1e-12);
    QCOMPARE(p.colourRendering.value_or(0), ra);
}

void TestGlare::roomObserversByHand_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("background by radiosity") << int(Distribution::InterReflection::Radiosity);
    QTest::newRow("background by the standard's rule") << int(Distribution::InterReflection::Uniform);
}

void TestGlare::roomObserversByHand()
{
    // One luminaire in the middle of a 6 × 4 m room, its light centre 2.8 m up (eye 1.2 m: H 1.6);
    // 1000 cd (1 + 0.5 cos C) per 1000 lm, at 2000 lm and a maintenance factor of 0.8 that the
    // rating leaves out: 2000, 3000 or 1000 cd towards the four eyes (C 270, 0, 90, 180).
    QFETCH(int, method);
    Distribution::Room room;
    room.width = 6;
    room.depth = 4;
    room.area = 24;
    room.height = 2.8;
    room.workPlane = 0.8;
    room.reflectances = std::array<double, 3>{0.7, 0.5, 0.2};
    room.method = Distribution::InterReflection(method);
    Distribution::Source s;
    s.photometry = sampled([](double c, double) { return 1000 * (1 + 0.5 * std::cos(c * M_PI / 180)); }, 1000, rectangle(0.6, 0.3));
    s.fluxPerLuminaire = 2000;
    s.maintenance = 0.8;
    s.utilization = 0.6;
    s.height = 2.0;
    s.fittings = 1;
    s.layout = Distribution::Layout::grid(1, 1);
    room.sources = {s};
    Distribution::Result r;
    QString error;
    QVERIFY2(Distribution::compute(room, &r, &error), qPrintable(error));
    const RoomGlare::Result g = RoomGlare::compute(room, r);
    QVERIFY2(g.why.isEmpty(), qPrintable(g.why));
    QCOMPARE(g.observers.size(), 4);
    struct Expected {
        double x, y, view, intensity, r, p;
    };
    // p on row T/R 0 between columns: H/R 1.6 / 1.5 = 1.067 and 1.6 / 2.5 = 0.64.
    const double pNear = 7.00 + (8.10 - 7.00) * (1.6 / 1.5 - 1.0) / 0.1, pFar = 3.50 + (4.20 - 3.50) * 0.4;
    const Expected expected[] = {{3, 0.5, 90, 2000, 1.5, pNear}, {5.5, 2, 180, 3000, 2.5, pFar},
                                 {3, 3.5, 270, 2000, 1.5, pNear}, {0.5, 2, 0, 1000, 2.5, pFar}};
    double largest = 0;
    for (int k = 0; k < 4; ++k) {
        const RoomGlare::Observer &o = g.observers[k];
        const Expected &e = expected[k];
        QCOMPARE(o.number, k + 1);
        QCOMPARE(QPointF(o.x, o.y), QPointF(e.x, e.y));
        QCOMPARE(o.view, e.view);
        QCOMPARE(o.counted, 1);
        QVERIFY2(o.background > 0, qPrintable(QString::number(o.background)));
        const double d2 = e.r * e.r + 1.6 * 1.6;
        const double ap = 0.18 * 1.6 / std::sqrt(d2);
        const double ugr = 8 * std::log10(0.25 / o.background * e.intensity * e.intensity / (ap * d2 * e.p * e.p));
        QVERIFY2(o.ugr && std::fabs(*o.ugr - ugr) < 1e-3,
                 qPrintable(QStringLiteral("observer %1: %2, not %3").arg(k + 1).arg(o.ugr.value_or(-1)).arg(ugr)));
        largest = std::max(largest, ugr);
    }
    QVERIFY(std::fabs(*g.largest - largest) < 1e-3);
    if (room.method == Distribution::InterReflection::Uniform) {
        // The rule's background: the view along 奥行 sees X/H 6 / 1.6 across, Y/H 4 / 1.6 along.
        Glare::Zones z = Glare::zones(s.photometry);
        const double e = Glare::wallIlluminance(z, 6 / 1.6, 4 / 1.6, 0, 2000, 1, 2 * (6 + 4) * 1.6);
        QVERIFY(std::fabs(g.observers[0].background - e / M_PI) < 1e-9 * e);
    }
}

void TestGlare::roomWithoutOpeningOrLight()
{
    Distribution::Room room;
    room.width = 4;
    room.depth = 4;
    room.area = 16;
    room.height = 2.8;
    room.workPlane = 0.8;
    room.reflectances = std::array<double, 3>{0.0, 0.0, 0.0};
    Distribution::Source s;
    s.photometry = sampled([](double, double) { return 500.0; }, 1000, round(0.2, 0.2));
    s.fluxPerLuminaire = 1000;
    s.maintenance = 0.8;
    s.height = 2.0;
    s.fittings = 4;
    s.layout = Distribution::Layout::grid(2, 2);
    room.sources = {s};
    Distribution::Result r;
    QString error;
    QVERIFY2(Distribution::compute(room, &r, &error), qPrintable(error));
    // Black surfaces: no background, no rating (never an infinite one).
    RoomGlare::Result g = RoomGlare::compute(room, r);
    QVERIFY(!g.largest);
    QVERIFY(!g.why.isEmpty());
    // No opening: said.
    room.sources[0].photometry.opening = Opening();
    g = RoomGlare::compute(room, r);
    QVERIFY(!g.largest);
    QCOMPARE(g.why, QStringLiteral("発光部の寸法がないため UGR を計算できません。"));
}

void TestGlare::toolWritesTheTable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // on stderr when refused
    const QString ldt = QStringLiteral("data/photometry/linear-bl5200.ldt");
    QTest::newRow("catalogue spacing by default") << ldt << QStringList() << 0 << QString();
    QTest::newRow("SHR 1") << ldt << QStringList{QStringLiteral("--spacing"), QStringLiteral("1")} << 0 << QString();
    QTest::newRow("SHR 0.5 refused") << ldt << QStringList{QStringLiteral("--spacing"), QStringLiteral("0.5")} << 2
                                      << QStringLiteral("--spacing は 0.25 か 1 です");
    QTest::newRow("no opening: refused, nothing written") << QStringLiteral("none.ies") << QStringList() << 2
                                                          << QStringLiteral("発光部の寸法がないため UGR を計算できません。");
}

void TestGlare::toolWritesTheTable()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QString path = QDir(TestEnv::sourceDir()).filePath(file);
    if (file == u"none.ies") {
        path = dir.filePath(file);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(withLines(QStringLiteral("data/photometry/downlight-dl2000.ies"), {{10, "1 -1 1.0 19 1 1 2 0 0 0"}}));
    }
    const QString out = dir.filePath(QStringLiteral("ugr.csv"));
    QProcess p;
    p.start(QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m-mst")),
            QStringList{QStringLiteral("photometry"), path, QStringLiteral("--ugr-table"), out} + options);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), status);
    QVERIFY2(QString::fromUtf8(p.readAllStandardError()).contains(said), qPrintable(said));
    QCOMPARE(QFile::exists(out), status == 0);
    if (status != 0)
        return;
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 21);
    // The rooms in the standard's order, each with ten figures of one decimal.
    for (int room = 0; room < 19; ++room) {
        const QList<QByteArray> cells = lines[room + 1].split(',');
        QCOMPARE(cells.size(), 12);
        QCOMPARE(cells[0].toInt(), Glare::kRooms[room][0]);
        QCOMPARE(cells[1].toInt(), Glare::kRooms[room][1]);
        for (int c = 2; c < 12; ++c)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d$")).match(QString::fromLatin1(cells[c])).hasMatch(), cells[c].constData());
    }
    // The spacing reaches the table: the standard's SHR 1 gives other cells than the catalogues'.
    Photometry ph;
    QString error;
    QFile source(path);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(PhotometryReader::readLdt(source.readAll(), &ph, &error));
    Glare::Table t;
    QVERIFY(Glare::table(ph, options.isEmpty() ? 0.25 : 1.0, &t, &error));
    QCOMPARE(lines[1].split(',').value(2), QByteArray::number(t.cells[0][0], 'f', 1));
}

QTEST_GUILESS_MAIN(TestGlare)
#include "tst_glare.moc"
