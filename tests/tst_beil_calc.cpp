// The lighting primary-energy calculation: the worked figures of the method, the room-shape
// classes, the room index from the ceiling height, the standard values, the controls per row and
// their spellings, the refusals, and the rows for the official input sheet.
#include "beil/BeilCalculation.h"
#include "beil/BeilExport.h"
#include "beil/BeilRecord.h"
#include "beil/BeilPrintTable.h"
#include "beil/BeilRooms.h"
#include "emergency/EmergencyRooms.h"
#include "beil/BeilSheet.h"
#include "beil/Controls.h"
#include "beil/StandardValues.h"
#include "illuminance/RoomDistribution.h"

#include "support/TestEnv.h"

#include <QFile>
#include <QTest>

#include <cmath>

using namespace BeilRecord;

namespace {

// A row of a room as the sheets leave it in the grid.
struct RowInputs {
    QString floor, name, building, use;
    QString width, depth, area, height, k;
    QString watts, count;
    QStringList controls; // 在室検知, 明るさ検知, タイムスケジュール, 初期照度補正
};

void putRow(RecordGrid &g, int row, const RowInputs &s)
{
    g.setText(row, InUse, QStringLiteral("1"));
    g.setText(row, Floor, s.floor);
    g.setText(row, RoomName1, s.name);
    g.setText(row, BuildingUse, s.building);
    g.setText(row, RoomUse, s.use);
    g.setText(row, Width, s.width);
    g.setText(row, Depth, s.depth);
    g.setText(row, Area, s.area);
    g.setText(row, CeilingHeight, s.height);
    g.setText(row, RoomIndex, s.k);
    g.setText(row, InputPower, s.watts);
    g.setText(row, FittingCount, s.count);
    for (int c = 0; c < s.controls.size(); ++c)
        g.setText(row, Occupancy + c, s.controls[c]);
}

RecordGrid grid()
{
    return RecordGrid(kHeadingsRow, kColumns);
}

// E1 of the method: 事務所等 / 事務室, 10.0 × 8.0 m, ceiling 2.7 m, 80 ㎡, 13 × 40 W.
RowInputs e1(const QStringList &controls = {})
{
    return {QStringLiteral("1F"), QStringLiteral("事務室"), QStringLiteral("事務所等"), QStringLiteral("事務室"),
            QStringLiteral("10.0"), QStringLiteral("8.0"), QStringLiteral("80.0"), QStringLiteral("2.7"), QString(),
            QStringLiteral("40"), QStringLiteral("13"), controls};
}

// E3: 事務所等 / 廊下, 30 ㎡, K typed 0.70; 6 × 20 W with 点滅方式 and 2 × 10 W without control.
void putE3(RecordGrid &g, int row)
{
    RowInputs s{QStringLiteral("1F"), QStringLiteral("廊下"), QStringLiteral("事務所等"), QStringLiteral("廊下"),
              QStringLiteral("30.0"), QStringLiteral("1.0"), QStringLiteral("30.0"), QStringLiteral("2.7"),
              QStringLiteral("0.70"), QStringLiteral("20"), QStringLiteral("6"), {QStringLiteral("点滅方式")}};
    putRow(g, row, s);
    s.watts = QStringLiteral("10");
    s.count = QStringLiteral("2");
    s.controls = {};
    putRow(g, row + 1, s);
}

QList<BeilRooms::Room> evaluated(const RecordGrid &g)
{
    QList<BeilRooms::Room> rooms;
    BeilRooms::Refusal refusal;
    if (!BeilRooms::evaluateAll(g, StandardValues::shipped(), &rooms, &refusal))
        qWarning("refused: %s", qPrintable(refusal.message()));
    return rooms;
}

double sum(const QList<BeilRooms::Room> &rooms, double BeilRooms::Room::*field)
{
    double s = 0;
    for (const auto &r : rooms)
        s += r.*field;
    return s;
}

} // namespace

class TestBeilCalc : public QObject
{
    Q_OBJECT
private slots:
    void shapeFactorClasses_data();
    void shapeFactorClasses();
    void roomIndexFromTheCeilingHeight();
    void roomIndexSources_data();
    void roomIndexSources();
    void workedFigures();
    void buildingIsTheRatioOfSums();
    void roundingOfShownFigures_data();
    void roundingOfShownFigures();
    void exactHundredthStaysWhenRoundedUp();
    void sameRoomUseUnderTwoBuildingUses();
    void retailUseAsTheOfficialSheetsSpellIt();
    void controlIsChosenPerRow();
    void inputSheetSpellings_data();
    void inputSheetSpellings();
    void tableCheckOfTheShippedTable();
    void roomsAreNeighbouringRowsOfOneFloorAndName();
    void aRoomIsItsNamesDimensionsAndArea_data();
    void aRoomIsItsNamesDimensionsAndArea();
    void twoMeetingRoomsOfOneName();
    void everyProblemOfTheBuilding();
    void choicesThatSuitTheRoom_data();
    void choicesThatSuitTheRoom();
    void roomUseProposedFromItsName_data();
    void roomUseProposedFromItsName();
    void floorTotalStaysWithItsLastRoom();
    void roomsAcrossRowsWithoutAFloor();
    void refusals_data();
    void refusals();
    void form4RowsOfATwoKindRoom();
    void figuresCsv();
};

void TestBeilCalc::shapeFactorClasses_data()
{
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("cl");
    QTest::newRow("0") << 0.0 << 0.50;
    QTest::newRow("0.7499") << 0.7499 << 0.50;
    QTest::newRow("0.75") << 0.75 << 0.60;
    QTest::newRow("0.9499") << 0.9499 << 0.60;
    QTest::newRow("0.95") << 0.95 << 0.70;
    QTest::newRow("1.2499") << 1.2499 << 0.70;
    QTest::newRow("1.25") << 1.25 << 0.80;
    QTest::newRow("1.75") << 1.75 << 0.90;
    QTest::newRow("2.4999") << 2.4999 << 0.90;
    QTest::newRow("2.50") << 2.50 << 1.00;
    QTest::newRow("a billionth below 0.75") << 0.75 - 1e-9 << 0.50;
    QTest::newRow("0.75 from 9 / 12") << 9.0 / 12.0 << 0.60;
    QTest::newRow("5") << 5.0 << 1.00;
}

