// The CEC/L calculation on a plain panel of texts: the zone calculation, its rounding rules, the
// functions of the print table, the factor choices and the options.
#include "cecl/CeclCalculation.h"
#include "cecl/CeclOptions.h"
#include "cecl/ZoneRecord.h"
#include "cecl/ZoneSheet.h"
#include "grid/TextPanel.h"
#include "support/TestEnv.h"
#include "text/Cp932.h"
#include "text/NumberText.h"

#include <QTest>

using namespace CeclCalculation;
using Texts = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// The worked example's zone: 10 fittings of 40 W on 30 m2, 2500 h, factors 0.80 / 1.0 / 1.0.
TextPanel exampleZone()
{
    TextPanel p;
    const Texts texts = {{"Txt_InDenryoku", "40"}, {"Txt_Daisu", "10"},      {"Txt_Menseki", "30"},
                         {"Txt_HTentou", "2500"},  {"Txt_SeigyoHosei", "0.80"}, {"Txt_HSyoumei", "20"},
                         {"Txt_SyuHosei", "1.0"},  {"Txt_SyouHosei", "1.0"}};
    for (const auto &[name, text] : texts)
        p.setText(name, text);
    return p;
}

const QStringList kOutputs = {"Txt_TotalIn", "Txt_Ksyoumei", "Txt_Nendenryoku", "Txt_Syodenryoku", "Txt_Vsyoden",
                              "Txt_SyoEne"};

} // namespace

class TestCeclCalc : public QObject
{
    Q_OBJECT
private slots:
    void workedExample();
    void zoneCalculation_data();
    void zoneCalculation();
    void roundFloor_data();
    void roundFloor();
    void roundEven_data();
    void roundEven();
    void threeDecimals_data();
    void threeDecimals();
    void printFunctions_data();
    void printFunctions();
    void controlChoices_data();
    void controlChoices();
    void typeAndIlluminanceChoices_data();
    void typeAndIlluminanceChoices();
    void zoneRecordMovesBothWays();
    void optionsOnAFreshFile();
    void optionsLinkByExactName_data();
    void optionsLinkByExactName();
    void optionsWithLinksOffChangeNoZone();
    void hoursFollowTheLastDuplicate();
};

void TestCeclCalc::workedExample()
{
    TextPanel p = exampleZone();
    ZoneCalculation(p);
    QCOMPARE(p.text("Txt_TotalIn"), QStringLiteral("400"));
    QCOMPARE(p.text("Txt_Ksyoumei"), QStringLiteral("13.33"));
    QCOMPARE(p.text("Txt_Nendenryoku"), QStringLiteral("1000"));
    QCOMPARE(p.text("Txt_Syodenryoku"), QStringLiteral("800.000"));
    QCOMPARE(p.text("Txt_Vsyoden"), QStringLiteral("1500.000"));
    QCOMPARE(p.text("Txt_SyoEne"), QStringLiteral("0.53"));
}

