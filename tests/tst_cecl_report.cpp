// The CEC/L print table line by line, its report as a PDF, and the batch mode for it.
#include "cecl/CeclPrintTable.h"
#include "cecl/RptCECL.h"
#include "report/ColumnReport.h"
#include "cecl/ZoneRecord.h"
#include "grid/WorkFile.h"
#include "report/ReportOutput.h"
#include "report/BandedReport.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"
#include "support/XlsxReader.h"
#include "report/ReportData.h"

#include <QDir>
#include <QAction>
#include <QLabel>
#include <cmath>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

using namespace ZoneRecord;
using C = CeclPrintTable::Column;

namespace {

struct Zone {
    int row;
    QString floor;
    QString name;
    QString area = QStringLiteral("60.0");
    QString power = QStringLiteral("40"); // W a fitting, 10 fittings
    QString hours = QStringLiteral("2500");
    QString lamp = QStringLiteral("FHF32EX-N-2");
};

// A zone with 20 W/m2 and the factors 0.80 / 1.0 / 1.0. Its stored figures are stale on purpose:
// the table works every figure out from the inputs.
void put(RecordGrid &g, const Zone &z)
{
    g.setText(z.row, InUse, "1");
    g.setText(z.row, ZoneRecord::Floor, z.floor);
    g.setText(z.row, RoomName1, z.name);
    g.setText(z.row, LuminaireType, QStringLiteral("埋込下面開放形"));
    g.setText(z.row, LampName, z.lamp);
    g.setText(z.row, Area, z.area);
    g.setText(z.row, FittingCount, "10");
    g.setText(z.row, LuminaireNumber, "A-1");
    g.setText(z.row, StandardPower, "20");
    g.setText(z.row, StandardHours, z.hours);
    g.setText(z.row, InputPower, z.power);
    g.setText(z.row, TotalInput, "1");
    g.setText(z.row, PlannedPowerDensity, "1");
    g.setText(z.row, AnnualEnergy, "1");
    g.setText(z.row, ControlContent, QStringLiteral("在室検知"));
    g.setText(z.row, ControlFactor, "0.80");
    g.setText(z.row, TypeFactor, "1.0");
    g.setText(z.row, IlluminanceFactor, "1.0");
    g.setText(z.row, LightingEnergy, "1");
    g.setText(z.row, VirtualEnergy, "1");
    g.setText(z.row, ZoneCecl, "1");
}

RecordGrid sheetOf(const QList<Zone> &zones, int method = 0)
{
    RecordGrid g(221, 140);
    for (const Zone &z : zones)
        put(g, z);
    g.setText(221, 1, QStringLiteral("件名１"));
    g.setText(221, BuildingType, "3");
    g.setText(221, SimplifiedMethod, QString::number(method));
    return g;
}

QString cell(const CeclPrintTable::Line &line, int column)
{
    return line[column].isNull() ? QString() : line[column].toString();
}

// The 区画 of every line, "-" for a blank line, up to the last line that is not blank.
QStringList zones(const CeclPrintTable::Result &r)
{
    QStringList out;
    for (const auto &line : r.lines) {
        bool blank = true;
        for (int c = C::RowNumber; c < CeclPrintTable::kColumns; ++c)
            blank = blank && cell(line, c).isEmpty();
        out.append(blank ? QStringLiteral("-") : cell(line, C::Zone));
    }
    while (!out.isEmpty() && out.last() == u"-")
        out.removeLast();
    return out;
}

// The sheet saved in `dir` and printed there by the batch mode as out.pdf (or out.xlsx): its
// exit status.
int batchPdf(const RecordGrid &g, const QTemporaryDir &dir, QString *err = nullptr, bool excel = false)
{
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    if (!WorkFile::save(g, in))
        return -1;
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")),
            {excel ? QStringLiteral("--xlsx") : QStringLiteral("--pdf"), QStringLiteral("cecl"), in,
             dir.filePath(excel ? QStringLiteral("out.xlsx") : QStringLiteral("out.pdf"))});
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}

CeclPrintTable::Result make(RecordGrid &g)
{
    CeclPrintTable::Result r;
    if (!CeclPrintTable::makeLines(g, QStringLiteral("KZW設計"), QStringLiteral("/tmp/a.syw"), &r))
        qWarning("no lines: %s", qPrintable(r.error));
    return r;
}

} // namespace

class TestCeclReport : public QObject
{
    Q_OBJECT
private slots:
    void twoFloors();
    void pageFill_data();
    void pageFill();
    void zoneOfThreeLuminaires();
    void simplifiedMethods_data();
    void simplifiedMethods();
    void luminaireTypeWithLamp();
    void noPrintedZone();
    void singleFloorLabel();
    void zonesBeforeTheFirstFloorLabel();
    void emptyNameOpeningAFloor();
    void zoneAcrossTheFirstFloorLabel();
    void reportStopsWithTheLastLine_data();
    void reportStopsWithTheLastLine();
    void areaZeroWithInputPrintsZero();
    void zeroFillStaysInTheSheet();
    void primaryEnergy();
    void unreadableValueStopsTheTable();
    void linesFollowTheirInputs_data();
    void linesFollowTheirInputs();
    void refusedInputs_data();
    void refusedInputs();
    void joinedZonesAreReported_data();
    void joinedZonesAreReported();
    void handComputedSheetAsPrinted();
    void tableFileAndPdf();
    void sheetPrintsAndPreviews();
    void batchMode_data();
    void batchMode();
};

void TestCeclReport::twoFloors()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}, {2, "", QStringLiteral("会議室")},
                            {3, "2F", QStringLiteral("倉庫")}});
    const auto r = make(g);
    QCOMPARE(zones(r), (QStringList{"事務室", "会議室", "-", "1F 合計", "-", "倉庫", "-", "2F 合計", "-", "1F 合計",
                                    "2F 合計", "-", "-", "1F～2F 合計"}));
    // The floor on the first zone line of each group only; every line carries the headings.
    QCOMPARE(cell(r.lines[0], C::Floor), QStringLiteral("1F"));
    QCOMPARE(cell(r.lines[1], C::Floor), QString());
    QCOMPARE(cell(r.lines[5], C::Floor), QStringLiteral("2F"));
    for (const auto &line : r.lines) {
        QCOMPARE(cell(line, C::Title1), QStringLiteral("件名１"));
        QCOMPARE(cell(line, C::Company), QStringLiteral("KZW設計"));
        QCOMPARE(cell(line, C::FileName), QStringLiteral("/tmp/a.syw"));
        QVERIFY(line[C::RowNumber].isNull());
    }
    // A one-luminaire zone line: every figure from the inputs beside it.
    const auto &office = r.lines[0];
    QCOMPARE(cell(office, C::InputPower), QStringLiteral("40"));
    QCOMPARE(cell(office, C::FittingCount), QStringLiteral("10"));
    QCOMPARE(cell(office, C::TotalInput), QStringLiteral("400"));
    QCOMPARE(cell(office, C::PlannedPowerDensity), QStringLiteral("6.67")); // 6666.7 -> 6666, d 6 -> 6670
    QCOMPARE(cell(office, C::AnnualEnergy), QStringLiteral("1000"));
    QCOMPARE(cell(office, C::LightingEnergy), QStringLiteral("800"));
    QCOMPARE(cell(office, C::VirtualEnergy), QStringLiteral("3000"));
    QCOMPARE(cell(office, C::Cecl), QStringLiteral("0.27"));
    // The floor totals: sums and ratios of sums.
    const auto &floor1 = r.lines[3];
    QCOMPARE(cell(floor1, C::Area), QStringLiteral("120"));
    QCOMPARE(cell(floor1, C::TotalInput), QStringLiteral("800"));
    QCOMPARE(cell(floor1, C::PlannedPowerDensity), QStringLiteral("6.67"));
    QCOMPARE(cell(floor1, C::AnnualEnergy), QStringLiteral("2000"));
    QCOMPARE(cell(floor1, C::LightingEnergy), QStringLiteral("1600"));
    QCOMPARE(cell(floor1, C::VirtualEnergy), QStringLiteral("6000"));
    QCOMPARE(cell(floor1, C::Cecl), QStringLiteral("0.27"));
    QCOMPARE(cell(floor1, C::StandardPower), QString());
    const auto &building = r.lines[13];
    QCOMPARE(cell(building, C::Area), QStringLiteral("180"));
    QCOMPARE(cell(building, C::LightingEnergy), QStringLiteral("2400"));
    QCOMPARE(r.totalET, 2400.0);
    QCOMPARE(r.totalES, 9000.0);
}