void TestBeilCalc::shapeFactorClasses()
{
    QFETCH(double, k);
    QFETCH(double, cl);
    QCOMPARE(BeilCalculation::shapeFactor(k), cl);
}

void TestBeilCalc::roomIndexFromTheCeilingHeight()
{
    // 10.0 × 8.0 m, ceiling 2.7 m: K 1.6461 from the ceiling (the illuminance sheet's K from the
    // work plane at 0.85 m would be 2.40, and C_L 0.90 instead of 0.80).
    const double k = *BeilCalculation::roomIndex(10.0, 8.0, 2.7);
    QVERIFY(std::fabs(k - 80.0 / (2.7 * 18.0)) < 1e-12);
    QCOMPARE(BeilCalculation::roomIndexText(k), QStringLiteral("1.64"));
    QCOMPARE(BeilCalculation::shapeFactor(k), 0.80);
    const double fromWorkPlane = *BeilCalculation::roomIndex(10.0, 8.0, 2.7 - 0.85);
    QCOMPARE(BeilCalculation::shapeFactor(fromWorkPlane), 0.90);
    // A quotient exactly on a class edge is on it: 3 × 3 / (2 × 6) = 0.75.
    QCOMPARE(BeilCalculation::shapeFactor(*BeilCalculation::roomIndex(3, 3, 2)), 0.60);
    QCOMPARE(*BeilCalculation::roomIndex(10, 8, 0), 2.5);
    QVERIFY(!BeilCalculation::roomIndex(0, 0, 2.7));
    // The K shown is cut: it never stands in a class above the one used.
    QCOMPARE(BeilCalculation::roomIndexText(0.7499), QStringLiteral("0.74"));
    QCOMPARE(BeilCalculation::roomIndexText(1.15), QStringLiteral("1.15"));
}

void TestBeilCalc::roomIndexSources_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("cl");
    QTest::addColumn<QString>("shown");
    QTest::newRow("computed") << "10.0" << "8.0" << "2.7" << "" << 0.80 << "1.64";
    QTest::newRow("typed wins") << "10.0" << "8.0" << "2.7" << "0.80" << 0.60 << "0.80";
    QTest::newRow("height 0") << "10.0" << "8.0" << "0" << "" << 1.00 << "2.50";
    QTest::newRow("all blank") << "" << "" << "" << "" << 1.00 << "";
    QTest::newRow("no depth") << "10.0" << "" << "2.7" << "" << 1.00 << "室指数を求められないため 1.00";
    QTest::newRow("no width") << "" << "8.0" << "2.7" << "" << 1.00 << "室指数を求められないため 1.00";
}

void TestBeilCalc::roomIndexSources()
{
    QFETCH(QString, width);
    QFETCH(QString, depth);
    QFETCH(QString, height);
    QFETCH(QString, typed);
    QFETCH(double, cl);
    QFETCH(QString, shown);
    RecordGrid g = grid();
    RowInputs s = e1();
    s.width = width;
    s.depth = depth;
    s.height = height;
    s.k = typed;
    putRow(g, 1, s);
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms[0].shapeFactor, cl);
    QCOMPARE(rooms[0].roomIndexText(), shown);
    QCOMPARE(rooms[0].designWh, 520.0 * cl * 3133);
}

void TestBeilCalc::workedFigures()
{
    // E1: 520 W × C_L 0.80 × 3133 h = 1,303,328 Wh → 12,720.48128 MJ; E_SL 498 × 80 = 39,840 MJ.
    RecordGrid g = grid();
    putRow(g, 1, e1());
    auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms[0].designWh, 1303328.0);
    QCOMPARE(rooms[0].designMJ, 12720.48128);
    QCOMPARE(rooms[0].standardMJ, 39840.0);
    QVERIFY(std::fabs(*rooms[0].bei() - 0.3193) < 5e-5);
    QCOMPARE(BeilCalculation::mjText(rooms[0].designMJ), QStringLiteral("12,720.5"));
    QCOMPARE(BeilCalculation::beiText(*rooms[0].bei()), QStringLiteral("0.32"));

    // E2: E1 with 下限調光方式, 調光方式, 減光, タイマ方式(LED): F = 0.95 × 0.90 × 0.95 × 0.95.
    g = grid();
    putRow(g, 1, e1({QStringLiteral("下限調光方式"), QStringLiteral("調光方式"), QStringLiteral("減光"),
                     QStringLiteral("タイマ方式(LED)")}));
    rooms = evaluated(g);
    QCOMPARE(rooms[0].luminaires[0].factor, 0.95 * 0.90 * 0.95 * 0.95);
    QVERIFY(std::fabs(rooms[0].luminaires[0].factor - 0.7716375) < 1e-12);
    QVERIFY(std::fabs(rooms[0].designMJ - 9815.6004) < 5e-5); // the note gives four decimals
    QVERIFY(std::fabs(*rooms[0].bei() - 0.2464) < 5e-5);
    QCOMPARE(BeilCalculation::beiText(*rooms[0].bei()), QStringLiteral("0.25"));

    // E3: (6 × 20 × 0.70 + 2 × 10) = 104 W × C_L 0.50 × 3133 h = 162,916 Wh.
    g = grid();
    putE3(g, 1);
    rooms = evaluated(g);
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms[0].luminaires.size(), 2);
    QCOMPARE(rooms[0].shapeFactor, 0.50);
    QCOMPARE(rooms[0].designWh, 162916.0);
    QCOMPARE(rooms[0].designMJ, 1590.06016);
    QCOMPARE(rooms[0].standardMJ, 7350.0);
    QCOMPARE(BeilCalculation::beiText(*rooms[0].bei()), QStringLiteral("0.22"));
}