void TestCeclCalc::zoneCalculation_data()
{
    QTest::addColumn<Texts>("changes");
    QTest::addColumn<QStringList>("expected"); // the six outputs, "keep" where the old text stays
    // Every output starts as "old" to show which steps keep their text.
    QTest::newRow("empty input power") << Texts{{"Txt_InDenryoku", ""}}
                                       << QStringList{"0", "0", "0", ".000", "1500.000", "0"};
    QTest::newRow("no control factor") << Texts{{"Txt_SeigyoHosei", ""}}
                                       << QStringList{"400", "13.33", "1000", "0", "1500.000", "0"};
    QTest::newRow("empty illuminance factor") << Texts{{"Txt_SyouHosei", ""}}
                                              << QStringList{"400", "13.33", "1000", "800.000", "0", "0"};
    QTest::newRow("no hours") << Texts{{"Txt_HTentou", ""}} << QStringList{"400", "13.33", "0", ".000", "0", "0"};
    // A step whose numbers cannot be read: 1, 4 and 5 keep their text, 2, 3 and 6 write "0".
    QTest::newRow("fitting count empty") << Texts{{"Txt_Daisu", ""}}
                                         << QStringList{"old", "0", "0", ".000", "1500.000", "0"};
    QTest::newRow("input power 1.2.3") << Texts{{"Txt_InDenryoku", "1.2.3"}}
                                       << QStringList{"old", "0", "0", ".000", "1500.000", "0"};
    QTest::newRow("area empty") << Texts{{"Txt_Menseki", ""}} << QStringList{"400", "0", "1000", "800.000", "0", "0"};
    QTest::newRow("area 0") << Texts{{"Txt_Menseki", "0"}} << QStringList{"400", "0", "1000", "800.000", ".000", "0"};
    QTest::newRow("control factor x") << Texts{{"Txt_SeigyoHosei", "x"}}
                                      << QStringList{"400", "13.33", "1000", "old", "1500.000", "0"};
    QTest::newRow("type factor x") << Texts{{"Txt_SyuHosei", "x"}}
                                   << QStringList{"400", "13.33", "1000", "800.000", "old", "0"};
    QTest::newRow("hours x") << Texts{{"Txt_HTentou", "x"}} << QStringList{"400", "13.33", "0", ".000", "old", "0"};
    QTest::newRow("small energy, no leading zero")
        << Texts{{"Txt_InDenryoku", "1"}, {"Txt_Daisu", "1"}, {"Txt_HTentou", "750"}}
        << QStringList{"1", "0.03", "0.8", ".640", "450.000", "0"};
    QTest::newRow("blanks around numbers") << Texts{{"Txt_InDenryoku", " 40 "}}
                                           << QStringList{"400", "13.33", "1000", "800.000", "1500.000", "0.53"};
}

void TestCeclCalc::zoneCalculation()
{
    QFETCH(Texts, changes);
    QFETCH(QStringList, expected);
    TextPanel p = exampleZone();
    for (const QString &out : kOutputs)
        p.setText(out, QStringLiteral("old"));
    for (const auto &[name, text] : changes)
        p.setText(name, text);
    ZoneCalculation(p);
    for (int i = 0; i < kOutputs.size(); ++i)
        QCOMPARE(p.text(kOutputs[i]), expected[i]);
}

void TestCeclCalc::roundFloor_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("scale");
    QTest::addColumn<std::optional<double>>("expected");
    QTest::newRow("13.3333: 13333, d = 3") << 400.0 / 30 << 1000.0 << std::optional<double>(13.33);
    QTest::newRow("12.3456: 12345, d = 5") << 12.3456 << 1000.0 << std::optional<double>(12.35);
    QTest::newRow("12.3446: cut to 12344, d = 4 (rounding would give 12.35)") << 12.3446 << 1000.0 << std::optional<double>(12.34);
    QTest::newRow("12.3449: 12344, d = 4") << 12.3449 << 1000.0 << std::optional<double>(12.34);
    QTest::newRow("one decimal: 1000.06") << 1000.06 << 100.0 << std::optional<double>(1000.1);
    QTest::newRow("one decimal: 1000.046 cut to 100004") << 1000.046 << 100.0 << std::optional<double>(1000.0);
    QTest::newRow("zero") << 0.0 << 1000.0 << std::optional<double>(0.0);
    QTest::newRow("beyond 32 bits") << 3e6 << 1000.0 << std::optional<double>();
    // n + 10 is taken in 32 bits first: 2,147,483,638 overflows in the half-up branch.
    QTest::newRow("half-up at 2147483638") << 2147483638.0 << 1.0 << std::optional<double>();
    QTest::newRow("half-up at 2147483637") << 2147483637.0 << 1.0 << std::optional<double>(2147483640.0);
    QTest::newRow("half-down at 2147483644") << 2147483644.0 << 1.0 << std::optional<double>(2147483640.0);
}

void TestCeclCalc::roundFloor()
{
    QFETCH(double, x);
    QFETCH(double, scale);
    QFETCH(std::optional<double>, expected);
    const auto r = CeclCalculation::roundFloor(x, scale);
    QCOMPARE(r.has_value(), expected.has_value());
    if (r)
        QCOMPARE(*r, *expected);
}