void TestCeclReport::pageFill_data()
{
    QTest::addColumn<int>("zones");
    QTest::addColumn<int>("lines");
    // c lines written, then 36 - (c mod 35) blank lines.
    QTest::newRow("one zone: 8 lines written") << 1 << 8 + 36 - 8;
    QTest::newRow("28 zones: 35 written") << 28 << 35 + 36;
    QTest::newRow("29 zones: 36 written") << 29 << 36 + 35;
}

void TestCeclReport::pageFill()
{
    QFETCH(int, zones);
    QFETCH(int, lines);
    QList<Zone> list;
    for (int i = 1; i <= zones; ++i)
        list.append({i, i == 1 ? QStringLiteral("1F") : QString(), QStringLiteral("室%1").arg(i)});
    RecordGrid g = sheetOf(list);
    QCOMPARE(make(g).lines.size(), lines);
}

void TestCeclReport::zoneOfThreeLuminaires()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室"), "60.0", "40"},
                            {2, "", QStringLiteral("事務室"), "60.0", "30"},
                            {3, "", QStringLiteral("事務室"), "60.0", "25"},
                            {4, "", QStringLiteral("会議室"), "30.0", "20"}});
    g.setText(2, LuminaireNumber, "B-2");
    const auto r = make(g);
    QCOMPARE(zones(r).mid(0, 6), (QStringList{"事務室", QStringLiteral("（内訳）"), "", "", "会議室", "-"}));
    const auto &zone = r.lines[0];
    QCOMPARE(cell(zone, C::TotalInput), QStringLiteral("950"));
    QCOMPARE(cell(zone, C::PlannedPowerDensity), QStringLiteral("15.83")); // 950 / 60 = 15.833 -> 15830
    QCOMPARE(cell(zone, C::AnnualEnergy), QStringLiteral("2375"));        // 950 x 2500 / 1000
    QCOMPARE(cell(zone, C::LightingEnergy), QStringLiteral("1900"));      // 0.80 x 2375
    QCOMPARE(cell(zone, C::VirtualEnergy), QStringLiteral("3000"));
    QCOMPARE(cell(zone, C::Cecl), QStringLiteral("0.63"));                // 0.6333 -> 633 -> 630
    QCOMPARE(cell(zone, C::LuminaireNumber), QString());
    QCOMPARE(cell(zone, C::InputPower), QString());
    QCOMPARE(cell(zone, C::Area), QStringLiteral("60.0"));
    QCOMPARE(cell(r.lines[2], C::LuminaireNumber), QStringLiteral("B-2"));
    QCOMPARE(cell(r.lines[2], C::TotalInput), QStringLiteral("300"));
    QCOMPARE(cell(r.lines[3], C::TotalInput), QStringLiteral("250"));
    QCOMPARE(cell(r.lines[1], C::StandardPower), QString());
    // The floor counts the zone once, with its summed input.
    QCOMPARE(cell(r.lines[6], C::Zone), QStringLiteral("1F 合計"));
    QCOMPARE(cell(r.lines[6], C::Area), QStringLiteral("90"));
    QCOMPARE(cell(r.lines[6], C::TotalInput), QStringLiteral("1150"));
}

void TestCeclReport::simplifiedMethods_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QString>("hours");
    QTest::newRow("none") << 0 << QStringList{"大会議室", "小会議室", "倉庫"} << "3000";
    QTest::newRow("Ⅰ: below 50 m2 left out") << 1 << QStringList{"大会議室"} << "3000";
    QTest::newRow("Ⅱ: 2000 h") << 2 << QStringList{"大会議室", "小会議室", "倉庫"} << "2000";
    QTest::newRow("Ⅲ: both") << 3 << QStringList{"大会議室"} << "2000";
}

void TestCeclReport::simplifiedMethods()
{
    QFETCH(int, method);
    QFETCH(QStringList, printed);
    QFETCH(QString, hours);
    // 49.5 rounds to 50 (taken), 49.4 to 49 (left out), an empty area counts as 0.
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("大会議室"), "49.5", "40", "3000"},
                            {2, "", QStringLiteral("小会議室"), "49.4", "40", "3000"},
                            {3, "", QStringLiteral("倉庫"), "", "40", "3000"}},
                           method);
    const auto r = make(g);
    QCOMPARE(r.method, method);
    QStringList names;
    for (const QString &z : zones(r)) {
        if (z == u"-" || z.contains(QStringLiteral("合計")))
            break;
        names.append(z);
    }
    QCOMPARE(names, printed);
    const auto &first = r.lines[0];
    QCOMPARE(cell(first, C::StandardHours), hours);
    // Annual and virtual energy always follow the hours printed; under Ⅱ and Ⅲ the lighting
    // energy and the coefficient too: 400 W x 2000 h = 800 kWh, x 0.80 = 640 kWh.
    if (hours == u"2000") {
        QCOMPARE(cell(first, C::AnnualEnergy), QStringLiteral("800"));
        QCOMPARE(cell(first, C::VirtualEnergy), QStringLiteral("1980")); // 20 x 2000 x 49.5 / 1000
        QCOMPARE(cell(first, C::LightingEnergy), QStringLiteral("640"));
        QCOMPARE(cell(first, C::Cecl), QStringLiteral("0.32"));          // 640 / 1980 = 0.3232
    } else {
        QCOMPARE(cell(first, C::AnnualEnergy), QStringLiteral("1200"));
        QCOMPARE(cell(first, C::VirtualEnergy), QStringLiteral("2970")); // 20 x 3000 x 49.5 / 1000
        QCOMPARE(cell(first, C::LightingEnergy), QStringLiteral("960"));
        QCOMPARE(cell(first, C::Cecl), QStringLiteral("0.32"));          // 0.3232 -> 323, d 3 -> 320
    }
}

