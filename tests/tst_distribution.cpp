// The illuminance distribution (照度分布): the point-by-point calculation against closed forms,
// the grid and layout rules, the lumen method's mean, rooms without photometry, the window, the
// batch's CSV and PDF.
#include "illuminance/FBunpu.h"
#include "illuminance/RoomDistribution.h"
#include "illuminance/RoomRecord.h"
#include "grid/WorkFile.h"
#include "photometry/Distribution.h"
#include "photometry/DistributionPlot.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"

#include <QComboBox>
#include <QDir>
#include "settings/SettingsStore.h"
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QRegularExpression>
#include <QFileInfo>
#include <QMap>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>

#include <QPainter>

#include <cmath>
#include <functional>
#include <future>
#include <sys/resource.h>
#include <thread>

using namespace RoomRecord;
using Shape = std::function<double(double gamma)>;
Q_DECLARE_METATYPE(Shape)

namespace {

// A rotationally symmetric distribution sampled every degree, absolute photometry.
Photometry sampled(const Shape &f)
{
    Photometry p;
    p.absolute = true;
    p.cAngles = {0, 360};
    QList<double> plane;
    for (int g = 0; g <= 180; ++g) {
        p.gAngles.append(g);
        plane.append(f(g));
    }
    p.candela = {plane, plane};
    return p;
}

// A room of one source: `p` at `height`, laid out as `layout`, maintenance 1.
Distribution::Room room(double width, double depth, double height, const Photometry &p = {},
                        const Distribution::Layout &layout = Distribution::Layout::grid(1, 1))
{
    Distribution::Room r;
    r.width = width;
    r.depth = depth;
    r.area = width * depth;
    Distribution::Source s;
    s.photometry = p;
    s.height = height;
    s.maintenance = 1;
    s.fittings = layout.count();
    s.layout = layout;
    r.sources = {s};
    return r;
}

// The example office as the sheet saved it.
RecordGrid example()
{
    RecordGrid g(221, 38);
    if (!WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))))
        qWarning("the example cannot be read");
    return g;
}

// The room of the grid that holds `row`, worked out as the batch does.
RoomDistribution::Outcome roomAt(const RecordGrid &g, int row, const MasterTables &masters)
{
    const QList<int> rows = RoomDistribution::roomRows(g, row);
    QList<RoomDistribution::Texts> texts;
    for (int r : rows)
        texts.append([&g, r](int c) { return g.text(r, c); });
    return RoomDistribution::compute(texts, rows, masters, TestEnv::buildDir());
}

QStringList csvLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(TestEnv::readBytes(path)).split(QStringLiteral("\r\n"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestDistribution : public QObject
{
    Q_OBJECT
private slots:
    void oneSourceAgainstClosedForms_data();
    void oneSourceAgainstClosedForms();
    void centredLayoutIsSymmetric();
    void floorMeanIsTheLumenMethods();
    void twoKindsOfLuminaireSummed();
    void planesFromTheXAxis();
    void gridRule_data();
    void gridRule();
    void defaultLayout_data();
    void defaultLayout();
    void textsClearOfMarkersAndEachOther_data();
    void textsClearOfMarkersAndEachOther();
    void isoluxLevels_data();
    void isoluxLevels();
    void isoluxLevelsEndForValuesUlpsApart_data();
    void isoluxLevelsEndForValuesUlpsApart();
    void extremeRoomsAnswerOrRefuse_data();
    void extremeRoomsAnswerOrRefuse();
    void roomWithoutPhotometry();
    void roomsOfSeveralRows();
    void utilizationAgainstThePhotometricFile();
    void radiosityAgainstTheLumenMethod();
    void windowOfTheRoom();
    void windowWalksTheRooms();
    void previewWithDistributionCanBeCancelled();
    void batchCsvAndPdf();
};

void TestDistribution::oneSourceAgainstClosedForms_data()
{
    QTest::addColumn<Shape>("intensity");
    QTest::addColumn<int>("cosinePower"); // E = I0 cos^n(g) / h^2 with n = 3 + the shape's power
    QTest::newRow("isotropic, 1000 cd: I h / (h^2 + r^2)^1.5") << Shape([](double) { return 1000.0; }) << 3;
    QTest::newRow("Lambertian, 1000 cd: I0 h^2 / (h^2 + r^2)^2")
        << Shape([](double g) { return g <= 90 ? 1000 * std::cos(g * M_PI / 180) : 0.0; }) << 4;
}

void TestDistribution::oneSourceAgainstClosedForms()
{
    QFETCH(Shape, intensity);
    QFETCH(int, cosinePower);
    const Photometry p = sampled(intensity);
    Distribution::Result r;
    QString error;
    const double h = 2.4;
    QVERIFY2(Distribution::compute(room(10, 8, h, p), &r, &error), qPrintable(error));
    QCOMPARE(r.luminaires, (QList<QList<QPointF>>{{QPointF(5, 4)}}));
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i) {
            const QPointF at = r.grid.point(i, j);
            const double r2 = std::pow(at.x() - 5, 2) + std::pow(at.y() - 4, 2);
            const double exact = 1000 * std::pow(h * h / (h * h + r2), cosinePower / 2.0) / (h * h);
            const double got = r.direct[j * r.grid.cellsX + i];
            QVERIFY2(std::fabs(got - exact) < 2e-4 * exact, qPrintable(QStringLiteral("(%1, %2): %3, not %4").arg(at.x()).arg(at.y()).arg(got).arg(exact)));
        }
}

void TestDistribution::centredLayoutIsSymmetric()
{
    // Four luminaires of an asymmetric distribution (more light towards +x): a centred layout
    // still mirrors in y, and in x for a distribution that is symmetric.
    Photometry p = sampled([](double g) { return g <= 90 ? 900 * std::pow(std::cos(g * M_PI / 180), 1.3) : 0.0; });
    Distribution::Result r;
    QString error;
    QVERIFY(Distribution::compute(room(8, 6, 2.0, p, Distribution::Layout::grid(2, 2)), &r, &error));
    const int nx = r.grid.cellsX, ny = r.grid.cellsY;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const double e = r.total[j * nx + i];
            QVERIFY(std::fabs(e - r.total[j * nx + (nx - 1 - i)]) < 1e-9 * e);
            QVERIFY(std::fabs(e - r.total[(ny - 1 - j) * nx + i]) < 1e-9 * e);
        }
    QVERIFY(r.u0 > 0 && r.u0 < 1 && r.ud <= r.u0);
}

void TestDistribution::floorMeanIsTheLumenMethods()
{
    // Relative photometry: 3000 lm lamps in luminaires of a Lambertian 1000 lm file, U 0.85, M 0.8.
    Photometry p = sampled([](double g) { return g <= 90 ? 1000 / M_PI * std::cos(g * M_PI / 180) : 0.0; });
    p.absolute = false;
    p.lampFlux = 1000;
    Distribution::Room r = room(12, 9, 2.0, p, Distribution::defaultLayout(12, 12, 9));
    r.sources[0].fluxPerLuminaire = 3000;
    r.sources[0].utilization = 0.85;
    r.sources[0].maintenance = 0.8;
    Distribution::Result d;
    QString error;
    QVERIFY(Distribution::compute(r, &d, &error));
    // E_lumen = 12 x 3000 x 0.85 x 0.8 / 108 = 226.67 lx, above the direct light's mean.
    const double lumen = 12 * 3000 * 0.85 * 0.8 / 108;
    QCOMPARE(d.luminaires.first().size(), 12);
    QVERIFY(std::fabs(d.lumen - lumen) < 1e-9);
    QVERIFY(d.indirect > 0);
    // The mean over the floor, each point direct and the uniform part, is the lumen method's.
    const Distribution::Grid floor = Distribution::floorGrid(12, 9);
    double sum = 0;
    for (int j = 0; j < floor.cellsY; ++j)
        for (int i = 0; i < floor.cellsX; ++i)
            sum += Distribution::totalAt(r, d, floor.point(i, j));
    QVERIFY2(std::fabs(sum / floor.count() - lumen) < 1e-6, qPrintable(QString::number(sum / floor.count())));
}

