#include "illuminance/RoomRecord.h"
#include "illuminance/RoomSheet.h"
#include "support/SheetFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QDir>
#include <QFocusEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QStatusBar>
#include <QToolButton>

using namespace RoomRecord;

namespace {

// Puts n rooms "室k" into rows 1..n of the grid, with the headings in row 221.
void fillRooms(RecordGrid &g, int n)
{
    for (int r = 1; r <= n; ++r) {
        g.setText(r, InUse, QStringLiteral("1"));
        g.setText(r, RoomName1, QStringLiteral("室%1").arg(r));
        g.setText(r, Floor, QStringLiteral("%1F").arg((r - 1) / 20 + 1));
    }
    g.setText(kHeadingsRow, kTitle1, QStringLiteral("見出し１"));
    g.setText(kHeadingsRow, kTitle2, QStringLiteral("見出し２"));
    g.setText(kHeadingsRow, kDate, QStringLiteral("令和 8 年 12 月 07 日"));
}

} // namespace

class TestSyoudoSheet : public QObject
{
    Q_OBJECT
private slots:
    void controlsCarryTheirNames_data();
    void controlsCarryTheirNames();
    void menuCaptions_data();
    void menuCaptions();
    void loadState();
    void workedExampleTypedIntoTheForm();
    void keyFiltering_data();
    void keyFiltering();
    void textThatCannotBeSavedIsRefused();
    void enterWalksTheTabOrder();
    void enterInLampEntry();
    void leavingRules_data();
    void leavingRules();
    void rowAndFloorFieldsKeepPreviousFieldName();
    void errorKeepsFocusInTheField();
    void commitMovesOnAndStopsAt220();
    void commitWithoutNameOrLuminaireBlanksTheRow();
    void freeRowLoadsAsClearedPanel();
    void clearButtonLeavesTheRecord();
    void rowFieldNavigation_data();
    void rowFieldNavigation();
    void rowSpinnerStopsAtItsLimits();
    void floorSpinner_data();
    void floorSpinner();
    void roomListReleaseLoadsTheRow();
    void insertIntoFullList();
    void deleteRow3();
    void insertAndDeleteAtRow220_data();
    void insertAndDeleteAtRow220();
    void insertAndDeleteKeepWideHeadingsRow();
    void rightClickPopupInserts();
    void helpMenus();
    void enterOnTheConfirmButtonCommits();
    void menusAndOtherWindowsRunNoFieldRules();
    void invalidRowHoldsTheOtherFieldsRules();
    void activeCellLeavesSelectionAlone();
};

void TestSyoudoSheet::controlsCarryTheirNames_data()
{
    QTest::addColumn<QString>("name");
    for (const char *n :
         {"Txt_Gyou", "Txt_Kai", "Txt_Shitsu", "Txt_Shitsu2", "Txt_Kigu", "Txt_Kougen", "Txt_WKougen", "Txt_WTousu",
          "Txt_Kousoku", "Txt_Syoudo1", "Txt_Maguchi", "Txt_Okuyuki", "Txt_Menseki", "Txt_Takasa", "Txt_Stakasa",
          "Txt_Kudari", "Txt_Shisu", "Txt_Hrten", "Txt_Hrkabe", "Txt_Hryuka", "Txt_Syouritsu", "Txt_Horitsu",
          "Txt_Tousu1", "Txt_Tousu2", "Txt_Syoudo2", "Txt_Daisu", "Txt_Biko1", "Txt_Biko2", "Chk_Tousu", "Chk_Daisu",
          "UpDown1", "UpDown2", "Btn_Adv", "Btn_Clear", "STab_Main", "SPD_Data", "Spd_Sentaku", "Spd_Room",
          "Spd_Syoumei", "Spd_Kougen", "UD_Room", "UD_Syoumei", "UD_Kougen", "Btn_Hansya_0", "Btn_Hansya_2",
          "Btn_Hosyu_1", "Lbl_Hosyu_0", "Lbl_Hosyu_2", "Btn_Youryou_0", "Btn_Youryou_2", "Btn_KeisanAdv",
          "StatusBar1", "TB_Main"})
        QTest::newRow(n) << QString::fromLatin1(n);
}