void TestCeclReport::luminaireTypeWithLamp()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}, {2, "", QStringLiteral("会議室")}});
    g.setText(2, LampName, QString());
    const auto r = make(g);
    QCOMPARE(cell(r.lines[0], C::LuminaireType), QStringLiteral("埋込下面開放形(FHF32EX-N-2) "));
    QCOMPARE(cell(r.lines[1], C::LuminaireType), QStringLiteral("埋込下面開放形"));
}

void TestCeclReport::noPrintedZone()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("倉庫"), "12.0"}}, 1);
    const auto r = make(g);
    // No floor group: two blank lines and the building total without a label.
    QCOMPARE(zones(r), (QStringList{"-", "-", ""}));
    QCOMPARE(cell(r.lines[2], C::TotalInput), QStringLiteral("0"));
    QCOMPARE(cell(r.lines[2], C::Cecl), QStringLiteral("0"));
}

void TestCeclReport::singleFloorLabel()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}});
    QCOMPARE(zones(make(g)).last(), QStringLiteral("1F～1F 合計"));
}

void TestCeclReport::zonesBeforeTheFirstFloorLabel()
{
    // Zones above the first floor label join that floor, so they reach every total.
    RecordGrid g = sheetOf({{1, "", QStringLiteral("玄関")}, {2, "1F", QStringLiteral("事務室")},
                            {3, "2F", QStringLiteral("倉庫")}});
    const auto r = make(g);
    QCOMPARE(zones(r), (QStringList{"玄関", "事務室", "-", "1F 合計", "-", "倉庫", "-", "2F 合計", "-", "1F 合計",
                                    "2F 合計", "-", "-", "1F～2F 合計"}));
    QCOMPARE(cell(r.lines[0], C::Floor), QStringLiteral("1F"));
    QCOMPARE(cell(r.lines[1], C::Floor), QString());
    QCOMPARE(cell(r.lines[3], C::TotalInput), QStringLiteral("800"));
    // Without any floor label: one group, "合計".
    RecordGrid none = sheetOf({{1, "", QStringLiteral("玄関")}, {2, "", QStringLiteral("事務室")}});
    QCOMPARE(zones(make(none)), (QStringList{"玄関", "事務室", "-", "合計", "-", "合計", "-", "-", "合計"}));
}

void TestCeclReport::emptyNameOpeningAFloor()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}, {2, "2F", QString()}, {3, "", QStringLiteral("倉庫")}});
    const auto r = make(g);
    QCOMPARE(zones(r), (QStringList{"事務室", "-", "1F 合計", "-", "", "倉庫", "-", "2F 合計", "-", "1F 合計", "2F 合計",
                                    "-", "-", "1F～2F 合計"}));
    QCOMPARE(cell(r.lines[4], C::Floor), QStringLiteral("2F"));
    QCOMPARE(cell(r.lines[7], C::TotalInput), QStringLiteral("800"));
}

void TestCeclReport::zoneAcrossTheFirstFloorLabel()
{
    // The label on the second luminaire of the first zone names the floor; the zone stays one.
    RecordGrid g = sheetOf({{1, "", QStringLiteral("事務室"), "60.0", "40"}, {2, "1F", QStringLiteral("事務室"), "60.0", "30"},
                            {3, "2F", QStringLiteral("倉庫")}});
    const auto r = make(g);
    QCOMPARE(zones(r).mid(0, 6), (QStringList{"事務室", QStringLiteral("（内訳）"), "", "-", "1F 合計", "-"}));
    QCOMPARE(cell(r.lines[0], C::Floor), QStringLiteral("1F"));
    QCOMPARE(cell(r.lines[0], C::TotalInput), QStringLiteral("700"));
    QCOMPARE(cell(r.lines[4], C::Area), QStringLiteral("60"));
    QCOMPARE(cell(r.lines[4], C::VirtualEnergy), QStringLiteral("3000"));
}

void TestCeclReport::reportStopsWithTheLastLine_data()
{
    QTest::addColumn<int>("zones");
    QTest::addColumn<int>("printed");
    QTest::newRow("one zone: one page") << 1 << 36;
    QTest::newRow("28 zones: 35 lines, one page") << 28 << 36;
    QTest::newRow("29 zones: 36 lines, one page") << 29 << 36;
    QTest::newRow("30 zones: 37 lines, two pages") << 30 << 72; // the last page filled to its 36 lines
}

void TestCeclReport::reportStopsWithTheLastLine()
{
    QFETCH(int, zones);
    QFETCH(int, printed);
    QList<Zone> list;
    for (int i = 1; i <= zones; ++i)
        list.append({i, i == 1 ? QStringLiteral("1F") : QString(), QStringLiteral("室%1").arg(i)});
    RecordGrid g = sheetOf(list);
    QTemporaryDir dir;
    QList<QSqlRecord> rows;
    QString error;
    QCOMPARE(CeclPrintTable::write(make(g), dir.filePath(QStringLiteral("t.mdb")), &rows, &error), PrintTableFile::Status::Ok);
    const QList<QSqlRecord> shown = CeclPrintTable::printedRows(rows);
    QCOMPARE(shown.size(), printed);
    // The building total is on the last page printed.
    bool totalOnLastPage = false;
    for (qsizetype i = (shown.size() - 1) / 36 * 36; i < shown.size(); ++i)
        totalOnLastPage = totalOnLastPage || shown[i].value(QStringLiteral("区画")).toString().endsWith(QStringLiteral("～1F 合計"));
    QVERIFY(totalOnLastPage);
}

void TestCeclReport::areaZeroWithInputPrintsZero()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室"), "0", "40"}, {2, "", QStringLiteral("事務室"), "0", "20"}});
    const auto r = make(g);
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    QCOMPARE(cell(r.lines[0], C::PlannedPowerDensity), QStringLiteral("0"));
    QCOMPARE(cell(r.lines[0], C::TotalInput), QStringLiteral("600"));
    QCOMPARE(cell(r.lines[4], C::Zone), QStringLiteral("1F 合計"));
    QCOMPARE(cell(r.lines[4], C::PlannedPowerDensity), QStringLiteral("0"));
}

void TestCeclReport::zeroFillStaysInTheSheet()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}});
    for (int c : {int(StandardPower), int(InputPower), int(ControlFactor), int(ZoneCecl)})
        g.setText(1, c, QString());
    g.setText(1, LuminaireNumber, QString());
    g.setText(1, ControlContent, QString());
    g.setText(5, RoomName1, QStringLiteral("使われていない行"));
    make(g);
    for (int c : {int(StandardPower), int(InputPower), int(ControlFactor), int(ZoneCecl)})
        QCOMPARE(g.text(1, c), QStringLiteral("0"));
    QCOMPARE(g.text(1, LuminaireNumber), QString());
    QCOMPARE(g.text(1, ControlContent), QString());
    QCOMPARE(g.text(5, StandardPower), QString()); // only zones in use
}

