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

#include <QDir>
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

Distribution::Room room(double width, double depth, double height)
{
    Distribution::Room r;
    r.width = width;
    r.depth = depth;
    r.area = width * depth;
    r.height = height;
    r.maintenance = 1;
    r.fittings = 1;
    return r;
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
    void gridRule_data();
    void gridRule();
    void defaultLayout_data();
    void defaultLayout();
    void isoluxLevels_data();
    void isoluxLevels();
    void isoluxLevelsEndForValuesUlpsApart_data();
    void isoluxLevelsEndForValuesUlpsApart();
    void extremeRoomsAnswerOrRefuse_data();
    void extremeRoomsAnswerOrRefuse();
    void roomWithoutPhotometry();
    void windowOfTheRoom();
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
    QVERIFY2(Distribution::compute(room(10, 8, h), p, {1, 1}, &r, &error), qPrintable(error));
    QCOMPARE(r.luminaires, (QList<QPointF>{QPointF(5, 4)}));
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
    QVERIFY(Distribution::compute(room(8, 6, 2.0), p, {2, 2}, &r, &error));
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
    Distribution::Room r = room(12, 9, 2.0);
    r.fluxPerLuminaire = 3000;
    r.utilization = 0.85;
    r.maintenance = 0.8;
    r.fittings = 12;
    Distribution::Result d;
    QString error;
    QVERIFY(Distribution::compute(r, p, Distribution::defaultLayout(12, 12, 9), &d, &error));
    // E_lumen = 12 x 3000 x 0.85 x 0.8 / 108 = 226.67 lx, above the direct light's mean.
    const double lumen = 12 * 3000 * 0.85 * 0.8 / 108;
    QCOMPARE(d.layout.count(), 12);
    QVERIFY(std::fabs(d.lumen - lumen) < 1e-9);
    QVERIFY(d.indirect > 0);
    // The mean over the floor, each point direct and the uniform part, is the lumen method's.
    const Distribution::Grid floor = Distribution::floorGrid(12, 9);
    double sum = 0;
    for (int j = 0; j < floor.cellsY; ++j)
        for (int i = 0; i < floor.cellsX; ++i)
            sum += Distribution::totalAt(r, p, d, floor.point(i, j));
    QVERIFY2(std::fabs(sum / floor.count() - lumen) < 1e-6, qPrintable(QString::number(sum / floor.count())));
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
    QTest::addColumn<int>("nx");
    QTest::addColumn<int>("ny");
    QTest::newRow("46 in 18 x 12: 8 x 6 (two more; 23 x 2 is far from even)") << 46 << 18.0 << 12.0 << 8 << 6;
    QTest::newRow("58 in 8 x 6: 10 x 6 (two more)") << 58 << 8.0 << 6.0 << 10 << 6;
    QTest::newRow("9 in 8 x 6: 3 x 3") << 9 << 8.0 << 6.0 << 3 << 3;
    QTest::newRow("7 in 6 x 6: 3 x 3 (nx ny differs)") << 7 << 6.0 << 6.0 << 3 << 3;
    QTest::newRow("10 in a 30 x 2 corridor: 10 x 1") << 10 << 30.0 << 2.0 << 10 << 1;
    QTest::newRow("13 in a 30 x 2 corridor: 13 x 1") << 13 << 30.0 << 2.0 << 13 << 1;
}