// A room lit by two kinds of luminaire at different heights: downlights of an isotropic 100 cd
// (absolute photometry, 保守率 0.8) 2.4 m above the work plane, and two Lambertian luminaires of a
// 1000 lm file with 3000 lm lamps (保守率 0.7) 1.6 m above it. Every point is the sum of the two
// closed forms; the uniform part is the two rows' lumen-method illuminances less the mean direct
// light of all of them over the floor.
void TestDistribution::twoKindsOfLuminaireSummed()
{
    const auto rad = [](double g) { return g * M_PI / 180; };
    Distribution::Room r = room(10, 8, 2.4, sampled([](double) { return 100.0; }));
    r.sources[0].maintenance = 0.8;
    r.sources[0].fluxPerLuminaire = 2000;
    r.sources[0].utilization = 0.8;
    Photometry lambert = sampled([&](double g) { return g <= 90 ? 1000 / M_PI * std::cos(rad(g)) : 0.0; });
    lambert.absolute = false;
    lambert.lampFlux = 1000;
    Distribution::Source s;
    s.photometry = lambert;
    s.fluxPerLuminaire = 3000;
    s.utilization = 0.9;
    s.maintenance = 0.7;
    s.height = 1.6;
    s.fittings = 2;
    s.layout = Distribution::Layout::grid(2, 1);
    r.sources.append(s);
    Distribution::Result d;
    QString error;
    QVERIFY2(Distribution::compute(r, &d, &error), qPrintable(error));
    QCOMPARE(d.luminaires, (QList<QList<QPointF>>{{QPointF(5, 4)}, {QPointF(2.5, 4), QPointF(7.5, 4)}}));
    // By hand: 100 x 0.8 h1 / (h1^2 + r^2)^1.5 and 3 x 0.7 x (1000 / pi) h2^2 / (h2^2 + r^2)^2.
    const auto direct = [](QPointF at) {
        const auto r2 = [&at](double x, double y) { return std::pow(at.x() - x, 2) + std::pow(at.y() - y, 2); };
        const double h1 = 2.4, h2 = 1.6, i2 = 3 * 0.7 * 1000 / M_PI;
        double e = 80 * h1 / std::pow(h1 * h1 + r2(5, 4), 1.5);
        for (const double x : {2.5, 7.5})
            e += i2 * h2 * h2 / std::pow(h2 * h2 + r2(x, 4), 2);
        return e;
    };
    const Distribution::Grid floor = Distribution::floorGrid(10, 8);
    double floorSum = 0;
    for (int j = 0; j < floor.cellsY; ++j)
        for (int i = 0; i < floor.cellsX; ++i)
            floorSum += direct(floor.point(i, j));
    // 1 x 2000 x 0.8 x 0.8 / 80 = 16 lx and 2 x 3000 x 0.9 x 0.7 / 80 = 47.25 lx.
    const double indirect = 16 + 47.25 - floorSum / floor.count();
    QVERIFY(indirect > 1);
    // The file's intensities are linear between its degrees: 2e-4 of the floor's direct mean.
    const double tolerance = 2e-4 * floorSum / floor.count();
    QVERIFY2(std::fabs(d.indirect - indirect) < tolerance, qPrintable(QStringLiteral("%1, not %2").arg(d.indirect).arg(indirect)));
    for (int j = 0; j < d.grid.cellsY; ++j)
        for (int i = 0; i < d.grid.cellsX; ++i) {
            const QPointF at = d.grid.point(i, j);
            const double exact = direct(at);
            const int k = j * d.grid.cellsX + i;
            QVERIFY2(std::fabs(d.direct[k] - exact) < 2e-4 * exact, qPrintable(QStringLiteral("(%1, %2): %3, not %4").arg(at.x()).arg(at.y()).arg(d.direct[k]).arg(exact)));
            QVERIFY(std::fabs(d.total[k] - exact - indirect) < 2e-4 * exact + tolerance);
        }
}

// C0 lies along 間口 (+x), C90 along 奥行 (+y): a file with 1000 cd in C0 and 400 cd in C90 gives
// I(C) cos^3(g) / h^2 on each axis.
void TestDistribution::planesFromTheXAxis()
{
    Photometry p;
    p.absolute = true;
    p.cAngles = {0, 90, 180, 270, 360};
    p.gAngles = {0, 90};
    p.candela = {{1000, 1000}, {400, 400}, {1000, 1000}, {400, 400}, {1000, 1000}};
    Distribution::Room r = room(12, 12, 2.0, p);
    Distribution::Result d;
    QString error;
    QVERIFY(Distribution::compute(r, &d, &error));
    const double h = 2.0, off = 3.0;
    const double cos3 = std::pow(h / std::hypot(h, off), 3);
    // Between 0 and 90 degrees from the nadir the file is linear in gamma: at atan(3/2), the
    // intensity is the same in both rows of the plane.
    QVERIFY(std::fabs(Distribution::totalAt(r, d, {6 + off, 6}) - d.indirect - 1000 * cos3 / (h * h)) < 1e-9);
    QVERIFY(std::fabs(Distribution::totalAt(r, d, {6, 6 + off}) - d.indirect - 400 * cos3 / (h * h)) < 1e-9);
}

void TestDistribution::gridRule_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("depth");
    QTest::addColumn<double>("band");
    QTest::addColumn<double>("cell");
    QTest::addColumn<int>("cellsX");
    QTest::addColumn<int>("cellsY");
    // p = 0.2 x 5^log10(d), d the longer side of the area less its band.
    QTest::newRow("10 x 8: d 9, p 0.929") << 10.0 << 8.0 << 0.5 << 0.929 << 10 << 8;
    QTest::newRow("1.8 x 3: a side under 2 m, no band") << 1.8 << 3.0 << 0.0 << 0.431 << 5 << 7;
    QTest::newRow("2 x 2: the band leaves 1 m, p 0.2") << 2.0 << 2.0 << 0.5 << 0.2 << 5 << 5;
    QTest::newRow("30 x 2 corridor: p 2.105") << 30.0 << 2.0 << 0.5 << 2.1048 << 14 << 1;
    QTest::newRow("100 x 60 hall: p 4.965") << 100.0 << 60.0 << 0.5 << 4.965 << 20 << 12;
}

void TestDistribution::gridRule()
{
    QFETCH(double, width);
    QFETCH(double, depth);
    QFETCH(double, band);
    QFETCH(double, cell);
    QFETCH(int, cellsX);
    QFETCH(int, cellsY);
    const Distribution::Grid g = Distribution::calculationGrid(width, depth);
    QCOMPARE(g.x0, band);
    QCOMPARE(g.y0, band);
    QVERIFY(std::fabs(g.cell - cell) < 5e-4);
    QCOMPARE(g.cellsX, cellsX);
    QCOMPARE(g.cellsY, cellsY);
    // Points at the cells' centres.
    QVERIFY(std::fabs(g.point(0, 0).x() - (band + (width - 2 * band) / cellsX / 2)) < 1e-12);
}