void TestCeclReport::primaryEnergy()
{
    QCOMPARE(CeclPrintTable::primaryEnergy(1234.5), 12653.6); // 126536.25 cut to 126536, / 10
    QCOMPARE(CeclPrintTable::primaryEnergy(0), 0.0);
    // 300 W x 2500 h = 750 kWh, x 0.85 = 637.5 kWh, x 10.25 = 6534.375 MJ: cut, not rounded.
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室"), "60.0", "30"}});
    g.setText(1, ControlFactor, "0.85");
    const auto r = make(g);
    QCOMPARE(r.primaryET, QStringLiteral("6534.3"));
    QCOMPARE(r.primaryES, QStringLiteral("30750")); // 3000 kWh x 10.25
}

void TestCeclReport::unreadableValueStopsTheTable()
{
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}});
    g.setText(1, InputPower, "1.2.3");
    CeclPrintTable::Result r;
    QVERIFY(!CeclPrintTable::makeLines(g, QString(), QString(), &r));
    QVERIFY(r.lines.isEmpty());
    QCOMPARE(r.error, QStringLiteral("1 行目（事務室）の入力電力「1.2.3」は数値ではありません。"));
    // With no zone at all there is nothing to print and no error.
    RecordGrid empty(221, 140);
    QVERIFY(!CeclPrintTable::makeLines(empty, QString(), QString(), &r));
    QVERIFY(r.error.isEmpty());
}

void TestCeclReport::linesFollowTheirInputs_data()
{
    using Cells = QList<QPair<int, QString>>;
    QTest::addColumn<Cells>("inputs"); // grid columns changed from the zone of put()
    QTest::addColumn<Cells>("printed"); // table columns of the zone line
    // put(): 40 W x 10, 60 m2, 20 W/m2, 2500 h, F 0.80, Q1 1.0, Q2 1.0; its stored figures stale.
    QTest::newRow("hours changed after Confirm")
        << Cells{{StandardHours, "8760"}, {ControlFactor, "0.85"}}
        // 400 x 8760 / 1000 = 3504; x 0.85 = 2978.4; 20 x 8760 x 60 / 1000 = 10512; 0.2833 -> 0.28
        << Cells{{C::StandardHours, "8760"}, {C::AnnualEnergy, "3504"}, {C::LightingEnergy, "2978.4"},
                 {C::VirtualEnergy, "10512"}, {C::Cecl, "0.28"}};
    QTest::newRow("fittings changed on the illuminance sheet")
        << Cells{{FittingCount, "12"}}
        << Cells{{C::FittingCount, "12"}, {C::TotalInput, "480"}, {C::PlannedPowerDensity, "8"},
                 {C::AnnualEnergy, "1200"}, {C::LightingEnergy, "960"}, {C::Cecl, "0.32"}};
    QTest::newRow("total input: a whole number, halves to even")
        << Cells{{InputPower, "40.5"}, {FittingCount, "5"}}
        // 202.5 -> 202; 202 / 60 = 3.3667 -> 3366, d 6 -> 3.37; 505 kWh; 404; 0.13467 -> 135, d 5 -> 0.14
        << Cells{{C::TotalInput, "202"}, {C::PlannedPowerDensity, "3.37"}, {C::AnnualEnergy, "505"},
                 {C::LightingEnergy, "404"}, {C::Cecl, "0.14"}};
    QTest::newRow("total input: rounded, not cut")
        << Cells{{InputPower, "40.34"}, {FittingCount, "5"}} // 201.7 -> 202
        << Cells{{C::TotalInput, "202"}, {C::PlannedPowerDensity, "3.37"}, {C::AnnualEnergy, "505"}, {C::Cecl, "0.14"}};
    QTest::newRow("density and annual energy cut, not rounded")
        << Cells{{InputPower, "43.7"}, {Area, "16.5"}, {StandardHours, "2700"}}
        // 437 / 16.5 = 26.4848 -> 26484, d 4 -> 26.48; 437 x 2700 / 1000 = 1179.9 -> 1179;
        // x 0.80 = 943.2; 20 x 2700 x 16.5 / 1000 = 891; 1.0586 -> 1059, d 9 -> 1.06
        << Cells{{C::TotalInput, "437"}, {C::PlannedPowerDensity, "26.48"}, {C::AnnualEnergy, "1179"},
                 {C::LightingEnergy, "943.2"}, {C::VirtualEnergy, "891"}, {C::Cecl, "1.06"}};
    QTest::newRow("coefficient: 144.5 halves to the even 144")
        << Cells{{InputPower, "17"}, {Area, "50"}, {ControlFactor, "0.85"}}
        // 170 x 2500 / 1000 = 425; x 0.85 = 361.25; 2500; 0.1445 -> 144 (half-up: 145, d 5 -> 0.15)
        << Cells{{C::AnnualEnergy, "425"}, {C::LightingEnergy, "361.25"}, {C::VirtualEnergy, "2500"}, {C::Cecl, "0.14"}};
    QTest::newRow("coefficient: 234.67 rounded, not cut")
        << Cells{{InputPower, "22"}, {Area, "50"}, {StandardPower, "15"}}
        // 550; 440; 15 x 2500 x 50 / 1000 = 1875; 0.234667 -> 235, d 5 -> 0.24 (cut: 234 -> 0.23)
        << Cells{{C::AnnualEnergy, "550"}, {C::LightingEnergy, "440"}, {C::VirtualEnergy, "1875"}, {C::Cecl, "0.24"}};
    QTest::newRow("virtual energy rounded to three decimals")
        << Cells{{Area, "216"}, {StandardHours, "2700"}, {IlluminanceFactor, "1.00133333333333"}}
        // 20 x 2700 x 216 x 1.00133333333333 / 1000 = 11679.55199... -> 11679.552 (cut: .551)
        << Cells{{C::PlannedPowerDensity, "1.85"}, {C::AnnualEnergy, "1080"}, {C::LightingEnergy, "864"},
                 {C::VirtualEnergy, "11679.552"}, {C::Cecl, "0.07"}};
}

void TestCeclReport::linesFollowTheirInputs()
{
    using Cells = QList<QPair<int, QString>>;
    QFETCH(Cells, inputs);
    QFETCH(Cells, printed);
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}});
    for (const auto &[column, value] : inputs)
        g.setText(1, column, value);
    const auto r = make(g);
    QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
    for (const auto &[column, value] : printed)
        QCOMPARE(cell(r.lines[0], column), value);
    // The floor and the building add the line as printed.
    for (int total : {2, 7}) {
        QVERIFY(cell(r.lines[total], C::Zone).contains(QStringLiteral("合計")));
        for (int column : {int(C::TotalInput), int(C::AnnualEnergy), int(C::LightingEnergy), int(C::VirtualEnergy), int(C::Cecl)})
            QCOMPARE(cell(r.lines[total], column), cell(r.lines[0], column));
    }
}

