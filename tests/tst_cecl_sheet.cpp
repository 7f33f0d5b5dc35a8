// The CEC/L sheet through its real widgets: the form, zones, Confirm, the choices, the options
// dialog and the work file, as a user drives them.
#include "cecl/FCECLOP.h"
#include "cecl/ZoneRecord.h"
#include "grid/WorkFile.h"
#include "support/ExampleSheet.h"
#include "support/SheetFixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>

using namespace ZoneRecord;

namespace {

QString officeFile()
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
}

// Works the options dialog: building type, simplification, links, then OK.
std::function<int(QDialog &)> chooseOptions(int type, int method = 0, bool power = true, bool hours = true)
{
    return [=](QDialog &d) {
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Tate"))->setCurrentIndex(type);
        d.findChild<QCheckBox *>(QStringLiteral("Chk_Kani"))->setChecked(method != 0);
        if (method != 0)
            d.findChild<QRadioButton *>(QStringLiteral("Op_Kan%1").arg(method))->setChecked(true);
        d.findChild<QCheckBox *>(QStringLiteral("Chk_Ws"))->setChecked(power);
        d.findChild<QCheckBox *>(QStringLiteral("Chk_T"))->setChecked(hours);
        d.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
        return d.result();
    };
}

void openOffice(CeclFixture &f, int type = 3)
{
    f.dialogs.paths = {officeFile()};
    f.dialogs.dialogAnswers = {chooseOptions(type)};
    f.sheet->Menu_File_Open_Click();
}

void goToRow(CeclFixture &f, int row)
{
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QString::number(row));
    f.enter("Txt_Kiguban");
}

} // namespace

class TestCeclSheet : public QObject
{
    Q_OBJECT
private slots:
    void controlsAndCaptions_data();
    void controlsAndCaptions();
    void menuCaptions_data();
    void menuCaptions();
    void lockedAndEditableBoxes();
    void keys_data();
    void keys();
    void enterWalksTheEditableBoxes();
    void entryTabsAndCalculation_data();
    void entryTabsAndCalculation();
    void confirmOnAFreeRow();
    void confirmOnRow220();
    void spinnerUpOnRow1Reloads();
    void listReleaseLoadsTheZone();
    void joinedZoneSaidUnderThePanel();
    void tabBarAndPageAgree_data();
    void tabBarAndPageAgree();
    void keyboardReachesTheChoices();
    void openLeavesTheRowFieldSelected();
    void longValueShowsItsStart();
    void choicesMoveTheFocusOn();
    void optionsWithoutAFileAreRefused();
    void optionsDialog();
    void optionsRefuseCancelWithoutType();
    void illuminanceFileOpensAsZones();
    void ceclFileReopensWithoutQuestion();
    void failedOpenChangesNothing();
    void newSheet();
    void drivenAsAUser();
    void figuresFollowTheOptions();
    void openingFollowsTheIlluminanceSheet();
    void optionsKeepWhatWasTyped();
    void roundTripBetweenTheSheets();
};

void TestCeclSheet::controlsAndCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<QPair<const char *, const char *>> buttons = {
        {"Btn_Adv", "確  認"},
        {"Btn_Clear", "編集クリア"},
        {"Btn_Seigyo_0", "カード，センサー等による在室検知制御"},
        {"Btn_Seigyo_1", "明るさ感知による自動点滅制御"},
        {"Btn_Seigyo_2", "適正照度調整"},
        {"Btn_Seigyo_3", "タイムスケジュール制御"},
        {"Btn_Seigyo_4", "昼光利用照明制御"},
        {"Btn_Seigyo_5", "ゾーニング制御"},
        {"Btn_Seigyo_6", "局所制御"},
        {"Btn_Seigyo_7", "その他"},
        {"Btn_Syuho_0", "まぶしさを制御するためにルーバ，透光性カバーなどを採用するなど，特別の措置が講じられている照明設備"},
        {"Btn_Syuho_1", "その他"},
        {"Btn_Syoho_0", "物品販売業を営む店舗の売場および事務所の事務室"},
        {"Btn_Syoho_1", "学校の教室"},
        {"Btn_Syoho_2", "その他"},
    };
    for (const auto &[name, caption] : buttons)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
}

void TestCeclSheet::controlsAndCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    CeclFixture f;
    QCOMPARE(f.w<QPushButton>(name)->text(), caption);
    QCOMPARE(f.sheet->windowTitle(), QStringLiteral("CEC/L計算書[*]"));
    auto *tabs = f.w<QTabWidget>("STab_Main");
    QCOMPARE(tabs->count(), 4);
    const QStringList tabCaptions = {"行選択", "制御内容", "種類補正係数", "照明補正係数"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), tabCaptions[i]);
    QCOMPARE(f.w<QLabel>("StatusBar1_Panel2")->text(), QStringLiteral("Ver 2.5.0"));
    QCOMPARE(f.sheet->recordGrid().colCount(), 140);
}