void TestSyoudoSheet::controlsCarryTheirNames()
{
    QFETCH(QString, name);
    SheetFixture f;
    QVERIFY(f.sheet->findChild<QObject *>(name));
}

void TestSyoudoSheet::menuCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("file") << "Menu_File" << QStringLiteral("ﾌｧｲﾙ(&F)");
    QTest::newRow("new") << "Menu_File_New" << QStringLiteral("新規作成(&N)");
    QTest::newRow("open") << "Menu_File_Open" << QStringLiteral("開く(&O)");
    QTest::newRow("save") << "Menu_File_Save" << QStringLiteral("上書保存(&S)");
    QTest::newRow("save as") << "Menu_File_NSave" << QStringLiteral("名前をつけて保存(&A)");
    QTest::newRow("preview") << "Menu_File_Preview" << QStringLiteral("印刷プレビュー(&V)");
    QTest::newRow("print") << "Menu_File_Printout" << QStringLiteral("印刷(&P)");
    QTest::newRow("exit") << "Menu_File_Exit" << QStringLiteral("終了(&X)");
    QTest::newRow("edit") << "Menu_Edit" << QStringLiteral("編集(&E)");
    QTest::newRow("copy") << "Menu_Edit_Copy" << QStringLiteral("ｺﾋﾟｰ(&C)         Ctrl+C");
    QTest::newRow("paste") << "Menu_Edit_Paste" << QStringLiteral("貼り付け(&P)    Ctrl+V");
    QTest::newRow("option") << "Menu_Option" << QStringLiteral("ｵﾌﾟｼｮﾝ(&O)");
    QTest::newRow("headings") << "Option_Menu_Midashi" << QStringLiteral("見出し設定");
    QTest::newRow("help") << "Menu_Help" << QStringLiteral("ﾍﾙﾌﾟ(&H)");
    QTest::newRow("help file") << "Menu_Help_Zeltika" << QStringLiteral("ゼルティカとドルネアﾍﾙﾌﾟ");
    QTest::newRow("version") << "Menu_Help_Version" << QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)");
}

void TestSyoudoSheet::menuCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    SheetFixture f;
    auto *action = f.sheet->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
}

void TestSyoudoSheet::loadState()
{
    SheetFixture f;
    QCOMPARE(f.sheet->windowTitle(), QStringLiteral("照度計算書[*]"));
    QVERIFY(!f.sheet->isWindowModified());
    QCOMPARE(f.tab(), 0);
    QCOMPARE(f.sheet->recordGrid().rowCount(), 221);
    QCOMPARE(f.sheet->recordGrid().colCount(), 38);
    QCOMPARE(f.w<QLabel>("StatusBar1_Panel2")->text(), QStringLiteral("Ver 2.5.0"));
    QVERIFY(f.w<QCheckBox>("Chk_Tousu")->isChecked());
    QVERIFY(f.w<QCheckBox>("Chk_Daisu")->isChecked());
    QCOMPARE(f.sheet->previousFieldName(), QString());
    auto *tabs = f.w<QTabWidget>("STab_Main");
    const QStringList captions = {"行選択", "室  名", "照明器具種類", "光源名称",
                                  "反射率", "保守率", "容量計算", "合計容量計算"};
    QCOMPARE(tabs->count(), 8);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(tabs->tabText(i), captions[i]);
    auto *list = f.w<ListGrid>("SPD_Data");
    QCOMPARE(list->rowCount(), 220);
    QCOMPARE(list->columnCount(), 5);
    const QStringList headings = {"階数", "室名１", "室名２", "照明器具", "光源名称"};
    for (int c = 0; c < 5; ++c)
        QCOMPARE(list->horizontalHeaderItem(c)->text(), headings[c]);
    QCOMPARE(f.w<QPushButton>("Btn_Adv")->text(), QStringLiteral("確  認"));
    QCOMPARE(f.w<QPushButton>("Btn_Clear")->text(), QStringLiteral("編集クリア"));
    QCOMPARE(f.w<QCheckBox>("Chk_Tousu")->text(), QStringLiteral("自動"));
}