void TestCeclReport::refusedInputs_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const QString at = QStringLiteral("1 行目（事務室）の");
    QTest::newRow("input power 1.2.3") << int(InputPower) << "1.2.3" << at + QStringLiteral("入力電力「1.2.3」は数値ではありません。");
    QTest::newRow("input power too wide for 0.0") << int(InputPower) << "1234567890123456"
                                                  << at + QStringLiteral("入力電力「1234567890123456」は大きすぎて印刷できません。");
    QTest::newRow("fittings in kanji") << int(FittingCount) << QStringLiteral("十") << at + QStringLiteral("台数「十」は数値ではありません。");
    QTest::newRow("negative area") << int(Area) << "-270" << at + QStringLiteral("床面積「-270」は負の値です。");
    QTest::newRow("area too wide for 0.0") << int(Area) << "999999999999999"
                                           << at + QStringLiteral("床面積「999999999999999」は大きすぎて印刷できません。");
    QTest::newRow("density 1e308") << int(StandardPower) << "1e308" << at + QStringLiteral("標準照明消費力「1e308」は数値ではありません。");
    QTest::newRow("negative hours") << int(StandardHours) << "-1" << at + QStringLiteral("年間点灯時間「-1」は負の値です。");
    QTest::newRow("full-width factor") << int(ControlFactor) << QStringLiteral("１２３")
                                       << at + QStringLiteral("制御補正係数「１２３」は数値ではありません。");
    QTest::newRow("type factor too wide") << int(TypeFactor) << "12345678901234"
                                          << at + QStringLiteral("種類補正係数「12345678901234」は大きすぎて印刷できません。");
    QTest::newRow("illuminance factor beyond any double") << int(IlluminanceFactor) << "1" + QString(400, u'0')
                                                          << at + QStringLiteral("照明補正係数「1%1」は大きすぎて印刷できません。").arg(QString(400, u'0'));
    QTest::newRow("total input beyond 32 bits") << int(InputPower) << "9999999"
                                                << at + QStringLiteral("トータル入力「9989999001」は大きすぎて計算できません。");
    // 9999999999 x 99999 x 99999.9 / 1000 = about 1e17: every input printable, the product not.
    QTest::newRow("virtual energy too wide") << -1 << "" << at + QStringLiteral("仮想照明消費電力量「");
}

void TestCeclReport::refusedInputs()
{
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, message);
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}, {2, "", QStringLiteral("会議室")}});
    if (column == InputPower) {
        g.setText(1, column, value);
        g.setText(1, FittingCount, "999");
    } else if (column > 0) {
        g.setText(1, column, value);
    } else {
        g.setText(1, StandardPower, "9999999999");
        g.setText(1, StandardHours, "99999");
        g.setText(1, Area, "99999.9");
    }
    CeclPrintTable::Result r;
    QVERIFY(!CeclPrintTable::makeLines(g, QString(), QString(), &r));
    if (column > 0) {
        QCOMPARE(r.error, message);
    } else {
        QVERIFY2(r.error.startsWith(message) && r.error.endsWith(QStringLiteral("」は大きすぎて印刷できません。")), qPrintable(r.error));
        const double shown = r.error.mid(message.size()).section(u'」', 0, 0).toDouble();
        QVERIFY(std::fabs(shown / (9999999999.0 * 99999 * 99999.9 / 1000) - 1) < 1e-12);
    }
    QVERIFY(r.lines.isEmpty());
    // The batch mode: status 5, the same words, no PDF.
    QTemporaryDir dir;
    QString err;
    QCOMPARE(batchPdf(g, dir, &err), 5);
    QVERIFY(err.contains(message));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));
}

void TestCeclReport::joinedZonesAreReported_data()
{
    QTest::addColumn<QString>("name2");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("notice");
    const QString joined = QStringLiteral("1・2 行目（便所）は室名２または床面積が異なりますが、室名１が同じため"
                                          "一つの区画として計算しました（床面積は 1 行目の値）。");
    QTest::newRow("one room, two kinds of luminaire") << "" << "60.0" << "";
    QTest::newRow("the same area written otherwise") << "" << "60" << "";
    QTest::newRow("other name line") << QStringLiteral("（女子）") << "60.0" << joined;
    QTest::newRow("other area") << "" << "14.0" << joined;
}

void TestCeclReport::joinedZonesAreReported()
{
    QFETCH(QString, name2);
    QFETCH(QString, area);
    QFETCH(QString, notice);
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("便所")}, {2, "", QStringLiteral("便所"), area}});
    g.setText(2, RoomName2, name2);
    const auto r = make(g);
    QCOMPARE(zones(r).mid(0, 3), (QStringList{QStringLiteral("便所"), QStringLiteral("（内訳）"), QString()}));
    QCOMPARE(r.notices, notice.isEmpty() ? QStringList() : QStringList{notice});
    // The batch prints the table as the rule has it and warns on stderr.
    QTemporaryDir dir;
    QString err;
    QCOMPARE(batchPdf(g, dir, &err), 0);
    QCOMPARE(err.contains(QStringLiteral("警告")), !notice.isEmpty());
    if (!notice.isEmpty())
        QVERIFY2(err.contains(notice), qPrintable(err));
}