void TestCeclCalc::roundEven_data()
{
    QTest::addColumn<double>("lighting");
    QTest::addColumn<double>("virtualEnergy");
    QTest::addColumn<QString>("cecl");
    QTest::newRow("800 / 1500") << 800.0 << 1500.0 << "0.53";
    QTest::newRow("0.1445: 144.5 to the even 144, d = 4 (half-up: 0.15)") << 361.25 << 2500.0 << "0.14";
    QTest::newRow("0.1455: 145.5 to the even 146, d = 6") << 363.75 << 2500.0 << "0.15";
    QTest::newRow("0.23467: rounded to 235, d = 5 (cut: 0.23)") << 440.0 << 1875.0 << "0.24";
    QTest::newRow("exactly 1") << 400.0 << 400.0 << "1";
    QTest::newRow("no lighting energy") << 0.0 << 400.0 << "0";
    QTest::newRow("no virtual energy") << 400.0 << 0.0 << "0";
}

void TestCeclCalc::roundEven()
{
    QFETCH(double, lighting);
    QFETCH(double, virtualEnergy);
    QFETCH(QString, cecl);
    QCOMPARE(NumberText::plain(*Keisan_CECL(lighting, virtualEnergy)), cecl);
}

void TestCeclCalc::threeDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.6") << 0.6 << ".600";
    QTest::newRow("0") << 0.0 << ".000";
    QTest::newRow("800") << 800.0 << "800.000";
    QTest::newRow("1234.5") << 1234.5 << "1234.500";
    QTest::newRow("half away from zero") << 0.0005 << ".001";
    QTest::newRow("1.0004") << 1.0004 << "1.000";
}

void TestCeclCalc::threeDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatThreeDecimals(value), text);
}

void TestCeclCalc::printFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QList<double>>("args");
    QTest::addColumn<std::optional<double>>("expected");
    using L = QList<double>;
    QTest::newRow("Ksyoumei 400 W on 30 m2") << "Ksyoumei" << L{400, 30} << std::optional<double>(13.33);
    QTest::newRow("Ksyoumei no input") << "Ksyoumei" << L{0, 0} << std::optional<double>(0.0);
    QTest::newRow("Ksyoumei input on no area") << "Ksyoumei" << L{400, 0} << std::optional<double>();
    QTest::newRow("Nendenryoku 400 W, 2500 h") << "Nendenryoku" << L{400, 2500} << std::optional<double>(1000.0);
    QTest::newRow("Nendenryoku whole kWh down from 1179.9") << "Nendenryoku" << L{437, 2700} << std::optional<double>(1179.0);
    // 300 kW for 8760 h: the product 2,628,000,000 is beyond 32 bits.
    QTest::newRow("Nendenryoku a large hall") << "Nendenryoku" << L{300000, 8760} << std::optional<double>(2628000.0);
    QTest::newRow("Nendenryoku no hours") << "Nendenryoku" << L{400, 0} << std::optional<double>(0.0);
    QTest::newRow("Syoumeisyouhi 0.8 x 1000") << "Syoumeisyouhi" << L{0.8, 1000} << std::optional<double>(800.0);
    QTest::newRow("Syoumeisyouhi rounded to three decimals") << "Syoumeisyouhi" << L{0.85, 1.2349} << std::optional<double>(1.05);
    QTest::newRow("Syoumeisyouhi no factor") << "Syoumeisyouhi" << L{0, 1000} << std::optional<double>(0.0);
    QTest::newRow("Vsyoden 20 x 2500 x 30") << "Vsyoden" << L{20, 2500, 30, 1, 1} << std::optional<double>(1500.0);
    QTest::newRow("Vsyoden illuminance factor 0 by the product") << "Vsyoden" << L{20, 2500, 30, 1, 0}
                                                               << std::optional<double>(0.0);
    QTest::newRow("Vsyoden no area") << "Vsyoden" << L{20, 2500, 0, 1, 1} << std::optional<double>(0.0);
    QTest::newRow("CECL 800 / 1500") << "CECL" << L{800, 1500} << std::optional<double>(0.53);
}