void TestSyoudoSheet::workedExampleTypedIntoTheForm()
{
    SheetFixture f;
    f.enter("Txt_Gyou");
    f.type("1");
    QCOMPARE(f.focused(), QStringLiteral("Txt_Kai"));
    f.type("1");
    f.type(QStringLiteral("事務室"));
    f.type(QString());
    f.type(QStringLiteral("埋込下面開放形"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_WKougen")); // the lamp name opens its entry box
    QCOMPARE(f.tab(), 3);
    f.type(QStringLiteral("FHF32EX-N"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_WTousu"));
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
    f.type("2");
    QCOMPARE(f.focused(), QStringLiteral("Txt_Kousoku"));
    for (const char *value : {"3450", "500", "10", "8", "2.7", "0.85", "0", "70", "50", "10", "0.62", "0.73"})
        f.type(QString::fromLatin1(value));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Tousu2"));
    QCOMPARE(f.tab(), 6);

    QCOMPARE(f.box("Txt_Maguchi")->text(), QStringLiteral("10.0"));
    QCOMPARE(f.box("Txt_Kudari")->text(), QStringLiteral("0.0"));
    QCOMPARE(f.box("Txt_Menseki")->text(), QStringLiteral("80.0"));
    QCOMPARE(f.box("Txt_Shisu")->text(), QStringLiteral("2.40"));
    QCOMPARE(f.box("Txt_Tousu1")->text(), QStringLiteral("25.7"));
    QCOMPARE(f.box("Txt_Tousu2")->text(), QStringLiteral("26"));
    QCOMPARE(f.box("Txt_Syoudo2")->text(), QStringLiteral("507"));
    QCOMPARE(f.box("Txt_Daisu")->text(), QStringLiteral("13"));
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FHF32EX-N-2"));

    f.click("Btn_Adv");
    const RecordGrid &g = f.sheet->recordGrid();
    const QList<QPair<int, QString>> expected = {
        {InUse, "1"},           {RoomName1, "事務室"},        {LuminaireType, "埋込下面開放形"},
        {LampName, "FHF32EX-N-2"}, {LampIndex, "0"},          {LampFlux, "3450"},
        {DesignIlluminance, "500"}, {Width, "10.0"},          {Depth, "8.0"},
        {Area, "80.0"},         {CeilingHeight, "2.7"},       {WorkPlaneHeight, "0.85"},
        {Suspension, "0.0"},    {RoomIndex, "2.40"},          {UtilizationFactor, "0.62"},
        {MaintenanceFactor, "0.73"}, {LampCountComputed, "25.7"}, {LampCount, "26"},
        {ResultIlluminance, "507"}, {FittingCount, "13"},     {LampsPerFitting, "2"},
        {Floor, "1"},           {RowNumber, "1"},             {RecordTag, "SYOUDO002"},
        {LampNameEntry, "FHF32EX-N"}, {LampCountAuto, "1"},   {FittingCountAuto, "1"},
        {CeilingReflectance, "70"}, {Reserved, "0"},
    };
    for (const auto &[column, text] : expected)
        QCOMPARE(g.text(1, column), text);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("2"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(1, 2), QStringLiteral("事務室"));
}

void TestSyoudoSheet::keyFiltering_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter into remark refused") << "Txt_Biko1" << "a1b2" << "12";
    QTest::newRow("letter into width refused") << "Txt_Maguchi" << "1x.5" << "1.5";
    QTest::newRow("minus refused") << "Txt_Takasa" << "-2" << "2";
    QTest::newRow("space passes") << "Txt_Syoudo1" << "5 0" << "5 0";
    QTest::newRow("letter into room name accepted") << "Txt_Shitsu" << "Room A" << "Room A";
    QTest::newRow("floor takes any key") << "Txt_Kai" << "B1F" << "B1F";
    QTest::newRow("lamp entry takes any key") << "Txt_WKougen" << "FL40S" << "FL40S";
}

void TestSyoudoSheet::keyFiltering()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    SheetFixture f;
    f.enter(field);
    QLineEdit *box = f.box(field);
    box->clear();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
}

void TestSyoudoSheet::textThatCannotBeSavedIsRefused()
{
    SheetFixture f;
    f.enter("Txt_Shitsu");
    QInputMethodEvent good;
    good.setCommitString(QStringLiteral("会議室Ⅰ"));
    QApplication::sendEvent(f.box("Txt_Shitsu"), &good);
    QInputMethodEvent bad;
    bad.setCommitString(QStringLiteral("\U0001F600"));
    QApplication::sendEvent(f.box("Txt_Shitsu"), &bad);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("会議室Ⅰ"));
}

void TestSyoudoSheet::enterWalksTheTabOrder()
{
    SheetFixture f;
    f.enter("Txt_Maguchi");
    f.type("5");
    QCOMPARE(f.focused(), QStringLiteral("Txt_Okuyuki"));
}

void TestSyoudoSheet::enterInLampEntry()
{
    // Enter in the lamp entry goes to the lamps per fitting and closes the entry.
    SheetFixture f;
    f.enter("Txt_Kougen");
    QCOMPARE(f.focused(), QStringLiteral("Txt_WKougen"));
    QTest::keyClick(f.box("Txt_WKougen"), Qt::Key_Return);
    QCOMPARE(f.focused(), QStringLiteral("Txt_WTousu"));
    QVERIFY(f.box("Txt_WTousu")->isVisible());
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
}

void TestSyoudoSheet::leavingRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("flux empty") << "Txt_Kousoku" << "" << "0";
    QTest::newRow("flux 1234.6") << "Txt_Kousoku" << "1234.6" << "1235";
    QTest::newRow("work plane .8") << "Txt_Stakasa" << ".8" << "0.80";
    QTest::newRow("suspension 0") << "Txt_Kudari" << "0" << "0.0";
    QTest::newRow("depth 12.34") << "Txt_Okuyuki" << "12.34" << "12.3";
    QTest::newRow("depth 5") << "Txt_Okuyuki" << "5" << "5.0";
    QTest::newRow("height 3") << "Txt_Takasa" << "3" << "3.0";
    QTest::newRow("illuminance 750.5") << "Txt_Syoudo1" << "750.5" << "751";
    QTest::newRow("width left alone") << "Txt_Maguchi" << "5" << "5";
}