void TestCeclSheet::menuCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("new") << "Menu_File_New" << QStringLiteral("新規作成(&N)");
    QTest::newRow("open") << "Menu_File_Open" << QStringLiteral("開く(&O)");
    QTest::newRow("save as") << "Menu_File_NSave" << QStringLiteral("名前をつけて保存(&A)");
    QTest::newRow("save") << "Menu_File_Save" << QStringLiteral("上書き保存(&N)");
    QTest::newRow("preview") << "Menu_File_Preview" << QStringLiteral("印刷プレビュー(&V)");
    QTest::newRow("print") << "Menu_File_Printout" << QStringLiteral("印刷(&P)");
    QTest::newRow("exit") << "Menu_File_Exit" << QStringLiteral("終了(&X)");
    QTest::newRow("copy") << "Menu_Edit_Copy" << QStringLiteral("ｺﾋﾟｰ(&C)");
    QTest::newRow("paste") << "Menu_Edit_Paste" << QStringLiteral("貼り付け(&P)");
    QTest::newRow("options") << "Menu_Option" << QStringLiteral("ｵﾌﾟｼｮﾝ(&O)");
    QTest::newRow("help") << "Menu_Help_Zeltika" << QStringLiteral("ゼルティカとドルネアﾍﾙﾌﾟ");
    QTest::newRow("version") << "Menu_Help_Version" << QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報");
}

void TestCeclSheet::menuCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    CeclFixture f;
    auto *action = f.sheet->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
}

void TestCeclSheet::lockedAndEditableBoxes()
{
    CeclFixture f;
    const QStringList editable = {"Txt_Gyou",     "Txt_Kiguban",     "Txt_HSyoumei", "Txt_HTentou",  "Txt_InDenryoku",
                                  "Txt_Seigyo",   "Txt_SeigyoHosei", "Txt_SyuHosei", "Txt_SyouHosei"};
    const QStringList locked = {"Txt_Kai",     "Txt_Shitsu",     "Txt_Shitsu2",     "Txt_Kigu",    "Txt_Kougen",
                                "Txt_Menseki", "Txt_Daisu",      "Txt_TotalIn",     "Txt_Ksyoumei", "Txt_Nendenryoku",
                                "Txt_Syodenryoku", "Txt_Vsyoden", "Txt_SyoEne",      "Txt_Syoudo"};
    for (const QString &name : editable) {
        QVERIFY2(!f.box(name)->isReadOnly() && f.box(name)->focusPolicy() != Qt::NoFocus, qPrintable(name));
    }
    for (const QString &name : locked) {
        QVERIFY2(f.box(name)->isReadOnly() && f.box(name)->focusPolicy() == Qt::NoFocus, qPrintable(name));
        // Grey, but the design illuminance white.
        const QColor base = f.box(name)->palette().color(QPalette::Base);
        if (name == u"Txt_Syoudo")
            QCOMPARE(base, QColor(Qt::white));
        else
            QVERIFY2(base != QColor(Qt::white), qPrintable(name));
    }
    QCOMPARE(f.box("Txt_Gyou")->maxLength(), 3);
    // A longer luminaire number from a file is shown whole (only typing stops at 10).
    f.sheet->recordGrid().setText(7, InUse, "1");
    f.sheet->recordGrid().setText(7, LuminaireNumber, QStringLiteral("LONG-NUMBER-123"));
    f.sheet->Screen_Set(7);
    QCOMPARE(f.box("Txt_Kiguban")->text(), QStringLiteral("LONG-NUMBER-123"));
    // The toolbar: open, save, print and preview; no new sheet from here.
    QVERIFY(!f.sheet->findChild<QAction *>(QStringLiteral("TB_Main_2")));
    for (const char *name : {"TB_Main_3", "TB_Main_4", "TB_Main_6", "TB_Main_7"})
        QVERIFY(f.sheet->findChild<QAction *>(QString::fromLatin1(name)));
    QVERIFY(f.box("Txt_InDenryoku")->alignment() & Qt::AlignRight);
    QVERIFY(f.box("Txt_SyoEne")->alignment() & Qt::AlignRight);
}