void TestDistribution::defaultLayout_data()
{
    QTest::addColumn<int>("fittings");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("depth");
    QTest::addColumn<QList<int>>("rows");
    // Rows along 間口 whose counts differ by at most one; the number of rows that makes the mean
    // spacing along a row closest to the spacing between rows; the longer rows the same from
    // either wall.
    // 58 in 8 x 6: 7 rows (8.29 a row: 0.97 m along, 0.86 m across; 6 rows: 0.83 / 1.00).
    QTest::newRow("58 in 8 x 6") << 58 << 8.0 << 6.0 << QList<int>{8, 9, 8, 8, 8, 9, 8};
    // 3 in 4 x 3: 2 rows (2.67 m / 1.50 m; one row: 1.33 / 3.00).
    QTest::newRow("3 in 4 x 3") << 3 << 4.0 << 3.0 << QList<int>{2, 1};
    QTest::newRow("5 in 6 x 4") << 5 << 6.0 << 4.0 << QList<int>{3, 2};
    // 26 in 18 x 12: 4 rows (2.77 / 3.00; 5 rows: 3.46 / 2.40).
    QTest::newRow("26 in 18 x 12") << 26 << 18.0 << 12.0 << QList<int>{7, 6, 6, 7};
    QTest::newRow("46 in 18 x 12") << 46 << 18.0 << 12.0 << QList<int>{8, 8, 7, 7, 8, 8};
    QTest::newRow("9 in 8 x 6: 3 x 3") << 9 << 8.0 << 6.0 << QList<int>{3, 3, 3};
    QTest::newRow("10 in a 30 x 2 corridor: one row") << 10 << 30.0 << 2.0 << QList<int>{10};
    QTest::newRow("1 in 4 x 4") << 1 << 4.0 << 4.0 << QList<int>{1};
    // Ties: two numbers of rows as close (W ny1 ny2 = F D): the fewer rows.
    // 2 in 4 x 4: one row 2.00 / 4.00, two rows 4.00 / 2.00.
    QTest::newRow("2 in 4 x 4: a tie, one row") << 2 << 4.0 << 4.0 << QList<int>{2};
    // 6 in 6 x 6: two rows 2.00 / 3.00, three rows 3.00 / 2.00.
    QTest::newRow("6 in 6 x 6: a tie, two rows") << 6 << 6.0 << 6.0 << QList<int>{3, 3};
    QTest::newRow("none") << 0 << 4.0 << 4.0 << QList<int>{};
}

void TestDistribution::defaultLayout()
{
    QFETCH(int, fittings);
    QFETCH(double, width);
    QFETCH(double, depth);
    QFETCH(QList<int>, rows);
    const Distribution::Layout l = Distribution::defaultLayout(fittings, width, depth);
    QCOMPARE(l.rows, rows);
    QCOMPARE(l.count(), fittings);
    // Each row's luminaires at equal spacing centred in the room, the rows at equal spacing.
    const QList<QPointF> at = Distribution::positions(l, width, depth);
    QCOMPARE(at.size(), fittings);
    int k = 0;
    for (int j = 0; j < rows.size(); ++j)
        for (int i = 0; i < rows[j]; ++i, ++k) {
            QVERIFY(std::fabs(at[k].x() - width * (2 * i + 1) / (2 * rows[j])) < 1e-12);
            QVERIFY(std::fabs(at[k].y() - depth * (2 * j + 1) / (2 * rows.size())) < 1e-12);
        }
}

void TestDistribution::textsClearOfMarkersAndEachOther_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("values");
    QTest::newRow("the window, point values") << QSize(900, 600) << true;
    QTest::newRow("a small picture") << QSize(450, 300) << false;
    QTest::newRow("a small picture, point values") << QSize(450, 300) << true;
}

// Every room of the example drawn: no text cut or outside the drawing, none over a luminaire's
// marker or over another text (the corridor's 奥行, the isolux values among the luminaires).
void TestDistribution::textsClearOfMarkersAndEachOther()
{
    QFETCH(QSize, size);
    QFETCH(bool, values);
    for (const RoomDistribution::Outcome &o : RoomDistribution::computeAll(example(), TestEnv::sampleMasters(), TestEnv::buildDir())) {
        QVERIFY2(o.ok, qPrintable(o.reason));
        QImage image(size, QImage::Format_ARGB32);
        QPainter painter(&image);
        DistributionPlot::Drawn drawn;
        const QRectF area(0, 0, size.width(), size.height());
        DistributionPlot::draw(painter, area, o.room, o.result, DistributionPlot::sample(o.room, o.result), {true, values}, &drawn);
        const QString room = o.rowsText() + u' ' + o.name;
        QVERIFY2(drawn.texts.size() >= 3, qPrintable(room)); // two dimensions and an isolux value at least
        // Where the values are shown, each point has its own: beside a luminaire's marker, not left out.
        QCOMPARE(drawn.pointValues, drawn.pointsShown);
        if (values && size.width() == 900)
            QVERIFY2(drawn.pointsShown > 0 || o.result.grid.cellsX * o.result.grid.cellsY > 60, qPrintable(room));
        for (int i = 0; i < drawn.texts.size(); ++i) {
            const auto &t = drawn.texts[i];
            const QString what = room + QStringLiteral(": ") + t.text;
            QVERIFY2(area.contains(t.box), qPrintable(what));
            QVERIFY2(t.length <= (t.upright ? t.box.height() : t.box.width()) + 0.5, qPrintable(what));
            for (const QRectF &m : std::as_const(drawn.markers))
                QVERIFY2(!t.box.intersects(m), qPrintable(what));
            for (int j = i + 1; j < drawn.texts.size(); ++j)
                QVERIFY2(!t.box.intersects(drawn.texts[j].box), qPrintable(what + QStringLiteral(" / ") + drawn.texts[j].text));
        }
    }
}

void TestDistribution::isoluxLevels_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QList<double>>("levels"); // empty: only checked to lie inside, 3 to 6 of them
    // A sixth of the range, rounded up to 1, 2 or 5 times a power of ten; only levels inside.
    QTest::newRow("0 to 600: a sixth is 100") << 0.0 << 600.0 << QList<double>{100, 200, 300, 400, 500};
    QTest::newRow("120 to 130: 1.67 rounds up to 2") << 120.0 << 130.0 << QList<double>{122, 124, 126, 128};
    QTest::newRow("310 to 790: 80 rounds up to 100") << 310.0 << 790.0 << QList<double>{400, 500, 600, 700};
    QTest::newRow("a hair wide, far from zero") << 1000.0 << 1000.0000001 << QList<double>{};
    QTest::newRow("no range") << 500.0 << 500.0 << QList<double>{};
}

void TestDistribution::isoluxLevels()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QList<double>, levels);
    const QList<double> got = DistributionPlot::levels(low, high);
    if (!levels.isEmpty()) {
        QCOMPARE(got, levels);
        return;
    }
    QVERIFY(got.size() <= 6);
    QCOMPARE(got.isEmpty(), !(high > low));
    for (double v : got)
        QVERIFY(v > low && v < high);
}