void TestBeilCalc::buildingIsTheRatioOfSums()
{
    // E1 + E3: 14,310.54144 / 47,190 = 0.3033 → 0.31; the mean of the two ratios (0.2678 → 0.27)
    // is not the building's.
    RecordGrid g = grid();
    putRow(g, 1, e1());
    putE3(g, 2);
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 2);
    const double design = sum(rooms, &BeilRooms::Room::designMJ);
    const double standard = sum(rooms, &BeilRooms::Room::standardMJ);
    QVERIFY(std::fabs(design - 14310.54144) < 1e-9);
    QCOMPARE(standard, 47190.0);
    const auto bei = BeilRooms::ratio(design, standard);
    QVERIFY(std::fabs(*bei - 0.3033) < 5e-5);
    QCOMPARE(BeilCalculation::beiText(*bei), QStringLiteral("0.31"));
    QCOMPARE(BeilCalculation::gjText(design), QStringLiteral("14.31"));
    QCOMPARE(BeilCalculation::gjText(standard), QStringLiteral("47.19"));
    const double mean = (*rooms[0].bei() + *rooms[1].bei()) / 2;
    QCOMPARE(BeilCalculation::beiText(mean), QStringLiteral("0.27"));
    // The figures file says the same.
    const QStringList lines = QString::fromUtf8(BeilExport::figuresCsv(rooms)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(3), QStringLiteral("total,,,,,,,,,,,14310.54144,47190,0.31"));
}

void TestBeilCalc::roundingOfShownFigures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("MJ half up") << "mj" << 0.05 << "0.1";
    QTest::newRow("MJ 2.25") << "mj" << 2.25 << "2.3";
    QTest::newRow("MJ below half") << "mj" << 1234.44999 << "1,234.4";
    QTest::newRow("GJ half up") << "gj" << 5.0 << "0.01";
    QTest::newRow("GJ 1234.565 MJ") << "gj" << 1234565.0 << "1,234.57";
    // The GJ is the printed MJ ÷ 1000: 12,344.96 prints 12,345.0 MJ, so 12.35 GJ (from the
    // unrounded MJ it would be 12.34); 12,344.94 prints 12,344.9 MJ, 12.34 GJ.
    QTest::newRow("GJ from the printed MJ") << "gj" << 12344.96 << "12.35";
    QTest::newRow("MJ of that") << "mj" << 12344.96 << "12,345.0";
    QTest::newRow("GJ below") << "gj" << 12344.94 << "12.34";
    QTest::newRow("GJ 0.005 GJ of tenths") << "gj" << 4.95 << "0.01";
    // F with every decimal it has, never rounded: four factors of two decimals.
    QTest::newRow("F 0.95 × 0.90 × 0.95 × 0.95") << "f" << 0.95 * 0.90 * 0.95 * 0.95 << "0.7716375";
    QTest::newRow("F 0.63 × 0.95 × 0.95 × 0.85, eight decimals") << "f" << 0.63 * 0.95 * 0.95 * 0.85 << "0.48328875";
    QTest::newRow("F 0.70") << "f" << 0.70 << "0.70";
    QTest::newRow("F 1") << "f" << 1.0 << "1.00";
    QTest::newRow("BEI just above") << "bei" << 0.3000001 << "0.31";
    QTest::newRow("BEI 0.670000000353: above, not noise") << "bei" << 0.670000000353 << "0.68";
    QTest::newRow("BEI 0.30000000000000004: noise") << "bei" << 0.30000000000000004 << "0.30";
    QTest::newRow("BEI exact") << "bei" << 0.3 << "0.30";
    QTest::newRow("BEI 0.2464") << "bei" << 0.2464 << "0.25";
    QTest::newRow("BEI 1") << "bei" << 1.0 << "1.00";
}

void TestBeilCalc::roundingOfShownFigures()
{
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(QString, shown);
    const QString text = kind == u"mj"   ? BeilCalculation::mjText(value)
                         : kind == u"gj" ? BeilCalculation::gjText(value)
                         : kind == u"f"  ? BeilCalculation::factorText(value)
                                         : BeilCalculation::beiText(value);
    QCOMPARE(text, shown);
}

void TestBeilCalc::exactHundredthStaysWhenRoundedUp()
{
    // 事務所等 / 機械室 (a_SL 10, T_L 200), no room dimensions: 3 × 35 W × 200 h × 9.76 × 10⁻³
    // = 204.96 MJ against 10 × 68.32 = 683.2 MJ is exactly 0.30; the quotient of the doubles is
    // 0.30000000000000004, which a plain ceiling would print as 0.31.
    RecordGrid g = grid();
    putRow(g, 1, {QStringLiteral("B1"), QStringLiteral("機械室"), QStringLiteral("事務所等"), QStringLiteral("機械室"),
                  QString(), QString(), QStringLiteral("68.32"), QString(), QString(), QStringLiteral("35"),
                  QStringLiteral("3"), {}});
    const auto rooms = evaluated(g);
    const double bei = *rooms[0].bei();
    QVERIFY2(std::ceil(bei * 100) / 100 > 0.305, "the case no longer shows the binary excess");
    QCOMPARE(BeilCalculation::beiText(bei), QStringLiteral("0.30"));
}

void TestBeilCalc::retailUseAsTheOfficialSheetsSpellIt()
{
    const StandardValues &t = StandardValues::shipped();
    const StandardValues::Entry *e = t.find(QStringLiteral("物品販売業を営む店舗等"), QStringLiteral("大型店の売場"));
    QVERIFY(e);
    for (const QString &spelt : {QStringLiteral("百貨店等"), QStringLiteral("物販店舗等")})
        QCOMPARE(t.find(spelt, QStringLiteral("大型店の売場")), e);
    QCOMPARE(StandardValues::officialBuilding(e->building), QStringLiteral("百貨店等"));
    QCOMPARE(StandardValues::officialBuilding(QStringLiteral("事務所等")), QStringLiteral("事務所等"));
}