void TestCeclSheet::keys_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters refused in input power") << "Txt_InDenryoku" << "4a0" << "40";
    QTest::newRow("1.2.3 can be typed") << "Txt_InDenryoku" << "1.2.3" << "1.2.3";
    QTest::newRow("luminary number takes anything") << "Txt_Kiguban" << "A-1b" << "A-1b";
    QTest::newRow("at most 10 characters") << "Txt_Kiguban" << "ABCDEFGHIJKL" << "ABCDEFGHIJ";
    QTest::newRow("control content takes text") << "Txt_Seigyo" << "manual" << "manual";
    QTest::newRow("factor digits") << "Txt_SeigyoHosei" << "0,85" << "085";
    QTest::newRow("pasted letters refused") << "Txt_InDenryoku" << "paste:40W" << "";
    QTest::newRow("pasted number taken") << "Txt_InDenryoku" << "paste:40.5" << "40.5";
    QTest::newRow("pasted text in a text box") << "Txt_Seigyo" << "paste:手動" << "手動";
}

void TestCeclSheet::keys()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    CeclFixture f;
    f.enter(box);
    f.box(box)->clear();
    if (typed.startsWith(QStringLiteral("paste:"))) {
        QApplication::clipboard()->setText(typed.mid(6));
        f.sheet->findChild<QAction *>(QStringLiteral("Menu_Edit_Paste"))->trigger();
    } else {
        QTest::keyClicks(f.box(box), typed);
    }
    QCOMPARE(f.box(box)->text(), shown);
}

void TestCeclSheet::enterWalksTheEditableBoxes()
{
    CeclFixture f;
    f.enter("Txt_Kiguban");
    const QStringList order = {"Txt_HSyoumei", "Txt_HTentou", "Txt_InDenryoku", "Txt_Seigyo", "Txt_SeigyoHosei",
                               "Txt_SyuHosei", "Txt_SyouHosei", "Btn_Adv"};
    for (const QString &next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(f.focused(), next);
    }
}

void TestCeclSheet::entryTabsAndCalculation_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("tab");
    QTest::newRow("luminaire number") << "Txt_Kiguban" << 0;
    QTest::newRow("standard power") << "Txt_HSyoumei" << 0;
    QTest::newRow("hours") << "Txt_HTentou" << 0;
    QTest::newRow("input power") << "Txt_InDenryoku" << 0;
    QTest::newRow("control content") << "Txt_Seigyo" << 1;
    QTest::newRow("control factor") << "Txt_SeigyoHosei" << 1;
    QTest::newRow("type factor") << "Txt_SyuHosei" << 2;
    QTest::newRow("illuminance factor") << "Txt_SyouHosei" << 3;
}

void TestCeclSheet::entryTabsAndCalculation()
{
    QFETCH(QString, box);
    QFETCH(int, tab);
    CeclFixture f;
    f.enter(box == u"Txt_HTentou" ? QStringLiteral("Txt_Kiguban") : QStringLiteral("Txt_HTentou"));
    f.w<QTabWidget>("STab_Main")->setCurrentIndex(tab == 0 ? 3 : 0);
    f.sheet->setText("Txt_Daisu", "10");
    f.sheet->setText("Txt_InDenryoku", "40");
    f.sheet->setText(box, box == u"Txt_InDenryoku" ? QStringLiteral("40") : QStringLiteral("1"));
    f.enter(box);
    QCOMPARE(f.tab(), tab);
    QCOMPARE(f.box("Txt_TotalIn")->text(), QStringLiteral("400")); // computed on entry
    QCOMPARE(f.box(box)->selectedText(), f.box(box)->text());
    // The row field shows the list and computes nothing.
    f.sheet->setText("Txt_InDenryoku", "50");
    f.enter("Txt_Gyou");
    QCOMPARE(f.tab(), 0);
    QCOMPARE(f.box("Txt_TotalIn")->text(), QStringLiteral("400"));
}

void TestCeclSheet::confirmOnAFreeRow()
{
    CeclFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(5, LuminaireNumber, "stale");
    g.setText(5, ZoneCecl, "0.9");
    goToRow(f, 5);
    f.sheet->setText("Txt_Kiguban", "A-1");
    f.sheet->setText("Txt_InDenryoku", "40");
    f.click("Btn_Adv");
    for (int c = LuminaireNumber; c <= ZoneCecl; ++c)
        QCOMPARE(g.text(5, c), QString());
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("6"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
}

void TestCeclSheet::confirmOnRow220()
{
    CeclFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(220, InUse, "1");
    g.setText(220, RoomName1, QStringLiteral("最後の室"));
    goToRow(f, 220);
    f.sheet->setText("Txt_InDenryoku", "40");
    f.click("Btn_Adv");
    QCOMPARE(g.text(220, InputPower), QStringLiteral("40"));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("220"));
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QStringLiteral("40")); // nothing reloaded
}