namespace {

// Runs `work` on a thread of its own: false when it has not ended within the seconds (a loop for
// ever fails the test instead of holding it; the thread is left behind).
bool endsWithin(int seconds, std::function<void()> work)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> ended = done->get_future();
    std::thread([work, done] {
        work();
        done->set_value();
    }).detach();
    return ended.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
}

} // namespace

void TestDistribution::isoluxLevelsEndForValuesUlpsApart_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<int>("ulps");
    // Far from zero, where a step of the range is below a unit of low / step.
    QTest::newRow("1e15 lx, 3 ulps") << 1e15 << 3;
    QTest::newRow("5.2e17 lx, 1 ulp") << 5.2e17 << 1;
    QTest::newRow("1e300 lx, 5 ulps") << 1e300 << 5;
    QTest::newRow("7 lx, 2 ulps") << 7.0 << 2;
}

void TestDistribution::isoluxLevelsEndForValuesUlpsApart()
{
    QFETCH(double, low);
    QFETCH(int, ulps);
    double high = low;
    for (int i = 0; i < ulps; ++i)
        high = std::nextafter(high, HUGE_VAL);
    auto got = std::make_shared<QList<double>>();
    QVERIFY2(endsWithin(10, [=] { *got = DistributionPlot::levels(low, high); }), "the levels never end");
    QVERIFY(got->size() <= 6);
    for (double v : std::as_const(*got))
        QVERIFY(v > low && v < high);
}

void TestDistribution::extremeRoomsAnswerOrRefuse_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reason"); // "" : the room is worked out
    QTest::addColumn<int>("status");     // the batch's: 5 for a figure no number can be read from
    // The example's office row (18 x 12 m, 46 fittings) with one field pushed to the extreme.
    QTest::newRow("照明率 1e15: worked out, drawn") << int(UtilizationFactor) << "1000000000000000" << "" << 0;
    QTest::newRow("台数 1e9") << int(FittingCount) << "1000000000" << "台数「1000000000」は 200 台までです" << 0;
    QTest::newRow("台数 99999999999, beyond an int") << int(FittingCount) << "99999999999" << "台数「99999999999」は 200 台まで" << 0;
    QTest::newRow("台数 201, one beyond") << int(FittingCount) << "201" << "台数「201」は 200 台まで" << 0;
    QTest::newRow("台数 200, the bound: worked out") << int(FittingCount) << "200" << "" << 0;
    QTest::newRow("台数 -3") << int(FittingCount) << "-3" << "台数「-3」が負の数です" << 0;
    QTest::newRow("間口 1e12 m") << int(Width) << "1000000000000" << "間口「1000000000000」は 100 m まで" << 0;
    QTest::newRow("奥行 1e8 m") << int(Depth) << "100000000" << "奥行「100000000」は 100 m まで" << 0;
    QTest::newRow("間口 100.5 m, just beyond") << int(Width) << "100.5" << "間口「100.5」は 100 m まで" << 0;
    QTest::newRow("間口 100 m, the bound: worked out") << int(Width) << "100" << "" << 0;
    QTest::newRow("間口 of 400 digits (infinite)") << int(Width) << QString(400, u'9') << "間口「999999999999999999999999…」は大きすぎて計算できません" << 5;
    QTest::newRow("保守率 -0.8") << int(MaintenanceFactor) << "-0.8" << "保守率「-0.8」が負の数です" << 0;
    QTest::newRow("照明率 -0.5") << int(UtilizationFactor) << "-0.5" << "照明率「-0.5」が負の数です" << 0;
    QTest::newRow("光束 of 400 digits") << int(LampFlux) << QString(400, u'9') << "光束「999999999999999999999999…」は大きすぎて計算できません" << 5;
    QTest::newRow("器具下り of -400 digits") << int(Suspension) << QStringLiteral("-") + QString(400, u'9') << "器具下り「-99999999999999999999999…」は大きすぎて計算できません" << 5;
}

void TestDistribution::extremeRoomsAnswerOrRefuse()
{
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, reason);
    QFETCH(int, status);
    RecordGrid g = example();
    g.setText(3, column, value);
    // Counts typed (neither 自動): the count stays what it is whatever the hostile value gives.
    g.setText(3, LampCountAuto, QStringLiteral("0"));
    g.setText(3, FittingCountAuto, QStringLiteral("0"));
    // In the program as the window and the preview use it: an answer or a refusal, in seconds.
    const MasterTables masters = TestEnv::sampleMasters();
    auto outcome = std::make_shared<RoomDistribution::Outcome>();
    QVERIFY2(endsWithin(60, [=, &g, &masters] {
                 *outcome = roomAt(g, 3, masters);
                 if (outcome->ok) {
                     QImage image(600, 450, QImage::Format_ARGB32);
                     QPainter painter(&image);
                     DistributionPlot::draw(painter, QRectF(0, 0, 600, 450), outcome->room, outcome->result,
                                            DistributionPlot::sample(outcome->room, outcome->result), {true, true});
                 }
             }),
             "the room was neither worked out nor refused");
    QCOMPARE(outcome->ok, reason.isEmpty());
    if (!reason.isEmpty()) {
        QVERIFY2(outcome->reason.startsWith(reason), qPrintable(outcome->reason));
        QVERIFY(!outcome->reason.contains(QStringLiteral("台数が 0 です")));
    }
    // The batch, its memory capped and its time bounded: the same answer, and rooms.csv never
    // shows another count than the one typed.
    QTemporaryDir dir;
    RecordGrid one(221, 38);
    for (int c = 1; c <= 38; ++c)
        one.setText(1, c, g.text(3, c));
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    QVERIFY(WorkFile::save(one, in));
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
#ifndef PRX5M_SANITIZED
    p.setChildProcessModifier([] {
        const rlimit cap{rlim_t(1) << 30, rlim_t(1) << 30};
        ::setrlimit(RLIMIT_AS, &cap);
    });
#endif
    for (const QStringList &args : {QStringList{QStringLiteral("--distribution-csv"), in, dir.filePath(QStringLiteral("out"))},
                                    QStringList{QStringLiteral("--pdf"), QStringLiteral("distribution"), in,
                                                dir.filePath(QStringLiteral("d.pdf"))}}) {
        p.start(TestEnv::program(QStringLiteral("prx5m")), args);
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            QFAIL(qPrintable(args.first() + QStringLiteral(": no answer within a minute")));
        }
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        // The CSV lists a room it cannot work out without figures (status 0); the PDF has no
        // page for it; a figure no number can be read from stops both (status 5).
        const bool pdf = args.first() == u"--pdf";
        QCOMPARE(p.exitCode(), status ? status : reason.isEmpty() || !pdf ? 0 : 3);
        if (!reason.isEmpty())
            QVERIFY2(err.contains(reason), qPrintable(err));
    }
    if (status) {
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out/rooms.csv"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("d.pdf"))));
        return;
    }
    const QStringList room = csvLines(dir.filePath(QStringLiteral("out/rooms.csv"))).value(1).split(u',');
    QCOMPARE(room.value(11).isEmpty(), !reason.isEmpty()); // e_avg
    if (column == FittingCount && !reason.isEmpty())
        QVERIFY2(room.value(5).isEmpty() || room.value(5) == value, qPrintable(room.value(5)));
    else if (column != FittingCount)
        QCOMPARE(room.value(5), QStringLiteral("46"));
    else
        QVERIFY(std::isfinite(room.value(11).toDouble()) && room.value(11).toDouble() >= 0);
}