void TestBeilCalc::sameRoomUseUnderTwoBuildingUses()
{
    // 廊下 of an office: 245 MJ/㎡, 3133 h; of a school: 188 MJ/㎡, 2410 h.
    RecordGrid g = grid();
    RowInputs s = e1();
    s.name = s.use = QStringLiteral("廊下");
    putRow(g, 1, s);
    s.floor = QStringLiteral("2F");
    s.building = QStringLiteral("学校等");
    putRow(g, 2, s);
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 2);
    QCOMPARE(rooms[0].standardMJ, 245.0 * 80);
    QCOMPARE(rooms[1].standardMJ, 188.0 * 80);
    QCOMPARE(rooms[0].designWh, 520 * 0.80 * 3133);
    QCOMPARE(rooms[1].designWh, 520 * 0.80 * 2410);
}

void TestBeilCalc::controlIsChosenPerRow()
{
    // One room, two kinds of luminaire: 消灯 on the first only.
    RecordGrid g = grid();
    RowInputs s = e1({QString(), QString(), QStringLiteral("消灯")});
    putRow(g, 1, s);
    s.watts = QStringLiteral("10");
    s.count = QStringLiteral("4");
    s.controls = {};
    putRow(g, 2, s);
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms[0].luminaires[0].factor, 0.90);
    QCOMPARE(rooms[0].luminaires[1].factor, 1.00);
    QCOMPARE(rooms[0].designWh, (520 * 0.90 + 40) * 0.80 * 3133);
}

void TestBeilCalc::inputSheetSpellings_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("spelling"); // "" when no choice
    QTest::addColumn<double>("factor");
    QTest::newRow("blank is 無") << 0 << "" << "無" << 1.00;
    QTest::newRow("減光方式 of presence") << 0 << "減光方式" << "減光方式" << 0.80;
    QTest::newRow("点滅方式 of presence") << 0 << "点滅方式" << "点滅方式" << 0.70;
    QTest::newRow("点滅方式 of daylight") << 1 << "点滅方式" << "点滅方式" << 0.80;
    QTest::newRow("W25BL") << 1 << "調光方式W25BL" << "調光方式W25BL" << 0.63;
    QTest::newRow("schedule 減光方式") << 2 << "減光方式" << "減光方式" << 0.95;
    QTest::newRow("schedule 点滅方式") << 2 << "点滅方式" << "点滅方式" << 0.90;
    QTest::newRow("older sheets' 減光 is 減光方式") << 2 << "減光" << "減光方式" << 0.95;
    QTest::newRow("older sheets' 消灯 is 点滅方式") << 2 << "消灯" << "点滅方式" << 0.90;
    QTest::newRow("消灯 is no choice of presence") << 0 << "消灯" << "" << 0.0;
    QTest::newRow("half-width parentheses") << 3 << "タイマ方式(LED)" << "タイマ方式(LED)" << 0.95;
    QTest::newRow("full-width read as half") << 3 << "センサ方式（蛍光灯）" << "センサ方式(蛍光灯)" << 0.85;
    QTest::newRow("no such choice") << 1 << "調光" << "" << 0.0;
    QTest::newRow("manual switching counts not") << 0 << "手元スイッチ" << "" << 0.0;
}

void TestBeilCalc::inputSheetSpellings()
{
    QFETCH(int, category);
    QFETCH(QString, stored);
    QFETCH(QString, spelling);
    QFETCH(double, factor);
    const Controls::Choice *c = Controls::find(category, stored);
    if (spelling.isEmpty()) {
        QVERIFY(!c);
        return;
    }
    QVERIFY(c);
    QCOMPARE(c->text, spelling);
    QCOMPARE(c->factor, factor);
    // Every spelling of the input sheet: half-width parentheses only.
    for (int k = 0; k < Controls::kCategories; ++k)
        for (const Controls::Choice &choice : Controls::choices(k))
            QVERIFY(!choice.text.contains(QChar(0xFF08)) && !choice.text.contains(QChar(0xFF09)));
}

