// Photometric files and the utilization factors computed from them. The readers against files of
// every accepted variant and every refused kind; the flux against closed forms; the table
// against oracles of the tests' own: a radiosity of the room with exact form factors, the exact
// direct ratio of a Lambertian source, and a seeded Monte-Carlo trace of photons in the room.
#include "grid/TextPanel.h"
#include "illuminance/IlluminanceCalculation.h"
#include "master/MasterTables.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryMath.h"
#include "photometry/PhotometryPlot.h"
#include "photometry/PhotometryReader.h"
#include "illuminance/RoomRecord.h"
#include "support/SheetFixture.h"
#include "text/Cp932.h"
#include "support/TestEnv.h"
#include "text/NumberText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QToolButton>

#include <cmath>
#include <functional>
#include <random>

using Intensity = std::function<double(double c, double g)>;
Q_DECLARE_METATYPE(Intensity)
using TableRows = std::array<std::array<int, 12>, 3>;
Q_DECLARE_METATYPE(TableRows)

namespace {

// A distribution symmetric about both the C0-C180 and the C90-C270 planes, with some upward light.
double shaped(double c, double g)
{
    const double cr = c * M_PI / 180, gr = g * M_PI / 180;
    if (g <= 90)
        return 800 * std::pow(std::cos(gr), 1.4) * (1 + 0.3 * std::cos(2 * cr)) + 20;
    return 20 + 60 * std::fabs(std::cos(gr)) * (1 + 0.2 * std::cos(2 * cr));
}

// Symmetric about the C90-C270 plane only: I(C) = I(180 - C).
double sideShape(double c, double g)
{
    return shaped(90, g) * (1 + 0.4 * std::sin(c * M_PI / 180));
}

double roundShape(double, double g)
{
    return g <= 90 ? 1000 * std::cos(g * M_PI / 180) : 0;
}

QList<double> range(double from, double to, double step)
{
    QList<double> out;
    for (double v = from; v <= to + 1e-9; v += step)
        out.append(v);
    return out;
}

struct IesFile {
    QString header = QStringLiteral("IESNA:LM-63-2002");
    QString tilt = QStringLiteral("TILT=NONE");
    QList<double> horizontal = range(0, 360, 15);
    QList<double> vertical = range(0, 180, 5);
    int lamps = 1;
    double lumens = 1000;
    double multiplier = 1;
    int type = 1;
    QString separator = QStringLiteral(" ");
    Intensity f = shaped;
    bool oneNumberALine = false;
    int decimals = -1; // the intensities to this many decimals (-1: 12 significant digits)

    QByteArray bytes() const
    {
        QStringList lines;
        if (!header.isEmpty())
            lines << header;
        lines << QStringLiteral("[TEST] T-1") << QStringLiteral("[LUMINAIRE] TEST LUMINAIRE") << tilt;
        if (tilt == u"TILT=INCLUDE")
            lines << QStringLiteral("1") << QStringLiteral("3") << QStringLiteral("0 45 90") << QStringLiteral("1 0.95 0.9");
        QStringList numbers = {QString::number(lamps), QString::number(lumens), QString::number(multiplier),
                               QString::number(vertical.size()), QString::number(horizontal.size()), QString::number(type),
                               QStringLiteral("2"), QStringLiteral("0.6"), QStringLiteral("0.6"), QStringLiteral("0.1"),
                               QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("40")};
        for (double v : vertical + horizontal)
            numbers.append(QString::number(v, 'g', 12));
        for (double c : horizontal)
            for (double g : vertical)
                numbers.append(decimals < 0 ? QString::number(f(c, g) / multiplier, 'g', 12)
                                            : QString::number(f(c, g) / multiplier, 'f', decimals));
        if (oneNumberALine) {
            lines += numbers;
        } else {
            for (int i = 0; i < numbers.size(); i += 7)
                lines << numbers.mid(i, 7).join(separator);
        }
        return lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    }
};

struct LdtFile {
    int isym = 0;
    int mc = 24;
    int ng = 37;
    double flux = 1000; // cd/klm then equal cd
    Intensity f = shaped;
    bool decimalComma = true;
    double lorl = 0; // 0: leave the file's values at 0
    double dff = 0;
    double factor = 1; // the conversion factor of the intensities

    QByteArray bytes() const
    {
        const double dc = 360.0 / mc, dg = 180.0 / (ng - 1);
        const auto num = [this](double v) {
            QString s = QString::number(v, 'f', 6);
            return decimalComma ? s.replace(u'.', u',') : s;
        };
        QStringList l = {QStringLiteral("KZW"), QStringLiteral("1"), QString::number(isym), QString::number(mc), num(dc),
                         QString::number(ng), num(dg), QStringLiteral("R-1"), QStringLiteral("TEST LDT"), QStringLiteral("N-1"),
                         QStringLiteral("t.ldt"), QStringLiteral("2026-12-07"), QStringLiteral("1200"), QStringLiteral("200"),
                         QStringLiteral("60"), QStringLiteral("1150"), QStringLiteral("180"), QStringLiteral("0"),
                         QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), num(dff), num(lorl), num(factor),
                         QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("LED"), num(flux),
                         QStringLiteral("4000"), QStringLiteral("80"), num(40)};
        for (int i = 0; i < 10; ++i)
            l << num(0.5);
        QList<double> cs, gs;
        for (int i = 0; i < mc; ++i)
            cs.append(i * dc);
        for (int i = 0; i < ng; ++i)
            gs.append(i * dg);
        for (double c : cs)
            l << num(c);
        for (double g : gs)
            l << num(g);
        QList<double> stored;
        switch (isym) {
        case 1: stored = {0}; break;
        case 2: stored = cs.mid(0, mc / 2 + 1); break;
        case 3: // C270 through C0 to C90
            for (int i = 0; i <= mc / 2; ++i)
                stored.append(cs[(3 * mc / 4 + i) % mc]);
            break;
        case 4: stored = cs.mid(0, mc / 4 + 1); break;
        default: stored = cs; break;
        }
        for (double c : stored)
            for (double g : gs)
                l << num(f(c, g) * 1000 / flux / factor);
        return l.join(QStringLiteral("\r\n")).toLatin1() + "\r\n";
    }
};

bool read(const QByteArray &bytes, bool ldt, Photometry *p, QString *error)
{
    return ldt ? PhotometryReader::readLdt(bytes, p, error) : PhotometryReader::readIes(bytes, p, error);
}

// The exact form factor between two directly opposed parallel rectangles X x Y (in units of their
// distance).
double parallelFormFactor(double x, double y)
{
    const double a = std::sqrt((1 + x * x) * (1 + y * y) / (1 + x * x + y * y));
    const double t = std::log(a) + x * std::sqrt(1 + y * y) * std::atan(x / std::sqrt(1 + y * y))
                     + y * std::sqrt(1 + x * x) * std::atan(y / std::sqrt(1 + x * x)) - x * std::atan(x) - y * std::atan(y);
    return 2 / (M_PI * x * y) * t;
}

// The flux reaching the floor of a square room of room index k, with the direct ratio d, by the
// radiosity of floor, walls and ceiling with exact form factors.
double radiosityCu(double k, double d, double down, double up, double rc, double rw, double rf)
{
    const double x = 2 * k; // side over height
    const double ffc = parallelFormFactor(x, x);
    const double ffw = 1 - ffc;
    const double wallArea = 4 / x;        // side 1, height 1/x
    const double fwf = ffw / wallArea;    // reciprocity
    const double f[3][3] = {{0, ffw, ffc}, {fwf, 1 - 2 * fwf, fwf}, {ffc, ffw, 0}}; // from floor, walls, ceiling
    const double rho[3] = {rf, rw, rc};
    const double direct[3] = {d * down, (1 - d) * down, up};
    // J_i = rho_i (direct_i + sum_j J_j f[j][i]), solved by Gauss-Seidel.
    double j[3] = {0, 0, 0};
    for (int it = 0; it < 500; ++it)
        for (int i = 0; i < 3; ++i)
            j[i] = rho[i] * (direct[i] + j[0] * f[0][i] + j[1] * f[1][i] + j[2] * f[2][i]);
    return direct[0] + j[0] * f[0][0] + j[1] * f[1][0] + j[2] * f[2][0];
}

