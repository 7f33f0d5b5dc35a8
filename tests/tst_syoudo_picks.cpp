#include "illuminance/PickLists.h"
#include "illuminance/RoomRecord.h"
#include "support/SheetFixture.h"

#include <QLabel>
#include <QToolButton>

using namespace RoomRecord;

namespace {

// Lamps in slots 1..45 only ("L01".."L45"), plus one in slot 85 that no page shows.
MasterTables fortyFiveLamps()
{
    MasterTables t = TestEnv::knownMasters();
    for (int k = 1; k <= 45; ++k) {
        LampRecord lamp;
        lamp.name = QStringLiteral("L%1").arg(k, 2, 10, QLatin1Char('0'));
        lamp.lampCapacity = 40;
        lamp.flux = QStringLiteral("3000");
        lamp.inUse = QStringLiteral("1");
        t.setLamp(k, lamp);
    }
    LampRecord hidden;
    hidden.name = QStringLiteral("HIDDEN");
    hidden.inUse = QStringLiteral("1");
    t.setLamp(85, hidden);
    return t;
}

void pressPage(SheetFixture &f, const QString &pager, const char *arrow)
{
    QTest::mouseClick(f.w<QWidget>(pager)->findChild<QToolButton *>(arrow), Qt::LeftButton);
}

// A worked-example room on the panel, with luminaire 1 picked and the lamp typed.
void exampleRoom(SheetFixture &f)
{
    const QList<QPair<QString, QString>> texts = {
        {"Txt_Shitsu", QStringLiteral("事務室")}, {"Txt_Kousoku", "3450"}, {"Txt_Syoudo1", "500"},
        {"Txt_Maguchi", "10.0"}, {"Txt_Okuyuki", "8.0"}, {"Txt_Takasa", "2.7"}, {"Txt_Stakasa", "0.85"},
        {"Txt_Kudari", "0.0"}, {"Txt_WTousu", "2"}, {"Txt_Horitsu", "0.73"}};
    for (const auto &[name, text] : texts)
        f.sheet->setText(name, text);
    f.sheet->state().luminaireIndex = 1;
    f.sheet->Data_calculation(QString());
}

} // namespace

class TestSyoudoPicks : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void pagingWith45Lamps();
    void sampleMastersOnTheirPages();
    void pickLamp();
    void pickLampThenTypeAnotherName();
    void pickLuminaireByItsNumber();
    void pickEmptyLuminaireCellStillRecalculates();
    void pickRoom();
    void cellTexts();
    void reflectanceWithLuminaire();
    void reflectanceWithoutLuminaire();
    void maintenanceLabelsEmptyUntilALuminaire();
    void maintenanceGoodIsNotRefreshed();
    void maintenanceEntryWithoutLuminaire();
    void capacityModes_data();
    void capacityModes();
    void totalCapacity();
    void sentakuFollowsThePanelOnTab6();
};

void TestSyoudoPicks::geometry_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("slot");
    QTest::newRow("first") << 1 << 1 << 1 << 1;
    QTest::newRow("down the first column") << 1 << 1 << 10 << 10;
    QTest::newRow("then the next") << 1 << 2 << 1 << 11;
    QTest::newRow("last of page 1") << 1 << 4 << 10 << 40;
    QTest::newRow("first of page 2") << 2 << 1 << 1 << 41;
    QTest::newRow("last of page 2") << 2 << 4 << 10 << 80;
}

void TestSyoudoPicks::geometry()
{
    QFETCH(int, page);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(int, slot);
    QCOMPARE(PickLists::slotAt(page, column, row), slot);
}

void TestSyoudoPicks::pagingWith45Lamps()
{
    SheetFixture f(fortyFiveLamps());
    auto *list = f.w<ListGrid>("Spd_Kougen");
    QCOMPARE(list->cellText(1, 1), QStringLiteral("01:L01"));
    QCOMPARE(list->cellText(10, 1), QStringLiteral("10:L10"));
    QCOMPARE(list->cellText(1, 2), QStringLiteral("11:L11"));
    QCOMPARE(list->cellText(10, 4), QStringLiteral("40:L40"));
    pressPage(f, "UD_Kougen", "Up");
    QCOMPARE(list->cellText(1, 1), QStringLiteral("41:L41"));
    QCOMPARE(list->cellText(5, 1), QStringLiteral("45:L45"));
    QCOMPARE(list->cellText(6, 1), QString());
    for (int c = 2; c <= 4; ++c)
        for (int r = 1; r <= 10; ++r)
            QCOMPARE(list->cellText(r, c), QString()); // slot 85 is never shown
    pressPage(f, "UD_Kougen", "Down"); // either arrow turns the page
    QCOMPARE(list->cellText(1, 1), QStringLiteral("01:L01"));
}