void TestSyoudoSheet::leavingRules()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    SheetFixture f;
    f.enter(field);
    f.box(field)->setText(typed);
    f.w<QPushButton>("Btn_Clear")->setFocus(); // leave without entering another field
    QApplication::processEvents();
    QCOMPARE(f.box(field)->text(), shown);
}

void TestSyoudoSheet::rowAndFloorFieldsKeepPreviousFieldName()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(1, InUse, "1");
    g.setText(1, Depth, "7.0");
    f.sheet->Screen_Set(1);
    f.enter("Txt_Okuyuki");
    QCOMPARE(f.sheet->previousFieldName(), QStringLiteral("Txt_Okuyuki"));
    f.enter("Txt_Kai");
    QCOMPARE(f.sheet->previousFieldName(), QStringLiteral("Txt_Okuyuki"));
    f.enter("Txt_Gyou");
    QCOMPARE(f.sheet->previousFieldName(), QStringLiteral("Txt_Okuyuki"));
    f.enter("Txt_Shitsu");
    QCOMPARE(f.sheet->previousFieldName(), QStringLiteral("Txt_Shitsu"));
    QCOMPARE(f.tab(), 1);
}

void TestSyoudoSheet::errorKeepsFocusInTheField()
{
    SheetFixture f;
    f.enter("Txt_Maguchi");
    f.type(QString()); // leaving the width empty
    QCOMPARE(f.box("Txt_Maguchi")->text(), QStringLiteral("0.0"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Maguchi"));
    // Leaving the design illuminance empty is no error.
    f.enter("Txt_Syoudo1");
    f.type(QString());
    QCOMPARE(f.box("Txt_Syoudo1")->text(), QStringLiteral("0"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Maguchi"));
}

void TestSyoudoSheet::commitMovesOnAndStopsAt220()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(6, InUse, "1");
    g.setText(6, RoomName1, QStringLiteral("会議室"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("5");
    f.enter("Txt_Shitsu"); // leaving the row field loads row 5
    f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
    f.click("Btn_Adv");
    QCOMPARE(g.text(5, RoomName1), QStringLiteral("事務室"));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("6"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("会議室"));

    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("220");
    f.enter("Txt_Shitsu");
    f.box("Txt_Shitsu")->setText(QStringLiteral("倉庫"));
    f.click("Btn_Adv");
    QCOMPARE(g.text(220, RoomName1), QStringLiteral("倉庫"));
    QCOMPARE(g.text(220, RowNumber), QStringLiteral("220"));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("220"));
    QCOMPARE(g.text(221, InUse), QString()); // the headings row is never written by a commit
}

void TestSyoudoSheet::commitWithoutNameOrLuminaireBlanksTheRow()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    fillRooms(g, 3);
    f.sheet->SPD_Paint(f.w<ListGrid>("SPD_Data"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("2");
    f.enter("Txt_Shitsu");
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室2"));
    f.box("Txt_Shitsu")->clear();
    // Asked first, いいえ the default: the row stays.
    f.click("Btn_Adv");
    QCOMPARE(f.dialogs.messages().value(0), QStringLiteral("2 行目のデータをすべて消去します。消去しますか？"));
    QCOMPARE(g.text(2, RoomName1), QStringLiteral("室2"));
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.click("Btn_Adv");
    for (int c = 1; c <= 38; ++c)
        QCOMPARE(g.text(2, c), QString());
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(2, 2), QString());
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(3, 2), QStringLiteral("室3"));
}

void TestSyoudoSheet::freeRowLoadsAsClearedPanel()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(4, InUse, "0");
    g.setText(4, RoomName1, QStringLiteral("残り"));
    g.setText(4, LuminaireIndex, "7");
    f.box("Txt_Shitsu")->setText("x");
    f.w<QCheckBox>("Chk_Tousu")->setChecked(false);
    f.sheet->state().reflectanceChoice = 2;
    f.sheet->Screen_Set(4);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QString());
    QVERIFY(f.w<QCheckBox>("Chk_Tousu")->isChecked());
    QVERIFY(f.w<QCheckBox>("Chk_Daisu")->isChecked());
    QCOMPARE(f.sheet->state().luminaireIndex, 7); // the integers are read in both cases
    QCOMPARE(f.sheet->state().reflectanceChoice, 0);
}

void TestSyoudoSheet::clearButtonLeavesTheRecord()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    fillRooms(g, 1);
    f.sheet->Screen_Set(1);
    f.sheet->state().capacityMode = 2;
    f.click("Btn_Clear");
    QCOMPARE(f.box("Txt_Shitsu")->text(), QString());
    QCOMPARE(g.text(1, RoomName1), QStringLiteral("室1"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QCOMPARE(f.sheet->state().capacityMode, 2);
}

void TestSyoudoSheet::rowFieldNavigation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("3") << "3" << true;
    QTest::newRow("220") << "220" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("221") << "221" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSyoudoSheet::rowFieldNavigation()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    SheetFixture f;
    fillRooms(f.sheet->recordGrid(), 220);
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(typed);
    QTest::keyClick(f.box("Txt_Gyou"), Qt::Key_Return);
    QApplication::processEvents();
    if (accepted) {
        QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室%1").arg(typed));
        QCOMPARE(f.w<ListGrid>("SPD_Data")->activeRow(), typed.toInt());
    } else {
        QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
        QCOMPARE(f.box("Txt_Shitsu")->text(), QString());
    }
}

void TestSyoudoSheet::rowSpinnerStopsAtItsLimits()
{
    SheetFixture f;
    fillRooms(f.sheet->recordGrid(), 220);
    auto *spinner = f.w<QWidget>("UpDown1");
    auto *down = spinner->findChild<QToolButton *>("Down");
    auto *up = spinner->findChild<QToolButton *>("Up");
    f.box("Txt_Gyou")->setText("219");
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("220"));
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("220"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室220"));
    f.box("Txt_Gyou")->setText("1");
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("1"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室1"));
}

void TestSyoudoSheet::floorSpinner_data()
{
    QTest::addColumn<QString>("floor");
    QTest::addColumn<QString>("afterDown");
    QTest::addColumn<QString>("afterUp");
    QTest::newRow("3") << "3" << "4" << "2";
    QTest::newRow("9999 stops") << "9999" << "9999" << "9998";
    QTest::newRow("1 stops") << "1" << "2" << "1";
    QTest::newRow("empty does nothing") << "" << "" << "";
    QTest::newRow("text does nothing") << "B1" << "B1" << "B1";
}

void TestSyoudoSheet::floorSpinner()
{
    QFETCH(QString, floor);
    QFETCH(QString, afterDown);
    QFETCH(QString, afterUp);
    SheetFixture f;
    auto *spinner = f.w<QWidget>("UpDown2");
    f.box("Txt_Kai")->setText(floor);
    QTest::mouseClick(spinner->findChild<QToolButton *>("Down"), Qt::LeftButton);
    QCOMPARE(f.box("Txt_Kai")->text(), afterDown);
    f.box("Txt_Kai")->setText(floor);
    QTest::mouseClick(spinner->findChild<QToolButton *>("Up"), Qt::LeftButton);
    QCOMPARE(f.box("Txt_Kai")->text(), afterUp);
}

void TestSyoudoSheet::roomListReleaseLoadsTheRow()
{
    SheetFixture f;
    fillRooms(f.sheet->recordGrid(), 10);
    f.sheet->SPD_Paint(f.w<ListGrid>("SPD_Data"));
    f.clickCell("SPD_Data", 4, 2);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("4"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室4"));
    auto *list = f.w<ListGrid>("SPD_Data");
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("5"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("室5"));
}

void TestSyoudoSheet::insertIntoFullList()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    fillRooms(g, 220);
    f.w<ListGrid>("SPD_Data")->setActiveCell(3, 1);
    f.box("Txt_Gyou")->setText("9");
    f.sheet->Line_Add();
    QCOMPARE(g.text(3, InUse), QString());
    QCOMPARE(g.text(4, RoomName1), QStringLiteral("室3"));
    QCOMPARE(g.text(220, RoomName1), QStringLiteral("室219"));
    QCOMPARE(g.text(221, kTitle1), QStringLiteral("見出し１"));
    QCOMPARE(g.text(221, kDate), QStringLiteral("令和 8 年 12 月 07 日"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(3, 2), QString());
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(4, 2), QStringLiteral("室3"));
    QCOMPARE(f.w<ListGrid>("Spd_Sentaku")->cellText(4, 2), QStringLiteral("室3"));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("9")); // the panel is not reloaded
}

void TestSyoudoSheet::deleteRow3()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    fillRooms(g, 220);
    f.w<ListGrid>("SPD_Data")->setActiveCell(3, 1);
    f.sheet->Line_Delete();
    QCOMPARE(g.text(3, RoomName1), QStringLiteral("室4"));
    QCOMPARE(g.text(219, RoomName1), QStringLiteral("室220"));
    QCOMPARE(g.text(220, InUse), QString());
    QCOMPARE(g.text(221, kTitle2), QStringLiteral("見出し２"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(220, 2), QString());
}

void TestSyoudoSheet::insertAndDeleteAtRow220_data()
{
    QTest::addColumn<bool>("insert");
    QTest::newRow("insert at 220") << true;
    QTest::newRow("delete 220") << false;
}

void TestSyoudoSheet::insertAndDeleteAtRow220()
{
    QFETCH(bool, insert);
    RecordGrid g(221, 38);
    fillRooms(g, 220);
    if (insert)
        RoomSheet::Line_Add(g, 220);
    else
        RoomSheet::Line_Delete(g, 220);
    // Room 220 is gone either way, 219 stays, the headings stay in row 221.
    QCOMPARE(g.text(220, InUse), QString());
    QCOMPARE(g.text(220, RoomName1), QString());
    QCOMPARE(g.text(219, RoomName1), QStringLiteral("室219"));
    QCOMPARE(g.text(221, kTitle1), QStringLiteral("見出し１"));
    QCOMPARE(g.text(221, kTitle2), QStringLiteral("見出し２"));
    QCOMPARE(g.rowCount(), 221);
}

void TestSyoudoSheet::insertAndDeleteKeepWideHeadingsRow()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setColCount(140);
    fillRooms(g, 5);
    g.setText(221, 100, "3");
    g.setText(221, 103, "0");
    g.setText(2, 110, QStringLiteral("zone"));
    f.w<ListGrid>("SPD_Data")->setActiveCell(1, 1);
    f.sheet->Line_Add();
    QCOMPARE(g.text(221, 100), QStringLiteral("3"));
    QCOMPARE(g.text(221, 103), QStringLiteral("0"));
    QCOMPARE(g.text(3, 110), QStringLiteral("zone"));
    f.sheet->Line_Delete();
    QCOMPARE(g.text(221, 100), QStringLiteral("3"));
    QCOMPARE(g.text(2, 110), QStringLiteral("zone"));
    QCOMPARE(g.text(220, 100), QString());
}