// Photons from a regular layout of Lambertian downlights on the ceiling of a square room: the
// flux reaching the floor (each arrival counts), per photon.
double monteCarloCu(double k, double rc, double rw, double rf, int photons, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    const double h = 1 / (2 * k); // side 1
    const int n = 8;
    // A direction about the normal axis (0 = x, 1 = y, 2 = z) with the given sign, cosine-weighted.
    const auto lambertian = [&](int axis, double sign, double dir[3]) {
        const double phi = 2 * M_PI * u(rng);
        const double r = u(rng);
        const double s = std::sqrt(r), c = std::sqrt(1 - r);
        const double a = s * std::cos(phi), b = s * std::sin(phi);
        dir[axis] = sign * c;
        dir[(axis + 1) % 3] = a;
        dir[(axis + 2) % 3] = b;
    };
    double arrivals = 0;
    for (int p = 0; p < photons; ++p) {
        double pos[3] = {(std::floor(u(rng) * n) + 0.5) / n, (std::floor(u(rng) * n) + 0.5) / n, h};
        double dir[3];
        lambertian(2, -1, dir);
        for (int bounce = 0; bounce < 200; ++bounce) {
            // The nearest wall, floor or ceiling ahead.
            double t = 1e300;
            int axis = -1;
            double at = 0;
            const double box[3][2] = {{0, 1}, {0, 1}, {0, h}};
            for (int a = 0; a < 3; ++a) {
                if (dir[a] == 0)
                    continue;
                const double plane = dir[a] > 0 ? box[a][1] : box[a][0];
                const double ta = (plane - pos[a]) / dir[a];
                if (ta > 1e-12 && ta < t) {
                    t = ta;
                    axis = a;
                    at = plane;
                }
            }
            for (int a = 0; a < 3; ++a)
                pos[a] += t * dir[a];
            pos[axis] = at;
            double rho = rw;
            double inward = at == 0 ? 1 : -1;
            if (axis == 2 && at == 0) {
                arrivals += 1;
                rho = rf;
            } else if (axis == 2) {
                rho = rc;
            }
            if (u(rng) >= rho)
                break;
            lambertian(axis, inward, dir);
        }
    }
    return arrivals / photons;
}

// A rotationally symmetric Lambertian downlight of I0 = 1000 cd, the lamp flux its own flux.
Photometry lambertian()
{
    Photometry p;
    p.cAngles = {0, 360};
    p.gAngles = range(0, 180, 1);
    QList<double> plane;
    for (double g : p.gAngles)
        plane.append(roundShape(0, g));
    p.candela = {plane, plane};
    p.lampFlux = M_PI * 1000;
    return p;
}

QString tool()
{
    return QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m-mst"));
}

int runTool(const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.start(tool(), args);
    p.waitForFinished(60000);
    if (output)
        *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestPhotometry : public QObject
{
    Q_OBJECT
private slots:
    void variantsGiveTheSameGrid_data();
    void variantsGiveTheSameGrid();
    void refusedFiles_data();
    void refusedFiles();
    void fluxOfClosedForms_data();
    void fluxOfClosedForms();
    void filesOwnFiguresChecked();
    void lambertianDirectRatio_data();
    void lambertianDirectRatio();
    void zonalMultipliers_data();
    void zonalMultipliers();
    void utilizationTablesByHand_data();
    void utilizationTablesByHand();
    void fluxTransferAgainstRadiosity_data();
    void fluxTransferAgainstRadiosity();
    void tableAgainstPhotonTrace_data();
    void tableAgainstPhotonTrace();
    void headerTextsInTheirCodePage_data();
    void headerTextsInTheirCodePage();
    void plausibilityWarnings_data();
    void plausibilityWarnings();
    void extremeDistributionsEndQuickly_data();
    void extremeDistributionsEndQuickly();
    void toolPrintsPlotsAndWrites();
    void toolRefusesAndWritesNothing_data();
    void toolRefusesAndWritesNothing();
    void importedLuminaireOnTheSheet_data();
    void importedLuminaireOnTheSheet();
    void addingALuminaireFromTheSheet_data();
    void addingALuminaireFromTheSheet();
};

void TestPhotometry::variantsGiveTheSameGrid_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("ldt");
    QTest::addColumn<Intensity>("f");
    IesFile full;
    const auto ies = [](const std::function<void(IesFile &)> &change) {
        IesFile f;
        change(f);
        return f.bytes();
    };
    QTest::newRow("IES 2002, 0-360") << full.bytes() << false << Intensity(shaped);
    QTest::newRow("IES 2002, 0-180") << ies([](IesFile &f) { f.horizontal = range(0, 180, 15); }) << false << Intensity(shaped);
    QTest::newRow("IES 2002, 0-90") << ies([](IesFile &f) { f.horizontal = range(0, 90, 15); }) << false << Intensity(shaped);
    QTest::newRow("IES 2002, 90-270") << ies([](IesFile &f) { f.horizontal = range(90, 270, 15); }) << false << Intensity(shaped);
    QTest::newRow("IES 1995") << ies([](IesFile &f) { f.header = QStringLiteral("IESNA:LM-63-1995"); }) << false << Intensity(shaped);
    QTest::newRow("IES 2019") << ies([](IesFile &f) { f.header = QStringLiteral("IES:LM-63-2019"); }) << false << Intensity(shaped);
    QTest::newRow("IES 1991") << ies([](IesFile &f) { f.header = QStringLiteral("IESNA91"); }) << false << Intensity(shaped);
    QTest::newRow("IES 1986, no header") << ies([](IesFile &f) { f.header.clear(); }) << false << Intensity(shaped);
    QTest::newRow("commas between numbers") << ies([](IesFile &f) { f.separator = QStringLiteral(","); }) << false << Intensity(shaped);
    QTest::newRow("one number a line") << ies([](IesFile &f) { f.oneNumberALine = true; }) << false << Intensity(shaped);
    QTest::newRow("TILT=INCLUDE skipped") << ies([](IesFile &f) { f.tilt = QStringLiteral("TILT=INCLUDE"); }) << false << Intensity(shaped);
    QTest::newRow("multiplier 2") << ies([](IesFile &f) { f.multiplier = 2; }) << false << Intensity(shaped);
    QTest::newRow("IES, two lamps of 500 lm") << ies([](IesFile &f) {
        f.lamps = 2;
        f.lumens = 500;
    }) << false << Intensity(shaped);
    IesFile round;
    round.f = roundShape;
    QTest::newRow("IES full, round") << round.bytes() << false << Intensity(roundShape);
    QTest::newRow("IES rotationally symmetric") << ies([](IesFile &f) {
        f.f = roundShape;
        f.horizontal = {0};
    }) << false << Intensity(roundShape);
    const auto ldt = [](int isym, bool comma, Intensity f) {
        LdtFile l;
        l.isym = isym;
        l.decimalComma = comma;
        l.f = f;
        return l.bytes();
    };
    QTest::newRow("LDT symmetry 0") << ldt(0, true, shaped) << true << Intensity(shaped);
    QTest::newRow("LDT symmetry 1") << ldt(1, true, roundShape) << true << Intensity(roundShape);
    QTest::newRow("LDT symmetry 2") << ldt(2, true, shaped) << true << Intensity(shaped);
    QTest::newRow("LDT symmetry 3") << ldt(3, true, shaped) << true << Intensity(shaped);
    QTest::newRow("LDT symmetry 4") << ldt(4, true, shaped) << true << Intensity(shaped);
    QTest::newRow("LDT decimal point") << ldt(4, false, shaped) << true << Intensity(shaped);
    LdtFile doubled;
    doubled.factor = 2.5;
    QTest::newRow("LDT, conversion factor 2.5") << doubled.bytes() << true << Intensity(shaped);
    // A distribution symmetric about C90-C270 only: the half stored must be the right one.
    QTest::newRow("IES 90-270, one-sided") << ies([](IesFile &f) {
        f.f = sideShape;
        f.horizontal = range(90, 270, 15);
    }) << false << Intensity(sideShape);
    QTest::newRow("LDT symmetry 3, one-sided") << ldt(3, true, sideShape) << true << Intensity(sideShape);
    QByteArray eof = IesFile().bytes();
    eof.append("\x1a");
    QTest::newRow("IES ending in ^Z") << eof << false << Intensity(shaped);
    // Planes from 0 to beyond 180 and short of 360: no lateral symmetry, closing on plane 0.
    QTest::newRow("IES 0-345") << ies([](IesFile &f) { f.horizontal = range(0, 345, 15); }) << false << Intensity(shaped);
    QTest::newRow("IES 0-345, the first plane a hair past 0") << ies([](IesFile &f) {
        f.horizontal = range(0, 345, 15);
        f.horizontal[0] = 5e-7;
    }) << false << Intensity(shaped);
    QTest::newRow("IES 0-357.5") << ies([](IesFile &f) { f.horizontal = range(0, 357.5, 2.5); }) << false << Intensity(shaped);
    QTest::newRow("IES 0-359, one-sided") << ies([](IesFile &f) {
        f.f = sideShape;
        f.horizontal = range(0, 359, 1);
    }) << false << Intensity(sideShape);
    IesFile old;
    old.header.clear();
    QTest::newRow("IES 1986 closed by END") << old.bytes() + "END\r\n\r\n" << false << Intensity(shaped);
}

