#include "illuminance/IlluminanceCalculation.h"
#include "grid/TextPanel.h"
#include "support/TestEnv.h"

#include <QTest>

namespace {

using Texts = QList<QPair<QString, QString>>;

// The worked example's room, before any derived value is known.
TextPanel examplePanel()
{
    TextPanel p;
    const Texts texts = {{"Txt_Maguchi", "10.0"}, {"Txt_Okuyuki", "8.0"},   {"Txt_Takasa", "2.7"},
                         {"Txt_Stakasa", "0.85"}, {"Txt_Kudari", "0.0"},    {"Txt_Syouritsu", "0.62"},
                         {"Txt_Horitsu", "0.73"}, {"Txt_Kousoku", "3450"},  {"Txt_Syoudo1", "500"},
                         {"Txt_WTousu", "2"},     {"Chk_Tousu", "1"},       {"Chk_Daisu", "1"}};
    for (const auto &t : texts)
        p.setText(t.first, t.second);
    return p;
}

int run(TextPanel &p, const QString &field, const FormState &state = {})
{
    static const MasterTables masters = TestEnv::knownMasters();
    return IlluminanceCalculation::Data_calculation(p, state, masters, field);
}

} // namespace

class TestIlluminanceCalc : public QObject
{
    Q_OBJECT
private slots:
    void workedExample();
    void workedExampleWithPickedMasters();
    void fieldChecks_data();
    void fieldChecks();
    void errorSkipsRecalculation();
    void area_data();
    void area();
    void roomIndexClasses_data();
    void roomIndexClasses();
    void roomIndexTruncatesAndSkips_data();
    void roomIndexTruncatesAndSkips();
    void heightCheck_data();
    void heightCheck();
    void utilizationFactor_data();
    void utilizationFactor();
    void maintenanceChoiceRefreshes();
    void damagedChoicesSkipTheirSteps();
    void zeroInputsSkipLampCounts_data();
    void zeroInputsSkipLampCounts();
    void automaticLampCount_data();
    void automaticLampCount();
    void manualLampCountIsKept();
    void automaticFittingCount_data();
    void automaticFittingCount();
    void lampNameAndFlux_data();
    void lampNameAndFlux();
    void capacityFollowsTheLamps_data();
    void capacityFollowsTheLamps();
    void namedRules_data();
    void namedRules();
};

void TestIlluminanceCalc::workedExample()
{
    TextPanel p = examplePanel();
    QCOMPARE(run(p, QString()), 0);
    QCOMPARE(p.text("Txt_Menseki"), QStringLiteral("80.0"));
    QCOMPARE(p.text("Txt_Shisu"), QStringLiteral("2.40"));
    QCOMPARE(p.text("Txt_Tousu1"), QStringLiteral("25.7"));
    QCOMPARE(p.text("Txt_Tousu2"), QStringLiteral("26"));
    QCOMPARE(p.text("Txt_Syoudo2"), QStringLiteral("507"));
    QCOMPARE(p.text("Txt_Daisu"), QStringLiteral("13"));
    QCOMPARE(IlluminanceCalculation::roomIndexClass(2.40), 7);
    QCOMPARE(IlluminanceCalculation::roomIndexLetter(7), QStringLiteral("D"));
}

void TestIlluminanceCalc::workedExampleWithPickedMasters()
{
    TextPanel p = examplePanel();
    p.setText("Txt_Syouritsu", QString());
    p.setText("Txt_Horitsu", QString());
    p.setText("Txt_Kousoku", QString());
    p.setText("Txt_WKougen", "FHF32EX-N");
    FormState s;
    s.luminaireIndex = 1;
    s.lampIndex = 3;
    s.reflectanceChoice = 1;
    s.maintenanceChoice = 0;
    p.setText("Lbl_Hosyu_0", "0.73");
    p.setText("Txt_Horitsu", "0.73"); // as the first maintenance button writes it
    // The flux arrives from the picked lamp at the end of the first pass, the counts with the next.
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Syouritsu"), QStringLiteral("0.62"));
    QCOMPARE(p.text("Txt_Kousoku"), QStringLiteral("3450 "));
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Tousu2"), QStringLiteral("26"));
    QCOMPARE(p.text("Txt_Syoudo2"), QStringLiteral("507"));
    QCOMPARE(p.text("Txt_Kougen"), QStringLiteral("FHF32EX-N-2"));
    QVERIFY(p.hidden.contains("Txt_WTousu"));
}