void TestCeclCalc::printFunctions()
{
    QFETCH(QString, function);
    QFETCH(QList<double>, args);
    QFETCH(std::optional<double>, expected);
    std::optional<double> r;
    if (function == u"Ksyoumei")
        r = Keisan_Ksyoumei(qint32(args[0]), args[1]);
    else if (function == u"Nendenryoku")
        r = Keisan_Nendenryoku(qint32(args[0]), qint32(args[1]));
    else if (function == u"Syoumeisyouhi")
        r = Keisan_Syoumeisyouhi(args[0], args[1]);
    else if (function == u"Vsyoden")
        r = Keisan_Vsyoden(args[0], args[1], args[2], args[3], args[4]);
    else
        r = Keisan_CECL(args[0], args[1]);
    QCOMPARE(r.has_value(), expected.has_value());
    if (r)
        QCOMPARE(*r, *expected);
}

void TestCeclCalc::controlChoices_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("factor");
    QTest::newRow("在室検知") << 0 << QStringLiteral("在室検知") << "0.80";
    QTest::newRow("自動点滅") << 1 << QStringLiteral("自動点滅") << "0.80";
    QTest::newRow("適性照度") << 2 << QStringLiteral("適性照度") << "0.85";
    QTest::newRow("タイムスケジュール") << 3 << QStringLiteral("ﾀｲﾑｽｹｼﾞｭｰﾙ") << "0.90";
    QTest::newRow("昼光利用") << 4 << QStringLiteral("昼光利用") << "0.90";
    QTest::newRow("ゾーニング") << 5 << QStringLiteral("ゾーニング") << "0.90";
    QTest::newRow("局所制御") << 6 << QStringLiteral("局所制御") << "0.90";
    QTest::newRow("その他") << 7 << QString() << "1.00";
    QTest::newRow("no such choice") << 8 << QStringLiteral("old") << "old";
}

void TestCeclCalc::controlChoices()
{
    QFETCH(int, index);
    QFETCH(QString, content);
    QFETCH(QString, factor);
    TextPanel p;
    p.setText("Txt_Seigyo", "old");
    p.setText("Txt_SeigyoHosei", "old");
    p.setText("Txt_SyuHosei", "1.3");
    QCOMPARE(ZoneSheet::Btn_Seigyo_Click(index, p), QStringLiteral("Txt_SyuHosei"));
    QCOMPARE(p.text("Txt_Seigyo"), content);
    QCOMPARE(p.text("Txt_SeigyoHosei"), factor);
    QCOMPARE(p.text("Txt_SyuHosei"), QStringLiteral("1.3")); // the type factor stays
    if (index == 3) // half-width katakana, as a work file holds it
        QCOMPARE(Cp932::encode(content), QByteArray::fromHex("c0b2d1bdb9bcdeadb0d9"));
}

void TestCeclCalc::typeAndIlluminanceChoices_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("illuminance");
    QTest::addColumn<QString>("factor");
    QTest::addColumn<QString>("next");
    QTest::newRow("type: special measures") << "type" << 0 << "" << "1.3" << "Txt_SyouHosei";
    QTest::newRow("type: other") << "type" << 1 << "" << "1.0" << "Txt_SyouHosei";
    QTest::newRow("type: none") << "type" << 2 << "" << "" << "Txt_SyouHosei";
    QTest::newRow("shop or office, 600 lx") << "illuminance" << 0 << "600" << "0.8" << "Btn_Adv";
    QTest::newRow("shop or office, 700 lx") << "illuminance" << 0 << "700" << "0.933333333333333" << "Btn_Adv";
    QTest::newRow("shop or office, 750 lx") << "illuminance" << 0 << "750" << "1" << "Btn_Adv";
    QTest::newRow("classroom, 500 lx") << "illuminance" << 1 << "500" << "1" << "Btn_Adv";
    QTest::newRow("classroom, 300 lx") << "illuminance" << 1 << "300" << "0.6" << "Btn_Adv";
    QTest::newRow("no design illuminance") << "illuminance" << 0 << "" << "" << "Btn_Adv";
    QTest::newRow("design illuminance no number") << "illuminance" << 0 << "約500" << "" << "Btn_Adv";
    QTest::newRow("other") << "illuminance" << 2 << "" << "1.0" << "Btn_Adv";
}