void TestPhotometry::variantsGiveTheSameGrid()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, ldt);
    QFETCH(Intensity, f);
    Photometry p;
    QString error;
    QVERIFY2(read(file, ldt, &p, &error), qPrintable(error));
    QCOMPARE(p.cAngles.first(), 0.0);
    QCOMPARE(p.cAngles.last(), 360.0);
    // The hand-made 0-360 file's grid: every sample the same.
    IesFile handMade;
    handMade.f = f;
    Photometry reference;
    QVERIFY(PhotometryReader::readIes(handMade.bytes(), &reference, &error));
    for (int c = 0; c < reference.cAngles.size(); ++c)
        for (int g = 0; g < reference.gAngles.size(); ++g) {
            const double want = reference.candela[c][g];
            const double got = PhotometryMath::intensity(p, reference.cAngles[c], reference.gAngles[g]);
            if (std::fabs(got - want) > 1e-4 * std::max(1.0, want))
                QFAIL(qPrintable(QStringLiteral("C%1 γ%2: %3, not %4").arg(reference.cAngles[c]).arg(reference.gAngles[g]).arg(got).arg(want)));
        }
    QCOMPARE(p.lampFlux, 1000.0);
}

void TestPhotometry::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("ldt");
    QTest::addColumn<QString>("reason");
    const auto ies = [](const std::function<void(IesFile &)> &change) {
        IesFile f;
        change(f);
        return f.bytes();
    };
    QByteArray noTilt = IesFile().bytes();
    noTilt.replace("TILT=NONE", "NOTILT");
    QTest::newRow("IES without TILT") << noTilt << false << QStringLiteral("TILT");
    QByteArray short1 = IesFile().bytes();
    short1.truncate(short1.lastIndexOf(' '));
    QTest::newRow("IES, a value missing") << short1 << false << QStringLiteral("足りません");
    QTest::newRow("IES, a value too many") << IesFile().bytes() + "12.5\r\n" << false << QStringLiteral("合いません");
    QByteArray word = IesFile().bytes();
    word.replace("TEST LUMINAIRE\r\nTILT=NONE\r\n1 1000", "TEST LUMINAIRE\r\nTILT=NONE\r\n1 many");
    QTest::newRow("IES, no number") << word << false << QStringLiteral("数値ではありません");
    QTest::newRow("IES, vertical not ascending") << ies([](IesFile &f) { f.vertical = {0, 10, 5, 90}; }) << false
                                                 << QStringLiteral("鉛直角");
    QTest::newRow("IES, a vertical angle twice") << ies([](IesFile &f) { f.vertical = {0, 10, 10, 90}; }) << false
                                                 << QStringLiteral("鉛直角");
    QTest::newRow("IES, a horizontal angle twice") << ies([](IesFile &f) { f.horizontal = {0, 90, 90, 180}; }) << false
                                                   << QStringLiteral("水平角");
    QTest::newRow("IES, vertical beyond 180") << ies([](IesFile &f) { f.vertical = {0, 90, 200}; }) << false
                                              << QStringLiteral("鉛直角");
    QTest::newRow("IES, horizontal to 45") << ies([](IesFile &f) { f.horizontal = {0, 15, 30, 45}; }) << false
                                           << QStringLiteral("水平角");
    QTest::newRow("IES, type B") << ies([](IesFile &f) { f.type = 2; }) << false << QStringLiteral("タイプ");
    QTest::newRow("IES, type A") << ies([](IesFile &f) { f.type = 3; }) << false << QStringLiteral("タイプ");
    QTest::newRow("IES, negative intensity") << ies([](IesFile &f) { f.f = [](double, double) { return -5.0; }; }) << false
                                             << QStringLiteral("負");
    QTest::newRow("IES, zero flux") << ies([](IesFile &f) { f.lumens = 0; }) << false << QStringLiteral("光束");
    LdtFile five;
    QByteArray sym5 = five.bytes();
    sym5.replace("KZW\r\n1\r\n0\r\n", "KZW\r\n1\r\n5\r\n");
    QTest::newRow("LDT, symmetry 5") << sym5 << true << QStringLiteral("対称性");
    LdtFile negative;
    negative.f = [](double, double) { return -1.0; };
    QTest::newRow("LDT, negative intensity") << negative.bytes() << true << QStringLiteral("負");
    LdtFile zero;
    zero.flux = 0;
    zero.f = [](double, double) { return 0.0; };
    QTest::newRow("LDT, zero flux") << zero.bytes() << true << QStringLiteral("光束");
    QByteArray cut = LdtFile().bytes();
    cut.truncate(cut.size() / 2);
    QTest::newRow("LDT, cut short") << cut << true << QStringLiteral("足りません");
    QTest::newRow("LDT, one value too many") << LdtFile().bytes() + "7\r\n" << true << QStringLiteral("合いません");
    QTest::newRow("IES, intensities so small the table is all 0") << ies([](IesFile &f) {
        f.multiplier = 1e-20;
        f.f = [](double, double) { return 1e-20; };
    }) << false << QStringLiteral("小さすぎ");
    QTest::newRow("IES, intensities whose flux overflows") << ies([](IesFile &f) {
        f.multiplier = 1e300;
        f.f = [](double, double) { return 1e308; };
    }) << false << QStringLiteral("大きすぎて計算できません");
    QTest::newRow("IES, intensities far beyond the lamps") << ies([](IesFile &f) { f.lumens = 0.001; }) << false
                                                           << QStringLiteral("器具効率");
    // About 2535 lm of luminaire flux from lamps said to be 20 and 50 times too small (3000 lm):
    // 1690 % and 4225 %, no luminaire.
    QTest::newRow("IES, lamp lumens 20 times too small") << ies([](IesFile &f) { f.lumens = 150; }) << false
                                                         << QStringLiteral("器具効率");
    QTest::newRow("IES, lamp lumens 50 times too small") << ies([](IesFile &f) { f.lumens = 60; }) << false
                                                         << QStringLiteral("器具効率");
    const QString utf16 = QString::fromLatin1(IesFile().bytes());
    QTest::newRow("IES in UTF-16") << QByteArray("\xFF\xFE")
                                          + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
                                   << false << QStringLiteral("UTF-16");
    QByteArray manyLamps = LdtFile().bytes();
    manyLamps.replace("\r\n1\r\n1\r\nLED\r\n", "\r\n1\r\n-3000000000\r\nLED\r\n");
    QTest::newRow("LDT, lamp count beyond the integers") << manyLamps << true << QStringLiteral("ランプの数");
    QTest::newRow("IES, text after END") << IesFile().bytes() + "END\r\nmore\r\n" << false << QStringLiteral("合いません");
    QTest::newRow("IES, horizontal to 180 and beyond 360")
        << ies([](IesFile &f) { f.horizontal = {0, 90, 180, 370}; }) << false << QStringLiteral("水平角");
}