void TestCeclSheet::spinnerUpOnRow1Reloads()
{
    CeclFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(1, InUse, "1");
    g.setText(1, InputPower, "40");
    goToRow(f, 1);
    f.sheet->setText("Txt_InDenryoku", "99");
    QTest::mouseClick(f.w<QWidget>("UpDown1")->findChild<QToolButton *>("Up"), Qt::LeftButton);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("1"));
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QStringLiteral("40"));
    QTest::mouseClick(f.w<QWidget>("UpDown1")->findChild<QToolButton *>("Down"), Qt::LeftButton);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("2"));
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QString()); // a free row: the panel cleared
}

void TestCeclSheet::listReleaseLoadsTheZone()
{
    CeclFixture f;
    openOffice(f);
    f.clickCell("SPD_Data", 5, 2);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("5"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("応接室"));
    // A free row keeps its row number with an empty panel.
    f.clickCell("SPD_Data", 40, 2);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("40"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QString());
}

// 玄関ホール of the example: downlights (row 1, 7 W x 58) and indirect lighting (row 2, 19 W x 23)
// in one zone of 48 m2, 3000 h, 0.90, standard 15 W/m2. By hand: 406 + 437 = 843 W; 843 / 48 =
// 17.5625 -> 17.56; 2529 kWh x 0.90 = 2276.1; 15 x 3000 x 48 / 1000 = 2160; 1.0538 -> 1.05.
void TestCeclSheet::joinedZoneSaidUnderThePanel()
{
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    auto *line = f.w<QLabel>("Lbl_Zone");
    goToRow(f, 1);
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("区画「玄関ホール」（1・2 行目）の計算書の値：トータル入力 843 W、照明消費電力 17.56 W/㎡、"
                                          "照明消費電力量 2276.100 kWh、照明エネルギー消費係数 1.05"));
    QCOMPARE(f.box("Txt_Ksyoumei")->text(), QStringLiteral("8.46")); // the row's own luminaire
    // An edit of the second luminaire shows in the zone at once: 406 + 20 x 23 = 866 W; 18.04;
    // 2598 x 0.90 = 2338.2; 1.0825 -> 1.08.
    goToRow(f, 2);
    f.enter("Txt_InDenryoku");
    f.type("20");
    QCOMPARE(line->text(), QStringLiteral("区画「玄関ホール」（1・2 行目）の計算書の値：トータル入力 866 W、照明消費電力 18.04 W/㎡、"
                                          "照明消費電力量 2338.200 kWh、照明エネルギー消費係数 1.08"));
    // A zone of one luminaire says nothing more.
    f.dialogs.answers = {Dialogs::Answer::Discard};
    goToRow(f, 3);
    QVERIFY(!line->isVisible());
}

void TestCeclSheet::tabBarAndPageAgree_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ctrl+Tab in the list") << "ctrl+tab";
    QTest::newRow("Ctrl+Shift+Tab in the list") << "ctrl+shift+tab";
    QTest::newRow("a click on the tab") << "click";
}