void TestIlluminanceCalc::fieldChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("result");
    QTest::newRow("width empty") << "Txt_Maguchi" << "" << "0.0" << 21;
    QTest::newRow("width 999.9 passes") << "Txt_Maguchi" << "999.9" << "999.9" << 0;
    QTest::newRow("width 1000") << "Txt_Maguchi" << "1000" << "1000.0" << 21;
    QTest::newRow("width 5") << "Txt_Maguchi" << "5" << "5.0" << 0;
    QTest::newRow("depth 999.9 refused") << "Txt_Okuyuki" << "999.9" << "999.9" << 31;
    QTest::newRow("depth 999.8") << "Txt_Okuyuki" << "999.8" << "999.8" << 0;
    QTest::newRow("height 99.9 refused") << "Txt_Takasa" << "99.9" << "99.9" << 41;
    QTest::newRow("height empty") << "Txt_Takasa" << "" << "0.0" << 41;
    QTest::newRow("work plane 9.99 passes, height check fails") << "Txt_Stakasa" << "9.99" << "9.99" << 1;
    QTest::newRow("work plane 10.5 refused") << "Txt_Stakasa" << "10.5" << "10.50" << 51;
    QTest::newRow("work plane empty") << "Txt_Stakasa" << "" << "0.00" << 0;
    QTest::newRow("suspension 999.9 passes, height check fails") << "Txt_Kudari" << "999.9" << "999.9" << 1;
    QTest::newRow("suspension 1000") << "Txt_Kudari" << "1000" << "1000.0" << 61;
    QTest::newRow("illuminance empty") << "Txt_Syoudo1" << "" << "0" << 0;
    QTest::newRow("illuminance 9998") << "Txt_Syoudo1" << "9998" << "9998" << 0;
    QTest::newRow("illuminance 9999 refused") << "Txt_Syoudo1" << "9999" << "9999" << 11;
    QTest::newRow("ceiling 99") << "Txt_Hrten" << "99" << "99" << 0;
    QTest::newRow("ceiling 100") << "Txt_Hrten" << "100" << "100" << 71;
    QTest::newRow("wall 100") << "Txt_Hrkabe" << "100" << "100" << 81;
    QTest::newRow("floor 100") << "Txt_Hryuka" << "100" << "100" << 91;
    QTest::newRow("utilization 9.99") << "Txt_Syouritsu" << "9.99" << "9.99" << 0;
    QTest::newRow("utilization 10") << "Txt_Syouritsu" << "10" << "10.00" << 101;
    QTest::newRow("maintenance 0.99 passes") << "Txt_Horitsu" << "0.99" << "0.99" << 0;
    QTest::newRow("maintenance 1.00 refused") << "Txt_Horitsu" << "1.00" << "1.00" << 111;
    QTest::newRow("lamp count 9999") << "Txt_Tousu2" << "9999" << "9999" << 0;
    QTest::newRow("lamp count 10000") << "Txt_Tousu2" << "10000" << "10000" << 121;
    QTest::newRow("lamp count empty") << "Txt_Tousu2" << "" << "0" << 0;
    QTest::newRow("remark 99999") << "Txt_Biko1" << "99999" << "99999" << 0;
    QTest::newRow("remark 100000") << "Txt_Biko1" << "100000" << "100000" << 131;
    QTest::newRow("lamps per fitting 30") << "Txt_WTousu" << "30" << "30" << 0;
    QTest::newRow("lamps per fitting 31") << "Txt_WTousu" << "31" << "31" << 1;
    QTest::newRow("lamps per fitting empty") << "Txt_WTousu" << "" << "0" << 1;
    QTest::newRow("leading number") << "Txt_Maguchi" << "12.34m" << "12.3" << 0;
}

void TestIlluminanceCalc::fieldChecks()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, result);
    TextPanel p = examplePanel();
    p.setText("Chk_Tousu", "0"); // keep a typed lamp count
    p.setText(field, typed);
    QCOMPARE(run(p, field), result);
    QCOMPARE(p.text(field), shown);
    if (result > 1)
        QCOMPARE(p.focused, QStringList{field});
}