void TestCeclCalc::typeAndIlluminanceChoices()
{
    QFETCH(QString, kind);
    QFETCH(int, index);
    QFETCH(QString, illuminance);
    QFETCH(QString, factor);
    QFETCH(QString, next);
    TextPanel p;
    p.setText("Txt_Syoudo", illuminance);
    p.setText("Txt_Seigyo", QStringLiteral("在室検知"));
    const QString focus = kind == u"type" ? ZoneSheet::Btn_Syuho_Click(index, p) : ZoneSheet::Btn_Syoho_Click(index, p);
    QCOMPARE(focus, next);
    QCOMPARE(p.text(kind == u"type" ? "Txt_SyuHosei" : "Txt_SyouHosei"), factor);
    QCOMPARE(p.text("Txt_Seigyo"), QStringLiteral("在室検知"));
}

void TestCeclCalc::zoneRecordMovesBothWays()
{
    using namespace ZoneRecord;
    RecordGrid g(221, 140);
    g.setText(3, InUse, "1");
    g.setText(3, RoomName1, QStringLiteral("事務室"));
    g.setText(3, Area, "30.0");
    g.setText(3, FittingCount, "10");
    g.setText(3, InputPower, "40");
    g.setText(3, StandardHours, "2500");
    TextPanel p;
    ZoneSheet::Screen_Set(g, 3, p);
    QCOMPARE(p.text("Txt_Shitsu"), QStringLiteral("事務室"));
    QCOMPARE(p.text("Txt_TotalIn"), QStringLiteral("400")); // recomputed on loading
    p.setText("Txt_Kiguban", "A-1");
    p.setText("Txt_Shitsu", QStringLiteral("変えた室名"));
    ZoneSheet::confirm(g, 3, p);
    QCOMPARE(g.text(3, LuminaireNumber), QStringLiteral("A-1"));
    QCOMPARE(g.text(3, TotalInput), QStringLiteral("400"));
    QCOMPARE(g.text(3, RoomName1), QStringLiteral("事務室")); // the room's columns are never written
    // A free row gets its CEC/L columns emptied whatever the panel shows.
    g.setText(4, LuminaireNumber, "stale");
    g.setText(4, ZoneCecl, "0.5");
    ZoneSheet::confirm(g, 4, p);
    for (int c = LuminaireNumber; c <= ZoneCecl; ++c)
        QCOMPARE(g.text(4, c), QString());
    // A free row loads as an empty panel.
    ZoneSheet::Screen_Set(g, 4, p);
    QCOMPARE(p.text("Txt_Kiguban"), QString());
    QCOMPARE(p.text("Txt_Shitsu"), QString());
}

void TestCeclCalc::optionsOnAFreshFile()
{
    RecordGrid g(221, 140);
    const CeclOptions o = CeclOptions::load(g);
    QCOMPARE(o.buildingType, -1);
    QVERIFY(!o.simplified);
    QVERIFY(o.linkPower);
    QVERIFY(o.linkHours);
    QCOMPARE(g.text(221, ZoneRecord::SimplifiedMethod), QStringLiteral("0")); // written on loading
    g.setText(221, ZoneRecord::SimplifiedMethod, "2");
    g.setText(221, ZoneRecord::LinkStandardPower, "0");
    g.setText(221, ZoneRecord::BuildingType, "3");
    const CeclOptions again = CeclOptions::load(g);
    QCOMPARE(again.buildingType, 3);
    QVERIFY(again.simplified);
    QCOMPARE(again.method, 2);
    QVERIFY(!again.linkPower);
    QCOMPARE(CeclOptions::methodLabel(3), QStringLiteral("簡略化の方法Ⅲ"));
    QCOMPARE(CeclOptions::methodLabel(0), QStringLiteral("なし"));
}