void TestSyoudoPicks::sampleMastersOnTheirPages()
{
    SheetFixture f(TestEnv::sampleMasters());
    auto *lum = f.w<ListGrid>("Spd_Syoumei");
    QCOMPARE(lum->cellText(7, 1).left(3), QStringLiteral("12:")); // slot 7 carries Number 12
    QCOMPARE(lum->cellText(5, 2), QString());                   // slot 15 is unused
    QVERIFY(!f.w<ListGrid>("Spd_Room")->cellText(1, 1).isEmpty());
    QCOMPARE(f.w<ListGrid>("Spd_Kougen")->cellText(10, 2), QString()); // slot 20 is unused
    pressPage(f, "UD_Syoumei", "Down");
    QCOMPARE(lum->cellText(1, 1).left(3), QStringLiteral("41:"));
}

void TestSyoudoPicks::pickLamp()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.enter("Txt_Kougen"); // the lamp entry opens, with the lamp list
    QCOMPARE(f.tab(), 3);
    f.clickCell("Spd_Kougen", 7, 1); // lamp 07
    QCOMPARE(f.sheet->state().lampIndex, 7);
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FLR40S-W"));
    QCOMPARE(f.box("Txt_WKougen")->text(), QStringLiteral("FLR40S-W"));
    QVERIFY(!f.box("Txt_Kousoku")->isEnabled());
    QVERIFY(f.box("Txt_WTousu")->isVisible());
    QCOMPARE(f.focused(), QStringLiteral("Txt_WTousu"));
    f.type("2");
    f.enter("Txt_Syoudo1");
    QCOMPARE(f.box("Txt_Kousoku")->text().trimmed(), QStringLiteral("3000"));
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FLR40S-W-2"));
    QVERIFY(!f.box("Txt_WTousu")->isVisible());
    // An empty cell picks nothing.
    f.clickCell("Spd_Kougen", 10, 2);
    QCOMPARE(f.sheet->state().lampIndex, 7);
}

void TestSyoudoPicks::pickLampThenTypeAnotherName()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.clickCell("Spd_Kougen", 7, 1);
    f.type("2"); // the lamps per fitting the pick asks for
    f.enter("Txt_Kougen");
    QCOMPARE(f.focused(), QStringLiteral("Txt_WKougen"));
    QCOMPARE(f.sheet->state().lampIndex, 7); // unchanged text keeps the picked lamp
    f.box("Txt_WKougen")->setText(QStringLiteral("FLR40S-W/M"));
    QCOMPARE(f.sheet->state().lampIndex, 0);
    f.enter("Txt_Syoudo1");
    QVERIFY(f.box("Txt_Kousoku")->isEnabled());

    SheetFixture g(TestEnv::sampleMasters());
    g.clickCell("Spd_Kougen", 7, 1);
    g.type("2");
    g.enter("Txt_Kougen");
    g.enter("Txt_Syoudo1"); // left unchanged
    QVERIFY(!g.box("Txt_Kousoku")->isEnabled());
}

void TestSyoudoPicks::pickLuminaireByItsNumber()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.clickCell("Spd_Syoumei", 7, 1); // painted from slot 7, labelled 12
    QCOMPARE(f.sheet->state().luminaireIndex, 12);
    QCOMPARE(f.box("Txt_Kigu")->text(), QStringLiteral("直付トラフ形Hf32"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_WKougen")); // via the lamp name's entry rule
}

void TestSyoudoPicks::pickEmptyLuminaireCellStillRecalculates()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.box("Txt_Maguchi")->setText("4");
    f.box("Txt_Okuyuki")->setText("3");
    f.box("Txt_Kigu")->setText(QStringLiteral("手入力"));
    f.clickCell("Spd_Syoumei", 5, 2); // slot 15 is unused
    QCOMPARE(f.sheet->state().luminaireIndex, 0);
    QCOMPARE(f.box("Txt_Kigu")->text(), QStringLiteral("手入力"));
    QCOMPARE(f.box("Txt_Menseki")->text(), QStringLiteral("12.0"));
}