void TestDistribution::defaultLayout()
{
    QFETCH(int, fittings);
    QFETCH(double, width);
    QFETCH(double, depth);
    QFETCH(int, nx);
    QFETCH(int, ny);
    const Distribution::Layout l = Distribution::defaultLayout(fittings, width, depth);
    QCOMPARE(l.nx, nx);
    QCOMPARE(l.ny, ny);
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
    // The example's office row (18 x 12 m, 46 fittings) with one field pushed to the extreme.
    QTest::newRow("照明率 1e15: worked out, drawn") << int(UtilizationFactor) << "1000000000000000" << "";
    QTest::newRow("台数 1e9") << int(FittingCount) << "1000000000" << "台数「1000000000」は 200 台までです";
    QTest::newRow("台数 99999999999, beyond an int") << int(FittingCount) << "99999999999" << "台数「99999999999」は 200 台まで";
    QTest::newRow("台数 201, one beyond") << int(FittingCount) << "201" << "台数「201」は 200 台まで";
    QTest::newRow("台数 200, the bound: worked out") << int(FittingCount) << "200" << "";
    QTest::newRow("台数 -3") << int(FittingCount) << "-3" << "台数「-3」が負の数です";
    QTest::newRow("間口 1e12 m") << int(Width) << "1000000000000" << "間口「1000000000000」は 100 m まで";
    QTest::newRow("奥行 1e8 m") << int(Depth) << "100000000" << "奥行「100000000」は 100 m まで";
    QTest::newRow("間口 100.5 m, just beyond") << int(Width) << "100.5" << "間口「100.5」は 100 m まで";
    QTest::newRow("間口 100 m, the bound: worked out") << int(Width) << "100" << "";
    QTest::newRow("間口 of 400 digits (infinite)") << int(Width) << QString(400, u'9') << "間口「999999999999999999999999…」は大きすぎて計算できません";
    QTest::newRow("保守率 -0.8") << int(MaintenanceFactor) << "-0.8" << "保守率「-0.8」が負の数です";
    QTest::newRow("照明率 -0.5") << int(UtilizationFactor) << "-0.5" << "照明率「-0.5」が負の数です";
    QTest::newRow("光束 of 400 digits") << int(LampFlux) << QString(400, u'9') << "光束「999999999999999999999999…」は大きすぎて計算できません";
    QTest::newRow("器具下り of -400 digits") << int(Suspension) << QStringLiteral("-") + QString(400, u'9') << "器具下り「-99999999999999999999999…」は大きすぎて計算できません";
}

void TestDistribution::extremeRoomsAnswerOrRefuse()
{
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, reason);
    RecordGrid g(221, 38);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    g.setText(3, column, value);
    // In the program as the window and the preview use it: an answer or a refusal, in seconds.
    const MasterTables masters = TestEnv::sampleMasters();
    auto outcome = std::make_shared<RoomDistribution::Outcome>();
    QVERIFY2(endsWithin(60, [=, &g, &masters] {
                 *outcome = RoomDistribution::compute([&g](int c) { return g.text(3, c); }, 3, masters, TestEnv::buildDir());
                 if (outcome->ok) {
                     QImage image(600, 450, QImage::Format_ARGB32);
                     QPainter painter(&image);
                     const Distribution::Room room = outcome->room;
                     const Photometry p = outcome->photometry;
                     const Distribution::Result r = outcome->result;
                     DistributionPlot::draw(painter, QRectF(0, 0, 600, 450), room, r,
                                            [&](QPointF at) { return Distribution::totalAt(room, p, r, at); }, true);
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
        // The CSV lists a refused room without figures (status 0); the PDF has no page for it.
        const bool pdf = args.first() == u"--pdf";
        QCOMPARE(p.exitCode(), reason.isEmpty() || !pdf ? 0 : 3);
        if (!reason.isEmpty())
            QVERIFY2(err.contains(reason), qPrintable(err));
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
    RecordGrid g(221, 38);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    g.setText(3, LuminaireIndex, QStringLiteral("2")); // a luminaire no file is kept for
    g.setText(4, LuminaireIndex, QString());           // typed by hand
    QTemporaryDir empty;
    const auto texts = [&g](int row) { return [&g, row](int c) { return g.text(row, c); }; };
    const auto kept = RoomDistribution::compute(texts(3), 3, masters, TestEnv::buildDir());
    QVERIFY(!kept.ok);
    QCOMPARE(kept.reason, QStringLiteral("照明器具「埋込下面開放形Hf16」（スロット 2）には配光データがありません。"
                                         "ｵﾌﾟｼｮﾝ → 配光データから照明器具を追加... で登録できます。"));
    QCOMPARE(RoomDistribution::compute(texts(4), 4, masters, TestEnv::buildDir()).reason,
             QStringLiteral("照明器具がマスタから選ばれていないため、配光データがありません。"));
    // A slot given to another luminaire since: its old file is no longer its.
    QVERIFY(RoomDistribution::compute(texts(5), 5, masters, TestEnv::buildDir()).ok);
    MasterTables renamed = masters;
    LuminaireRecord other = renamed.luminaire(19);
    other.name = QStringLiteral("別の器具");
    renamed.setLuminaire(19, other);
    QVERIFY(!RoomDistribution::compute(texts(5), 5, renamed, TestEnv::buildDir()).ok);
}

void TestDistribution::windowOfTheRoom()
{
    QTemporaryDir dir;
    SheetFixture f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw")),
                       dir.filePath(QStringLiteral("office.png"))};
    f.sheet->Menu_File_Open_Click();
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("3");
    f.enter("Txt_Kai"); // 事務室（営業）, 46 fittings
    QString before, after, message;
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        before = d.findChild<QLabel *>(QStringLiteral("Lbl_Figures"))->text();
        auto *nx = d.findChild<QSpinBox *>(QStringLiteral("Spn_Nx"));
        nx->setValue(nx->value() + 1); // how fast it redraws is measured in bench/
        d.findChild<QWidget *>(QStringLiteral("Wid_Plot"))->grab();
        after = d.findChild<QLabel *>(QStringLiteral("Lbl_Figures"))->text();
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Png")), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Close")), Qt::LeftButton);
        return d.result();
    }};
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Option_Bunpu"))->trigger();
    QVERIFY2(before.startsWith(QStringLiteral("配置 8 × 6 = 48 台（計算書の台数は 46 台：この図は 48 台の値）")), qPrintable(before));
    QVERIFY(before.contains(QStringLiteral("均斉度 U0 = Emin/Eavg")));
    QVERIFY2(after.startsWith(QStringLiteral("配置 9 × 6 = 54 台")), qPrintable(after));
    QVERIFY(QImage(dir.filePath(QStringLiteral("office.png"))).width() >= 1600);
    // A room without photometry says so, and how to add it.
    f.sheet->state().luminaireIndex = 2;
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        message = d.findChild<QLabel *>(QStringLiteral("Lbl_Message"))->text();
        return QDialog::Rejected;
    }};
    f.sheet->Menu_Option_Bunpu_Click();
    QVERIFY2(message.contains(QStringLiteral("配光データから照明器具を追加")), qPrintable(message));
}