void TestIlluminanceCalc::errorSkipsRecalculation()
{
    TextPanel p = examplePanel();
    p.setText("Txt_Menseki", "old");
    p.setText("Txt_Kougen", "keep");
    p.setText("Txt_Maguchi", "");
    QCOMPARE(run(p, "Txt_Maguchi"), 21);
    QCOMPARE(p.text("Txt_Menseki"), QStringLiteral("old"));
    QCOMPARE(p.text("Txt_Kougen"), QStringLiteral("keep")); // step 12 does not run either
}

void TestIlluminanceCalc::area_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QString>("area");
    QTest::newRow("10 x 8") << "10" << "8" << "80.0";
    QTest::newRow("3.5 x 3.5 rounds down") << "3.5" << "3.5" << "12.2";
    QTest::newRow("both empty") << "" << "" << "0";
    QTest::newRow("depth empty") << "12" << "" << "0.0";
    QTest::newRow("2.5 x 2.5") << "2.5" << "2.5" << "6.2";
    QTest::newRow("7.2 x 6.4") << "7.2" << "6.4" << "46.1";
}

void TestIlluminanceCalc::area()
{
    QFETCH(QString, width);
    QFETCH(QString, depth);
    QFETCH(QString, area);
    TextPanel p = examplePanel();
    p.setText("Txt_Maguchi", width);
    p.setText("Txt_Okuyuki", depth);
    run(p, QString());
    QCOMPARE(p.text("Txt_Menseki"), area);
    if (area == u"0" || area == u"0.0")
        QCOMPARE(p.text("Txt_Shisu"), QString()); // no room index, no look-up
}

void TestIlluminanceCalc::roomIndexClasses_data()
{
    QTest::addColumn<double>("k");
    QTest::addColumn<int>("cls");
    QTest::addColumn<QString>("letter");
    QTest::newRow("negative") << -0.5 << 1 << "J";
    QTest::newRow("0.69") << 0.69 << 1 << "J";
    QTest::newRow("0.70") << 0.70 << 2 << "I";
    QTest::newRow("0.89") << 0.89 << 2 << "I";
    QTest::newRow("0.90") << 0.90 << 3 << "H";
    QTest::newRow("1.11") << 1.11 << 3 << "H";
    QTest::newRow("1.37") << 1.37 << 4 << "G";
    QTest::newRow("1.74") << 1.74 << 5 << "F";
    QTest::newRow("2.74") << 2.74 << 7 << "D";
    QTest::newRow("5.49") << 5.49 << 10 << "A";
    QTest::newRow("1.12") << 1.12 << 4 << "G";
    QTest::newRow("1.38") << 1.38 << 5 << "F";
    QTest::newRow("1.75") << 1.75 << 6 << "E";
    QTest::newRow("2.24") << 2.24 << 6 << "E";
    QTest::newRow("2.25") << 2.25 << 7 << "D";
    QTest::newRow("2.75") << 2.75 << 8 << "C";
    QTest::newRow("3.49") << 3.49 << 8 << "C";
    QTest::newRow("3.50") << 3.50 << 9 << "B";
    QTest::newRow("4.49") << 4.49 << 9 << "B";
    QTest::newRow("4.50") << 4.50 << 10 << "A";
    QTest::newRow("5.50") << 5.50 << 11 << "A";
    QTest::newRow("8.49") << 8.49 << 11 << "A";
    QTest::newRow("8.50") << 8.50 << 12 << "A";
    QTest::newRow("12.00") << 12.00 << 12 << "A";
}

void TestIlluminanceCalc::roomIndexClasses()
{
    QFETCH(double, k);
    QFETCH(int, cls);
    QFETCH(QString, letter);
    QCOMPARE(IlluminanceCalculation::roomIndexClass(k), cls);
    QCOMPARE(IlluminanceCalculation::roomIndexLetter(cls), letter);
}

void TestIlluminanceCalc::roomIndexTruncatesAndSkips_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("suspension");
    QTest::addColumn<QString>("roomIndex");
    QTest::newRow("truncated, not rounded") << "2.4" << "0.0" << "2.86"; // 80/(1.55*18) = 2.867
    QTest::newRow("suspension not a number keeps text") << "2.7" << "x" << "before";
    QTest::newRow("suspension empty keeps text") << "2.7" << "" << "before";
    QTest::newRow("zero denominator keeps text") << "2.85" << "2.0" << "before";
    QTest::newRow("negative goes through") << "2.7" << "2.0" << "-29.62"; // 80/(-0.15*18) = -29.629
}