void TestPhotometry::refusedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, ldt);
    QFETCH(QString, reason);
    Photometry p;
    QString error;
    QVERIFY(!read(file, ldt, &p, &error));
    QVERIFY2(error.contains(QStringLiteral("行目")), qPrintable(error)); // names the line
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestPhotometry::fluxOfClosedForms_data()
{
    QTest::addColumn<Intensity>("f");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("downward");
    QTest::newRow("Lambertian: pi I0") << Intensity(roundShape) << M_PI * 1000 << 1.0;
    QTest::newRow("isotropic: 4 pi I0") << Intensity([](double, double) { return 1000.0; }) << 4 * M_PI * 1000 << 0.5;
}

void TestPhotometry::fluxOfClosedForms()
{
    QFETCH(Intensity, f);
    QFETCH(double, expected);
    QFETCH(double, downward);
    IesFile file;
    file.f = f;
    file.lumens = -1; // absolute photometry: the lamp flux is the integral
    Photometry p;
    QString error;
    QVERIFY2(PhotometryReader::readIes(file.bytes(), &p, &error), qPrintable(error));
    QVERIFY(p.absolute);
    const double total = PhotometryMath::flux(p);
    QVERIFY2(std::fabs(total - expected) < 0.005 * expected, qPrintable(QString::number(total)));
    double zones = 0;
    for (double z : PhotometryMath::zonalFlux(p))
        zones += z;
    QVERIFY(std::fabs(zones - total) < 1e-6 * total);
    const auto fr = PhotometryMath::fractions(p);
    QVERIFY(std::fabs(fr.downward - downward) < 0.005);
    QVERIFY(std::fabs(fr.total - 1) < 1e-9);
}

void TestPhotometry::filesOwnFiguresChecked()
{
    // The sample linear luminaire's own LORL and DFF are met within 2 %.
    const QString sample = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/linear-bl5200.ldt"));
    QString output;
    QCOMPARE(runTool({QStringLiteral("photometry"), sample}, &output), 0);
    QVERIFY2(!output.contains(QStringLiteral("に対し配光から求めた値は")), qPrintable(output));
    QVERIFY(output.contains(QStringLiteral("LORL 74.2 %")));
    // A file whose figures its distribution does not give: a warning for each.
    QTemporaryDir dir;
    LdtFile wrong;
    wrong.lorl = 95;
    wrong.dff = 50;
    const QString path = dir.filePath(QStringLiteral("wrong.ldt"));
    TestEnv::writeBytes(path, wrong.bytes());
    QCOMPARE(runTool({QStringLiteral("photometry"), path}, &output), 0);
    QCOMPARE(output.count(QStringLiteral("に対し配光から求めた値は")), 2);
    QVERIFY2(output.contains(QStringLiteral("ファイルの器具効率 95 % に対し配光から求めた値は ")), qPrintable(output));
    // 下方光束比 as the file states it: the share of the luminaire's flux, in points and relative.
    QVERIFY2(output.contains(QStringLiteral("ファイルの下方光束比 50 % に対し配光から求めた値は ")), qPrintable(output));
    QVERIFY(output.contains(QStringLiteral(" ポイント、相対 ")));
    // Figures left at 0 are unknown: no warning.
    TestEnv::writeBytes(path, LdtFile().bytes());
    QCOMPARE(runTool({QStringLiteral("photometry"), path}, &output), 0);
    QVERIFY2(!output.contains(QStringLiteral("以上違います")), qPrintable(output));
}

void TestPhotometry::lambertianDirectRatio_data()
{
    QTest::addColumn<double>("k");
    for (double k : {0.6, 0.8, 1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 7.0, 10.0})
        QTest::addRow("k = %g", k) << k;
}

void TestPhotometry::zonalMultipliers_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<double>("multiplier");
    // Kz = exp(-A RCR^B) at RCR 2 for the nine downward zones of the IES zonal-cavity method
    // (A 0, .041, .070, .100, .136, .190, .315, .640, 2.100; B 0, .98, 1.05, 1.12, 1.16, 1.25 x 3, .80).
    const double k[9] = {1.0, 0.922313, 0.865077, 0.804651, 0.737933, 0.636419, 0.472744, 0.218234, 0.025828};
    for (int z = 0; z < 9; ++z)
        QTest::addRow("%d-%d degrees", 10 * z, 10 * z + 10) << z << k[z];
    QTest::newRow("upward light never direct") << 12 << 0.0;
}

void TestPhotometry::zonalMultipliers()
{
    QFETCH(int, zone);
    QFETCH(double, multiplier);
    // All the downward flux in one zone (with a little in the first, which is always direct).
    std::array<double, 18> zones {};
    zones[size_t(zone)] = 1000;
    zones[0] += 1;
    const double direct = PhotometryMath::directRatio(zones, 2.0);
    const double down = zone < 9 ? 1001 : 1;
    QVERIFY2(std::fabs(direct - (multiplier * (zone < 9 ? 1000 : 0) + 1) / down) < 1e-6, qPrintable(QString::number(direct)));
}

void TestPhotometry::utilizationTablesByHand_data()
{
    using Rows = std::array<std::array<int, 12>, 3>;
    QTest::addColumn<Intensity>("f");
    QTest::addColumn<double>("lampFlux");
    QTest::addColumn<Rows>("entries");
    QTest::addColumn<int>("warnings");
    // Computed apart from the code, from the zonal flux in closed form: a Lambertian source
    // (pi I0 (sin^2 b - sin^2 a) a zone) and I0 (1 + cos g) / 2 with upward light; the published
    // zonal-cavity equations, RCR = 5 / k at k = 0.6 .. 10, cavities 70/50/10, 50/50/10, 30/30/10.
    QTest::newRow("Lambertian, 1000 cd, its own flux")
        << Intensity(roundShape) << M_PI * 1000
        << Rows{{{41, 50, 57, 64, 69, 77, 82, 86, 91, 94, 97, 99},
                 {40, 49, 56, 62, 67, 75, 80, 83, 88, 91, 95, 98},
                 {33, 41, 48, 54, 60, 68, 73, 77, 83, 87, 91, 94}}}
        << 1; // 1.00 and more in the largest rooms: stored as 99
    QTest::newRow("(1 + cos g) / 2 x 1000 cd, 9000 lm")
        << Intensity([](double, double g) { return 500 * (1 + std::cos(g * M_PI / 180)); }) << 9000.0
        << Rows{{{24, 29, 33, 37, 40, 45, 49, 51, 55, 57, 60, 62},
                 {21, 26, 30, 34, 37, 41, 44, 47, 50, 52, 55, 57},
                 {15, 19, 23, 26, 29, 34, 37, 39, 43, 45, 48, 51}}}
        << 0;
}