void TestDistribution::roomWithoutPhotometry()
{
    const MasterTables masters = TestEnv::sampleMasters();
    RecordGrid g = example();
    g.setText(3, LuminaireIndex, QStringLiteral("2")); // a luminaire no file is kept for
    g.setText(4, LuminaireIndex, QString());           // typed by hand
    const auto kept = roomAt(g, 3, masters);
    QVERIFY(!kept.ok);
    QCOMPARE(kept.reason, QStringLiteral("照明器具「埋込下面開放形Hf16」（スロット 2）には配光データがありません。"
                                         "ｵﾌﾟｼｮﾝ → 配光データから照明器具を追加... で登録できます。"));
    QCOMPARE(roomAt(g, 4, masters).reason, QStringLiteral("照明器具がマスタから選ばれていないため、配光データがありません。"));
    // A slot given to another luminaire since: its old file is no longer its.
    QVERIFY(roomAt(g, 5, masters).ok);
    MasterTables renamed = masters;
    LuminaireRecord other = renamed.luminaire(19);
    other.name = QStringLiteral("別の器具");
    renamed.setLuminaire(19, other);
    QVERIFY(!roomAt(g, 5, renamed).ok);
    // In a room of two rows, the row without one is named.
    g.setText(2, LuminaireIndex, QStringLiteral("2"));
    QCOMPARE(roomAt(g, 1, masters).reason, QStringLiteral("2 行目の照明器具「埋込下面開放形Hf16」（スロット 2）には配光データがありません。"
                                                          "ｵﾌﾟｼｮﾝ → 配光データから照明器具を追加... で登録できます。"));
}

// Neighbouring rows of one floor with the same 室名１ and the same 間口 and 奥行 are one room; a row
// without a floor label is on the floor above it.
void TestDistribution::roomsOfSeveralRows()
{
    RecordGrid g = example();
    QCOMPARE(RoomDistribution::roomRows(g, 2), (QList<int>{1, 2})); // 玄関ホール, two kinds
    QCOMPARE(RoomDistribution::rooms(g).size(), 30);
    g.setText(2, Floor, QString());
    QCOMPARE(RoomDistribution::roomRows(g, 1), (QList<int>{1, 2}));
    g.setText(2, Depth, QStringLiteral("6.5")); // another room of the same name
    QCOMPARE(RoomDistribution::roomRows(g, 1), (QList<int>{1}));
    g.setText(2, Depth, QStringLiteral("6"));   // 6.0 written otherwise
    QCOMPARE(RoomDistribution::roomRows(g, 1), (QList<int>{1, 2}));
    g.setText(2, Floor, QStringLiteral("2F"));
    QCOMPARE(RoomDistribution::roomRows(g, 1), (QList<int>{1}));
    // Each row at its own height: the indirect cove 0.5 m down, the downlights at the ceiling.
    g.setText(2, Floor, QStringLiteral("1F"));
    g.setText(2, Suspension, QStringLiteral("0.5"));
    const auto o = roomAt(g, 1, TestEnv::sampleMasters());
    QVERIFY2(o.ok, qPrintable(o.reason));
    QCOMPARE(o.rowsText(), QStringLiteral("1+2"));
    const double ceiling = g.text(1, CeilingHeight).toDouble(), plane = g.text(1, WorkPlaneHeight).toDouble();
    QCOMPARE(o.room.sources[0].height, ceiling - plane);
    QCOMPARE(o.room.sources[1].height, ceiling - 0.5 - plane);
    QCOMPARE(o.result.luminaires[0].size(), 58);
    QCOMPARE(o.result.luminaires[1].size(), 23);
    // The lumen method's value is that of both rows.
    QCOMPARE(o.lumenResult, g.text(1, ResultIlluminance).toDouble() + g.text(2, ResultIlluminance).toDouble());
}

// The sample files agree with the sample master's 照明率 in every room of the example (within 5 %,
// no note); a 照明率 the file does not give (more than 10 % off) is said.
void TestDistribution::utilizationAgainstThePhotometricFile()
{
    const MasterTables masters = TestEnv::sampleMasters();
    RecordGrid g = example();
    for (const RoomDistribution::Outcome &o : RoomDistribution::computeAll(g, masters, TestEnv::buildDir())) {
        QVERIFY2(o.ok, qPrintable(o.reason));
        QVERIFY2(o.notes.isEmpty(), qPrintable(o.notes.join(u'\n')));
        for (const RoomDistribution::Part &p : o.parts) {
            QVERIFY2(p.utilizationOfFile, qPrintable(o.rowsText()));
            QVERIFY2(std::fabs(*p.utilizationOfFile - p.utilization) <= 0.05 * p.utilization,
                     qPrintable(QStringLiteral("%1 行目: %2 / %3").arg(p.row).arg(p.utilization).arg(*p.utilizationOfFile)));
        }
    }
    // Row 3's file gives its room 0.68 (the table's pattern 1, class 9): 0.60 is more than 10 % off
    // (0.08 against 0.060), 0.63 is not (0.05 against 0.063).
    const auto of = roomAt(g, 3, masters);
    const QString file = QStringLiteral("%1").arg(*of.parts[0].utilizationOfFile, 0, 'f', 2);
    QCOMPARE(file, QStringLiteral("0.68"));
    g.setText(3, UtilizationFactor, QStringLiteral("0.63"));
    QCOMPARE(roomAt(g, 3, masters).notes, QStringList());
    g.setText(3, UtilizationFactor, QStringLiteral("0.60"));
    QCOMPARE(roomAt(g, 3, masters).notes, QStringList{QStringLiteral("照明率が配光データと合っていません（計算書 0.60、配光データ 0.68）")});
}

// Where the sheet's 照明率 is the photometric file's, the radiosity's mean over the work plane is
// close to the lumen method's: within 15 % of the zonal-cavity method at the room's own index (the
// cavities assume even light in each: a few % apart is expected; more for a luminaire with upward
// light on a low ceiling). The sheet's value takes the 照明率 of the index's class (0.67 is worked
// as 0.6), which small rooms feel most: reported, room by room.
void TestDistribution::radiosityAgainstTheLumenMethod()
{
    const QList<RoomDistribution::Outcome> rooms = RoomDistribution::computeAll(example(), TestEnv::sampleMasters(), TestEnv::buildDir());
    QStringList beyond, report;
    for (const RoomDistribution::Outcome &o : rooms) {
        QVERIFY2(o.ok, qPrintable(o.reason));
        QCOMPARE(o.result.method, Distribution::InterReflection::Radiosity);
        const Distribution::Grid floor = Distribution::floorGrid(o.room.width, o.room.depth);
        double sum = 0;
        for (int j = 0; j < floor.cellsY; ++j)
            for (int i = 0; i < floor.cellsX; ++i)
                sum += Distribution::directAt(o.room, o.result, floor.point(i, j))
                       + Radiosity::indirectAt(*o.result.surfaces, o.result.box, floor.point(i, j));
        const double mean = sum / floor.count();
        const auto &rho = *o.room.reflectances;
        double lumen = 0; // N F U M / A, U at the room's own index
        for (const Distribution::Source &src : o.room.sources) {
            const double k = o.room.width * o.room.depth / (src.height * (o.room.width + o.room.depth));
            lumen += src.layout.count() * src.fluxPerLuminaire * PhotometryMath::utilizationAt(src.photometry, k, rho[0], rho[1], rho[2])
                     * src.maintenance / o.room.area;
        }
        const double off = mean / lumen - 1;
        report.append(QStringLiteral("%1 %2: %3 % (計算書 %4 %)")
                          .arg(o.rowsText(), o.name)
                          .arg(100 * off, 0, 'f', 1)
                          .arg(100 * (mean / o.lumenResult - 1), 0, 'f', 1));
        if (std::fabs(off) > 0.15)
            beyond.append(report.last());
    }
    qInfo("%s", qPrintable(report.join(QStringLiteral("; "))));
    QVERIFY2(beyond.isEmpty(), qPrintable(beyond.join(QStringLiteral("; "))));
}