void TestCeclSheet::tabBarAndPageAgree()
{
    QFETCH(QString, how);
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    f.clickCell("SPD_Data", 3, 2);
    auto *tabs = f.w<QTabWidget>("STab_Main");
    auto *stack = tabs->findChild<QStackedWidget *>();
    auto *list = f.w<ListGrid>("SPD_Data");
    if (how == u"click")
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    else
        QTest::keyClick(list, Qt::Key_Tab, how == u"ctrl+tab" ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    const int shown = how == u"ctrl+shift+tab" ? 3 : 1;
    QCOMPARE(tabs->currentIndex(), shown);
    QCOMPARE(tabs->tabBar()->currentIndex(), shown);
    QCOMPARE(stack->currentIndex(), shown);
    QVERIFY(tabs->widget(shown)->isVisible());
    QVERIFY(!list->isVisible());
    // Zone 3 keeps its control: nothing chosen by the keys or the click.
    QCOMPARE(f.sheet->recordGrid().text(3, ControlContent), QStringLiteral("適性照度"));
}

void TestCeclSheet::keyboardReachesTheChoices()
{
    CeclFixture f;
    openOffice(f);
    goToRow(f, 3);
    f.enter("Txt_Seigyo");
    QTest::keyClick(f.box("Txt_Seigyo"), Qt::Key_F4);
    QCOMPARE(f.tab(), 1);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Seigyo_0"));
    QCOMPARE(f.w<QLabel>("StatusBar1_Keys")->text(), QStringLiteral("矢印キーで選び、Enter で決定、Esc で入力欄に戻ります。"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Seigyo_3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.box("Txt_Seigyo")->text(), QStringLiteral("ﾀｲﾑｽｹｼﾞｭｰﾙ"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_SyuHosei"));
    QTest::keyClick(f.box("Txt_SyuHosei"), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Syuho_0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(f.focused(), QStringLiteral("Txt_SyuHosei"));
    QCOMPARE(f.tab(), 2);
    // Tab from 編集クリア: back to the row field, never into the buttons.
    f.w<QPushButton>("Btn_Clear")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.w<QPushButton>("Btn_Clear"), Qt::Key_Tab);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
}

void TestCeclSheet::openLeavesTheRowFieldSelected()
{
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QCOMPARE(f.box("Txt_Gyou")->selectedText(), QStringLiteral("1"));
    // Typing 3 then Enter loads zone 3, not 13.
    f.type("3");
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("3"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("事務室"));
}

void TestCeclSheet::longValueShowsItsStart()
{
    CeclFixture f;
    openOffice(f);
    goToRow(f, 3);
    f.sheet->setText(QStringLiteral("Txt_SyouHosei"), QStringLiteral("0.933333333333333"));
    QCOMPARE(f.box("Txt_SyouHosei")->cursorPosition(), 0);
    QCOMPARE(f.box("Txt_SyouHosei")->toolTip(), QStringLiteral("0.933333333333333"));
    // Typed into and left, it shows its start again.
    f.enter("Txt_SyouHosei");
    QTest::keyClick(f.box("Txt_SyouHosei"), Qt::Key_End);
    f.enter("Txt_Kiguban");
    QCOMPARE(f.box("Txt_SyouHosei")->cursorPosition(), 0);
}

void TestCeclSheet::choicesMoveTheFocusOn()
{
    CeclFixture f;
    openOffice(f);
    goToRow(f, 3); // 事務室, 751 lx
    f.enter("Txt_Seigyo");
    f.click("Btn_Seigyo_3");
    QCOMPARE(f.box("Txt_Seigyo")->text(), QStringLiteral("ﾀｲﾑｽｹｼﾞｭｰﾙ"));
    QCOMPARE(f.box("Txt_SeigyoHosei")->text(), QStringLiteral("0.90"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_SyuHosei"));
    QCOMPARE(f.tab(), 2);
    f.click("Btn_Syuho_1");
    QCOMPARE(f.box("Txt_SyuHosei")->text(), QStringLiteral("1.0"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_SyouHosei"));
    QCOMPARE(f.tab(), 3);
    f.click("Btn_Syoho_0");
    QCOMPARE(f.box("Txt_SyouHosei")->text(), QStringLiteral("1.00133333333333"));
    QCOMPARE(f.focused(), QStringLiteral("Btn_Adv"));
    QVERIFY(!f.box("Txt_SyoEne")->text().isEmpty()); // the confirm button's focus computed the zone
}

void TestCeclSheet::optionsWithoutAFileAreRefused()
{
    CeclFixture f;
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Option"))->trigger();
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("ファイルを指定してください。")});
    for (const auto &a : f.dialogs.asked)
        QVERIFY(a.kind != u"dialog");
}

void TestCeclSheet::optionsDialog()
{
    const MasterTables masters = TestEnv::sampleMasters();
    RecordGrid g(221, 140);
    FCECLOP dialog(g, masters);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("CEC/Lｵﾌﾟｼｮﾝ"));
    auto *type = dialog.findChild<QComboBox *>(QStringLiteral("Cmb_Tate"));
    auto *kani = dialog.findChild<QCheckBox *>(QStringLiteral("Chk_Kani"));
    auto *kan2 = dialog.findChild<QRadioButton *>(QStringLiteral("Op_Kan2"));
    // A fresh file: both links on, no simplification, the method written "0" at once.
    QCOMPARE(type->currentText(), QString());
    QCOMPARE(type->count(), 6);
    QCOMPARE(type->itemText(3), QStringLiteral("事務所"));
    QVERIFY(!kani->isChecked());
    QVERIFY(!kan2->isEnabled());
    QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("Chk_Ws"))->isChecked());
    QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("Chk_T"))->isChecked());
    QCOMPARE(g.text(221, SimplifiedMethod), QStringLiteral("0"));
    QCOMPARE(kani->text(), QStringLiteral("  計算の簡略化"));
    // Method Ⅱ chosen, then the simplification unchecked: "0" is stored.
    type->setCurrentIndex(4);
    kani->setChecked(true);
    QVERIFY(kan2->isEnabled());
    kan2->setChecked(true);
    kani->setChecked(false);
    QVERIFY(kan2->isChecked()); // its choice is kept
    dialog.accept();
    QCOMPARE(g.text(221, SimplifiedMethod), QStringLiteral("0"));
    QCOMPARE(g.text(221, BuildingType), QStringLiteral("4"));
    // Loaded again, with method Ⅲ stored.
    g.setText(221, SimplifiedMethod, "3");
    g.setText(221, LinkStandardHours, "0");
    FCECLOP again(g, masters);
    QCOMPARE(again.findChild<QComboBox *>(QStringLiteral("Cmb_Tate"))->currentText(), QStringLiteral("学校"));
    QVERIFY(again.findChild<QCheckBox *>(QStringLiteral("Chk_Kani"))->isChecked());
    QVERIFY(again.findChild<QRadioButton *>(QStringLiteral("Op_Kan3"))->isChecked());
    QVERIFY(!again.findChild<QCheckBox *>(QStringLiteral("Chk_T"))->isChecked());
}

void TestCeclSheet::optionsRefuseCancelWithoutType()
{
    ScriptedDialogs dialogs;
    const MasterTables masters = TestEnv::sampleMasters();
    RecordGrid g(221, 140);
    FCECLOP dialog(g, masters);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("CancelButton")), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialogs.messages(), QStringList(2, QStringLiteral("建物の種類を設定してください。")));
    QCOMPARE(g.text(221, BuildingType), QString());
    // Esc closes at once, without writing.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(g.text(221, BuildingType), QString());
    // With a type, Cancel closes without writing either.
    FCECLOP typed(g, masters);
    typed.show();
    typed.findChild<QComboBox *>(QStringLiteral("Cmb_Tate"))->setCurrentIndex(2);
    QTest::mouseClick(typed.findChild<QPushButton *>(QStringLiteral("CancelButton")), Qt::LeftButton);
    QVERIFY(!typed.isVisible());
    QCOMPARE(g.text(221, BuildingType), QString());
}