void TestSyoudoSheet::rightClickPopupInserts()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    fillRooms(g, 5);
    f.sheet->SPD_Paint(f.w<ListGrid>("SPD_Data"));
    auto *list = f.w<ListGrid>("SPD_Data");
    const QRect cell = list->visualItemRect(list->item(1, 1));
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, cell.center());
    QApplication::processEvents();
    QCOMPARE(list->activeRow(), 2);
    QPointer<QWidget> popup;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"F_Syoudo_R_Menu" && w->isVisible())
            popup = w;
    QVERIFY(popup);
    auto *insert = popup->findChild<QPushButton *>("SSPanel1");
    QCOMPARE(insert->text(), QStringLiteral("＋      挿  入         "));
    QCOMPARE(popup->findChild<QPushButton *>("SSPanel2")->text(), QStringLiteral("－      削  除         "));
    QTest::mouseClick(insert, Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(g.text(2, InUse), QString());
    QCOMPARE(g.text(3, RoomName1), QStringLiteral("室2"));
    QVERIFY(!popup || !popup->isVisible()); // the popup closes itself after the insert
}

void TestSyoudoSheet::helpMenus()
{
    SheetFixture f;
    f.sheet->setHelpFile(QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m.hlp")));
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Help_Zeltika"))->trigger();
    QVERIFY(f.dialogs.asked.isEmpty());
    auto *help = f.sheet->findChild<QTextBrowser *>(QStringLiteral("HelpWindow"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("ゼルティカとドルネア ヘルプ"));
    // It fits the free area of the screen, and has the sections of both sheets and the keys.
    QVERIFY(f.sheet->screen()->availableGeometry().contains(help->frameGeometry()));
    for (const char *section : {"syoudo", "cecl", "keys"})
        QVERIFY2(help->toHtml().contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(section))), section);

    f.sheet->setHelpFile(QStringLiteral("/nonexistent/prx5m.hlp"));
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Help_Zeltika"))->trigger();
    QCOMPARE(f.dialogs.asked.size(), 1);
    QVERIFY(f.dialogs.asked.first().text.contains(QStringLiteral("ヘルプファイルを開けません")));

    QString seen;
    QTimer::singleShot(100, [&seen] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = modal->objectName();
            modal->close();
        }
    });
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Help_Version"))->trigger();
    QCOMPARE(seen, QStringLiteral("F_Title"));
}