void TestPhotometry::utilizationTablesByHand()
{
    using Rows = std::array<std::array<int, 12>, 3>;
    QFETCH(Intensity, f);
    QFETCH(double, lampFlux);
    QFETCH(Rows, entries);
    QFETCH(int, warnings);
    Photometry p = lambertian();
    for (QList<double> &plane : p.candela)
        for (int g = 0; g < plane.size(); ++g)
            plane[g] = f(0, p.gAngles[g]);
    p.lampFlux = lampFlux;
    const PhotometryMath::Table t = PhotometryMath::utilizationTable(p);
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 12; ++c)
            QVERIFY2(t.entries[r][c] == entries[r][c], qPrintable(QStringLiteral("pattern %1, class %2: %3, not %4")
                                                                      .arg(r + 1).arg(c + 1).arg(t.entries[r][c]).arg(entries[r][c])));
    QCOMPARE(t.warnings.size(), warnings);
}

void TestPhotometry::lambertianDirectRatio()
{
    QFETCH(double, k);
    // The zonal multipliers against the exact form factor from the luminaire plane to the floor.
    const double zonal = PhotometryMath::directRatio(PhotometryMath::zonalFlux(lambertian()), 5 / k);
    const double exact = parallelFormFactor(2 * k, 2 * k);
    QVERIFY2(std::fabs(zonal - exact) < 0.03, qPrintable(QStringLiteral("%1 against %2").arg(zonal).arg(exact)));
}

void TestPhotometry::fluxTransferAgainstRadiosity_data()
{
    QTest::addColumn<double>("k");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<double>("up");
    for (double k : {0.6, 1.0, 2.0, 5.0, 10.0})
        for (int pattern = 0; pattern < 3; ++pattern) {
            QTest::addRow("k %g, pattern %d, direct", k, pattern + 1) << k << pattern << 0.0;
            QTest::addRow("k %g, pattern %d, 30 %% up", k, pattern + 1) << k << pattern << 0.3;
        }
}

void TestPhotometry::fluxTransferAgainstRadiosity()
{
    QFETCH(double, k);
    QFETCH(int, pattern);
    QFETCH(double, up);
    const auto &r = PhotometryMath::kPatterns[size_t(pattern)];
    const double down = 0.8 - up;
    const double d = parallelFormFactor(2 * k, 2 * k);
    const double cu = PhotometryMath::utilizationFactor(5 / k, d, down, up, r[0], r[1], r[2]);
    const double oracle = radiosityCu(k, d, down, up, r[0], r[1], r[2]);
    QVERIFY2(std::fabs(cu - oracle) < 0.02, qPrintable(QStringLiteral("%1 against %2").arg(cu).arg(oracle)));
}

void TestPhotometry::tableAgainstPhotonTrace_data()
{
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("about");
    QTest::newRow("k 0.6") << 0.6 << 0.41;
    QTest::newRow("k 1.0") << 1.0 << 0.61;
    QTest::newRow("k 2.5") << 2.5 << 0.85;
    QTest::newRow("k 5.0") << 5.0 << 0.95;
}

void TestPhotometry::tableAgainstPhotonTrace()
{
    QFETCH(double, k);
    QFETCH(double, about);
    const Photometry p = lambertian();
    const auto fr = PhotometryMath::fractions(p);
    const double cu = PhotometryMath::utilizationFactor(5 / k, PhotometryMath::directRatio(PhotometryMath::zonalFlux(p), 5 / k),
                                                        fr.downward, fr.upward, 0.7, 0.5, 0.1);
    const double traced = monteCarloCu(k, 0.7, 0.5, 0.1, 200000, 20261207);
    qInfo("k %g: zonal cavity %.3f, photon trace %.3f", k, cu, traced);
    QVERIFY2(std::fabs(cu - traced) < 0.04, qPrintable(QStringLiteral("%1 against %2").arg(cu).arg(traced)));
    QVERIFY2(std::fabs(traced - about) < 0.05, qPrintable(QString::number(traced)));
}

void TestPhotometry::headerTextsInTheirCodePage_data()
{
    QTest::addColumn<QByteArray>("luminaire"); // the bytes of the [LUMINAIRE] line's text
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-8") << QStringLiteral("照明 30° BEAM").toUtf8() << QStringLiteral("照明 30° BEAM");
    QTest::newRow("Latin-1 degree sign") << QByteArray("DOWNLIGHT 30\xB0 BEAM") << QStringLiteral("DOWNLIGHT 30° BEAM");
    QTest::newRow("CP1252 accent and dash") << QByteArray("Lumi\xE8re \x96 40\xB5m") << QStringLiteral("Lumière – 40µm");
    QTest::newRow("Shift-JIS") << Cp932::encode(QStringLiteral("埋込ダウンライト 30°"))
                               << QStringLiteral("埋込ダウンライト 30°");
}

// A header's text read in the code page it was written in: Shift-JIS when it holds Japanese,
// else the Western one (Latin-1 / CP1252), so a degree sign stays a degree sign.
void TestPhotometry::headerTextsInTheirCodePage()
{
    QFETCH(QByteArray, luminaire);
    QFETCH(QString, name);
    QByteArray bytes = IesFile().bytes();
    bytes.replace("[LUMINAIRE] TEST LUMINAIRE", "[LUMINAIRE] " + luminaire);
    Photometry p;
    QString error;
    QVERIFY2(PhotometryReader::readIes(bytes, &p, &error), qPrintable(error));
    QCOMPARE(p.name, name);
}

void TestPhotometry::plausibilityWarnings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("warning"); // "" for none
    const auto ies = [](const std::function<void(IesFile &)> &change) {
        IesFile f;
        change(f);
        return f.bytes();
    };
    // shaped(): about 2535 lm of luminaire flux; a lamp of 1000 lm gives more than 100 %.
    QTest::newRow("a plain file, 3000 lm lamp") << ies([](IesFile &f) { f.lumens = 3000; }) << QString();
    QTest::newRow("light output ratio above 100 %") << ies([](IesFile &f) { f.lumens = 1000; }) << QStringLiteral("100 % を超えています");
    // An isotropic 80 cd over the sphere is 4 pi 80 = 1005.3 lm: 100.53 % of a 1000 lm lamp, within
    // what rounding to whole candela can give (half a candela over the sphere: 0.63 %).
    QTest::newRow("100.53 % in whole candela: rounding") << ies([](IesFile &f) {
        f.f = [](double, double) { return 80.0; };
        f.decimals = 0;
    }) << QString();
    // 81 cd: 101.79 %, beyond the rounding.
    QTest::newRow("101.79 % in whole candela") << ies([](IesFile &f) {
        f.f = [](double, double) { return 81.0; };
        f.decimals = 0;
    }) << QStringLiteral("器具効率が 100 % を超えています（101.8 %）");
    // 79.6016 cd written to 1e-4: 100.03 %, shown to the decimals that show it.
    QTest::newRow("100.03 % to 1e-4 cd, shown so") << ies([](IesFile &f) {
        f.f = [](double, double) { return 79.6016; };
        f.decimals = 4;
    }) << QStringLiteral("器具効率が 100 % を超えています（100.03 %）");
    // The file says 99.98 %; its intensities give 100.03 %: no warning from rounding.
    LdtFile says;
    says.isym = 1;
    says.lorl = 99.98;
    says.f = [](double, double) { return 79.6016; };
    QTest::newRow("LDT stating 99.98 %, 100.03 % by its intensities") << says.bytes() << QString();
    QByteArray stated = ies([](IesFile &f) { f.lumens = 3000; });
    stated.replace("[LUMINAIRE] TEST LUMINAIRE", "[LUMINAIRE] TEST LUMINAIRE\r\n[_LUMINAIRE_LUMENS] 1200");
    QTest::newRow("stated lumens 53 % off") << stated << QStringLiteral("5 % 以上違います");
    QByteArray close = ies([](IesFile &f) { f.lumens = 3000; });
    close.replace("[LUMINAIRE] TEST LUMINAIRE", "[LUMINAIRE] TEST LUMINAIRE\r\n[_LUMINAIRE_LUMENS] 2500");
    QTest::newRow("stated lumens within 5 %") << close << QString();
    QTest::newRow("no downward flux") << ies([](IesFile &f) {
        f.lumens = 3000;
        f.f = [](double, double g) { return g > 90 ? 300.0 : 0.0; };
    }) << QStringLiteral("下方光束が 0 です");
}