void TestBeilCalc::tableCheckOfTheShippedTable()
{
    // Some density W (to 0.1 W/㎡) gives round(W × T × 9.76 × 10⁻³) = a_SL for every row.
    const auto check = [](const StandardValues::Entry &e) {
        for (int tenths = 0; tenths <= 20000; ++tenths)
            if (std::llround(tenths / 10.0 * e.hours * 9.76e-3) == std::llround(e.energyPerArea))
                return true;
        return false;
    };
    const StandardValues &table = StandardValues::shipped();
    QCOMPARE(table.entries().size(), 210);
    QCOMPARE(table.buildingUses().size(), 9);
    for (const StandardValues::Entry &e : table.entries())
        QVERIFY2(check(e), qPrintable(e.key));
    // A mistyped row fails it (事務室 at 490 instead of 498).
    StandardValues::Entry typo = *table.find(QStringLiteral("事務所等"), QStringLiteral("事務室"));
    typo.energyPerArea = 490;
    QVERIFY(!check(typo));
    // The shipped file is the table the program holds.
    QFile file(TestEnv::sourceDir() + QStringLiteral("/data/beil/lighting-energy-standard-values.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    StandardValues fromFile;
    QString error;
    QVERIFY2(StandardValues::parse(QString::fromUtf8(file.readAll()), &fromFile, &error), qPrintable(error));
    QCOMPARE(fromFile.entries().size(), table.entries().size());
    QVERIFY(!StandardValues::parse(QStringLiteral("key,building_use,room_use,standard_energy_MJ_per_m2_year,annual_hours\n"
                                                  "X-1,事務所等,事務室,abc,3133\n"),
                                   &fromFile, &error));
    QCOMPARE(error, QStringLiteral("2 行目: X-1,事務所等,事務室,abc,3133"));
}

void TestBeilCalc::roomsAreNeighbouringRowsOfOneFloorAndName()
{
    RecordGrid g = grid();
    RowInputs s = e1();
    putRow(g, 1, s);
    putRow(g, 2, s);             // same floor and name: the same room
    s.floor = QStringLiteral("2F");
    putRow(g, 3, s);             // another floor
    putRow(g, 5, s);             // a free row between
    s.name.clear();
    putRow(g, 6, s);             // no name: rooms of their own
    putRow(g, 7, s);
    const QList<QList<int>> rooms = BeilRooms::rooms(g);
    QCOMPARE(rooms, (QList<QList<int>>{{1, 2}, {3}, {5}, {6}, {7}}));
    QCOMPARE(BeilRooms::roomRows(g, 2), (QList<int>{1, 2}));
    QCOMPARE(BeilRooms::roomRows(g, 4), QList<int>());
}

void TestBeilCalc::aRoomIsItsNamesDimensionsAndArea_data()
{
    // Row 2 differs from row 1 (e1: 事務室, 10.0 × 8.0 m, 80.0 ㎡) in one field.
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("oneRoom");
    QTest::newRow("all the same") << int(Width) << "10.0" << "10.0" << true;
    QTest::newRow("8 and 8.0 are one number") << int(Width) << "10" << "10.0" << true;
    QTest::newRow("blank and blank") << int(Depth) << "" << "" << true;
    QTest::newRow("blank is not 0") << int(Depth) << "" << "0" << false;
    QTest::newRow("another 室名２") << int(RoomName2) << "（第1）" << "（第2）" << false;
    QTest::newRow("室名２ and none") << int(RoomName2) << "（第1）" << "" << false;
    QTest::newRow("another area") << int(Area) << "80.0" << "79.9" << false;
    QTest::newRow("another 間口") << int(Width) << "10.0" << "12.0" << false;
    QTest::newRow("another 奥行") << int(Depth) << "8.0" << "6.0" << false;
    QTest::newRow("texts that are no numbers, the same") << int(Area) << "約80" << "約80" << true;
    QTest::newRow("only 床面積 blank") << int(Area) << "80.0" << "" << false;
    // As the official input sheet writes a room's further rows: 間口, 奥行 and 面積 all blank.
    QTest::newRow("a further row, its dimensions blank") << -1 << "" << "" << true;
    QTest::newRow("dimensions blank, another 室名２") << -2 << "" << "" << false;
}

void TestBeilCalc::aRoomIsItsNamesDimensionsAndArea()
{
    QFETCH(int, column);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, oneRoom);
    RecordGrid g = grid();
    putRow(g, 1, e1());
    putRow(g, 2, e1());
    if (column > 0) {
        g.setText(1, column, first);
        g.setText(2, column, second);
    } else {
        for (int c : {int(Width), int(Depth), int(Area)})
            g.setText(2, c, QString());
        if (column == -2)
            g.setText(2, RoomName2, QStringLiteral("（第2）"));
    }
    const QList<QList<int>> expected = oneRoom ? QList<QList<int>>{{1, 2}} : QList<QList<int>>{{1}, {2}};
    QCOMPARE(BeilRooms::rooms(g), expected);
    // The distribution and the emergency check see the same rooms.
    QCOMPARE(RoomDistribution::rooms(g), expected);
    QCOMPARE(EmergencyRooms::roomRows(g, 2), expected.last());
    if (column != -1)
        return;
    // The figures are those of the room with its dimensions written on every row.
    RecordGrid full = g;
    for (int c : {int(Width), int(Depth), int(Area)})
        full.setText(2, c, g.text(1, c));
    const auto blank = evaluated(g), written = evaluated(full);
    QCOMPARE(blank.size(), 1);
    QCOMPARE(written.size(), 1);
    QCOMPARE(blank.first().designMJ, written.first().designMJ);
    QCOMPARE(blank.first().standardMJ, written.first().standardMJ);
    QVERIFY(blank.first().designMJ > 0);
}

void TestBeilCalc::twoMeetingRoomsOfOneName()
{
    // 1F 会議室（第1）8.0 × 6.0 m, 48 ㎡, 9 × 86 W and 会議室（第2）6.0 × 5.0 m, 30 ㎡, 6 × 86 W,
    // ceilings 2.8 m, no control; 事務所等 / 会議室: T_L 2169 h, a_SL 231 MJ/㎡.
    //   第1: K = 48 / (2.8 × 14) = 1.224 → C_L 0.70; 9 × 86 × 0.70 × 2169 = 1,175,164.2 Wh
    //        → 11,469.602592 MJ; E_SL 11,088 → BEI/L 1.0344 → 1.04.
    //   第2: K = 30 / (2.8 × 11) = 0.974 → C_L 0.70; 6 × 86 × 0.70 × 2169 = 783,442.8 Wh
    //        → 7,646.401728 MJ; E_SL 6,930 → 1.1034 → 1.11.
    // Joined as one room of 48 ㎡ they would give 19,116.00432 / 11,088 → 1.73.
    RecordGrid g = grid();
    RowInputs s{QStringLiteral("1F"), QStringLiteral("会議室"), QStringLiteral("事務所等"), QStringLiteral("会議室"),
                QStringLiteral("8.0"), QStringLiteral("6.0"), QStringLiteral("48.0"), QStringLiteral("2.8"), QString(),
                QStringLiteral("86"), QStringLiteral("9"), {}};
    putRow(g, 1, s);
    g.setText(1, RoomName2, QStringLiteral("（第1）"));
    s.width = QStringLiteral("6.0");
    s.depth = QStringLiteral("5.0");
    s.area = QStringLiteral("30.0");
    s.count = QStringLiteral("6");
    putRow(g, 2, s);
    g.setText(2, RoomName2, QStringLiteral("（第2）"));
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 2);
    QVERIFY(std::fabs(rooms[0].designMJ - 11469.602592) < 1e-6);
    QVERIFY(std::fabs(rooms[1].designMJ - 7646.401728) < 1e-6);
    QCOMPARE(BeilCalculation::beiText(*rooms[0].bei()), QStringLiteral("1.04"));
    QCOMPARE(BeilCalculation::beiText(*rooms[1].bei()), QStringLiteral("1.11"));
    const BeilRooms::Sums all = BeilRooms::sums(rooms);
    QCOMPARE(BeilCalculation::beiText(*BeilRooms::ratio(all.designMJ, all.standardMJ)), QStringLiteral("1.07"));
    // The outputs name each room by both its names.
    const QStringList rows = BeilExport::form4Rows(rooms).value(1);
    QCOMPARE(rows.value(1), QStringLiteral("会議室 （第2）"));
}