void TestDistribution::windowOfTheRoom()
{
    QTemporaryDir dir;
    SheetFixture f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    const QString work = dir.filePath(QStringLiteral("office.syw"));
    TestEnv::writeBytes(work, TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    f.dialogs.paths = {work, dir.filePath(QStringLiteral("office.png")), dir.filePath(QStringLiteral("office.pdf"))};
    f.sheet->Menu_File_Open_Click();
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("3");
    f.enter("Txt_Kai"); // 事務室（営業）, 46 fittings in 18 x 12 m
    QString before, after, message, status;
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        before = d.findChild<QLabel *>(QStringLiteral("Lbl_Figures"))->text();
        auto *nx = d.findChild<QSpinBox *>(QStringLiteral("Spn_Nx"));
        nx->setValue(nx->value() + 1); // how fast it redraws is measured in bench/
        d.findChild<QWidget *>(QStringLiteral("Wid_Plot"))->grab();
        after = d.findChild<QLabel *>(QStringLiteral("Lbl_Figures"))->text();
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Png")), Qt::LeftButton);
        status = d.findChild<QLabel *>(QStringLiteral("Lbl_Status"))->text();
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Pdf")), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Close")), Qt::LeftButton);
        return d.result();
    }};
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Option_Bunpu"))->trigger();
    // The design's 46 in six rows of 8, 8, 7, 7, 8, 8; the luminaire as the sheet names it.
    // The page names what the room is worked out with: design illuminance, work plane, reflectances.
    QVERIFY2(before.startsWith(QStringLiteral("設計照度 750 lx　作業面の高さ 0.85 m　反射率 天井 70 %・壁 50 %・床 10 %\n"
                                              "● 3 行目　埋込下面開放形Hf32　FHF32EX-N　3450 lm × 2 灯/台　保守率 0.73\n"
                                              "　46 台（8 台 × 4 列・7 台 × 2 列）　間隔 x 2.25～2.57 m・y 2.00 m　h = 1.95 m\n")),
             qPrintable(before));
    // The points' spacing as it is (17 m × 11 m in 12 × 8 cells), and the inter-reflection used.
    QVERIFY2(before.contains(QStringLiteral("計算点 12 × 8（間隔 1.42 × 1.38 m、壁から 0.5 m を除く）")), qPrintable(before));
    QVERIFY(before.contains(QStringLiteral("相互反射 ラジオシティ")));
    QVERIFY(before.contains(QStringLiteral("均斉度 U0 = Emin/Eavg")));
    QVERIFY2(after.contains(QStringLiteral("　54 台（9 台 × 6 列）　間隔 x 2.00 m・y 2.00 m　h = 1.95 m　計算書の台数は 46 台：この図は 54 台の値")),
             qPrintable(after));
    // Pictures beside the work file; where it went is said.
    QCOMPARE(f.dialogs.asked[f.dialogs.asked.size() - 2].text, dir.filePath(QStringLiteral("照度分布_事務室 （営業）.png")));
    QCOMPARE(status, QStringLiteral("PNG を保存しました: %1").arg(dir.filePath(QStringLiteral("office.png"))));
    QVERIFY(QImage(dir.filePath(QStringLiteral("office.png"))).width() >= 1600);
    // The PDF: a B4 landscape page under the sheet's 件名 and 日付.
    const QString pdf = dir.filePath(QStringLiteral("office.pdf"));
    QCOMPARE(PdfTools::pages(pdf), 1);
    const QString page = PdfTools::text(pdf, 1);
    QVERIFY2(page.contains(QStringLiteral("（仮称）ゼルティカ第一ビル新築工事")) && page.contains(QStringLiteral("令和 08 年 12 月 07 日")),
             qPrintable(page.left(300)));
    QCOMPARE(PdfTools::pageSize(pdf), QStringLiteral("1032 x 729 pts"));
    // A room without photometry says so, and how to add it.
    f.sheet->state().luminaireIndex = 2;
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        message = d.findChild<QLabel *>(QStringLiteral("Lbl_Message"))->text();
        return QDialog::Rejected;
    }};
    f.sheet->Menu_Option_Bunpu_Click();
    QVERIFY2(message.contains(QStringLiteral("配光データから照明器具を追加")), qPrintable(message));
}

namespace {

// "直接（…）D lx + 相互反射 I lx = T lx" of a figures text: the three numbers, or none.
QList<int> parts(const QString &figures, const QString &basis)
{
    static const QRegularExpression sum(QStringLiteral("直接（(.+?)）(\\d+) lx \\+ 相互反射 (\\d+) lx = \\S+ (\\d+) lx"));
    const auto m = sum.match(figures);
    if (!m.hasMatch() || m.captured(1) != basis)
        return {};
    return {m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
}

} // namespace

void TestDistribution::windowWalksTheRooms()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))};
    f.sheet->Menu_File_Open_Click();
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("3");
    f.enter("Txt_Kai");
    QStringList rooms, radiosity, uniform;
    int count = 0;
    bool firstPrev = true, lastNext = true;
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        auto *list = d.findChild<QComboBox *>(QStringLiteral("Cmb_Room"));
        auto *room = d.findChild<QLabel *>(QStringLiteral("Lbl_Room"));
        auto *figures = d.findChild<QLabel *>(QStringLiteral("Lbl_Figures"));
        count = list->count();
        rooms.append(room->text());
        radiosity.append(figures->text());
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_NextRoom")), Qt::LeftButton);
        rooms.append(room->text());
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_PrevRoom")), Qt::LeftButton);
        rooms.append(room->text());
        firstPrev = d.findChild<QPushButton *>(QStringLiteral("Btn_PrevRoom"))->isEnabled();
        list->setCurrentIndex(list->count() - 1);
        emit list->activated(list->count() - 1);
        rooms.append(room->text());
        lastNext = d.findChild<QPushButton *>(QStringLiteral("Btn_NextRoom"))->isEnabled();
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Sougo"))->setCurrentIndex(1);
        uniform.append(figures->text());
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Sougo"))->setCurrentIndex(0);
        return QDialog::Rejected;
    }};
    f.sheet->Menu_Option_Bunpu_Click();
    // 31 rows, 30 rooms: the entrance hall's two rows are one.
    QCOMPARE(count, 30);
    QVERIFY2(rooms.value(0).startsWith(QStringLiteral("3 行目")), qPrintable(rooms.value(0)));
    QVERIFY2(rooms.value(1).startsWith(QStringLiteral("4 行目")), qPrintable(rooms.value(1)));
    QVERIFY2(rooms.value(2).contains(QStringLiteral("玄関ホール")), qPrintable(rooms.value(2)));
    QVERIFY(!firstPrev);
    QVERIFY2(rooms.value(3).startsWith(QStringLiteral("31 行目")), qPrintable(rooms.value(3)));
    QVERIFY(!lastNext);
    // The direct part named by what it is the mean of; the parts add up to the whole printed.
    const QList<int> r = parts(radiosity.value(0), QStringLiteral("計算点の平均"));
    QCOMPARE(r.size(), 3);
    QCOMPARE(r[0] + r[1], r[2]);
    QVERIFY2(radiosity.value(0).contains(QStringLiteral("平均 Eavg %1 lx").arg(r[2])), qPrintable(radiosity.value(0)));
    const QList<int> u = parts(uniform.value(0), QStringLiteral("床面平均"));
    QCOMPARE(u.size(), 3);
    QCOMPARE(u[0] + u[1], u[2]);
}