void TestCeclReport::handComputedSheetAsPrinted()
{
    // Method Ⅰ; fractional inputs, a zone of two luminaires, rooms left out below 50 m2 (one
    // between two zones of the same name), a second floor whose only zone is on row 22.
    RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室"), "60.0", "40.5"},
                            {2, "", QStringLiteral("会議室"), "50.0", "43.7", "2700"},
                            {3, "", QStringLiteral("会議室"), "50.0", "17"},
                            {4, "", QStringLiteral("湯沸室"), "12.0"},
                            {5, "", QStringLiteral("倉庫"), "60.0", "10", "1000"},
                            {6, "", QStringLiteral("倉庫"), "12.0", "10", "1000"},
                            {7, "", QStringLiteral("倉庫"), "60.0", "10", "1000"},
                            {22, "2F", QStringLiteral("事務室"), "100.0", "35", "2700"}},
                           1);
    const QList<QPair<int, QList<QPair<int, QString>>>> changes = {
        {1, {{FittingCount, "5"}}},
        {2, {{ControlFactor, "0.85"}, {LuminaireNumber, "A-2"}}},
        {3, {{FittingCount, "4"}, {LuminaireNumber, "A-3"}}},
        {5, {{FittingCount, "6"}, {StandardPower, "6"}, {LuminaireNumber, "A-5"}}},
        {7, {{FittingCount, "6"}, {StandardPower, "6"}, {LuminaireNumber, "A-5"}, {TypeFactor, "1.3"}}},
        {22, {{FittingCount, "20"}, {ControlFactor, "0.85"}, {IlluminanceFactor, "1.00133333333333"}}},
    };
    for (const auto &[row, cells] : changes)
        for (const auto &[column, text] : cells)
            g.setText(row, column, text);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QCOMPARE(batchPdf(g, dir), 0);

    const QString type = QStringLiteral("埋込下面開放形(FHF32EX-N-2)");
    const QString control = QStringLiteral("在室検知");
    // 階, 区画, Ws, T, A, 番号, 形式, W, N, W x N, WT, 年間, 制御, F, Q1, Q2, ET, ES, CEC/L, by hand:
    const QList<QStringList> expected = {
        // 40.5 x 5 = 202.5 -> 202 (halves to even); 202 / 60 = 3.3667 -> 3.37; 202 x 2500 / 1000 = 505;
        // 0.80 x 505 = 404; 20 x 2500 x 60 / 1000 = 3000; 404 / 3000 = 0.13467 -> 135, d 5 -> 0.14
        {"1F", "事務室", "20", "2500", "60.0", "A-1", type, "40.5", "5", "202", "3.37", "505.0", control, "0.80", "1.00",
         "1.00", "404.000", "3000.000", "0.14"},
        // 437 + 68 = 505 W on the first row's 50 m2 and 2700 h: 10.1; 1363.5 -> 1363 kWh;
        // 0.85 x 1363 = 1158.55; 2700; 0.42909 -> 429, d 9 -> 0.43
        {"", "会議室", "20", "2700", "50.0", "", "", "", "", "505", "10.10", "1363.0", control, "0.85", "1.00", "1.00",
         "1158.550", "2700.000", "0.43"},
        {"", "（内訳）", "", "", "", "A-2", type, "43.7", "10", "437", "", "", "", "", "", "", "", "", ""},
        {"", "", "", "", "", "A-3", type, "17.0", "4", "68", "", "", "", "", "", "", "", "", ""},
        // 湯沸室 (12 m2) left out; 倉庫 twice: the 12 m2 倉庫 between them is left out, not joined.
        // 60 W: 1.00; 60 kWh; 48; 6 x 1000 x 60 / 1000 = 360; 0.1333 -> 0.13
        {"", "倉庫", "6", "1000", "60.0", "A-5", type, "10.0", "6", "60", "1.00", "60.0", control, "0.80", "1.00", "1.00",
         "48.000", "360.000", "0.13"},
        // The type factor 1.3: 360 x 1.3 = 468; 48 / 468 = 0.10256 -> 103, d 3 -> 0.10
        {"", "倉庫", "6", "1000", "60.0", "A-5", type, "10.0", "6", "60", "1.00", "60.0", control, "0.80", "1.30", "1.00",
         "48.000", "468.000", "0.10"},
        // 230 m2, 827 W: 3.5957 -> 3595, d 5 -> 3.60; 1988; 1658.55; 6528; 0.25407 -> 254, d 4 -> 0.25
        {"", "1F 合計", "", "", "230.0", "", "", "", "", "827", "3.60", "1988.0", "", "", "", "", "1658.550", "6528.000", "0.25"},
        // Row 22: 700 W on 100 m2: 7; 1890; 0.85 x 1890 = 1606.5; 20 x 2700 x 100 x 1.00133333333333 / 1000
        // = 5407.19999... -> 5407.200; 0.29710 -> 297, d 7 -> 0.30
        // Printed 0.85 and 1.00: the factors used, to two decimals (0.85 x 1890 = 1606.5 as printed).
        {"2F", "事務室", "20", "2700", "100.0", "A-1", type, "35.0", "20", "700", "7.00", "1890.0", control, "0.85", "1.00",
         "1.00", "1606.500", "5407.200", "0.30"},
        {"", "2F 合計", "", "", "100.0", "", "", "", "", "700", "7.00", "1890.0", "", "", "", "", "1606.500", "5407.200", "0.30"},
        {"", "1F 合計", "", "", "230.0", "", "", "", "", "827", "3.60", "1988.0", "", "", "", "", "1658.550", "6528.000", "0.25"},
        {"", "2F 合計", "", "", "100.0", "", "", "", "", "700", "7.00", "1890.0", "", "", "", "", "1606.500", "5407.200", "0.30"},
        // 330 m2, 1527 W: 4.6272 -> 4627, d 7 -> 4.63; 3878; 3265.05; 11935.2; 0.27356 -> 274, d 4 -> 0.27
        {"", "1F～2F 合計", "", "", "330.0", "", "", "", "", "1527", "4.63", "3878.0", "", "", "", "", "3265.050", "11935.200",
         "0.27"},
    };
    // The columns as the report lays them out (twips, 20 to the point), under the headings.
    const BandedReport report = RptCECL::definition(1, QString(), QString());
    QList<PdfTools::Column> columns;
    for (const BandedReport::Field &f : report.fields)
        columns.append({f.name, f.x / 20, (f.x + f.width) / 20});
    const double top = (report.pageFrame().top + report.headerHeight) / 20;
    const auto lines = PdfTools::tableLines(pdf, 1, columns, top, top + report.rowsPerPage * report.detailHeight / 20);
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        for (int c = 0; c < columns.size(); ++c)
            QVERIFY2(lines[i].value(columns[c].name) == expected[i][c],
                     qPrintable(QStringLiteral("line %1, %2: \"%3\", not \"%4\"")
                                    .arg(i + 1)
                                    .arg(columns[c].name, lines[i].value(columns[c].name), expected[i][c])));
    // The heading over the columns: symbols on its top line, units on its bottom line.
    const auto heading = PdfTools::tableLines(pdf, 1, columns, top - ColumnReport::kHeadingBand / 20, top);
    QVERIFY(heading.size() >= 3);
    const QHash<QString, QString> symbols{{"標準照明消費", "Ws"},       {"床面積", "A"},      {"トータル入力", "W x N"},
                                          {"計画照明消費電力", "WT"}, {"照度補正係数", "Q2"}, {"照明消費電力量", "ET"}};
    const QHash<QString, QString> units{{"標準照明消費", "W/㎡"}, {"標準点灯時間", "h/年"}, {"床面積", "㎡"},
                                        {"年間電力量", "kWh/年"}, {"照明消費電力量", "kWh"}, {"仮想照明消費電力量", "kWh"}};
    for (auto it = symbols.begin(); it != symbols.end(); ++it)
        QCOMPARE(heading.first().value(it.key()), it.value());
    for (auto it = units.begin(); it != units.end(); ++it)
        QCOMPARE(heading.last().value(it.key()), it.value());

    // The footer of the last page: the method and the primary energies, cut to a tenth:
    // 3265.05 x 10.25 = 33466.7625 -> 33466.7; 11935.2 x 10.25 = 122335.8.
    const QString page = PdfTools::text(pdf, 1).simplified();
    QVERIFY(page.contains(QStringLiteral("計算の簡略化タイプ：簡略化の方法Ⅰ")));
    QVERIFY2(page.contains(QStringLiteral("ET 33466.7 ES 122335.8")), qPrintable(page.right(300)));

    // The same sheet as a workbook: every line as printed, numbers as numbers under the report's
    // formats, holding the values themselves (0.85 shows 0.85, 1.00133333333333 shows 1.00).
    QCOMPARE(batchPdf(g, dir, nullptr, true), 0);
    const XlsxReader::Book book = XlsxReader::read(dir.filePath(QStringLiteral("out.xlsx")));
    QVERIFY(book.ok);
    constexpr int firstRow = 8;
    QList<int> printed; // the workbook's rows that are not blank, as the PDF's lines
    for (int row = firstRow; row < firstRow + CeclPrintTable::kLinesPerPage; ++row) {
        bool blank = true;
        for (int c = 1; c <= columns.size(); ++c)
            blank = blank && book.at(row, c).kind <= XlsxReader::Cell::Blank;
        if (!blank)
            printed.append(row);
    }
    QCOMPARE(printed.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        for (int c = 0; c < columns.size(); ++c) {
            const XlsxReader::Cell cell = book.at(printed[i], c + 1);
            QVERIFY2(book.shown(printed[i], c + 1) == expected[i][c],
                     qPrintable(QStringLiteral("row %1, %2: \"%3\", not \"%4\"")
                                    .arg(printed[i])
                                    .arg(columns[c].name, book.shown(printed[i], c + 1), expected[i][c])));
            const bool numeric = !report.fields[c].format.isEmpty();
            if (!expected[i][c].isEmpty())
                QCOMPARE(cell.kind, numeric ? XlsxReader::Cell::Number : XlsxReader::Cell::Text);
        }
    const auto column = [&](const char *name) {
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].name == QString::fromUtf8(name))
                return c + 1;
        return 0;
    };
    QCOMPARE(book.at(printed[1], column("制御補正係数")).number, 0.85);
    QCOMPARE(book.at(printed[1], column("入力電力")).kind, XlsxReader::Cell::Blank);
    QCOMPARE(book.at(printed[7], column("照度補正係数")).number, 1.00133333333333);
    QCOMPARE(book.at(printed[5], column("種類補正係数")).number, 1.3);
    QCOMPARE(book.at(printed[0], column("入力電力")).number, 40.5);
    // The page's blank lines follow as blank rows, then the footer: its values as numbers.
    QCOMPARE(book.at(firstRow + CeclPrintTable::kLinesPerPage - 1, 1).kind, XlsxReader::Cell::Blank);
    QHash<QString, XlsxReader::Cell> footer;
    for (int row = firstRow + CeclPrintTable::kLinesPerPage; row <= book.lastRow; ++row)
        footer.insert(book.at(row, 1).text, book.at(row, 4));
    QCOMPARE(footer.value(QStringLiteral("計算の簡略化タイプ")).text, QStringLiteral("簡略化の方法Ⅰ"));
    QCOMPARE(footer.value(QStringLiteral("１次エネルギー換算値(Mj) ET")).number, 33466.7);
    QCOMPARE(footer.value(QStringLiteral("１次エネルギー換算値(Mj) ES")).number, 122335.8);
}