void TestBeilCalc::everyProblemOfTheBuilding()
{
    // Four rooms: a power that is no number (row 1); a room of two rows without any power
    // (rows 2 and 3: said once); a room without its use and its count (row 4); a complete one.
    RecordGrid g = grid();
    putRow(g, 1, e1());
    g.setText(1, InputPower, QStringLiteral("4O"));
    putE3(g, 2);
    g.setText(2, InputPower, QString());
    g.setText(3, InputPower, QString());
    RowInputs store = e1();
    store.name = QStringLiteral("倉庫");
    store.use.clear();
    store.count.clear();
    putRow(g, 4, store);
    RowInputs fine = e1();
    fine.floor = QStringLiteral("2F");
    putRow(g, 5, fine);
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    QVERIFY(!BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &rooms, &problems));
    QCOMPARE(BeilRooms::messages(problems),
             (QStringList{"1 行目（事務室）の入力電力「4O」は数値ではありません。",
                          "2 行目（廊下）の入力電力がこの室のどの行（2 行）にも入力されていません。",
                          "4 行目（倉庫）の室用途が選ばれていません。", "4 行目（倉庫）の台数が入力されていません。"}));
    QCOMPARE(BeilRooms::rowsWithErrors(problems), (QList<int>{1, 2, 4}));
    QCOMPARE(rooms.size(), 1); // the complete room's figures stand
    QCOMPARE(rooms[0].texts.row, 5);
}

void TestBeilCalc::choicesThatSuitTheRoom_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("use");
    QTest::addColumn<QString>("ticked"); // column 130
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("ratio"); // column 131
    QTest::addColumn<QString>("note");
    const int occupancy = Controls::Occupancy, daylight = Controls::Daylight;
    QTest::newRow("点滅方式 in an office") << "事務室" << "事務室" << "" << occupancy << "点滅方式" << "" << "点滅方式は非居室に限ります";
    QTest::newRow("減光方式 in an office") << "事務室" << "事務室" << "" << occupancy << "減光方式" << "" << "減光方式は非居室に限ります";
    QTest::newRow("明るさ検知の点滅方式 in an office") << "事務室" << "事務室" << "" << daylight << "点滅方式" << ""
                                                  << "点滅方式は非居室に限ります";
    QTest::newRow("ticked 非居室") << "事務室" << "事務室" << "1" << occupancy << "点滅方式" << "" << "";
    QTest::newRow("a 便所 by its name") << "男子便所" << "便所" << "" << occupancy << "点滅方式" << "" << "";
    QTest::newRow("a 倉庫 by its use") << "資料置場" << "更衣室又は倉庫" << "" << occupancy << "点滅方式" << "" << "";
    QTest::newRow("a 倉庫 the user unticked") << "倉庫" << "更衣室又は倉庫" << "0" << occupancy << "点滅方式" << ""
                                          << "点滅方式は非居室に限ります";
    QTest::newRow("下限調光方式 anywhere") << "事務室" << "事務室" << "" << occupancy << "下限調光方式" << "" << "";
    QTest::newRow("W20 at 15 %") << "事務室" << "事務室" << "" << daylight << "調光方式W20" << "15"
                                 << "調光方式W20は窓面積率 20 % 以上に限ります";
    QTest::newRow("W20 at 20 %") << "事務室" << "事務室" << "" << daylight << "調光方式W20" << "20" << "";
    QTest::newRow("W25BL at 24.9 %") << "事務室" << "事務室" << "" << daylight << "調光方式W25BL" << "24.9"
                                     << "調光方式W25BLは窓面積率 25 % 以上に限ります";
    QTest::newRow("W15 without a ratio") << "事務室" << "事務室" << "" << daylight << "調光方式W15" << "" << "";
    QTest::newRow("調光方式 at 9 %") << "事務室" << "事務室" << "" << daylight << "調光方式" << "9"
                                     << "調光方式は窓面積率 10 % 以上に限ります";
}

void TestBeilCalc::choicesThatSuitTheRoom()
{
    QFETCH(QString, name);
    QFETCH(QString, use);
    QFETCH(QString, ticked);
    QFETCH(int, category);
    QFETCH(QString, choice);
    QFETCH(QString, ratio);
    QFETCH(QString, note);
    RecordGrid g = grid();
    RowInputs s = e1();
    s.name = name;
    s.use = use;
    putRow(g, 1, s);
    g.setText(1, Occupancy + category, choice);
    g.setText(1, NonHabitable, ticked);
    g.setText(1, WindowRatio, ratio);
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    // A warning: the figures are still worked out, with the choice's factor.
    QVERIFY(BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &rooms, &problems));
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms[0].luminaires[0].notes, note.isEmpty() ? QStringList() : QStringList{note});
    QCOMPARE(problems.size(), note.isEmpty() ? 0 : 1);
    if (!note.isEmpty()) {
        QVERIFY(problems[0].warning);
        QCOMPARE(problems[0].row, 1);
        QCOMPARE(problems[0].field, Controls::categoryName(category));
    }
    QCOMPARE(rooms[0].luminaires[0].factor, Controls::find(category, choice)->factor);
    // The report's 備考 of the luminaire's line says it.
    BeilPrintTable::Result printed;
    QVERIFY(BeilPrintTable::makeLines(g, QString(), QString(), &printed));
    QCOMPARE(printed.lines[1][BeilPrintTable::Remark].toString(), note);
}