void TestDistribution::previewWithDistributionCanBeCancelled()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))};
    f.sheet->Menu_File_Open_Click();
    SettingsStore::WriteSetting(QStringLiteral("AttachDistribution"), QStringLiteral("1"));
    QString seen;
    int pages = 0;
    const auto watch = [&] {
        QTimer::singleShot(500, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen = QString::fromLatin1(modal->metaObject()->className());
                if (auto *preview = modal->findChild<QPrintPreviewWidget *>())
                    pages = preview->pageCount();
                modal->close();
            }
        });
    };
    f.dialogs.cancelAt = 1;
    watch();
    f.sheet->Menu_File_Preview_Click();
    QTest::qWait(600);
    QCOMPARE(seen, QString()); // cancelled: no preview
    QVERIFY(!f.dialogs.progressSteps.isEmpty());
    QVERIFY(f.dialogs.progressSteps.last() < 30);
    f.dialogs.cancelAt = -1;
    f.dialogs.progressSteps.clear();
    watch();
    f.sheet->Menu_File_Preview_Click();
    SettingsStore::WriteSetting(QStringLiteral("AttachDistribution"), QStringLiteral("0"));
    QCOMPARE(seen, QStringLiteral("QPrintPreviewDialog"));
    QCOMPARE(f.dialogs.progressSteps.last(), 30); // every room
    QVERIFY(pages > 2);
}