void TestIlluminanceCalc::roomIndexTruncatesAndSkips()
{
    QFETCH(QString, height);
    QFETCH(QString, suspension);
    QFETCH(QString, roomIndex);
    TextPanel p = examplePanel();
    p.setText("Txt_Takasa", height);
    p.setText("Txt_Kudari", suspension);
    p.setText("Txt_Shisu", "before");
    run(p, QString());
    QCOMPARE(p.text("Txt_Shisu"), roomIndex);
}

void TestIlluminanceCalc::heightCheck_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("workPlane");
    QTest::addColumn<QString>("suspension");
    QTest::addColumn<int>("result");
    QTest::newRow("sound") << "2.7" << "0.85" << "0.0" << 0;
    QTest::newRow("work plane at the ceiling") << "2.7" << "2.7" << "0.0" << 1;
    QTest::newRow("work plane above") << "2.7" << "3.00" << "" << 1;
    QTest::newRow("suspension fills the gap") << "2.7" << "0.70" << "2.0" << 1;
    QTest::newRow("suspension empty") << "2.7" << "0.85" << "" << 0;
    QTest::newRow("height empty") << "" << "0.85" << "0.0" << 0;
}

void TestIlluminanceCalc::heightCheck()
{
    QFETCH(QString, height);
    QFETCH(QString, workPlane);
    QFETCH(QString, suspension);
    QFETCH(int, result);
    TextPanel p = examplePanel();
    p.setText("Txt_Takasa", height);
    p.setText("Txt_Stakasa", workPlane);
    p.setText("Txt_Kudari", suspension);
    QCOMPARE(run(p, "Txt_Kousoku"), result);
    QCOMPARE(p.focused, result ? QStringList{"Txt_Kousoku"} : QStringList());
    QVERIFY(!p.text("Txt_Menseki").isEmpty()); // the derived values are still recalculated
}

void TestIlluminanceCalc::utilizationFactor_data()
{
    QTest::addColumn<int>("luminaire");
    QTest::addColumn<int>("reflectance");
    QTest::addColumn<QString>("factor");
    QTest::newRow("no pattern keeps typed") << 1 << 0 << "0.50";
    QTest::newRow("pattern without luminaire keeps typed") << 0 << 2 << "0.50";
    QTest::newRow("pattern 1 class 7") << 1 << 1 << "0.62";
    QTest::newRow("pattern 2 class 7") << 1 << 2 << "0.58";
    QTest::newRow("pattern 3 class 7") << 1 << 3 << "0.54";
    QTest::newRow("unused slot keeps typed") << 5 << 1 << "0.50";
    QTest::newRow("slot 12 (label 12)") << 12 << 1 << "0.67";
    QTest::newRow("choice from a broken file empties") << 1 << 4 << "";
}

void TestIlluminanceCalc::utilizationFactor()
{
    QFETCH(int, luminaire);
    QFETCH(int, reflectance);
    QFETCH(QString, factor);
    TextPanel p = examplePanel();
    p.setText("Txt_Syouritsu", "0.50");
    FormState s;
    s.luminaireIndex = luminaire;
    s.reflectanceChoice = reflectance;
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Syouritsu"), factor);
}

void TestIlluminanceCalc::maintenanceChoiceRefreshes()
{
    TextPanel p = examplePanel();
    FormState s;
    s.luminaireIndex = 12;
    s.maintenanceChoice = 1; // 中
    run(p, QString(), s);
    QCOMPARE(p.text("Lbl_Hosyu_1"), QStringLiteral("0.65"));
    QCOMPARE(p.text("Txt_Horitsu"), QStringLiteral("0.65"));
    // Choice 0 (良) is never re-applied by a recalculation.
    s.maintenanceChoice = 0;
    s.luminaireIndex = 1;
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Horitsu"), QStringLiteral("0.65"));
    // Without a luminaire the labels keep their captions and the copy still happens.
    s.luminaireIndex = 0;
    s.maintenanceChoice = 2;
    p.setText("Lbl_Hosyu_2", "0.55");
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Horitsu"), QStringLiteral("0.55"));
}