void TestCeclCalc::optionsLinkByExactName_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("power");
    QTest::addColumn<QString>("hours");
    // Building type 3 (事務所); the zone's typed values are 99 / 999.
    QTest::newRow("found") << QStringLiteral("事務室") << "20" << "2700";
    QTest::newRow("trailing blank") << QStringLiteral("事務室 ") << "99" << "999";
    QTest::newRow("full-width letters") << QStringLiteral("ＯＡ室") << "99" << "999";
    QTest::newRow("after the empty record") << QStringLiteral("隠れた室") << "99" << "999";
    QTest::newRow("past record 100") << QStringLiteral("百一番目") << "99" << "999";
}

void TestCeclCalc::optionsLinkByExactName()
{
    QFETCH(QString, zone);
    QFETCH(QString, power);
    QFETCH(QString, hours);
    MasterTables masters;
    auto room = [&](int slot, const QString &name, qint16 w, qint16 t) {
        RoomMasterRecord r;
        r.name = name;
        r.standardPowerByType[3] = w;
        r.standardHoursByType[3] = t;
        masters.setRoom(slot, r);
    };
    for (int slot = 1; slot <= 101; ++slot)
        room(slot, QStringLiteral("室%1").arg(slot), 1, 1);
    room(1, QStringLiteral("事務室"), 20, 2700);
    room(2, QStringLiteral("OA室"), 25, 2700);
    room(101, QStringLiteral("百一番目"), 5, 5);
    RecordGrid g(221, 140);
    g.setText(2, ZoneRecord::InUse, "1");
    g.setText(2, ZoneRecord::RoomName1, zone);
    g.setText(2, ZoneRecord::StandardPower, "99");
    g.setText(2, ZoneRecord::StandardHours, "999");
    if (zone == u"隠れた室") {
        room(50, QString(), 0, 0);
        room(60, zone, 30, 3000);
    }
    CeclOptions o;
    o.buildingType = 3;
    o.apply(g, masters);
    QCOMPARE(g.text(2, ZoneRecord::StandardPower), power);
    QCOMPARE(g.text(2, ZoneRecord::StandardHours), hours);
    QCOMPARE(g.text(221, ZoneRecord::BuildingType), QStringLiteral("3"));
    QCOMPARE(g.text(221, ZoneRecord::LinkStandardPower), QStringLiteral("1"));
}

void TestCeclCalc::optionsWithLinksOffChangeNoZone()
{
    const MasterTables masters = TestEnv::sampleMasters();
    RecordGrid g(221, 140);
    g.setText(1, ZoneRecord::InUse, "1");
    g.setText(1, ZoneRecord::RoomName1, QStringLiteral("事務室"));
    g.setText(1, ZoneRecord::StandardPower, "17");
    const RecordGrid before = g;
    CeclOptions o;
    o.buildingType = 0;
    o.linkPower = o.linkHours = false;
    o.apply(g, masters);
    for (int r = 1; r <= 220; ++r)
        for (int c = 1; c <= 140; ++c)
            QCOMPARE(g.text(r, c), before.text(r, c));
    QCOMPARE(g.text(221, ZoneRecord::LinkStandardHours), QStringLiteral("0"));
}

void TestCeclCalc::hoursFollowTheLastDuplicate()
{
    MasterTables masters;
    auto room = [&](int slot, const QString &name, qint16 t) {
        RoomMasterRecord r;
        r.name = name;
        r.standardHoursByType[1] = t;
        masters.setRoom(slot, r);
    };
    room(1, QStringLiteral("病室"), 5000);
    room(2, QStringLiteral("診察室"), 3000);
    room(3, QStringLiteral("病室"), 8760);
    RecordGrid g(221, 140);
    g.setText(1, ZoneRecord::InUse, "1");
    g.setText(1, ZoneRecord::RoomName1, QStringLiteral("病室"));
    CeclOptions o;
    o.buildingType = 1;
    o.linkPower = false; // hours only: every record of the name, the last one wins
    o.apply(g, masters);
    QCOMPARE(g.text(1, ZoneRecord::StandardHours), QStringLiteral("8760"));
    o.linkPower = true; // with the power link the first record gives both
    o.apply(g, masters);
    QCOMPARE(g.text(1, ZoneRecord::StandardHours), QStringLiteral("5000"));
}

QTEST_APPLESS_MAIN(TestCeclCalc)
#include "tst_cecl_calc.moc"