void TestDistribution::batchCsvAndPdf()
{
    QTemporaryDir dir;
    RecordGrid g = example();
    g.setText(4, LuminaireIndex, QStringLiteral("2")); // no photometry for this one
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    QVERIFY(WorkFile::save(g, in));
    const auto run = [&](const QStringList &args, QString *err) {
        QProcess p;
        p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
        p.start(TestEnv::program(QStringLiteral("prx5m")), args);
        p.waitForFinished(60000);
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    QString err;
    const QString out = dir.filePath(QStringLiteral("csv"));
    QCOMPARE(run({QStringLiteral("--distribution-csv"), in, out}, &err), 0);
    QVERIFY2(err.contains(QStringLiteral("4 行目（会議室 （第1））")), qPrintable(err));
    const QStringList rooms = csvLines(QDir(out).filePath(QStringLiteral("rooms.csv")));
    QCOMPARE(rooms.first(), QStringLiteral("row,name,slot,nx,ny,fittings,h,cells_x,cells_y,e_direct_floor,e_indirect,e_avg,e_min,"
                                           "e_max,u0,ud,uf_sheet,uf_photometry,method,e_wall_avg,e_ceiling_avg,l_wall_avg,"
                                           "l_ceiling_avg,note,ugr_max,ugr_table"));
    QCOMPARE(rooms.size(), 1 + 30); // one line a room: 玄関ホール's two rows are one
    // The entrance hall: downlights and indirect lighting, one room, its rows' figures side by side.
    const QStringList hall = rooms[1].split(u',');
    QCOMPARE(hall.mid(0, 6), (QStringList{"1+2", QStringLiteral("玄関ホール"), "22+47", "9+6", "7+4", "58+23"}));
    QCOMPARE(rooms[3].split(u',').mid(3, 3), (QStringList{"", "", "9"})); // listed, no figures
    // Row 3 (18 x 12, 2.8 - 0 - 0.85 = 1.95 m): 12 x 8 points, 46 luminaires, figures consistent.
    const QStringList office = rooms[2].split(u',');
    QCOMPARE(office.mid(0, 9), (QStringList{"3", QStringLiteral("事務室 （営業）"), "1", "8", "6", "46", "1.95", "12", "8"}));
    QCOMPARE(office.mid(16, 3), (QStringList{"0.70", "0.68", "radiosity"}));
    QCOMPARE(office.value(23), QString()); // its flux balances: nothing to say
    const double avg = office[11].toDouble(), min = office[12].toDouble(), max = office[13].toDouble();
    QVERIFY(min <= avg && avg <= max);
    QVERIFY(std::fabs(office[14].toDouble() - min / avg) < 1e-9 && std::fabs(office[15].toDouble() - min / max) < 1e-9);
    // The glare observers: the middle of each wall, 0.5 m in, looking across; the room's UGR
    // their largest; a room without photometry has none.
    const QStringList ugr = csvLines(QDir(out).filePath(QStringLiteral("ugr.csv")));
    QCOMPARE(ugr.first(), QStringLiteral("row,observer,x,y,eye_height_m,view_deg,lb,ugr,counted"));
    const QStringList officeUgr = ugr.filter(QRegularExpression(QStringLiteral("^3,")));
    QCOMPARE(officeUgr.size(), 4);
    const QStringList where[] = {{"1", "9", "0.5", "1.2", "90"}, {"2", "17.5", "6", "1.2", "180"}, {"3", "9", "11.5", "1.2", "270"},
                                 {"4", "0.5", "6", "1.2", "0"}};
    double largest = 0;
    for (int k = 0; k < 4; ++k) {
        const QStringList f = officeUgr[k].split(u',');
        QCOMPARE(f.mid(1, 5), where[k]);
        QVERIFY2(f[6].toDouble() > 0 && f[8].toInt() > 0 && f[8].toInt() <= 46, qPrintable(officeUgr[k]));
        largest = std::max(largest, f[7].toDouble());
    }
    QCOMPARE(office.value(24), QString::number(largest, 'f', 1));
    QVERIFY(ugr.filter(QRegularExpression(QStringLiteral("^4,"))).isEmpty());
    QCOMPARE(rooms[3].split(u',').value(24), QString());
    // Every point: e is e_direct and the inter-reflected light there; it differs across the room.
    const QStringList points = csvLines(QDir(out).filePath(QStringLiteral("points.csv")));
    QCOMPARE(points.first(), QStringLiteral("row,x,y,e_direct,e,e_indirect"));
    const QStringList officePoints = points.filter(QRegularExpression(QStringLiteral("^3,")));
    QCOMPARE(officePoints.size(), 96);
    double lowest = 1e300, highest = 0, sum = 0;
    for (const QString &line : officePoints) {
        const QStringList f = line.split(u',');
        QVERIFY2(std::fabs(f[4].toDouble() - f[3].toDouble() - f[5].toDouble()) < 1e-9 * f[4].toDouble(), qPrintable(line));
        lowest = std::min(lowest, f[5].toDouble());
        highest = std::max(highest, f[5].toDouble());
        sum += f[4].toDouble();
    }
    QVERIFY(highest > lowest * 1.05); // more in the middle than in the corners
    QVERIFY(std::fabs(sum / 96 - avg) < 1e-9 * avg);
    // The surfaces: each patch's corners and its light; the exitance is the surface's reflectance
    // (pattern 1: 70 / 50 / 10 %) times its light, and the light never less than the first light.
    const QStringList surfaces = csvLines(QDir(out).filePath(QStringLiteral("surfaces.csv")));
    QCOMPARE(surfaces.first(), QStringLiteral("row,surface,x0,y0,z0,x1,y1,z1,e_direct,e,m"));
    const QStringList officeSurfaces = surfaces.filter(QRegularExpression(QStringLiteral("^3,")));
    QCOMPARE(officeSurfaces.size(), 2 * 24 * 24 + (2 + 4) * 2 * (24 + 24)); // 0.5 m but 24 a side; walls split at 0.85 m
    const QHash<QString, double> rho{{QStringLiteral("floor"), 0.1}, {QStringLiteral("ceiling"), 0.7}, {QStringLiteral("wall_x0"), 0.5},
                                     {QStringLiteral("wall_x1"), 0.5}, {QStringLiteral("wall_y0"), 0.5}, {QStringLiteral("wall_y1"), 0.5}};
    for (const QString &line : officeSurfaces) {
        const QStringList f = line.split(u',');
        QVERIFY2(rho.contains(f[1]), qPrintable(line));
        QVERIFY2(std::fabs(f[10].toDouble() - rho[f[1]] * f[9].toDouble()) < 1e-9 * f[9].toDouble(), qPrintable(line));
        QVERIFY2(f[9].toDouble() >= f[8].toDouble(), qPrintable(line));
    }
    // Uniform, as asked on the command line: every point's inter-reflected part is the room's one value.
    const QString uniform = dir.filePath(QStringLiteral("uniform"));
    QCOMPARE(run({QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), in, uniform}, &err), 0);
    const QStringList uniformOffice = csvLines(QDir(uniform).filePath(QStringLiteral("rooms.csv")))[2].split(u',');
    QCOMPARE(uniformOffice.value(18), QStringLiteral("uniform"));
    // The standard's background rule gives the uniform room its UGR as well.
    QVERIFY2(uniformOffice.value(24).toDouble() > 10, qPrintable(uniformOffice.join(u',')));
    for (const QString &line : csvLines(QDir(uniform).filePath(QStringLiteral("points.csv"))).filter(QRegularExpression(QStringLiteral("^3,")))) {
        const QStringList f = line.split(u',');
        QVERIFY2(std::fabs(f[5].toDouble() - uniformOffice[10].toDouble()) < 1e-9, qPrintable(line));
    }
    QCOMPARE(run({QStringLiteral("--distribution-csv"), QStringLiteral("--interreflection"), QStringLiteral("mirror"), in, uniform}, &err), 2);
    QCOMPARE(run({QStringLiteral("--beil-csv"), QStringLiteral("--interreflection"), QStringLiteral("uniform"), in, uniform}, &err), 2);
    QVERIFY(!points.filter(QRegularExpression(QStringLiteral("^1,"))).isEmpty()); // the hall by its first row
    QVERIFY(points.filter(QRegularExpression(QStringLiteral("^2,"))).isEmpty());
    const QStringList luminaires = csvLines(QDir(out).filePath(QStringLiteral("luminaires.csv")));
    QCOMPARE(luminaires.first(), QStringLiteral("row,x,y,source_row"));
    QCOMPARE(luminaires.filter(QRegularExpression(QStringLiteral("^3,"))).first(), QStringLiteral("3,1.125,1,3"));
    QCOMPARE(luminaires.filter(QRegularExpression(QStringLiteral("^1,.*,1$"))).size(), 58);
    QCOMPARE(luminaires.filter(QRegularExpression(QStringLiteral("^1,.*,2$"))).size(), 23);
    // The pages alone: two rooms a page; the hall's page shows both kinds.
    const QString pdf = dir.filePath(QStringLiteral("d.pdf"));
    QCOMPARE(run({QStringLiteral("--pdf"), QStringLiteral("distribution"), in, pdf}, &err), 0);
    QCOMPARE(PdfTools::pages(pdf), 15); // 29 rooms with photometry
    const QString first = PdfTools::text(pdf, 1);
    QVERIFY(first.contains(QStringLiteral("照度分布")) || first.contains(QStringLiteral("照 度 分 布")));
    QVERIFY(first.contains(QStringLiteral("均斉度")));
    // The office's rating printed as the CSV has it, beside the table's value.
    QString officePage;
    for (int p = 1; p <= 15 && officePage.isEmpty(); ++p)
        if (const QString t = PdfTools::text(pdf, p); t.contains(QStringLiteral("事務室 （営業）")))
            officePage = t.simplified();
    QVERIFY2(officePage.contains(QStringLiteral("UGR %1（観測者").arg(office.value(24))), qPrintable(officePage.right(800)));
    QVERIFY(officePage.contains(QStringLiteral("による値 %1").arg(office.value(25))));
    QVERIFY2(first.contains(QStringLiteral("1+2 行目")) && first.contains(QStringLiteral("LED間接照明形")), qPrintable(first.left(600)));
    // Small pages: the fonts once, flat colours kept flat (the UGR lines and observers included).
    QVERIFY2(QFileInfo(pdf).size() / 15 <= 21 * 1024, qPrintable(QString::number(QFileInfo(pdf).size())));
    // The corridor (30 m × 2 m) in two strips, each its half of the room.
    bool strips = false;
    for (int p = 1; p <= 15 && !strips; ++p) {
        const QString text = PdfTools::text(pdf, p).simplified();
        strips = text.contains(QStringLiteral("x 0.0～15.0 m（間口 30.0 m）")) && text.contains(QStringLiteral("x 15.0～30.0 m（間口 30.0 m）"));
    }
    QVERIFY(strips);
    // The office alone: the table under its plan holds every point's value as points.csv has it,
    // the far wall's row first.
    RecordGrid one(221, 38);
    for (int c = 1; c <= 38; ++c) {
        one.setText(3, c, g.text(3, c));
        one.setText(221, c, g.text(221, c));
    }
    QVERIFY(WorkFile::save(one, in));
    const QString alone = dir.filePath(QStringLiteral("alone"));
    QCOMPARE(run({QStringLiteral("--distribution-csv"), in, alone}, &err), 0);
    QCOMPARE(run({QStringLiteral("--pdf"), QStringLiteral("distribution"), in, pdf}, &err), 0);
    QMap<double, QMap<double, QString>> byRow; // y, then x
    for (const QString &line : csvLines(QDir(alone).filePath(QStringLiteral("points.csv"))).mid(1)) {
        const QStringList f = line.split(u',');
        byRow[f[2].toDouble()][f[1].toDouble()] = QString::number(std::round(f[4].toDouble()), 'f', 0);
    }
    QCOMPARE(byRow.size(), 8);
    const QString page = PdfTools::text(pdf, 1);
    for (auto row = byRow.cbegin(); row != byRow.cend(); ++row) {
        const QString printed = QString::number(row.key(), 'f', 2) + u' ' + QStringList(row.value().values()).join(u' ');
        bool found = false;
        for (const QString &line : page.split(u'\n'))
            found = found || line.simplified().contains(printed);
        QVERIFY2(found, qPrintable(printed));
    }
    // A work file without rooms: nothing to print.
    QVERIFY(WorkFile::save(RecordGrid(221, 38), in));
    QCOMPARE(run({QStringLiteral("--distribution-csv"), in, out}, &err), 3);
}

QTEST_MAIN(TestDistribution)
#include "tst_distribution.moc"