void TestIlluminanceCalc::damagedChoicesSkipTheirSteps()
{
    // Values only a damaged work file can bring: nothing is overwritten with blanks.
    TextPanel p = examplePanel();
    p.setText("Txt_Kougen", "FL40-2");
    FormState s;
    s.maintenanceChoice = 7;
    s.lampIndex = 1200;
    s.luminaireIndex = -3;
    run(p, QString(), s);
    QCOMPARE(p.text("Txt_Horitsu"), QStringLiteral("0.73"));
    QCOMPARE(p.text("Txt_Kousoku"), QStringLiteral("3450"));
    QCOMPARE(p.text("Txt_Kougen"), QStringLiteral("FL40-2"));
}

void TestIlluminanceCalc::zeroInputsSkipLampCounts_data()
{
    QTest::addColumn<QString>("zeroed");
    QTest::addColumn<QString>("result");
    QTest::newRow("flux") << "Txt_Kousoku" << "0";
    QTest::newRow("utilization") << "Txt_Syouritsu" << "0";
    QTest::newRow("maintenance") << "Txt_Horitsu" << "0";
    // 3450 * 0.62 * 0.73 * 10 = 15614.7; 15614 / 80 + 0.5 = 195.675
    QTest::newRow("design illuminance") << "Txt_Syoudo1" << "195";
}

void TestIlluminanceCalc::zeroInputsSkipLampCounts()
{
    QFETCH(QString, zeroed);
    QFETCH(QString, result);
    TextPanel p = examplePanel();
    p.setText(zeroed, "0");
    p.setText("Txt_Tousu1", "keep1");
    p.setText("Txt_Tousu2", "10");
    run(p, QString());
    QCOMPARE(p.text("Txt_Tousu1"), QStringLiteral("keep1"));
    QCOMPARE(p.text("Txt_Tousu2"), QStringLiteral("10"));
    QCOMPARE(p.text("Txt_Syoudo2"), result); // recomputed from the current count
}

void TestIlluminanceCalc::automaticLampCount_data()
{
    QTest::addColumn<QString>("illuminance");
    QTest::addColumn<QString>("perFitting");
    QTest::addColumn<QString>("computed");
    QTest::addColumn<QString>("count");
    // Computed counts from the example room: 500 lx gives 25.7.
    QTest::newRow("25.7 at 2 gives 26") << "500" << "2" << "25.7" << "26";
    QTest::newRow("25.7 at 3 gives 27") << "500" << "3" << "25.7" << "27";
    QTest::newRow("25.7 at 1 gives 26") << "500" << "1" << "25.7" << "26";
    QTest::newRow("per fitting empty gives 0") << "500" << "" << "25.7" << "0";
    QTest::newRow("per fitting 0 gives 0") << "500" << "0" << "25.7" << "0";
    QTest::newRow("per fitting not a number skips") << "500" << "2x" << "25.7" << "before";
    // 466.7 lx: N = 466.7*80/(3450*0.62*0.73) = 23.99..+0.0999 -> 24.0 exactly a multiple
    QTest::newRow("24.0 at 3 gives 24") << "466.7" << "3" << "24.0" << "24";
    QTest::newRow("24.0 at 2 gives 24") << "466.7" << "2" << "24.0" << "24";
}

void TestIlluminanceCalc::automaticLampCount()
{
    QFETCH(QString, illuminance);
    QFETCH(QString, perFitting);
    QFETCH(QString, computed);
    QFETCH(QString, count);
    TextPanel p = examplePanel();
    p.setText("Txt_Syoudo1", illuminance);
    p.setText("Txt_WTousu", perFitting);
    p.setText("Txt_Tousu2", "before");
    run(p, QString());
    QCOMPARE(p.text("Txt_Tousu1"), computed);
    QCOMPARE(p.text("Txt_Tousu2"), count);
}

void TestIlluminanceCalc::manualLampCountIsKept()
{
    TextPanel p = examplePanel();
    p.setText("Chk_Tousu", "0");
    p.setText("Txt_Tousu2", "30");
    run(p, QString());
    QCOMPARE(p.text("Txt_Tousu1"), QStringLiteral("25.7"));
    QCOMPARE(p.text("Txt_Tousu2"), QStringLiteral("30"));
    QCOMPARE(p.text("Txt_Syoudo2"), QStringLiteral("586")); // 3450*.62*.73*30 = 46844.1; 46844/80+.5
    QCOMPARE(p.text("Txt_Daisu"), QStringLiteral("15"));
}