void TestPhotometry::plausibilityWarnings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    const QString path = dir.filePath(file.startsWith("KZW") ? QStringLiteral("w.ldt") : QStringLiteral("w.ies"));
    TestEnv::writeBytes(path, file);
    LuminaireImport::Analysis a;
    QString error;
    QVERIFY2(LuminaireImport::analyse(path, &a, &error), qPrintable(error));
    if (warning.isEmpty()) {
        QVERIFY2(a.warnings.isEmpty(), qPrintable(a.warnings.join(u'\n')));
        return;
    }
    QVERIFY2(a.warnings.join(u'\n').contains(warning), qPrintable(a.warnings.join(u'\n')));
    // The tool prints it with the figures, and it is no refusal.
    QString output;
    QCOMPARE(runTool({QStringLiteral("photometry"), path}, &output), 0);
    QVERIFY(output.contains(QStringLiteral("警告: ")) && output.contains(warning));
}

void TestPhotometry::extremeDistributionsEndQuickly_data()
{
    QTest::addColumn<double>("candela");
    QTest::addColumn<int>("status");
    QTest::newRow("1e-20 cd: refused") << 1e-20 << 1;
    QTest::newRow("1e302 cd, absolute: read, its curve drawn") << 1e302 << 0;
}

void TestPhotometry::extremeDistributionsEndQuickly()
{
    QFETCH(double, candela);
    QFETCH(int, status);
    QTemporaryDir dir;
    IesFile file;
    file.multiplier = candela;
    file.f = [candela](double, double g) { return g <= 90 ? candela : 0.0; };
    file.lumens = status == 0 ? -1 : 1000;
    const QString ies = dir.filePath(QStringLiteral("extreme.ies"));
    TestEnv::writeBytes(ies, file.bytes());
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.start(tool(), {QStringLiteral("photometry"), ies, QStringLiteral("--plot"), dir.filePath(QStringLiteral("c.png"))});
    QVERIFY(p.waitForFinished(20000));
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(p.exitCode(), status);
    QVERIFY(p.readAllStandardError().size() < 2000); // a line or two, never a flood
    QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("c.png"))), status == 0);
    // The curve of such a distribution, drawn straight: it ends, and it is a picture.
    Photometry tiny = lambertian();
    for (QList<double> &plane : tiny.candela)
        for (double &v : plane)
            v *= candela / 1000;
    timer.restart();
    QString error;
    const QByteArray png = PhotometryPlot::render(tiny, QStringLiteral("c.png"), &error);
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(QImage::fromData(png).width() >= 800);
    const QByteArray pdf = PhotometryPlot::render(tiny, QStringLiteral("c.pdf"), &error);
    QVERIFY(pdf.startsWith("%PDF") && pdf.size() < 2 * 1024 * 1024);
}

void TestPhotometry::toolPrintsPlotsAndWrites()
{
    QTemporaryDir dir;
    const QString source = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/syomei.csv"));
    const QString csv = dir.filePath(QStringLiteral("syomei.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(source));
    const QString downlight = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/downlight-dl2000.ies"));
    const QString png = dir.filePath(QStringLiteral("dl.png"));
    QString output;
    QCOMPARE(runTool({QStringLiteral("photometry"), downlight, QStringLiteral("--plot"), png, QStringLiteral("--into"), csv,
                      QStringLiteral("--slot"), QStringLiteral("60"), QStringLiteral("--mf"), QStringLiteral("0.81,0.77,0.72")},
                     &output),
             0);
    QVERIFY(output.contains(QStringLiteral("LED DOWNLIGHT 2000LM")));
    QVERIFY(output.contains(QStringLiteral("照明率表")));
    QVERIFY(QImage(png).width() >= 800);
    // Slot 60: number, name, the table, the factors; the other slots as they were.
    const QStringList before = QString::fromUtf8(TestEnv::readBytes(source)).split(u'\n');
    const QStringList after = QString::fromUtf8(TestEnv::readBytes(csv)).split(u'\n');
    QVERIFY(after.size() >= 62);
    for (int i = 0; i < 52; ++i)
        QCOMPARE(after[i], before[i]);
    const QStringList row = after[60].split(u',');
    QCOMPARE(row[0], QStringLiteral("60"));
    QCOMPARE(row[1], QStringLiteral("60"));
    QCOMPARE(row[2], QStringLiteral("LED DOWNLIGHT 2000"));    // cut to 18 bytes
    QCOMPARE(row.mid(49, 4), (QStringList{"0.81", "0.77", "0.72", "1"}));
    QCOMPARE(after[59], QStringLiteral("59"));                // the slots between, empty
    // The file itself is kept beside the master's CSV, for the distribution of its rooms.
    QCOMPARE(TestEnv::readBytes(LuminaireImport::keptFile(dir.path(), 60, QStringLiteral("LED DOWNLIGHT 2000"))),
             TestEnv::readBytes(downlight));
    // It converts, and a second import keeps the factors.
    const QString mst = dir.filePath(QStringLiteral("syomei.mst"));
    QCOMPARE(runTool({QStringLiteral("to-mst"), QStringLiteral("luminaire"), csv, mst}), 0);
    QCOMPARE(runTool({QStringLiteral("photometry"), downlight, QStringLiteral("--into"), csv, QStringLiteral("--slot"),
                      QStringLiteral("60"), QStringLiteral("--name"), QStringLiteral("ダウンライトDL")}),
             0);
    const QStringList again = QString::fromUtf8(TestEnv::readBytes(csv)).split(u'\n')[60].split(u',');
    QCOMPARE(again[2], QStringLiteral("ダウンライトDL"));
    QCOMPARE(again.mid(49, 3), (QStringList{"0.81", "0.77", "0.72"}));
    // A master saved by a spreadsheet with a byte-order mark keeps it.
    TestEnv::writeBytes(csv, "\xEF\xBB\xBF" + TestEnv::readBytes(csv));
    QCOMPARE(runTool({QStringLiteral("photometry"), downlight, QStringLiteral("--into"), csv, QStringLiteral("--slot"),
                      QStringLiteral("61"), QStringLiteral("--mf"), QStringLiteral("0.8,0.75,0.7")}),
             0);
    QVERIFY(TestEnv::readBytes(csv).startsWith("\xEF\xBB\xBFSlot,"));
    QCOMPARE(runTool({QStringLiteral("to-mst"), QStringLiteral("luminaire"), csv, mst}), 0);
    // An index of kept files that cannot be read is not rewritten with this slot alone (the other
    // slots would lose theirs): the import is refused and nothing changes.
    const QString index = QDir(dir.filePath(QStringLiteral("photometry"))).filePath(QStringLiteral("index.csv"));
    const QByteArray broken = TestEnv::readBytes(index) + "62,\"unclosed\n";
    TestEnv::writeBytes(index, broken);
    const QByteArray master = TestEnv::readBytes(csv);
    QVERIFY(runTool({QStringLiteral("photometry"), downlight, QStringLiteral("--into"), csv, QStringLiteral("--slot"),
                     QStringLiteral("62"), QStringLiteral("--mf"), QStringLiteral("0.8,0.75,0.7")},
                    &output)
            != 0);
    QVERIFY2(output.contains(QStringLiteral("index.csv")), qPrintable(output));
    QCOMPARE(TestEnv::readBytes(index), broken);
    QCOMPARE(TestEnv::readBytes(csv), master);
}

void TestPhotometry::toolRefusesAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<bool>("brokenFile");
    QTest::newRow("empty slot without factors") << QStringList{QStringLiteral("--slot"), QStringLiteral("70")} << false;
    QTest::newRow("slot beyond the pick list") << QStringList{QStringLiteral("--slot"), QStringLiteral("81")} << false;
    QTest::newRow("factors not three") << QStringList{QStringLiteral("--slot"), QStringLiteral("70"), QStringLiteral("--mf"),
                                                      QStringLiteral("0.8,0.7")}
                                       << false;
    QTest::newRow("refused file") << QStringList{QStringLiteral("--slot"), QStringLiteral("1")} << true;
}

void TestPhotometry::toolRefusesAndWritesNothing()
{
    QFETCH(QStringList, extra);
    QFETCH(bool, brokenFile);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("syomei.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/syomei.csv"))));
    const QByteArray before = TestEnv::readBytes(csv);
    QString file = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/linear-bl5200.ldt"));
    if (brokenFile) {
        file = dir.filePath(QStringLiteral("broken.ies"));
        IesFile f;
        f.type = 2;
        TestEnv::writeBytes(file, f.bytes());
    }
    QString output;
    const QString plot = dir.filePath(QStringLiteral("curve.png"));
    QVERIFY(runTool(QStringList{QStringLiteral("photometry"), file, QStringLiteral("--into"), csv, QStringLiteral("--plot"), plot}
                        + extra,
                    &output)
            != 0);
    QVERIFY(!output.isEmpty());
    QCOMPARE(TestEnv::readBytes(csv), before);
    QVERIFY(!QFile::exists(plot)); // refused: nothing written at all
}