void TestCeclSheet::illuminanceFileOpensAsZones()
{
    CeclFixture f(TestEnv::sampleMasters());
    openOffice(f);
    QCOMPARE(f.dialogs.asked.last().kind, QStringLiteral("dialog")); // no building type: the options
    QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("F_CECL_OP"));
    const RecordGrid &g = f.sheet->recordGrid();
    QCOMPARE(g.colCount(), 140);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("1"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("玄関ホール"));
    QCOMPARE(f.box("Txt_Syoudo")->text(), QStringLiteral("203"));
    // The values the options copied in are on the panel at once: Confirm keeps them.
    QCOMPARE(f.box("Txt_HSyoumei")->text(), QStringLiteral("15"));
    QCOMPARE(f.box("Txt_HTentou")->text(), QStringLiteral("3000"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(3, 2), QStringLiteral("事務室"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    // The links copied the office values of the room master into the zones.
    QCOMPARE(g.text(3, StandardPower), QStringLiteral("20"));
    QCOMPARE(g.text(3, StandardHours), QStringLiteral("2700"));
    QCOMPARE(f.sheet->windowTitle(), QStringLiteral("CEC/L計算書 - office-3f.syw[*]"));
}

void TestCeclSheet::ceclFileReopensWithoutQuestion()
{
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    for (const auto &a : f.dialogs.asked)
        QVERIFY(a.kind != u"dialog");
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QStringLiteral("7"));
    QCOMPARE(f.box("Txt_Seigyo")->text(), QStringLiteral("ﾀｲﾑｽｹｼﾞｭｰﾙ"));
    QVERIFY(!f.sheet->isWindowModified());
}

void TestCeclSheet::failedOpenChangesNothing()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.syw"));
    TestEnv::writeBytes(bad, "1,\"unclosed\r\n");
    CeclFixture f;
    openOffice(f);
    const RecordGrid before = f.sheet->recordGrid();
    f.box("Txt_InDenryoku")->setText("55");
    f.dialogs.paths = {bad};
    f.dialogs.answers = {Dialogs::Answer::Discard};
    f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.dialogs.messages().last(), QStringLiteral("データの読込に失敗しました。"));
    QCOMPARE(f.sheet->recordGrid(), before);
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QStringLiteral("55"));
    QCOMPARE(f.sheet->currentFileName(), officeFile());
    QCOMPARE(f.sheet->dialogFileName(), officeFile()); // the report still names the file loaded
}