void TestIlluminanceCalc::automaticFittingCount_data()
{
    QTest::addColumn<QString>("lampCount");
    QTest::addColumn<QString>("perFitting");
    QTest::addColumn<QString>("fittings");
    QTest::newRow("26 at 2 gives 13") << "26" << "2" << "13";
    QTest::newRow("1 at 3 gives 1") << "1" << "3" << "1";
    QTest::newRow("0 gives 0") << "0" << "2" << "0";
    QTest::newRow("5 at 2 rounds half up to 3") << "5" << "2" << "3";
    QTest::newRow("per fitting empty shows 1") << "26" << "" << "1";
}

void TestIlluminanceCalc::automaticFittingCount()
{
    QFETCH(QString, lampCount);
    QFETCH(QString, perFitting);
    QFETCH(QString, fittings);
    TextPanel p = examplePanel();
    p.setText("Chk_Tousu", "0");
    p.setText("Txt_Tousu2", lampCount);
    p.setText("Txt_WTousu", perFitting);
    run(p, QString());
    QCOMPARE(p.text("Txt_Daisu"), fittings);
}

void TestIlluminanceCalc::lampNameAndFlux_data()
{
    QTest::addColumn<int>("lampIndex");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("perFitting");
    QTest::addColumn<QString>("lampName");
    QTest::addColumn<QString>("flux");
    QTest::newRow("master lamp, 2 per fitting") << 3 << "" << "old" << "2" << "FHF32EX-N-2" << "3450 ";
    QTest::newRow("master lamp, none per fitting") << 3 << "" << "old" << "" << "FHF32EX-N" << "3450 ";
    QTest::newRow("typed lamp, 2 per fitting") << 0 << "" << "old" << "2" << "FHF32EX-N-2" << "1000";
    QTest::newRow("typed lamp, trailing hyphen") << 0 << "" << "old" << "" << "FHF32EX-N-" << "1000";
    QTest::newRow("typed lamp, nothing to build") << 0 << "" << "" << "" << "" << "1000";
    QTest::newRow("leaving the entry builds nothing") << 3 << "Txt_WKougen" << "old" << "2" << "old" << "1000";
}

void TestIlluminanceCalc::lampNameAndFlux()
{
    QFETCH(int, lampIndex);
    QFETCH(QString, field);
    QFETCH(QString, name);
    QFETCH(QString, perFitting);
    QFETCH(QString, lampName);
    QFETCH(QString, flux);
    TextPanel p = examplePanel();
    p.setText("Txt_Kousoku", "1000");
    p.setText("Txt_WKougen", "FHF32EX-N");
    p.setText("Txt_Kougen", name);
    p.setText("Txt_WTousu", perFitting);
    FormState s;
    s.lampIndex = lampIndex;
    run(p, field, s);
    QCOMPARE(p.text("Txt_Kougen"), lampName);
    QCOMPARE(p.text("Txt_Kousoku"), flux);
}

void TestIlluminanceCalc::namedRules_data()
{
    QTest::addColumn<Texts>("inputs");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("expected");
    // Area = width x depth - 0.01; every other factor 1 unless given.
    const auto room = [](const QString &width, const QString &depth, const Texts &more) {
        Texts t = {{"Txt_Maguchi", width}, {"Txt_Okuyuki", depth}, {"Txt_Syouritsu", "1"}, {"Txt_Horitsu", "1"},
                   {"Chk_Tousu", "1"},     {"Chk_Daisu", "0"}};
        t.append(more);
        return t;
    };
    // N = A E / (F U M) + 0.0999, cut to a tenth.
    QTest::newRow("lamp count 25.6 stays 25.6")
        << room("10", "2.561", {{"Txt_Syoudo1", "100"}, {"Txt_Kousoku", "100"}}) << "Txt_Tousu1" << "25.6";
    QTest::newRow("lamp count 25.60005 stays 25.6")
        << room("20", "25.6005", {{"Txt_Syoudo1", "500001"}, {"Txt_Kousoku", "10000000"}}) << "Txt_Tousu1" << "25.6";
    QTest::newRow("lamp count 25.6001 becomes 25.7")
        << room("20", "25.6005", {{"Txt_Syoudo1", "500002"}, {"Txt_Kousoku", "10000000"}}) << "Txt_Tousu1" << "25.7";
    QTest::newRow("24.1 lamps at 2 per fitting give 26")
        << room("10", "2.411", {{"Txt_Syoudo1", "100"}, {"Txt_Kousoku", "100"}, {"Txt_WTousu", "2"}}) << "Txt_Tousu2"
        << "26";
    QTest::newRow("24.0 lamps at 2 per fitting give 24")
        << room("10", "2.401", {{"Txt_Syoudo1", "100"}, {"Txt_Kousoku", "100"}, {"Txt_WTousu", "2"}}) << "Txt_Tousu2"
        << "24";
    // Illuminance = cut(F U M n) / A + 0.5, cut: 10.6 lm on 1 m2 gives 10, not 11.
    QTest::newRow("flux product cut before dividing")
        << room("1", "1.01", {{"Txt_Syoudo1", "1"}, {"Txt_Kousoku", "10.6"}, {"Txt_Tousu2", "1"}, {"Chk_Tousu", "0"}})
        << "Txt_Syoudo2" << "10";
    QTest::newRow("flux product 10.4 lm gives 10")
        << room("1", "1.01", {{"Txt_Syoudo1", "1"}, {"Txt_Kousoku", "10.4"}, {"Txt_Tousu2", "1"}, {"Chk_Tousu", "0"}})
        << "Txt_Syoudo2" << "10";
}