void TestSyoudoPicks::pickRoom()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.box("Txt_Shitsu2")->setText(QStringLiteral("東"));
    f.clickCell("Spd_Room", 1, 1);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("事務室"));
    QCOMPARE(f.box("Txt_Shitsu2")->text(), QStringLiteral("東"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Shitsu2"));
}

void TestSyoudoPicks::cellTexts()
{
    MasterTables t = TestEnv::knownMasters();
    QCOMPARE(PickLists::lampCellText(t, 3), QStringLiteral("03:FHF32EX-N  "));
    QCOMPARE(PickLists::lampCellText(t, 4), QString());
    QCOMPARE(PickLists::luminaireCellText(t, 7).left(3), QStringLiteral("12:"));
    LuminaireRecord negative = t.luminaire(1);
    negative.number = QStringLiteral("-5");
    t.setLuminaire(20, negative);
    QCOMPARE(PickLists::luminaireCellText(t, 20), QString()); // addresses no slot
    LuminaireRecord blank = t.luminaire(1);
    blank.number = QStringLiteral("  ");
    t.setLuminaire(21, blank);
    QCOMPARE(PickLists::pickedNumber(PickLists::luminaireCellText(t, 21)), 0);
    QCOMPARE(PickLists::pickedNumber(QStringLiteral("07:FL40")), 7);
    QCOMPARE(PickLists::pickedNumber(QString()), 0);
}

void TestSyoudoPicks::reflectanceWithLuminaire()
{
    SheetFixture f;
    exampleRoom(f);
    f.click("Btn_Hansya_1"); // 中
    QCOMPARE(f.box("Txt_Hrten")->text(), QStringLiteral("50"));
    QCOMPARE(f.box("Txt_Hrkabe")->text(), QStringLiteral("50"));
    QCOMPARE(f.box("Txt_Hryuka")->text(), QStringLiteral("10"));
    QCOMPARE(f.sheet->state().reflectanceChoice, 2);
    QCOMPARE(f.box("Txt_Syouritsu")->text(), QStringLiteral("0.58")); // table 2, class 7
    QCOMPARE(f.focused(), QStringLiteral("Txt_Horitsu"));
}

void TestSyoudoPicks::reflectanceWithoutLuminaire()
{
    SheetFixture f;
    exampleRoom(f);
    f.sheet->state().luminaireIndex = 0;
    f.box("Txt_Syouritsu")->setText("0.55");
    f.click("Btn_Hansya_1");
    QCOMPARE(f.sheet->state().reflectanceChoice, 2);
    QCOMPARE(f.box("Txt_Syouritsu")->text(), QStringLiteral("0.55"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Syouritsu"));
}

void TestSyoudoPicks::maintenanceLabelsEmptyUntilALuminaire()
{
    SheetFixture f;
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Hosyu_%1").arg(i))->text(), QString());
    exampleRoom(f);
    f.enter("Txt_Horitsu");
    QCOMPARE(f.tab(), 5);
    QCOMPARE(f.w<QLabel>("Lbl_Hosyu_0")->text(), QStringLiteral("0.73"));
    QCOMPARE(f.w<QLabel>("Lbl_Hosyu_2")->text(), QStringLiteral("0.61"));
}

void TestSyoudoPicks::maintenanceGoodIsNotRefreshed()
{
    SheetFixture f;
    exampleRoom(f);
    f.enter("Txt_Horitsu");
    f.click("Btn_Hosyu_0"); // 良
    QCOMPARE(f.box("Txt_Horitsu")->text(), QStringLiteral("0.73"));
    QCOMPARE(f.sheet->state().maintenanceChoice, 0);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Tousu2"));
    f.sheet->state().luminaireIndex = 12; // another luminaire
    f.sheet->Data_calculation(QString());
    QCOMPARE(f.box("Txt_Horitsu")->text(), QStringLiteral("0.73"));

    f.sheet->state().luminaireIndex = 1;
    f.enter("Txt_Horitsu");
    f.click("Btn_Hosyu_1"); // 中 follows a later change of luminaire
    QCOMPARE(f.box("Txt_Horitsu")->text(), QStringLiteral("0.69"));
    f.sheet->state().luminaireIndex = 12;
    f.sheet->Data_calculation(QString());
    QCOMPARE(f.box("Txt_Horitsu")->text(), QStringLiteral("0.65"));
}

void TestSyoudoPicks::maintenanceEntryWithoutLuminaire()
{
    SheetFixture f;
    f.box("Txt_Maguchi")->setText("5.0");
    f.enter("Txt_Maguchi");
    f.w<QTabWidget>("STab_Main")->setCurrentIndex(2);
    f.enter("Txt_Horitsu");
    QCOMPARE(f.tab(), 2);
    QCOMPARE(f.w<QLabel>("Lbl_Hosyu_1")->text(), QString());
}

void TestSyoudoPicks::capacityModes_data()
{
    QTest::addColumn<int>("lampIndex");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("remark1");
    QTest::addColumn<QString>("remark2");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("focus");
    QTest::newRow("automatic, 40 W x 26") << 7 << 0 << "1040" << "300" << 1 << "Txt_Biko2";
    QTest::newRow("automatic without lamp") << 0 << 0 << "5" << "300" << 0 << "Txt_Biko2";
    QTest::newRow("automatic with slot 80") << 80 << 0 << "5" << "300" << 0 << "Txt_Biko2";
    QTest::newRow("manual") << 7 << 1 << "5" << "300" << 2 << "Txt_Biko1";
    QTest::newRow("no calculation") << 7 << 2 << "" << "" << 3 << "Btn_Adv";
}

void TestSyoudoPicks::capacityModes()
{
    QFETCH(int, lampIndex);
    QFETCH(int, button);
    QFETCH(QString, remark1);
    QFETCH(QString, remark2);
    QFETCH(int, mode);
    QFETCH(QString, focus);
    SheetFixture f;
    f.box("Txt_Tousu2")->setText("26");
    f.box("Txt_Biko1")->setText("5");
    f.box("Txt_Biko2")->setText("300");
    f.sheet->state().lampIndex = lampIndex;
    f.click(QStringLiteral("Btn_Youryou_%1").arg(button));
    QCOMPARE(f.box("Txt_Biko1")->text(), remark1);
    QCOMPARE(f.box("Txt_Biko2")->text(), remark2);
    QCOMPARE(f.sheet->state().capacityMode, mode);
    QCOMPARE(f.focused(), focus);
    if (mode == 3) {
        f.box("Txt_Shitsu")->setText(QStringLiteral("室"));
        f.sheet->Btn_Adv_Click();
        QCOMPARE(f.sheet->recordGrid().text(1, CapacityMode), QStringLiteral("3"));
    }
}

void TestSyoudoPicks::totalCapacity()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    for (int r : {3, 5}) {
        g.setText(r, InUse, "1");
        g.setText(r, RoomName1, QStringLiteral("室%1").arg(r));
    }
    g.setText(5, Remark2, "100");
    f.box("Txt_Gyou")->setText("7"); // the panel's own row, not yet committed
    f.box("Txt_Biko1")->setText("1040");
    f.box("Txt_Biko2")->setText("");
    auto *list = f.w<ListGrid>("Spd_Sentaku");
    for (int r : {3, 5, 7})
        list->selectRow(r - 1);
    f.click("Btn_KeisanAdv");
    QCOMPARE(g.text(3, Remark2), QStringLiteral("1040")); // an empty total counts as 0
    QCOMPARE(g.text(5, Remark2), QStringLiteral("1140"));
    QCOMPARE(f.box("Txt_Biko2")->text(), QStringLiteral("1040"));
    QCOMPARE(g.text(7, InUse), QString());
    QVERIFY(list->selectedRowNumbers().isEmpty());
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("合計容量計算を実行しました。")});
    QCOMPARE(f.dialogs.asked.first().title, QStringLiteral("ゼルティカとドルネア"));
    QCOMPARE(f.focused(), QStringLiteral("Btn_Adv"));

    // Nothing selected: nothing changes, the message all the same.
    f.click("Btn_KeisanAdv");
    QCOMPARE(g.text(5, Remark2), QStringLiteral("1140"));
    QCOMPARE(f.dialogs.messages().size(), 2);
}

void TestSyoudoPicks::sentakuFollowsThePanelOnTab6()
{
    SheetFixture f;
    f.box("Txt_Gyou")->setText("4");
    f.box("Txt_Kai")->setText("2F");
    f.box("Txt_Shitsu")->setText(QStringLiteral("会議室"));
    f.box("Txt_Kigu")->setText(QStringLiteral("埋込下面開放形"));
    auto *tabs = f.w<QTabWidget>("STab_Main");
    auto *list = f.w<ListGrid>("Spd_Sentaku");
    tabs->setCurrentIndex(7);
    f.sheet->Set_Spd_Sentaku();
    QCOMPARE(list->cellText(4, 2), QString());
    tabs->setCurrentIndex(6);
    f.sheet->Set_Spd_Sentaku();
    QCOMPARE(list->cellText(4, 1), QStringLiteral("2F"));
    QCOMPARE(list->cellText(4, 2), QStringLiteral("会議室"));
    QCOMPARE(list->cellText(4, 4), QStringLiteral("埋込下面開放形"));
    QCOMPARE(f.sheet->recordGrid().text(4, InUse), QString()); // nothing committed
}

QTEST_MAIN(TestSyoudoPicks)
#include "tst_syoudo_picks.moc"