void TestSyoudoSheet::enterOnTheConfirmButtonCommits()
{
    SheetFixture f;
    f.enter("Txt_Shitsu");
    f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
    f.w<QPushButton>("Btn_Adv")->setFocus();
    QTest::keyClick(f.w<QPushButton>("Btn_Adv"), Qt::Key_Return);
    QCOMPARE(f.sheet->recordGrid().text(1, RoomName1), QStringLiteral("事務室"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("2"));
}

void TestSyoudoSheet::menusAndOtherWindowsRunNoFieldRules()
{
    SheetFixture f;
    fillRooms(f.sheet->recordGrid(), 5);
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("3");
    f.box("Txt_Shitsu")->setText(QStringLiteral("編集中"));
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(f.box("Txt_Gyou"), &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(f.box("Txt_Gyou"), &in);
    }
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("編集中")); // row 3 was not loaded over it
    f.enter("Txt_Okuyuki");
    f.box("Txt_Okuyuki")->setText("12.34");
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(f.box("Txt_Okuyuki"), &out);
    QCOMPARE(f.box("Txt_Okuyuki")->text(), QStringLiteral("12.34"));
}

void TestSyoudoSheet::invalidRowHoldsTheOtherFieldsRules()
{
    SheetFixture f;
    f.enter("Txt_Okuyuki");
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("0");
    f.box("Txt_Maguchi")->setText("4.0");
    f.box("Txt_Okuyuki")->setText("3.0");
    const QString area = f.box("Txt_Menseki")->text();
    f.box("Txt_Takasa")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(f.tab(), 0);
    QCOMPARE(f.sheet->previousFieldName(), QStringLiteral("Txt_Okuyuki"));
    QCOMPARE(f.box("Txt_Menseki")->text(), area); // no recalculation ran (4 x 3 would give 12.0)
    QTest::qWait(20);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QCOMPARE(f.box("Txt_Takasa")->text(), QString()); // nor ran the leaving rule

    // The spinner with an unusable row sends the focus back the same way.
    f.enter("Txt_Kai");
    QTest::qWait(20);
    f.box("Txt_Gyou")->setText("0");
    QTest::mouseClick(f.w<QWidget>("UpDown1")->findChild<QToolButton *>("Up"), Qt::LeftButton);
    QTest::qWait(20);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
}

void TestSyoudoSheet::activeCellLeavesSelectionAlone()
{
    SheetFixture f;
    auto *list = f.w<ListGrid>("Spd_Sentaku");
    list->selectRow(4);
    f.sheet->Set_Spdtop(list);
    QCOMPARE(list->selectedRowNumbers(), QList<int>{5});
    QCOMPARE(list->activeRow(), 1);
    f.sheet->Sentaku_List_Clear();
    f.sheet->Set_Spdtop(list);
    QVERIFY(list->selectedRowNumbers().isEmpty());
}

QTEST_MAIN(TestSyoudoSheet)
#include "tst_syoudo_sheet.moc"