void TestIlluminanceCalc::namedRules()
{
    QFETCH(Texts, inputs);
    QFETCH(QString, box);
    QFETCH(QString, expected);
    TextPanel p;
    for (const auto &[name, text] : inputs)
        p.setText(name, text);
    QCOMPARE(run(p, QString()), 0);
    QCOMPARE(p.text(box), expected);
}

void TestIlluminanceCalc::capacityFollowsTheLamps_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("lamp");
    QTest::addColumn<Texts>("changed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("lamps");
    QTest::addColumn<QString>("capacity");
    // The example room gives 25.7 lamps, 26 chosen at 2 a fitting; lamp 3 is 32 W, lamp 7 40 W.
    QTest::newRow("computed: 26 x 32") << 1 << 3 << Texts{} << "Txt_Syoudo1" << "26" << "832";
    QTest::newRow("computed, 750 lx: 38.5 -> 40 x 32") << 1 << 3 << Texts{{"Txt_Syoudo1", "750"}} << "Txt_Syoudo1" << "40" << "1280";
    QTest::newRow("computed, 3 a fitting: 27 x 32") << 1 << 3 << Texts{{"Txt_WTousu", "3"}} << "Txt_WTousu" << "27" << "864";
    QTest::newRow("computed, another lamp: 29.5 -> 30 x 40")
        << 1 << 7 << Texts{{"Txt_Kousoku", "3000"}} << "Txt_Syoudo1" << "30" << "1200";
    QTest::newRow("computed, a lamp typed by hand: none") << 1 << 0 << Texts{} << "Txt_Syoudo1" << "26" << "";
    QTest::newRow("typed (手動計算): kept") << 2 << 3 << Texts{{"Txt_Syoudo1", "750"}} << "Txt_Syoudo1" << "40" << "999";
    QTest::newRow("no mode: kept") << 0 << 3 << Texts{{"Txt_Syoudo1", "750"}} << "Txt_Syoudo1" << "40" << "999";
    QTest::newRow("計算しない: kept") << 3 << 3 << Texts{{"Txt_Syoudo1", "750"}} << "Txt_Syoudo1" << "40" << "999";
}

void TestIlluminanceCalc::capacityFollowsTheLamps()
{
    QFETCH(int, mode);
    QFETCH(int, lamp);
    QFETCH(Texts, changed);
    QFETCH(QString, field);
    QFETCH(QString, lamps);
    QFETCH(QString, capacity);
    TextPanel p = examplePanel();
    p.setText("Txt_Biko1", "999");
    for (const auto &t : changed)
        p.setText(t.first, t.second);
    FormState s;
    s.capacityMode = mode;
    s.lampIndex = lamp;
    QCOMPARE(run(p, field, s), 0);
    QCOMPARE(p.text("Txt_Tousu2"), lamps);
    QCOMPARE(p.text("Txt_Biko1"), capacity);
}

QTEST_APPLESS_MAIN(TestIlluminanceCalc)
#include "tst_illuminance_calc.moc"