void TestCeclSheet::newSheet()
{
    CeclFixture f;
    f.sheet->recordGrid().setText(221, 1, QStringLiteral("見出し"));
    f.sheet->Menu_File_New_Click();
    QVERIFY(f.dialogs.messages().isEmpty()); // no zone in use: no question
    QCOMPARE(f.sheet->recordGrid().text(221, 1), QString());
    QCOMPARE(f.sheet->recordGrid().colCount(), 140);
    openOffice(f);
    // Just opened from an illuminance file, with options: changes, so the question of closing.
    QVERIFY(f.sheet->isWindowModified());
    f.dialogs.answers = {Dialogs::Answer::Cancel};
    f.sheet->Menu_File_New_Click();
    QCOMPARE(f.dialogs.messages().last(), QStringLiteral("「office-3f.syw」への変更を保存しますか？"));
    QCOMPARE(f.sheet->recordGrid().text(1, InUse), QStringLiteral("1"));
    f.dialogs.answers = {Dialogs::Answer::Discard};
    f.sheet->Menu_File_New_Click();
    QCOMPARE(f.dialogs.messages().size(), 2); // no second question after 保存しない
    QCOMPARE(f.sheet->recordGrid().text(1, InUse), QString());
    QCOMPARE(f.sheet->currentFileName(), QString());
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("1"));
}

void TestCeclSheet::drivenAsAUser()
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("cecl.syw"));
    CeclFixture f(TestEnv::sampleMasters());
    // Open the example illuminance file; the options come up: 事務所, both links on.
    openOffice(f, 3);
    // Zone 3 (事務室): input power typed, then the three choices picked with the mouse.
    goToRow(f, 3);
    QTest::keyClicks(f.box("Txt_Kiguban"), QStringLiteral("A-1"));
    f.enter("Txt_InDenryoku");
    QTest::keyClicks(f.box("Txt_InDenryoku"), QStringLiteral("86"));
    f.enter("Txt_Seigyo");
    f.click("Btn_Seigyo_0");  // 在室検知
    f.click("Btn_Syuho_1");   // その他
    f.click("Btn_Syoho_0");   // 物品販売業を営む店舗の売場および事務所の事務室
    f.click("Btn_Adv");
    const RecordGrid &g = f.sheet->recordGrid();
    const QStringList expected = {"A-1", "20", "2700", "86", "3956", "18.31", "10681.2", QStringLiteral("在室検知"),
                                  "0.80", "1.0", "1.00133333333333", "8544.960", "11679.552", "0.73"};
    for (int c = LuminaireNumber; c <= ZoneCecl; ++c)
        QCOMPARE(g.text(3, c), expected[c - LuminaireNumber]);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("4"));
    QVERIFY(f.sheet->isWindowModified());
    // Saved and reopened: the values come back.
    f.dialogs.paths = {saved};
    f.sheet->Menu_File_NSave_Click();
    CeclFixture again(TestEnv::sampleMasters());
    again.dialogs.paths = {saved};
    again.sheet->Menu_File_Open_Click();
    for (int c = LuminaireNumber; c <= ZoneCecl; ++c)
        QCOMPARE(again.sheet->recordGrid().text(3, c), expected[c - LuminaireNumber]);
    QCOMPARE(again.sheet->recordGrid().text(221, BuildingType), QStringLiteral("3"));
    goToRow(again, 3);
    QCOMPARE(again.box("Txt_SyoEne")->text(), QStringLiteral("0.73"));
}

namespace {

QString ceclExample()
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"));
}

QStringList derivedOf(const RecordGrid &g, int row)
{
    QStringList out;
    for (int c : {TotalInput, PlannedPowerDensity, AnnualEnergy, LightingEnergy, VirtualEnergy, ZoneCecl})
        out.append(g.text(row, c));
    return out;
}

} // namespace

void TestCeclSheet::figuresFollowTheOptions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hotel.syw"));
    QFile::copy(ceclExample(), path);
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {path};
    f.sheet->Menu_File_Open_Click();
    QVERIFY(!f.sheet->isWindowModified()); // the example's figures agree with its inputs
    // ホテル又は旅館, links on: 1F 廊下 (row 9) gets 10 W/m2 and 8760 h from the room master.
    f.dialogs.dialogAnswers = {chooseOptions(0)};
    f.sheet->Menu_Option_Click();
    const RecordGrid &g = f.sheet->recordGrid();
    QCOMPARE(g.text(9, StandardHours), QStringLiteral("8760"));
    // 45 W x 10 = 450 W; 450 / 60 = 7.5; 8760 x 450 / 1000 = 3942 kWh; x 0.90 = 3547.8;
    // 10 x 8760 x 60 / 1000 = 5256; 3547.8 / 5256 = 0.675 -> 675, d 5 -> 0.68.
    const QStringList hotel = {"450", "7.5", "3942", "3547.800", "5256.000", "0.68"};
    QCOMPARE(derivedOf(g, 9), hotel);
    QVERIFY(f.sheet->isWindowModified());
    QVERIFY(f.sheet->windowTitle().endsWith(QStringLiteral("[*]")));
    f.sheet->Menu_File_Save_Click();
    CeclFixture again(TestEnv::sampleMasters());
    again.dialogs.paths = {path};
    again.sheet->Menu_File_Open_Click();
    QCOMPARE(derivedOf(again.sheet->recordGrid(), 9), hotel);
    QVERIFY(!again.sheet->isWindowModified()); // stored as they follow from the inputs
}