void TestCeclReport::tableFileAndPdf()
{
    QTemporaryDir dir;
    QList<Zone> list;
    for (int i = 1; i <= 40; ++i)
        list.append({i, i <= 20 ? (i == 1 ? QStringLiteral("1F") : QString()) : (i == 21 ? QStringLiteral("2F") : QString()),
                     QStringLiteral("室%1").arg(i)});
    RecordGrid g = sheetOf(list, 3);
    const auto r = make(g);
    const QString db = dir.filePath(QStringLiteral("t_cecl.mdb"));
    QList<QSqlRecord> rows;
    QString error;
    QCOMPARE(CeclPrintTable::write(r, db, &rows, &error), PrintTableFile::Status::Ok);
    QCOMPARE(rows.size(), r.lines.size());
    QCOMPARE(rows.first().count(), 25);
    QCOMPARE(rows.first().fieldName(24), QStringLiteral("照明エネルギー消費係数"));
    QCOMPARE(rows.first().value(QStringLiteral("区画")).toString(), QStringLiteral("室1"));
    const QString pdf = dir.filePath(QStringLiteral("cecl.pdf"));
    QVERIFY(ReportOutput::writePdf(RptCECL::definition(r.method, r.primaryET, r.primaryES), CeclPrintTable::printedRows(rows), pdf,
                                   QStringLiteral("CEC/L計算書"), &error));
    const int pages = PdfTools::pages(pdf);
    QCOMPARE(pages, (int(CeclPrintTable::printedRows(rows).size()) + 35) / 36);
    QVERIFY(pages >= 2);
    for (int p = 1; p <= pages; ++p) {
        const QString text = PdfTools::text(pdf, p);
        QVERIFY(text.contains(QStringLiteral("照明エネルギー消費係数（ＣＥＣ／Ｌ）の計算")));
        QVERIFY(text.contains(QStringLiteral("計算の簡略化タイプ：簡略化の方法Ⅲ")));
        QVERIFY(text.contains(QStringLiteral("１次エネルギー換算値(Mj)")));
        // The primary-energy values on the last page only.
        QCOMPARE(text.contains(r.primaryET), p == pages);
        QCOMPARE(text.contains(r.primaryES), p == pages);
        QVERIFY(text.contains(QStringLiteral("%1 / %2").arg(p).arg(pages)));
    }
    const QString first = PdfTools::text(pdf, 1);
    QVERIFY(first.contains(QStringLiteral("件名１")));
    QVERIFY(first.contains(QStringLiteral("CEC/L")));
    QVERIFY(first.contains(QStringLiteral("0.8"))); // a control factor of 0.80 under "0.0"
}

void TestCeclReport::sheetPrintsAndPreviews()
{
    CeclFixture f;
    QVERIFY(!f.sheet->Make_Print_File());
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("データがありません。")});
    f.sheet->recordGrid() = sheetOf({{1, "1F", QStringLiteral("事務室")}, {2, "", QStringLiteral("事務室"), "30.0"}});
    f.sheet->recordGrid().setText(1, ControlFactor, QString());
    // The zeros filled in show on the panel when the zone is loaded.
    QString seen;
    QString notice;
    bool turning = false;
    QTimer::singleShot(300, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            if (auto *line = modal->findChild<QLabel *>(QStringLiteral("Lbl_Notice")); line && line->isVisible())
                notice = line->text();
            // The reports are B4 landscape: the preview offers no buttons that would turn the page.
            for (QAction *a : modal->findChildren<QAction *>())
                if (a->isVisible() && (a->text() == QCoreApplication::translate("QPrintPreviewDialog", "Portrait")
                                       || a->text() == QCoreApplication::translate("QPrintPreviewDialog", "Landscape")))
                    turning = true;
            modal->close();
        }
    });
    f.sheet->Menu_File_Preview_Click();
    QCOMPARE(seen, QStringLiteral("QPrintPreviewDialog"));
    QVERIFY(!turning);
    // Rows of different areas joined by their name: said above the pages and in the status bar.
    QVERIFY2(notice.startsWith(QStringLiteral("1・2 行目（事務室）は室名２または床面積が異なります")), qPrintable(notice));
    QCOMPARE(f.sheet->statusMessage(), notice);
    QVERIFY(QFile::exists(f.sheet->workDatabasePath()));
    QCOMPARE(f.sheet->recordGrid().text(1, ControlFactor), QStringLiteral("0"));
    f.sheet->Screen_Set(1);
    QCOMPARE(f.box("Txt_SeigyoHosei")->text(), QStringLiteral("0"));
    // A value that cannot be read: one clear message, no report.
    f.sheet->recordGrid().setText(1, InputPower, QStringLiteral("多い"));
    QVERIFY(!f.sheet->Make_Print_File());
    QVERIFY(f.dialogs.messages().last().contains(QStringLiteral("印刷用データを作成できません")));
    QCOMPARE(f.dialogs.asked.last().icon, Dialogs::Icon::Critical);
}