void TestDistribution::batchCsvAndPdf()
{
    QTemporaryDir dir;
    RecordGrid g(221, 38);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    g.setText(2, LuminaireIndex, QStringLiteral("2")); // no photometry for this one
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
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(run({QStringLiteral("--distribution-csv"), in, out}, &err), 0);
    QVERIFY(timer.elapsed() < 10000);
    QVERIFY2(err.contains(QStringLiteral("2 行目（玄関ホール）")), qPrintable(err));
    const QStringList rooms = csvLines(QDir(out).filePath(QStringLiteral("rooms.csv")));
    QCOMPARE(rooms.first(), QStringLiteral("row,name,slot,nx,ny,fittings,h,cells_x,cells_y,e_direct_floor,e_indirect,e_avg,e_min,e_max,u0,ud"));
    QCOMPARE(rooms.size(), 1 + 31);
    QCOMPARE(rooms[2].split(u',').mid(3, 3), (QStringList{"", "", "23"})); // listed, no figures
    // Row 3 (18 x 12, 2.8 - 0 - 0.85 = 1.95 m): 12 x 8 points, 48 luminaires, figures consistent.
    const QStringList office = rooms[3].split(u',');
    QCOMPARE(office.mid(0, 9), (QStringList{"3", QStringLiteral("事務室 （営業）"), "1", "8", "6", "46", "1.95", "12", "8"}));
    const double avg = office[11].toDouble(), min = office[12].toDouble(), max = office[13].toDouble();
    QVERIFY(min <= avg && avg <= max);
    QVERIFY(std::fabs(office[14].toDouble() - min / avg) < 1e-9 && std::fabs(office[15].toDouble() - min / max) < 1e-9);
    const QStringList points = csvLines(QDir(out).filePath(QStringLiteral("points.csv")));
    QCOMPARE(points.first(), QStringLiteral("row,x,y,e_direct,e"));
    QCOMPARE(points.filter(QRegularExpression(QStringLiteral("^3,"))).size(), 96);
    const QStringList luminaires = csvLines(QDir(out).filePath(QStringLiteral("luminaires.csv")));
    QCOMPARE(luminaires.first(), QStringLiteral("row,x,y"));
    QCOMPARE(luminaires.filter(QRegularExpression(QStringLiteral("^3,"))).first(), QStringLiteral("3,1.125,1"));
    // The pages alone: two rooms a page.
    const QString pdf = dir.filePath(QStringLiteral("d.pdf"));
    QCOMPARE(run({QStringLiteral("--pdf"), QStringLiteral("distribution"), in, pdf}, &err), 0);
    QCOMPARE(PdfTools::pages(pdf), 15); // 30 rooms with photometry
    const QString first = PdfTools::text(pdf, 1);
    QVERIFY(first.contains(QStringLiteral("照度分布")) && first.contains(QStringLiteral("均斉度")));
    // A work file without rooms: nothing to print.
    QVERIFY(WorkFile::save(RecordGrid(221, 38), in));
    QCOMPARE(run({QStringLiteral("--distribution-csv"), in, out}, &err), 3);
}

QTEST_MAIN(TestDistribution)
#include "tst_distribution.moc"