void TestCeclSheet::openingFollowsTheIlluminanceSheet()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("more-fittings.syw"));
    RecordGrid file(221, 140);
    QVERIFY(WorkFile::load(file, ceclExample()));
    // The illuminance sheet gave 1F 廊下 two fittings more, typed (台数 no longer 自動).
    file.setText(9, FittingCount, "12");
    file.setText(9, 38, "0");
    QVERIFY(WorkFile::save(file, path));
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {path};
    f.sheet->Menu_File_Open_Click();
    // 45 W x 12 = 540 W; 540 / 60 = 9; 3000 h: 1620 kWh, x 0.90 = 1458; 8 x 3000 x 60 / 1000 = 1440;
    // 1458 / 1440 = 1.0125 -> 1012 (halves to even), d 2 -> 1.01.
    QCOMPARE(derivedOf(f.sheet->recordGrid(), 9), (QStringList{"540", "9", "1620", "1458.000", "1440.000", "1.01"}));
    QVERIFY(f.sheet->isWindowModified());
}

void TestCeclSheet::optionsKeepWhatWasTyped()
{
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {ceclExample()};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 9);
    f.box("Txt_Kiguban")->selectAll();
    QTest::keyClicks(f.box("Txt_Kiguban"), QStringLiteral("Z-9"));
    f.enter("Txt_InDenryoku");
    QTest::keyClicks(f.box("Txt_InDenryoku"), QStringLiteral("50"));
    QVERIFY(f.sheet->isWindowModified()); // typed, not yet confirmed
    f.dialogs.dialogAnswers = {chooseOptions(0)};
    f.sheet->Menu_Option_Click();
    QCOMPARE(f.box("Txt_Kiguban")->text(), QStringLiteral("Z-9"));
    QCOMPARE(f.box("Txt_InDenryoku")->text(), QStringLiteral("50"));
    QCOMPARE(f.box("Txt_HSyoumei")->text(), QStringLiteral("10"));
    QCOMPARE(f.box("Txt_HTentou")->text(), QStringLiteral("8760"));
    QCOMPARE(f.box("Txt_TotalIn")->text(), QStringLiteral("500"));
    QCOMPARE(f.sheet->recordGrid().text(9, InputPower), QStringLiteral("45")); // not confirmed
    f.click("Btn_Adv");
    QCOMPARE(f.sheet->recordGrid().text(9, InputPower), QStringLiteral("50"));
    QCOMPARE(f.sheet->recordGrid().text(9, LuminaireNumber), QStringLiteral("Z-9"));
}

void TestCeclSheet::roundTripBetweenTheSheets()
{
    QTemporaryDir dir;
    // The CEC/L example through the illuminance sheet: every column survives its save.
    const QString cecl = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-cecl.syw"));
    const QString viaIlluminance = dir.filePath(QStringLiteral("via-illuminance.syw"));
    {
        SheetFixture s(TestEnv::sampleMasters());
        s.dialogs.paths = {cecl, viaIlluminance};
        s.sheet->Menu_File_Open_Click();
        s.sheet->Menu_File_NSave_Click();
    }
    QCOMPARE(TestEnv::readBytes(viaIlluminance), TestEnv::readBytes(cecl));
    // The illuminance example through the CEC/L sheet: the room columns are untouched.
    const QString viaCecl = dir.filePath(QStringLiteral("via-cecl.syw"));
    CeclFixture f(TestEnv::sampleMasters());
    openOffice(f);
    f.dialogs.paths = {viaCecl};
    f.sheet->Menu_File_NSave_Click();
    RecordGrid original(221, 38);
    RecordGrid back(221, 38);
    QVERIFY(WorkFile::load(original, officeFile()));
    QVERIFY(WorkFile::load(back, viaCecl));
    QCOMPARE(back.colCount(), 140);
    for (int r = 1; r <= 221; ++r)
        for (int c = 1; c <= 38; ++c)
            QCOMPARE(back.text(r, c), original.text(r, c));
}

QTEST_MAIN(TestCeclSheet)
#include "tst_cecl_sheet.moc"