void TestCeclReport::batchMode_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("status");
    QTest::newRow("the CEC/L example") << "example" << 0;
    QTest::newRow("missing file") << "missing" << 2;
    QTest::newRow("no zone in use") << "empty" << 3;
    QTest::newRow("a value no number") << "broken" << 5;
}

void TestCeclReport::batchMode()
{
    QFETCH(QString, input);
    QFETCH(int, status);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("in.syw"));
    if (input == u"example") {
        path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"));
    } else if (input == u"empty") {
        QVERIFY(WorkFile::save(RecordGrid(221, 38), path));
    } else if (input == u"broken") {
        RecordGrid g = sheetOf({{1, "1F", QStringLiteral("事務室")}});
        g.setText(1, InputPower, "x");
        QVERIFY(WorkFile::save(g, path));
    }
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--pdf"), QStringLiteral("cecl"), path, pdf});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), status);
    if (status == 0) {
        QCOMPARE(PdfTools::pages(pdf), 2);
        const QString last = PdfTools::text(pdf, 2);
        QVERIFY(last.contains(QStringLiteral("1F～3F 合計")));
        QVERIFY(last.contains(QStringLiteral("計算の簡略化タイプ：なし")));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("cache/kzw/zeltika/t_cecl.mdb"))));
    } else {
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(!p.readAllStandardError().isEmpty());
    }

    // The same as a workbook: the same checks and statuses.
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--xlsx"), QStringLiteral("cecl"), path, xlsx});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), status);
    if (status != 0) {
        QVERIFY(!QFile::exists(xlsx));
        return;
    }
    QList<QSqlRecord> table;
    QString error;
    QVERIFY(ReportData::readTable(dir.filePath(QStringLiteral("cache/kzw/zeltika/t_cecl.mdb")), QStringLiteral("W_Data"),
                                  &table, &error));
    const QList<QSqlRecord> rows = CeclPrintTable::printedRows(table);
    const XlsxReader::Book book = XlsxReader::read(xlsx);
    QVERIFY(book.ok);
    const QSqlRecord &first = rows.first();
    QCOMPARE(book.sheetName, QStringLiteral("CEC／L計算書"));
    QCOMPARE(book.shown(1, 1), QStringLiteral("照明エネルギー消費係数（ＣＥＣ／Ｌ）の計算"));
    QCOMPARE(book.shown(2, 1), QStringLiteral("件名"));
    QCOMPARE(book.shown(2, 2), first.value(QStringLiteral("タイトル１")).toString());
    QCOMPARE(book.shown(3, 2), first.value(QStringLiteral("タイトル２")).toString());
    const BandedReport report = RptCECL::definition(0, QString(), QString());
    const int columns = int(report.fields.size());
    QCOMPARE(book.shown(2, columns), first.value(QStringLiteral("日付")).toString());
    QVERIFY(book.merged.contains(QStringLiteral("A1:") + XlsxReader::reference(1, columns)));
    // Symbols, headings and units above the lines, repeated on every printed page and kept in
    // sight while scrolling.
    const QStringList symbols = {"", "", "Ws", "T", "A", "", "", "W", "N", "W x N", "WT", "", "", "F", "Q1", "Q2", "ET", "ES", "CEC/L"};
    for (int c = 1; c <= columns; ++c)
        QCOMPARE(book.shown(5, c), symbols[c - 1]);
    QCOMPARE(book.shown(6, 2), QStringLiteral("室        名"));
    QCOMPARE(book.shown(6, 3), QStringLiteral("標準照明\n消費力"));
    QCOMPARE(book.shown(7, 3), QStringLiteral("W/㎡"));
    QCOMPARE(book.shown(7, 12), QStringLiteral("kWh/年"));
    QCOMPARE(book.printTitles, QStringLiteral("$5:$7"));
    QCOMPARE(book.frozenRows, 7);
    // Every line of the table in its order, blank lines included; then nothing but the footer.
    for (int i = 0; i < rows.size(); ++i)
        for (int c = 0; c < columns; ++c) {
            const BandedReport::Field &f = report.fields[c];
            const QVariant v = rows[i].value(f.name);
            const XlsxReader::Cell cell = book.at(8 + i, c + 1);
            const QString where = QStringLiteral("row %1, %2").arg(8 + i).arg(f.name);
            if (v.isNull() || v.toString().isEmpty())
                QVERIFY2(cell.kind == XlsxReader::Cell::Blank, qPrintable(where));
            else if (f.format.isEmpty())
                QVERIFY2(cell.kind == XlsxReader::Cell::Text && cell.text == v.toString().trimmed(), qPrintable(where));
            else
                QVERIFY2(cell.kind == XlsxReader::Cell::Number && cell.format == f.format
                             && std::abs(cell.number - v.toDouble()) <= 1e-6 * std::max(1.0, std::abs(v.toDouble())),
                         qPrintable(where));
        }
    QCOMPARE(rows.size(), 2 * CeclPrintTable::kLinesPerPage);
    const int footer = 8 + int(rows.size()) + 1;
    QCOMPARE(book.at(footer - 1, 1).kind, XlsxReader::Cell::Missing);
    QCOMPARE(book.shown(footer + 1, 1), QStringLiteral("計算の簡略化タイプ"));
    QCOMPARE(book.shown(footer + 1, 4), QStringLiteral("なし"));
    QCOMPARE(book.shown(footer + 2, 1), QStringLiteral("１次エネルギー換算値(Mj) ET"));
    QCOMPARE(book.at(footer + 2, 4).kind, XlsxReader::Cell::Number);
    QCOMPARE(book.lastRow, footer + 3);
    // B4 landscape, the report's margins, one page wide; the columns as wide as the report's.
    QCOMPARE(book.paperSize, 12);
    QCOMPARE(book.orientation, QStringLiteral("landscape"));
    QVERIFY(book.fitToWidth);
    QCOMPARE(book.margins.value(QStringLiteral("left")), report.marginsTwips.left() / 1440);
    QCOMPARE(book.margins.value(QStringLiteral("top")), report.marginsTwips.top() / 1440);
    QCOMPARE(book.widths.size(), columns);
    for (int c = 1; c < columns; ++c) {
        // Widths in proportion to the report's (Excel's width is in whole pixels, with a margin).
        const double ratio = book.widths[c] / report.fields[c].width;
        const double firstRatio = book.widths[1] / report.fields[1].width;
        QVERIFY2(std::abs(ratio / firstRatio - 1) < 0.12, qPrintable(report.fields[c].name));
    }
}

QTEST_MAIN(TestCeclReport)
#include "tst_cecl_report.moc"