void TestPhotometry::importedLuminaireOnTheSheet_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("flux");
    QTest::newRow("linear luminaire, EULUMDAT") << "linear-bl5200.ldt" << 52 << "LED BASE LIGHT" << "5200";
    QTest::newRow("downlight, IES") << "downlight-dl2000.ies" << 53 << "LED DOWNLIGHT" << "2000";
}

void TestPhotometry::importedLuminaireOnTheSheet()
{
    QFETCH(QString, file);
    QFETCH(int, slot);
    QFETCH(QString, name);
    QFETCH(QString, flux);
    // Imported into its slot, converted, loaded as the program loads masters.
    QTemporaryDir dir;
    TestEnv env;
    QVERIFY(env.copySampleMasters());
    const QString csv = dir.filePath(QStringLiteral("syomei.csv"));
    TestEnv::writeBytes(csv, TestEnv::readBytes(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/masters/syomei.csv"))));
    const QString ldt = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/") + file);
    QCOMPARE(runTool({QStringLiteral("photometry"), ldt, QStringLiteral("--into"), csv, QStringLiteral("--slot"),
                      QString::number(slot), QStringLiteral("--mf"), QStringLiteral("0.81,0.77,0.72")}),
             0);
    QCOMPARE(runTool({QStringLiteral("to-mst"), QStringLiteral("luminaire"), csv,
                      QDir(env.programDir()).filePath(QStringLiteral("syomei.mst"))}),
             0);
    MasterTables masters;
    QString error;
    QVERIFY2(masters.loadAll(env.programDir(), &error), qPrintable(error));
    const LuminaireRecord &lum = masters.luminaire(slot);
    QVERIFY(lum.present());
    // The worked example's room (k 2.40, class 7, pattern 1) with this luminaire and its lamp flux.
    Photometry p;
    QVERIFY(PhotometryReader::readFile(ldt, &p, &error));
    const int entry = PhotometryMath::utilizationTable(p).entries[0][6];
    TextPanel panel;
    const QList<QPair<QString, QString>> room = {
        {"Txt_Maguchi", "10.0"}, {"Txt_Okuyuki", "8.0"}, {"Txt_Takasa", "2.7"}, {"Txt_Stakasa", "0.85"},
        {"Txt_Kudari", "0.0"},   {"Txt_Horitsu", "0.81"}, {"Txt_Kousoku", flux},   {"Txt_Syoudo1", "500"},
        {"Txt_WTousu", "1"},     {"Chk_Tousu", "1"},     {"Chk_Daisu", "1"}};
    for (const auto &[name, text] : room)
        panel.setText(name, text);
    FormState state;
    state.luminaireIndex = slot;
    state.reflectanceChoice = 1;
    QCOMPARE(IlluminanceCalculation::Data_calculation(panel, state, masters, QString()), 0);
    QCOMPARE(panel.text("Txt_Shisu"), QStringLiteral("2.40"));
    QCOMPARE(panel.text("Txt_Syouritsu"), NumberText::plain(entry / 100.0));
    // N = A E / (F U M) + 0.0999, cut to a tenth; the fittings follow.
    const double n = std::trunc((80.0 * 500 / (flux.toDouble() * (entry / 100.0) * 0.81) + 0.0999) * 10) / 10;
    QCOMPARE(panel.text("Txt_Tousu1"), NumberText::format(n, QStringLiteral("##0.0")));
    QVERIFY(panel.text("Txt_Daisu").toInt() >= 1);

    // On the sheet: the luminaire is on the second page of its pick list, and picking it gives
    // the room the imported factor.
    SheetFixture f(masters);
    f.w<QTabWidget>("STab_Main")->setCurrentIndex(2);
    QTest::mouseClick(f.w<QWidget>("UD_Syoumei")->findChild<QToolButton *>("Down"), Qt::LeftButton);
    auto *list = f.w<ListGrid>("Spd_Syoumei");
    int row = 0, column = 0;
    for (int r = 1; r <= list->rowCount() && row == 0; ++r)
        for (int c = 1; c <= list->columnCount(); ++c)
            if (list->cellText(r, c).startsWith(QStringLiteral("%1:").arg(slot))) {
                row = r;
                column = c;
            }
    QVERIFY2(row != 0, "the slot is not on the second page");
    QVERIFY(list->cellText(row, column).contains(name));
    f.clickCell("Spd_Syoumei", row, column);
    QCOMPARE(f.sheet->state().luminaireIndex, slot);
    for (const auto &[name, text] : room)
        f.sheet->setText(name, text);
    f.sheet->Btn_Hansya_Click(0); // 良: 70/50/10
    f.sheet->Data_calculation(QString());
    QCOMPARE(f.box("Txt_Syouritsu")->text(), NumberText::plain(entry / 100.0));
}

void TestPhotometry::addingALuminaireFromTheSheet_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("factors");         // typed into Txt_MF1..3 ("" keeps what is there)
    QTest::addColumn<int>("answer");              // to the question before replacing
    QTest::addColumn<QString>("button");          // Btn_OK or Btn_Cancel
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("written");
    const int yes = int(Dialogs::Answer::Yes), no = int(Dialogs::Answer::No);
    QTest::newRow("a free slot") << 60 << "0.81,0.77,0.72" << yes << "Btn_OK" << true << true;
    QTest::newRow("an occupied slot, replaced after the question") << 1 << "" << yes << "Btn_OK" << true << true;
    QTest::newRow("an occupied slot, kept") << 1 << "" << no << "Btn_OK" << true << false;
    QTest::newRow("Cancel") << 60 << "0.81,0.77,0.72" << yes << "Btn_Cancel" << true << false;
    QTest::newRow("a master folder that cannot be written") << 60 << "0.81,0.77,0.72" << yes << "Btn_OK" << false << false;
}

void TestPhotometry::addingALuminaireFromTheSheet()
{
    QFETCH(int, slot);
    QFETCH(QString, factors);
    QFETCH(int, answer);
    QFETCH(QString, button);
    QFETCH(bool, writable);
    QFETCH(bool, written);
    SheetFixture f(TestEnv::sampleMasters());
    QVERIFY(f.env.copySampleMasters());
    const QString programDir = f.env.programDir();
    f.sheet->setProgramDir(programDir);
    const QString mst = QDir(programDir).filePath(QStringLiteral("syomei.mst"));
    const QByteArray before = TestEnv::readBytes(mst);
    const LuminaireRecord old = f.masters.luminaire(slot);
    const QString source = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("data/photometry/downlight-dl2000.ies"));
    if (!writable && !TestEnv::makeFolderUnwritable(programDir))
        QSKIP("no way to make a folder unwritable here");
    const auto restore = qScopeGuard([&] { TestEnv::makeFolderWritable(programDir); });
    QString shownName, shownTable, slotNote;
    // Four rooms of the open sheet use slot 1 (one more is free).
    for (int r : {2, 5, 6, 9, 11}) {
        f.sheet->recordGrid().setText(r, RoomRecord::InUse, r == 11 ? QString() : QStringLiteral("1"));
        f.sheet->recordGrid().setText(r, RoomRecord::LuminaireIndex, QStringLiteral("1"));
    }
    f.dialogs.paths = {source};
    f.dialogs.answers = {Dialogs::Answer(answer)};
    f.dialogs.dialogAnswers = {[&](QDialog &d) {
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_File")), Qt::LeftButton);
        shownName = d.findChild<QLabel *>(QStringLiteral("Lbl_Name"))->text();
        shownTable = d.findChild<QTableWidget *>(QStringLiteral("Tbl_Table"))->item(0, 6)->text();
        auto *slotBox = d.findChild<QLineEdit *>(QStringLiteral("Txt_Slot"));
        slotBox->selectAll();
        QTest::keyClicks(slotBox, QString::number(slot));
        slotNote = d.findChild<QLabel *>(QStringLiteral("Lbl_Slot"))->text();
        const QStringList mf = factors.split(u',', Qt::SkipEmptyParts);
        for (int i = 0; i < mf.size(); ++i) {
            auto *box = d.findChild<QLineEdit *>(QStringLiteral("Txt_MF%1").arg(i + 1));
            box->selectAll();
            QTest::keyClicks(box, mf[i]);
        }
        QTest::mouseClick(d.findChild<QPushButton *>(button), Qt::LeftButton);
        if (d.isVisible()) // kept open (a refusal, or No to the question): the user cancels
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_Cancel")), Qt::LeftButton);
        return d.result();
    }};
    f.sheet->Menu_Option_Photometry_Click();
    TestEnv::makeFolderWritable(programDir);
    // What the dialog showed: the file's figures and the table as it will be stored.
    QCOMPARE(shownName, QStringLiteral("LED DOWNLIGHT 2000LM"));
    LuminaireImport::Analysis a;
    QString error;
    QVERIFY(LuminaireImport::analyse(source, &a, &error));
    QCOMPARE(shownTable, QString::number(a.table.entries[0][6]).rightJustified(2, u'0'));
    QVERIFY2(slotNote.startsWith(old.present() ? QStringLiteral("使用中") : QStringLiteral("空き")), qPrintable(slotNote));
    // Replacing asks first, naming what is there, how many rooms use it, and the file's warnings.
    const QStringList questions = f.dialogs.messages().filter(QStringLiteral("置き換えますか"));
    if (old.present() && button == u"Btn_OK") {
        QCOMPARE(questions, QStringList{QStringLiteral("スロット %1 には「%2」が登録されています。置き換えますか？\n\n"
                                                       "開いている照度計算書の 4 行がこの照明器具を使っています。\n\n"
                                                       "読み込んだ配光データの警告:\n・%3")
                                            .arg(slot)
                                            .arg(old.name.trimmed(), a.warnings.join(QStringLiteral("\n・")))});
        QVERIFY(!a.warnings.isEmpty());
        QCOMPARE(f.dialogs.asked.last().icon, Dialogs::Icon::Warning);
    } else {
        QVERIFY(questions.isEmpty());
    }
    if (!written) {
        QCOMPARE(TestEnv::readBytes(mst), before);
        QVERIFY(!QFileInfo::exists(QDir(programDir).filePath(QStringLiteral("photometry"))));
        QCOMPARE(f.masters.luminaire(slot).name, old.name);
        if (!writable)
            QVERIFY(f.dialogs.messages().last().startsWith(QStringLiteral("照明器具マスタに登録できません")));
        return;
    }
    // The slot in the master beside the program, read back as the program reads masters.
    MasterTables reread;
    QVERIFY(reread.loadAll(programDir, &error));
    const LuminaireRecord &lum = reread.luminaire(slot);
    QCOMPARE(lum.name.trimmed(), QStringLiteral("LED DOWNLIGHT 2000"));
    QCOMPARE(lum.utilizationFactor(1, 7), QString::number(a.table.entries[0][6]).rightJustified(2, u'0'));
    const QStringList expected = factors.isEmpty() ? QStringList{old.maintenanceFactor(1).trimmed(), old.maintenanceFactor(2).trimmed(),
                                                                 old.maintenanceFactor(3).trimmed()}
                                                   : factors.split(u',');
    QCOMPARE((QStringList{lum.maintenanceFactor(1).trimmed(), lum.maintenanceFactor(2).trimmed(), lum.maintenanceFactor(3).trimmed()}),
             expected);
    // Every other slot as it was.
    MasterTables original;
    QVERIFY(original.loadAll(QDir(TestEnv::buildDir()).path(), &error));
    for (int s2 = 1; s2 <= 80; ++s2)
        if (s2 != slot)
            QCOMPARE(reread.luminaire(s2).name, original.luminaire(s2).name);
    // The file kept beside the master, found for the slot while its record has that name.
    QCOMPARE(TestEnv::readBytes(LuminaireImport::keptFile(programDir, slot, lum.name)), TestEnv::readBytes(source));
    QCOMPARE(LuminaireImport::keptFile(programDir, slot, QStringLiteral("別の器具")), QString());
    // On the open sheet at once: its pick list shows the slot, and picking it takes the new table.
    QCOMPARE(f.tab(), 2);
    auto *list = f.w<ListGrid>("Spd_Syoumei");
    int row = 0, column = 0;
    for (int r = 1; r <= list->rowCount() && row == 0; ++r)
        for (int c = 1; c <= list->columnCount(); ++c)
            if (list->cellText(r, c).startsWith(QStringLiteral("%1:").arg(slot, 2, 10, QChar(u'0'))) && list->cellText(r, c).contains(QStringLiteral("LED DOWNLIGHT"))) {
                row = r;
                column = c;
            }
    QVERIFY2(row != 0, "the new luminaire is not in the list");
    f.clickCell("Spd_Syoumei", row, column);
    QCOMPARE(f.sheet->state().luminaireIndex, slot);
}

QTEST_MAIN(TestPhotometry)
#include "tst_photometry.moc"