void TestBeilCalc::roomUseProposedFromItsName_data()
{
    QTest::addColumn<QString>("building");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("a room use itself") << "事務所等" << "廊下" << "廊下";
    QTest::newRow("男子便所") << "事務所等" << "男子便所" << "便所";
    QTest::newRow("多目的便所") << "事務所等" << "多目的便所" << "便所";
    QTest::newRow("給湯室") << "事務所等" << "給湯室" << "湯沸室等";
    QTest::newRow("玄関ホール") << "事務所等" << "玄関ホール" << "ロビー";
    QTest::newRow("エントランスホール") << "事務所等" << "エントランスホール" << "ロビー";
    QTest::newRow("書庫, as the table spells the use") << "事務所等" << "書庫" << "更衣室又は倉庫";
    QTest::newRow("大会議室") << "事務所等" << "大会議室" << "会議室";
    QTest::newRow("a name of no use") << "事務所等" << "中庭" << "";
    QTest::newRow("no building use") << "" << "男子便所" << "";
}

void TestBeilCalc::roomUseProposedFromItsName()
{
    QFETCH(QString, building);
    QFETCH(QString, name);
    QFETCH(QString, proposed);
    QCOMPARE(BeilSheet::proposedRoomUse(building, name), proposed);
}

void TestBeilCalc::floorTotalStaysWithItsLastRoom()
{
    // 1F: 16 rooms of one luminaire (2 lines each: 32 of a page's 34). The floor's total (a blank,
    // the total, a blank) does not fit under the 16th room: that room goes to page 2 with it.
    RecordGrid g = grid();
    for (int r = 1; r <= 17; ++r) {
        RowInputs s = e1();
        s.name = QStringLiteral("室%1").arg(r);
        if (r == 17)
            s.floor = QStringLiteral("2F");
        putRow(g, r, s);
    }
    BeilPrintTable::Result t;
    QVERIFY(BeilPrintTable::makeLines(g, QString(), QString(), &t));
    const int page = BeilPrintTable::kLinesPerPage;
    const auto pageOf = [&](const QString &name) { return int(t.lineNames.indexOf(name)) / page; };
    QCOMPARE(pageOf(QStringLiteral("室15")), 0);
    QCOMPARE(pageOf(QStringLiteral("室16")), 1);
    QCOMPARE(pageOf(QStringLiteral("1F 合計")), 1);
    // No total stands alone on a page: a room of its floor is printed before it on the same page.
    for (qsizetype i = 0; i < t.lineNames.size(); ++i) {
        if (!t.lineNames[i].endsWith(QStringLiteral(" 合計")))
            continue;
        bool roomBefore = false;
        for (qsizetype j = i - 1; j >= 0 && j / page == i / page; --j)
            roomBefore = roomBefore || t.lineRows[j] > 0;
        QVERIFY2(roomBefore, qPrintable(t.lineNames[i]));
    }
    // The floor printed again on the first room of a page.
    QCOMPARE(t.lines[page][BeilPrintTable::Floor].toString(), QStringLiteral("1F"));
    QCOMPARE(t.lines.size() % page, 0);
}

// As the CEC/L sheet's zones and floor groups: a row without 階 is on the floor of the rows
// above it, and rows above the first 階 are on that floor.
void TestBeilCalc::roomsAcrossRowsWithoutAFloor()
{
    RecordGrid g = grid();
    RowInputs s = e1();
    s.floor.clear();
    putRow(g, 1, s);             // above the first 階: on 1F, with row 2
    s.floor = QStringLiteral("1F");
    putRow(g, 2, s);
    s.floor.clear();
    putRow(g, 3, s);             // 1F still, the same room
    s.name = QStringLiteral("会議室");
    s.use = QStringLiteral("会議室");
    putRow(g, 4, s);
    s.floor = QStringLiteral("2F");
    putRow(g, 5, s);             // a 会議室 of its own on 2F
    QCOMPARE(BeilRooms::rooms(g), (QList<QList<int>>{{1, 2, 3}, {4}, {5}}));
    QCOMPARE(BeilRooms::roomRows(g, 3), (QList<int>{1, 2, 3}));
    const auto rooms = evaluated(g);
    QCOMPARE(rooms.size(), 3);
    QCOMPARE(rooms[0].texts.floor, QStringLiteral("1F"));
    QCOMPARE(rooms[1].texts.floor, QStringLiteral("1F"));
    // The standard once for the room of three rows: 498 × 80.0.
    QCOMPARE(rooms[0].standardMJ, 39840.0);
    const QStringList lines = QString::fromUtf8(BeilExport::figuresCsv(rooms)).split(QStringLiteral("\r\n"));
    QVERIFY2(lines.value(1).startsWith(QStringLiteral("1,1F,事務室,")), qPrintable(lines.value(1)));
    QVERIFY2(lines.value(2).startsWith(QStringLiteral("4,1F,会議室,")), qPrintable(lines.value(2)));
}

void TestBeilCalc::refusals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("power no number") << 2 << int(InputPower) << "abc" << "2 行目（事務室）の入力電力「abc」は数値ではありません。";
    QTest::newRow("power blank") << 1 << int(InputPower) << "" << "1 行目（事務室）の入力電力が入力されていません。";
    QTest::newRow("count negative") << 1 << int(FittingCount) << "-2" << "1 行目（事務室）の台数「-2」は負の値です。";
    QTest::newRow("area blank") << 1 << int(Area) << "" << "1 行目（事務室）の床面積が入力されていません。";
    QTest::newRow("area 0") << 1 << int(Area) << "0" << "1 行目（事務室）の床面積「0」は 0 より大きい値を入力してください。";
    QTest::newRow("area 0.0") << 1 << int(Area) << "0.0" << "1 行目（事務室）の床面積「0.0」は 0 より大きい値を入力してください。";
    QTest::newRow("area two points") << 1 << int(Area) << "1.2.3" << "1 行目（事務室）の床面積「1.2.3」は数値ではありません。";
    QTest::newRow("K negative") << 1 << int(RoomIndex) << "-1" << "1 行目（事務室）の室指数「-1」は負の値です。";
    QTest::newRow("height no number") << 1 << int(CeilingHeight) << "2,7" << "1 行目（事務室）の天井高「2,7」は数値ではありません。";
    QTest::newRow("story height") << 1 << int(StoryHeight) << "x" << "1 行目（事務室）の階高「x」は数値ではありません。";
    QTest::newRow("power not finite") << 1 << int(InputPower) << QString(400, u'9')
                                      << "1 行目（事務室）の入力電力「" + QString(400, u'9') + "」は大きすぎて計算できません。";
    QTest::newRow("pair not in table") << 1 << int(RoomUse) << "病室"
                                       << "1 行目（事務室）の室用途「病室」は建物用途「事務所等」の室用途として基準値の表にありません。";
    QTest::newRow("no room use") << 1 << int(RoomUse) << "" << "1 行目（事務室）の室用途が選ばれていません。";
    QTest::newRow("another input method") << 1 << int(RoomUse) << "非主要室"
                                         << "1 行目（事務室）の室用途「非主要室」：非主要室（主要室入力法）はこのシートでは計算できません。";
    QTest::newRow("no building use") << 1 << int(BuildingUse) << "" << "1 行目（事務室）の建物用途が選ばれていません。";
    QTest::newRow("control no choice") << 2 << int(Daylight) << "調光" << "2 行目（事務室）の明るさ検知制御「調光」は選択肢にありません。";
}

void TestBeilCalc::refusals()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, message);
    RecordGrid g = grid();
    putRow(g, 1, e1());
    putRow(g, 2, e1());
    g.setText(row, column, value);
    QList<BeilRooms::Room> rooms;
    BeilRooms::Refusal refusal;
    QVERIFY(!BeilRooms::evaluateAll(g, StandardValues::shipped(), &rooms, &refusal));
    QCOMPARE(refusal.message(), message);
    QVERIFY(rooms.isEmpty());
}

void TestBeilCalc::form4RowsOfATwoKindRoom()
{
    RecordGrid g = grid();
    putE3(g, 1);
    g.setText(1, StoryHeight, QStringLiteral("3.8"));
    g.setText(1, EquipmentName, QStringLiteral("LEDダウンライト"));
    g.setText(2, LuminaireType, QStringLiteral("LED足元灯"));
    g.setText(2, LampName, QStringLiteral("LED-F1"));
    g.setText(2, InitialCorrection, QStringLiteral("タイマ方式（LED）"));
    g.setText(2, Schedule, QStringLiteral("点滅方式"));
    // A second room with a computed K: the input sheet gets no K for it.
    putRow(g, 3, e1());
    // A third without K or any dimension: 備考 says so.
    RowInputs bare = e1();
    bare.name = QStringLiteral("倉庫");
    bare.use = QStringLiteral("更衣室又は倉庫");
    bare.width.clear();
    bare.depth.clear();
    bare.height.clear();
    putRow(g, 4, bare);
    const QList<QStringList> all = BeilExport::form4Rows(evaluated(g));
    QCOMPARE(all.size(), 4);
    QCOMPARE(all[3].value(17), QStringLiteral("室指数なし（寸法未入力）"));
    const QList<QStringList> rows = all.mid(0, 3);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], (QStringList{"1F", "廊下", "事務所等", "廊下", "30.0", "3.8", "2.7", "30.0", "1.0", "0.70",
                                   "LEDダウンライト", "20", "6", "点滅方式", "無", "無", "無", ""}));
    QCOMPARE(rows[1], (QStringList{"", "", "", "", "", "", "", "", "", "", "LED足元灯(LED-F1)", "10", "2", "無", "無",
                                   "点滅方式", "タイマ方式(LED)", ""}));
    QCOMPARE(rows[2].mid(0, 11), (QStringList{"1F", "事務室", "事務所等", "事務室", "80.0", "", "2.7", "10.0", "8.0", "",
                                              ""}));
    for (const QStringList &r : rows)
        QCOMPARE(r.size(), 18);
    QByteArray bytes;
    QString error;
    QVERIFY(BeilExport::form4Csv(evaluated(g), &bytes, &error));
    // The official CSV form: the ten header rows, then the rows from line 11.
    const QList<QByteArray> lines = bytes.split('\n');
    QVERIFY(lines.value(10).startsWith(QByteArray("1F,") + QByteArray("\x98\x4c\x89\xba", 4))); // 廊下 in CP932
    QVERIFY(bytes.contains(QByteArray(",,,,,,,,,,")));
    QVERIFY(bytes.endsWith("\r\n"));
}

void TestBeilCalc::figuresCsv()
{
    RecordGrid g = grid();
    putRow(g, 3, e1());
    putE3(g, 5);
    g.setText(5, RoomName1, QStringLiteral("廊下, 東"));
    g.setText(6, RoomName1, QStringLiteral("廊下, 東"));
    const QStringList lines = QString::fromUtf8(BeilExport::figuresCsv(evaluated(g))).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(0), QStringLiteral("row,floor,room,room2,building_use,room_use,area_m2,room_index,shape_factor,hours,"
                                            "design_wh,design_mj,standard_mj,bei_l"));
    // K unrounded as the shortest text that reads back the same double.
    const QString k = BeilCalculation::shortest(80.0 / (2.7 * 18.0));
    QCOMPARE(k.toDouble(), 80.0 / (2.7 * 18.0));
    QCOMPARE(lines.value(1), QStringLiteral("3,1F,事務室,,事務所等,事務室,80,%1,0.8,3133,1303328,12720.48128,39840,0.32").arg(k));
    QCOMPARE(lines.value(2), QStringLiteral("5,1F,\"廊下, 東\",,事務所等,廊下,30,0.7,0.5,3133,162916,1590.06016,7350,0.22"));
    QCOMPARE(lines.value(3), QStringLiteral("total,,,,,,,,,,,14310.54144,47190,0.31"));
    QCOMPARE(lines.size(), 5); // the last line ends the file
}

QTEST_MAIN(TestBeilCalc)
#include "tst_beil_calc.moc"
