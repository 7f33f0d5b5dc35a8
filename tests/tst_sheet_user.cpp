// The sheets as a user meets them in the first hour: focus, keys, the lamp entry, window sizes,
// the question before losing changes, Japanese dialogs, full-width digits, refused values.
#include "grid/WorkFile.h"
#include "beil/FBEIL.h"
#include "cecl/ZoneRecord.h"
#include "illuminance/RoomRecord.h"
#include "master/FixedField.h"
#include "ui/UpDownButtons.h"
#include "report/ReportOutput.h"
#include "support/SheetFixture.h"
#include "support/XlsxReader.h"
#include "ui/QtDialogs.h"
#include "ui/Translations.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QTemporaryDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QPointer>
#include <QTableWidgetItem>
#include <QTimer>
#include <QToolButton>

using namespace RoomRecord;

namespace {

// A room with a master lamp (FLR40S-W, 2 per fitting) and luminaire 1, committed at `row`.
void commitPickedRoom(SheetFixture &f, int row, const QString &name)
{
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QString::number(row));
    f.enter("Txt_Shitsu");
    f.box("Txt_Shitsu")->setText(name);
    f.clickCell("Spd_Syoumei", 1, 1);
    f.clickCell("Spd_Kougen", 7, 1);
    f.type("2");
    f.enter("Txt_Syoudo1");
    f.sheet->Btn_Adv_Click();
}

// A shown, active sheet as the menu opens it: nothing focused by the test.
std::unique_ptr<FSyoudo> openedSheet(MasterTables &masters, const QString &workFolder)
{
    auto sheet = std::make_unique<FSyoudo>(masters, workFolder);
    sheet->show();
    QApplication::setActiveWindow(sheet.get());
    if (!QTest::qWaitForWindowActive(sheet.get()))
        qWarning("sheet window not active");
    QApplication::processEvents();
    return sheet;
}

} // namespace

class TestSheetUser : public QObject
{
    Q_OBJECT
private slots:
    void rowFieldSelectedAtOpening();
    void keyReleasedInTheListThatWasPressedElsewhere();
    void tabLeavesTheList();
    void loadingARowClosesTheLampEntry();
    void tabInTheLampEntryGoesToLampsPerFitting();
    void clickElsewhereClosesTheLampEntry();
    void pickFromAnotherFieldKeepsLampsPerFittingOpen();
    void fluxBoxFollowsTheLamp();
    void maintenanceChoicesFollowTheLuminaire();
    void titleAndModifiedMark();
    void closingAsksBeforeLosingChanges_data();
    void closingAsksBeforeLosingChanges();
    void anotherProgramsChangeIsAskedAbout_data();
    void anotherProgramsChangeIsAskedAbout();
    void newAndOpenAskAboutTypedEdits_data();
    void newAndOpenAskAboutTypedEdits();
    void saveAsConfirmsReplacing();
    void smallWindowScrollsThePanel();
    void actionButtonsAlwaysInSight_data();
    void actionButtonsAlwaysInSight();
    void keyboardReachesThePickLists();
    void pickListsReachEverySlot_data();
    void pickListsReachEverySlot();
    void previewFitsTheScreen_data();
    void previewFitsTheScreen();
    void japaneseStandardDialogs();
    void previewSavesBesideTheWorkFile();
    void fileDialogsOpenWhereTheWorkIs();
    void fileDialogWithoutAFolderOpensInTheDocuments();
    void fullWidthDigits_data();
    void fullWidthDigits();
    void refusedValueSaysWhy();
    void rowFieldTakesWholeRows_data();
    void rowFieldTakesWholeRows();
    void passingThroughTheRowFieldKeepsEdits();
    void fileShortcuts_data();
    void fileShortcuts();
    void rowChangeAsksAboutUnconfirmedEdits_data();
    void rowChangeAsksAboutUnconfirmedEdits();
    void edgeRowsKeepUnconfirmedEdits_data();
    void edgeRowsKeepUnconfirmedEdits();
    void refusedValueKeepsThePanelOnItsRow();
    void confirmStoresWhatWasTyped_data();
    void confirmStoresWhatWasTyped();
    void capacityFollowsTheLampsOnTheSheet();
    void questionsDefaultToTheSafeAnswer_data();
    void questionsDefaultToTheSafeAnswer();
    void unconfirmedEditOutlivesPreviewPrintAndOptions_data();
    void unconfirmedEditOutlivesPreviewPrintAndOptions();
    void sheetOutlivesItsFileDialog_data();
    void sheetOutlivesItsFileDialog();
};

void TestSheetUser::rowFieldSelectedAtOpening()
{
    TestEnv env;
    ScriptedDialogs dialogs;
    MasterTables masters = TestEnv::knownMasters();
    auto sheet = openedSheet(masters, env.workFolder());
    auto *gyou = sheet->findChild<QLineEdit *>(QStringLiteral("Txt_Gyou"));
    QCOMPARE(QApplication::focusWidget(), gyou);
    QCOMPARE(gyou->selectedText(), QStringLiteral("1"));
    // Typing 3 gives row 3, not 13.
    QTest::keyClicks(gyou, QStringLiteral("3"));
    QCOMPARE(gyou->text(), QStringLiteral("3"));
}

void TestSheetUser::keyReleasedInTheListThatWasPressedElsewhere()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(1, InUse, "1");
    g.setText(1, RoomName1, QStringLiteral("事務室"));
    f.sheet->Screen_Set(1);
    f.box("Txt_Shitsu")->setText(QStringLiteral("編集中の名前"));
    // Tab pressed on the clear button lands the focus in the list; its release follows there.
    auto *list = f.w<ListGrid>("SPD_Data");
    list->setFocus(Qt::TabFocusReason);
    QTest::keyRelease(list, Qt::Key_Tab);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("編集中の名前"));
    // A key pressed in the list still counts.
    list->setActiveCell(1, 1);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("2"));
}

void TestSheetUser::tabLeavesTheList()
{
    SheetFixture f;
    auto *list = f.w<ListGrid>("SPD_Data");
    list->setFocus(Qt::MouseFocusReason);
    list->setActiveCell(5, 1);
    QTest::keyClick(list, Qt::Key_Right);
    QCOMPARE(f.focused(), QStringLiteral("SPD_Data")); // the arrows move inside
    QTest::keyClick(list, Qt::Key_Tab);
    QVERIFY(f.focused() != u"SPD_Data");
    list->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(list, Qt::Key_Backtab);
    QVERIFY(f.focused() != u"SPD_Data");
}

void TestSheetUser::loadingARowClosesTheLampEntry()
{
    SheetFixture f(TestEnv::sampleMasters());
    commitPickedRoom(f, 1, QStringLiteral("事務室"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("1");
    f.enter("Txt_Kai"); // row 1 loaded
    f.enter("Txt_Kougen");
    QVERIFY(f.box("Txt_WKougen")->isVisible());
    // Another row, and back: the stored lamp name shows, the pair closed.
    QTest::mouseClick(f.w<QWidget>("UpDown1")->findChild<QToolButton *>("Down"), Qt::LeftButton);
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
    QVERIFY(!f.box("Txt_WTousu")->isVisible());
    QTest::mouseClick(f.w<QWidget>("UpDown1")->findChild<QToolButton *>("Up"), Qt::LeftButton);
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FLR40S-W-2"));
    f.click("Btn_Clear");
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
}

void TestSheetUser::tabInTheLampEntryGoesToLampsPerFitting()
{
    SheetFixture f;
    f.enter("Txt_Kougen");
    QCOMPARE(f.focused(), QStringLiteral("Txt_WKougen"));
    // Alone, the entry covers the name box whole: no strip of it beside.
    QCOMPARE(f.box("Txt_WKougen")->width(), f.w<QWidget>("LampBox")->width());
    QTest::keyClicks(f.box("Txt_WKougen"), QStringLiteral("FDL27EX-N"));
    QTest::keyClick(f.box("Txt_WKougen"), Qt::Key_Tab);
    QCOMPARE(f.focused(), QStringLiteral("Txt_WTousu"));
    QVERIFY(f.box("Txt_WTousu")->isVisible());
    f.type("2");
    f.enter("Txt_Syoudo1");
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FDL27EX-N-2"));
}

void TestSheetUser::clickElsewhereClosesTheLampEntry()
{
    SheetFixture f;
    f.enter("Txt_Kougen");
    QTest::keyClicks(f.box("Txt_WKougen"), QStringLiteral("FDL27EX-N"));
    QTest::mouseClick(f.box("Txt_Maguchi"), Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(f.focused(), QStringLiteral("Txt_Maguchi"));
    QVERIFY(!f.box("Txt_WKougen")->isVisible());
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FDL27EX-N"));
}

void TestSheetUser::pickFromAnotherFieldKeepsLampsPerFittingOpen()
{
    SheetFixture f(TestEnv::sampleMasters());
    f.enter("Txt_Syoudo1");
    f.w<QTabWidget>("STab_Main")->setCurrentIndex(3);
    f.clickCell("Spd_Kougen", 7, 1);
    QVERIFY(f.box("Txt_WTousu")->isVisible());
    QCOMPARE(f.focused(), QStringLiteral("Txt_WTousu"));
    f.type("2");
    f.enter("Txt_Maguchi");
    QCOMPARE(f.box("Txt_Kougen")->text(), QStringLiteral("FLR40S-W-2"));
    QCOMPARE(f.box("Txt_Kousoku")->text().trimmed(), QStringLiteral("3000"));
}

void TestSheetUser::fluxBoxFollowsTheLamp()
{
    SheetFixture f(TestEnv::sampleMasters());
    commitPickedRoom(f, 1, QStringLiteral("事務室"));
    f.sheet->Screen_Set(1);
    QVERIFY(!f.box("Txt_Kousoku")->isEnabled()); // a master lamp gives the flux
    f.click("Btn_Clear");
    QVERIFY(f.box("Txt_Kousoku")->isEnabled());
    f.sheet->Screen_Set(1);
    f.sheet->Screen_Set(2); // a free row
    QVERIFY(f.box("Txt_Kousoku")->isEnabled());
    f.sheet->recordGrid().setText(3, InUse, "1");
    f.sheet->recordGrid().setText(3, LampName, QStringLiteral("手入力ランプ"));
    f.sheet->Screen_Set(1);
    f.sheet->Screen_Set(3); // a lamp typed by hand
    QVERIFY(f.box("Txt_Kousoku")->isEnabled());
}

void TestSheetUser::maintenanceChoicesFollowTheLuminaire()
{
    SheetFixture f(TestEnv::sampleMasters());
    commitPickedRoom(f, 1, QStringLiteral("事務室"));
    f.sheet->Screen_Set(1);
    // Reached by a click on its tab, after the row was loaded.
    f.w<QTabWidget>("STab_Main")->setCurrentIndex(5);
    const LuminaireRecord &lum = f.masters.luminaire(f.sheet->state().luminaireIndex);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Hosyu_%1").arg(i))->text(), lum.maintenanceFactor(i + 1));
        QVERIFY(f.w<QPushButton>(QStringLiteral("Btn_Hosyu_%1").arg(i))->isEnabled());
    }
    // No luminaire: nothing to choose, and no button writes an empty factor.
    f.click("Btn_Clear");
    f.box("Txt_Horitsu")->setText("0.70");
    QCOMPARE(f.w<QLabel>("Lbl_Hosyu_1")->text(), QString());
    QVERIFY(!f.w<QPushButton>("Btn_Hosyu_1")->isEnabled());
    f.click("Btn_Hosyu_1");
    QCOMPARE(f.box("Txt_Horitsu")->text(), QStringLiteral("0.70"));
}

void TestSheetUser::titleAndModifiedMark()
{
    SheetFixture f;
    QTemporaryDir dir;
    QVERIFY(!f.sheet->isWindowModified());
    f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
    QVERIFY(!f.sheet->isWindowModified()); // the program filling a box is no edit
    f.enter("Txt_Shitsu2");
    f.type(QStringLiteral("（北）")); // typed by the user: modified before any Confirm
    QVERIFY(f.sheet->isWindowModified());
    f.sheet->Btn_Adv_Click();
    QVERIFY(f.sheet->isWindowModified());
    f.dialogs.paths = {dir.filePath(QStringLiteral("office.syw"))};
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.sheet->windowTitle(), QStringLiteral("照度計算書 - office.syw[*]"));
    QVERIFY(!f.sheet->isWindowModified());
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("1");
    f.enter("Txt_Kai");
    f.box("Txt_Shitsu")->setText(QStringLiteral("会議室"));
    f.sheet->Btn_Adv_Click();
    QVERIFY(f.sheet->isWindowModified());
    f.sheet->Menu_File_Save_Click();
    QVERIFY(!f.sheet->isWindowModified());
}

void TestSheetUser::closingAsksBeforeLosingChanges_data()
{
    QTest::addColumn<bool>("typedOnly"); // the room typed on the panel, never confirmed
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    const int cancel = int(Dialogs::Answer::Cancel), discard = int(Dialogs::Answer::Discard), save = int(Dialogs::Answer::Save);
    QTest::newRow("confirmed: cancel") << false << cancel << true << false << false;
    QTest::newRow("confirmed: discard") << false << discard << true << true << false;
    QTest::newRow("confirmed: save") << false << save << true << true << true;
    QTest::newRow("typed only: save confirms it") << true << save << true << true << true;
    QTest::newRow("typed only: discard") << true << discard << true << true << false;
    QTest::newRow("save fails: window and data stay") << true << save << false << false << false;
}

void TestSheetUser::closingAsksBeforeLosingChanges()
{
    QFETCH(bool, typedOnly);
    QFETCH(int, answer);
    QFETCH(bool, writable);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    // A folder that does not exist cannot take the file.
    const QString path = dir.filePath(writable ? QStringLiteral("office.syw") : QStringLiteral("gone/office.syw"));
    SheetFixture f;
    f.enter("Txt_Shitsu");
    f.type(QStringLiteral("事務室"));
    if (!typedOnly)
        f.sheet->Btn_Adv_Click();
    f.dialogs.answers = {Dialogs::Answer(answer)};
    f.dialogs.paths = {path}; // saving without a name asks for one
    const bool closed = f.sheet->close();
    QCOMPARE(closed, closes);
    QCOMPARE(f.dialogs.asked.first().buttons, Dialogs::Buttons::SaveDiscardCancel);
    QCOMPARE(f.dialogs.asked.first().text, QStringLiteral("変更されたデータを保存しますか？"));
    QCOMPARE(QFile::exists(path), saved);
    if (saved) {
        RecordGrid file(221, 38);
        QVERIFY(WorkFile::load(file, path));
        QCOMPARE(file.text(1, RoomName1), QStringLiteral("事務室"));
    }
    if (closed) {
        f.sheet.release(); // deleted on close
        return;
    }
    QVERIFY(f.sheet->isVisible());
    QVERIFY(f.sheet->isWindowModified());
    if (!writable)
        QCOMPARE(f.dialogs.messages().last(), QStringLiteral("データを保存できませんでした。"));
    // Kept: in the grid once confirmed (保存する confirms before saving), else on the panel.
    if (typedOnly && writable)
        QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("事務室"));
    else
        QCOMPARE(f.sheet->recordGrid().text(1, RoomName1), QStringLiteral("事務室"));
}

void TestSheetUser::anotherProgramsChangeIsAskedAbout_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("sameSize"); // their edit keeps the file's size and time: only its bytes differ
    QTest::newRow("no: nothing saved") << int(Dialogs::Answer::No) << false;
    QTest::newRow("yes: overwritten") << int(Dialogs::Answer::Yes) << false;
    QTest::newRow("same size and time, no: nothing saved") << int(Dialogs::Answer::No) << true;
}

void TestSheetUser::anotherProgramsChangeIsAskedAbout()
{
    QFETCH(int, answer);
    QFETCH(bool, sameSize);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("office.syw"));
    SheetFixture f;
    commitPickedRoom(f, 1, QStringLiteral("事務室"));
    f.dialogs.paths = {path};
    f.sheet->Menu_File_NSave_Click();
    const QByteArray saved = TestEnv::readBytes(path);
    const QDateTime savedTime = QFileInfo(path).lastModified();
    // Another copy of the program, under another user, saves its own edit meanwhile.
    RecordGrid theirs(221, 38);
    QVERIFY(WorkFile::load(theirs, path));
    if (sameSize)
        theirs.setText(1, RoomName1, QStringLiteral("会議室")); // 事務室 → 会議室: the same six bytes
    else
        theirs.setText(1, RoomName2, QStringLiteral("（他の人の変更）"));
    QVERIFY(WorkFile::save(theirs, path));
    if (sameSize) {
        QCOMPARE(QFileInfo(path).size(), qint64(saved.size()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(savedTime, QFileDevice::FileModificationTime));
    }
    const QByteArray before = TestEnv::readBytes(path);
    commitPickedRoom(f, 2, QStringLiteral("会議室"));
    f.dialogs.answers = {Dialogs::Answer(answer)};
    f.sheet->Menu_File_Save_Click();
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("「office.syw」は他のプログラムで変更されています。上書きしますか？")});
    QCOMPARE(f.dialogs.asked.last().icon, Dialogs::Icon::Warning);
    QCOMPARE(f.dialogs.asked.last().buttons, Dialogs::Buttons::YesNo);
    if (Dialogs::Answer(answer) == Dialogs::Answer::No) {
        QCOMPARE(TestEnv::readBytes(path), before);
        QVERIFY(f.sheet->isWindowModified());
        return;
    }
    RecordGrid file(221, 38);
    QVERIFY(WorkFile::load(file, path));
    QCOMPARE(file.text(2, RoomName1), QStringLiteral("会議室"));
    QVERIFY(!f.sheet->isWindowModified());
    // Saved by this sheet: the next save asks nothing.
    f.dialogs.asked.clear();
    f.sheet->Menu_File_Save_Click();
    QVERIFY(f.dialogs.asked.isEmpty());
}

void TestSheetUser::newAndOpenAskAboutTypedEdits_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("new") << "new";
    QTest::newRow("open") << "open";
}

void TestSheetUser::newAndOpenAskAboutTypedEdits()
{
    QFETCH(QString, operation);
    SheetFixture f;
    f.enter("Txt_Shitsu");
    f.type(QStringLiteral("事務室"));
    f.dialogs.answers = {Dialogs::Answer::Cancel};
    if (operation == u"new")
        f.sheet->Menu_File_New_Click();
    else
        f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("変更されたデータを保存しますか？")});
    QCOMPARE(f.dialogs.asked.size(), 1); // cancelled: no file dialog either
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("事務室"));
}

void TestSheetUser::saveAsConfirmsReplacing()
{
    QFileDialog *seen = nullptr;
    bool confirms = false;
    QTimer::singleShot(100, [&] {
        seen = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (seen) {
            confirms = !seen->testOption(QFileDialog::DontConfirmOverwrite);
            seen->reject();
        }
    });
    QtDialogs dialogs;
    QCOMPARE(dialogs.saveFile(nullptr, QStringLiteral("*.syw"), QStringLiteral("照度(*.syw)|*.syw"), 1), QString());
    QVERIFY(seen);
    QVERIFY(confirms);
}

void TestSheetUser::smallWindowScrollsThePanel()
{
    SheetFixture f;
    QVERIFY(f.sheet->minimumWidth() >= 1000 && f.sheet->minimumHeight() >= 500);
    // 1366 x 768 at 125 %: about 1093 x 560 for the window.
    f.sheet->resize(1000, 500);
    QApplication::processEvents();
    auto *area = f.w<QScrollArea>("PanelArea");
    QVERIFY(area->verticalScrollBar()->isVisible());
    for (const char *group : {"Grp_Size", "Grp_Hansya"}) {
        auto *g = f.w<QGroupBox>(QString::fromLatin1(group));
        QVERIFY2(g->height() >= g->sizeHint().height(), group);
    }
    for (QLineEdit *box : f.sheet->findChildren<QLineEdit *>())
        QVERIFY2(!box->isVisible() || box->height() >= box->sizeHint().height() - 2, qPrintable(box->objectName()));
    // Moving through the panel keeps the focused box wholly in sight: the last box, then the
    // row field again after Confirm reached by Enter.
    const auto inSight = [area](QWidget *w) {
        const QRect r(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
        return area->viewport()->rect().contains(r);
    };
    f.enter("Txt_Biko2");
    QVERIFY(area->verticalScrollBar()->value() > 0);
    QVERIFY(inSight(f.box("Txt_Biko2")));
    QTest::keyClick(f.box("Txt_Biko2"), Qt::Key_Return);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Adv"));
    f.click("Btn_Adv");
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
    QVERIFY(inSight(f.box("Txt_Gyou")));
}

void TestSheetUser::actionButtonsAlwaysInSight_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QSize>("size");
    for (const char *sheet : {"illuminance", "CEC/L", "BEI/L"}) {
        QTest::addRow("%s, 1366x768 at 125 %%", sheet) << QString::fromLatin1(sheet) << QSize(1093, 560);
        QTest::addRow("%s, smallest window", sheet) << QString::fromLatin1(sheet) << QSize(1000, 500);
    }
}

// 確認 and 編集クリア stand below the scrolling panel: in sight wherever the panel is scrolled.
void TestSheetUser::actionButtonsAlwaysInSight()
{
    QFETCH(QString, sheet);
    QFETCH(QSize, size);
    TestEnv env;
    const MasterTables masters = TestEnv::knownMasters();
    std::unique_ptr<SheetFrame> frame;
    if (sheet == u"illuminance")
        frame = std::make_unique<FSyoudo>(const_cast<MasterTables &>(masters), env.workFolder());
    else if (sheet == u"CEC/L")
        frame = std::make_unique<FCECL>(masters, env.workFolder());
    else
        frame = std::make_unique<FBEIL>(masters, env.workFolder());
    frame->show();
    frame->resize(size);
    QApplication::processEvents();
    auto *area = frame->findChild<QScrollArea *>(QStringLiteral("PanelArea"));
    const QRect window = frame->centralWidget()->rect();
    for (const int position : {area->verticalScrollBar()->minimum(), area->verticalScrollBar()->maximum()}) {
        area->verticalScrollBar()->setValue(position);
        QApplication::processEvents();
        for (const char *name : {"Btn_Adv", "Btn_Clear"}) {
            auto *button = frame->findChild<QPushButton *>(QString::fromLatin1(name));
            QVERIFY2(!area->isAncestorOf(button), name);
            QVERIFY2(button->isVisible(), name);
            const QRect r(button->mapTo(frame->centralWidget(), QPoint(0, 0)), button->size());
            QVERIFY2(window.contains(r), name);
        }
    }
}

void TestSheetUser::keyboardReachesThePickLists()
{
    SheetFixture f(TestEnv::sampleMasters());
    // From the luminaire box: F4 opens its list with the focus on the first cell; Enter picks.
    f.enter("Txt_Kigu");
    QCOMPARE(f.w<QLabel>("StatusBar1_Keys")->text(), QStringLiteral("F4 または Alt+↓ でこの欄の選択肢に移ります。"));
    QTest::keyClick(f.box("Txt_Kigu"), Qt::Key_F4);
    QCOMPARE(f.tab(), 2);
    QCOMPARE(f.focused(), QStringLiteral("Spd_Syoumei"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    const QString cell = f.w<ListGrid>("Spd_Syoumei")->cellText(2, 1);
    QVERIFY(!cell.isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.sheet->state().luminaireIndex, cell.section(u':', 0, 0).toInt());
    QVERIFY(cell.contains(f.box("Txt_Kigu")->text()));
    // Tab leaves the list and picks nothing.
    const int picked = f.sheet->state().luminaireIndex;
    f.enter("Txt_Kigu");
    QTest::keyClick(f.box("Txt_Kigu"), Qt::Key_F4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(f.focused() != u"Spd_Syoumei");
    QCOMPARE(f.sheet->state().luminaireIndex, picked);
    // Alt+Down from the reflectance: its buttons; the arrows go round them; Esc comes back.
    f.enter("Txt_Hrten");
    QTest::keyClick(f.box("Txt_Hrten"), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Hansya_0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(f.focused(), QStringLiteral("Btn_Hansya_2"));
    // The button the arrows are on is the highlighted one, like a list's cell.
    const QColor highlight = f.sheet->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(f.w<QPushButton>("Btn_Hansya_2")->palette().color(QPalette::Button), highlight);
    QVERIFY(f.w<QPushButton>("Btn_Hansya_0")->palette().color(QPalette::Button) != highlight);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Hrten"));
    QCOMPARE(f.sheet->state().reflectanceChoice, 0); // nothing chosen
    // Tab past the last button of the panel comes back to its first box, never into a page.
    f.w<QPushButton>("Btn_Clear")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.w<QPushButton>("Btn_Clear"), Qt::Key_Tab);
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
}

void TestSheetUser::pickListsReachEverySlot_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("slot");
    const auto times = [](int key, int n) { return QList<int>(n, key); };
    QTest::newRow("↓ down the first column") << times(Qt::Key_Down, 9) << 10;
    QTest::newRow("↓ on into the next column") << times(Qt::Key_Down, 10) << 11;
    QTest::newRow("↓ to the last slot of page 1") << times(Qt::Key_Down, 39) << 40;
    QTest::newRow("↓ across to page 2") << times(Qt::Key_Down, 40) << 41;
    QTest::newRow("↓ to 47") << times(Qt::Key_Down, 46) << 47;
    QTest::newRow("↓ stops at 80") << times(Qt::Key_Down, 85) << 80;
    QTest::newRow("→ a column at a time, onto page 2") << times(Qt::Key_Right, 4) << 41;
    QTest::newRow("→ then ←") << times(Qt::Key_Right, 4) + QList<int>{Qt::Key_Left} << 31;
    QTest::newRow("PageDown") << QList<int>{Qt::Key_Down, Qt::Key_PageDown} << 42;
    QTest::newRow("PageDown, PageUp") << QList<int>{Qt::Key_Down, Qt::Key_PageDown, Qt::Key_PageUp} << 2;
    QTest::newRow("End") << QList<int>{Qt::Key_End} << 80;
    QTest::newRow("End, ↑ back onto page 2") << QList<int>{Qt::Key_End, Qt::Key_Up} << 79;
    QTest::newRow("End, Home") << QList<int>{Qt::Key_End, Qt::Key_Home} << 1;
    QTest::newRow("↑ stops at 1") << QList<int>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Up} << 1;
}

// The luminaire list by the keyboard alone: the cursor is the one highlighted cell, it crosses
// the list's two pages, and Enter picks what it shows.
void TestSheetUser::pickListsReachEverySlot()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, slot);
    SheetFixture f(TestEnv::sampleMasters());
    f.enter("Txt_Kigu");
    QTest::keyClick(f.box("Txt_Kigu"), Qt::Key_F4);
    auto *list = f.w<ListGrid>("Spd_Syoumei");
    QCOMPARE(f.focused(), QStringLiteral("Spd_Syoumei"));
    for (int key : keys)
        QTest::keyClick(list, Qt::Key(key));
    // Slots run down each column of ten, four columns a page.
    const int row = (slot - 1) % 10 + 1, column = (slot - 1) % 40 / 10 + 1;
    QCOMPARE(list->currentRow() + 1, row);
    QCOMPARE(list->currentColumn() + 1, column);
    QCOMPARE(list->selectedItems(), QList<QTableWidgetItem *>{list->item(row - 1, column - 1)});
    const QString expected = QStringLiteral("%1:").arg(slot, 2, 10, QLatin1Char('0'));
    const QString shown = list->cellText(row, column);
    QVERIFY2(shown.isEmpty() || shown.startsWith(expected), qPrintable(shown));
    if (slot <= 52) { // the sample master's luminaires
        QVERIFY2(shown.startsWith(expected), qPrintable(shown));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f.sheet->state().luminaireIndex, slot);
    }
}

void TestSheetUser::previewFitsTheScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("1366x768 at 125 %") << QRect(0, 0, 1093, 582) << true;
    QTest::newRow("1366x768") << QRect(0, 0, 1366, 728) << true;
    QTest::newRow("1920x1080") << QRect(0, 0, 1920, 1040) << false;
}

void TestSheetUser::previewFitsTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(bool, maximised);
    const ReportOutput::Placement place = ReportOutput::previewPlacement(available);
    QCOMPARE(place.maximised, maximised);
    QVERIFY(place.size.width() <= available.width() && place.size.height() <= available.height());
}

void TestSheetUser::japaneseStandardDialogs()
{
    QVERIFY2(Translations::installJapanese(), "Qt's Japanese translations (qt6-translations-l10n) are missing");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QVERIFY(!dialog.labelText(QFileDialog::FileName).contains(QStringLiteral("File name")));
    // What Qt's translation lacks: the type of a folder in the file list.
    QTemporaryDir dir;
    QCOMPARE(QFileIconProvider().type(QFileInfo(dir.path())), QStringLiteral("フォルダー"));
}

void TestSheetUser::fileDialogsOpenWhereTheWorkIs()
{
    QTemporaryDir dir;
    SheetFixture f;
    f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
    f.sheet->Btn_Adv_Click();
    f.dialogs.paths = {dir.filePath(QStringLiteral("office.syw"))};
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("*.syw")); // no folder known yet
    // The folder of the work file...
    f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.dialogs.asked.last().text, dir.filePath(QStringLiteral("*.syw")));
    // ...and without one, the last folder used.
    f.sheet->Menu_File_New_Click();
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.dialogs.asked.last().kind, QStringLiteral("save"));
    QCOMPARE(f.dialogs.asked.last().text, dir.filePath(QStringLiteral("*.syw")));
    // Printing to a file proposes a name that is one: the sheet's title, its slash full width.
    CeclFixture c;
    QCOMPARE(c.sheet->pdfName(), QDir(QDir::homePath()).filePath(QStringLiteral("CEC／L計算書.pdf")));
}

// A dialog given no folder opens in the user's documents, not where another dialog of the run
// (the photometric files') was last.
void TestSheetUser::fileDialogWithoutAFolderOpensInTheDocuments()
{
    QTemporaryDir elsewhere;
    QString seen;
    QtDialogs dialogs;
    for (const QString &start : {elsewhere.filePath(QStringLiteral("*.ies")), QStringLiteral("*.syw")}) {
        QTimer::singleShot(200, [&] {
            if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                seen = d->directory().absolutePath();
                d->reject();
            }
        });
        dialogs.openFile(nullptr, start, QStringLiteral("照度 (*.syw)|*.syw"), 1);
    }
    QCOMPARE(seen, QDir(QtDialogs::defaultFolder()).absolutePath());
    QVERIFY(seen != QDir(elsewhere.path()).absolutePath());
}

void TestSheetUser::previewSavesBesideTheWorkFile()
{
    QTemporaryDir dir;
    SheetFixture f;
    f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
    f.sheet->Btn_Adv_Click();
    const QString xlsx = dir.filePath(QStringLiteral("写し.xlsx"));
    f.dialogs.paths = {dir.filePath(QStringLiteral("office-3f.syw")), QString(), xlsx};
    f.sheet->Menu_File_NSave_Click();
    QTimer::singleShot(300, [] {
        if (QWidget *preview = QApplication::activeModalWidget()) {
            for (const char *name : {"Action_SavePdf", "Action_SaveExcel"})
                if (auto *action = preview->findChild<QAction *>(QString::fromLatin1(name)))
                    action->trigger();
            preview->close();
        }
    });
    f.sheet->Menu_File_Preview_Click();
    QCOMPARE(f.dialogs.asked.size(), 3);
    QCOMPARE(f.dialogs.asked[1].kind, QStringLiteral("save"));
    QCOMPARE(f.dialogs.asked[1].text, dir.filePath(QStringLiteral("office-3f_照度計算書.pdf")));
    // The workbook beside it, of the report on the screen.
    QCOMPARE(f.dialogs.asked[2].text, dir.filePath(QStringLiteral("office-3f_照度計算書.xlsx")));
    const XlsxReader::Book book = XlsxReader::read(xlsx);
    QCOMPARE(book.sheetName, QStringLiteral("照度計算書"));
    QCOMPARE(book.shown(7, 3), QStringLiteral("事務室"));
}

void TestSheetUser::fullWidthDigits_data()
{
    QTest::addColumn<bool>("inputMethod");
    QTest::newRow("typed as keys") << false;
    QTest::newRow("committed by the input method") << true;
}

void TestSheetUser::fullWidthDigits()
{
    QFETCH(bool, inputMethod);
    SheetFixture f;
    f.enter("Txt_Maguchi");
    QLineEdit *box = f.box("Txt_Maguchi");
    box->clear();
    const QString typed = QStringLiteral("１２．５ａ");
    if (inputMethod) {
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QApplication::sendEvent(box, &commit);
    } else {
        for (QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
    QCOMPARE(box->text(), QStringLiteral("12.5"));
}

void TestSheetUser::refusedValueSaysWhy()
{
    SheetFixture f;
    f.enter("Txt_Takasa");
    f.box("Txt_Takasa")->selectAll();
    f.type("0");
    QApplication::processEvents();
    QCOMPARE(f.focused(), QStringLiteral("Txt_Takasa"));
    QVERIFY2(f.sheet->statusMessage().contains(QStringLiteral("高さ")), qPrintable(f.sheet->statusMessage()));
    QVERIFY(f.sheet->statusMessage().contains(QStringLiteral("99.9")));
    // Only the refused field looks active.
    for (QLineEdit *box : f.sheet->findChildren<QLineEdit *>())
        if (box->objectName() != u"Txt_Takasa")
            QVERIFY2(!box->hasSelectedText(), qPrintable(box->objectName()));
    f.box("Txt_Takasa")->selectAll();
    f.type("2.7");
    QCOMPARE(f.sheet->statusMessage(), QString());
}

void TestSheetUser::rowFieldTakesWholeRows_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("5") << "5" << true;
    QTest::newRow("220") << "220" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("0.5") << "0.5" << false;
    QTest::newRow(".9") << ".9" << false;
    QTest::newRow("221") << "221" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSheetUser::rowFieldTakesWholeRows()
{
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    SheetFixture f;
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(typed);
    f.enter("Txt_Shitsu");
    QTRY_COMPARE(f.focused(), taken ? QStringLiteral("Txt_Shitsu") : QStringLiteral("Txt_Gyou"));
    // A refused row says why, like every other refused value.
    QCOMPARE(f.sheet->statusMessage(), taken ? QString() : QStringLiteral("行№ は 1 以上 220 以下の整数を入力してください。"));
    // Confirm never writes outside rows 1 to 220 (the headings row least of all).
    if (!taken) {
        f.sheet->recordGrid().setText(221, 1, QStringLiteral("見出し"));
        f.box("Txt_Shitsu")->setText(QStringLiteral("事務室"));
        f.sheet->Btn_Adv_Click();
        QCOMPARE(f.sheet->recordGrid().text(221, 1), QStringLiteral("見出し"));
        QCOMPARE(f.sheet->recordGrid().text(1, 1), QString());
    }
}

void TestSheetUser::passingThroughTheRowFieldKeepsEdits()
{
    SheetFixture f;
    RecordGrid &g = f.sheet->recordGrid();
    g.setText(2, InUse, "1");
    g.setText(2, RoomName1, QStringLiteral("会議室"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("2");
    f.enter("Txt_Shitsu"); // row 2 loaded
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("会議室"));
    f.box("Txt_Shitsu")->setText(QStringLiteral("大会議室"));
    f.enter("Txt_Gyou");
    f.enter("Txt_Shitsu2"); // the same row: the edit stays
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("大会議室"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText("3");
    f.enter("Txt_Shitsu2"); // another row: loaded
    QCOMPARE(f.box("Txt_Shitsu")->text(), QString());
}

void TestSheetUser::fileShortcuts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("keys");
    QTest::newRow("new") << "Menu_File_New" << "Ctrl+N";
    QTest::newRow("open") << "Menu_File_Open" << "Ctrl+O";
    QTest::newRow("save") << "Menu_File_Save" << "Ctrl+S";
    QTest::newRow("print") << "Menu_File_Printout" << "Ctrl+P";
}

void TestSheetUser::fileShortcuts()
{
    QFETCH(QString, action);
    QFETCH(QString, keys);
    SheetFixture f;
    auto *a = f.sheet->findChild<QAction *>(action);
    QCOMPARE(a->shortcut(), QKeySequence(keys));
    // Pressed in a box, Ctrl+O opens the file dialog.
    if (action == u"Menu_File_Open") {
        QTest::keySequence(f.box("Txt_Kai"), QKeySequence(keys));
        QCOMPARE(f.dialogs.asked.last().kind, QStringLiteral("open"));
    }
}

namespace {

// The example opened on a sheet shown to the user, the panel on `row`.
template <typename Fixture> void openExampleAt(Fixture &f, const QString &file, int row)
{
    f.dialogs.paths = {QDir(TestEnv::sourceDir()).filePath(file)};
    f.sheet->Menu_File_Open_Click();
    QVERIFY(!f.dialogs.messages().contains(QStringLiteral("データの読込に失敗しました。")));
    QCOMPARE(f.sheet->currentFileName(), QDir(TestEnv::sourceDir()).filePath(file));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QString::number(row));
    f.enter("Txt_Kai");
}

// Loads `row` the way a user would: a click or an arrow in the list, a new row number, the
// spinner, or Enter in the list.
template <typename Fixture> void changeRow(Fixture &f, const QString &way, int row)
{
    auto *list = f.template w<ListGrid>(QStringLiteral("SPD_Data"));
    auto *tabs = f.template w<QTabWidget>(QStringLiteral("STab_Main"));
    if (way == u"click" || way == u"arrow" || way == u"enter") {
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QApplication::processEvents();
    }
    if (way == u"click") {
        f.clickCell(QStringLiteral("SPD_Data"), row, 2);
    } else if (way == u"arrow") {
        list->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(list, Qt::Key_Down);
    } else if (way == u"enter") {
        list->setFocus(Qt::MouseFocusReason);
        list->setCurrentCell(row - 1, 0);
        QTest::keyClick(list, Qt::Key_Return);
    } else if (way == u"row field") {
        f.enter("Txt_Gyou");
        f.box("Txt_Gyou")->selectAll();
        QTest::keyClicks(f.box("Txt_Gyou"), QString::number(row));
        f.enter("Txt_Shitsu2");
    } else if (way == u"spinner") {
        QTest::mouseClick(f.template w<UpDownButtons>(QStringLiteral("UpDown1"))->downButton(), Qt::LeftButton);
    }
    QApplication::processEvents();
}

// One of the two sheets opened on its example at `row`, with an edit on its panel not yet
// confirmed (when `edit`): the illuminance sheet's luminaire 02 picked; the CEC/L sheet's 入力電力
// typed 8 and 自動点滅 chosen.
struct EditedSheet {
    std::unique_ptr<SheetFixture> syoudo;
    std::unique_ptr<CeclFixture> zones;
    SheetFrame *sheet = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    QString box, text; // the panel's box that holds the edit, and its text
    int column = 0;    // where 確認 puts it
};

void editAt(EditedSheet &e, bool cecl, int row, bool edit)
{
    if (cecl) {
        e.zones = std::make_unique<CeclFixture>(TestEnv::sampleMasters());
        openExampleAt(*e.zones, QStringLiteral("examples/office-3f-cecl.syw"), row);
        e.sheet = e.zones->sheet.get();
        e.dialogs = &e.zones->dialogs;
        if (edit) {
            e.zones->enter("Txt_InDenryoku");
            e.zones->type("8");
            e.zones->click("Btn_Seigyo_1");
        }
        e.box = QStringLiteral("Txt_InDenryoku");
        e.text = QStringLiteral("8");
        e.column = ZoneRecord::InputPower;
    } else {
        e.syoudo = std::make_unique<SheetFixture>(TestEnv::sampleMasters());
        openExampleAt(*e.syoudo, QStringLiteral("examples/office-3f.syw"), row);
        e.sheet = e.syoudo->sheet.get();
        e.dialogs = &e.syoudo->dialogs;
        if (edit)
            e.syoudo->clickCell("Spd_Syoumei", 2, 1);
        e.box = QStringLiteral("Txt_Kigu");
        e.text = FixedField::trimmedRight(e.syoudo->masters.luminaire(2).name);
        e.column = LuminaireType;
    }
}

} // namespace

void TestSheetUser::edgeRowsKeepUnconfirmedEdits_data()
{
    QTest::addColumn<bool>("cecl");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("way"); // up, down (the spinner), arrow up, arrow down (the list), 確認
    for (const bool cecl : {false, true}) {
        const char *sheet = cecl ? "CEC/L" : "illuminance";
        QTest::addRow("%s, row 1, spinner up", sheet) << cecl << 1 << "up";
        QTest::addRow("%s, row 1, arrow up", sheet) << cecl << 1 << "arrow up";
        QTest::addRow("%s, row 220, spinner down", sheet) << cecl << 220 << "down";
        QTest::addRow("%s, row 220, arrow down", sheet) << cecl << 220 << "arrow down";
        QTest::addRow("%s, row 220, 確認", sheet) << cecl << 220 << "確認";
    }
}

// The first and the last row with an edit not yet confirmed: a move beyond the sheet changes
// nothing and asks nothing; the edit stays on the panel and 確認 puts it in that row, never in
// row 0 or the headings' row 221.
void TestSheetUser::edgeRowsKeepUnconfirmedEdits()
{
    QFETCH(bool, cecl);
    QFETCH(int, row);
    QFETCH(QString, way);
    EditedSheet e;
    editAt(e, cecl, row, true);
    SheetFrame *sheet = e.sheet;
    ScriptedDialogs *dialogs = e.dialogs;
    const QString editedBox = e.box, editedText = e.text;
    const int editedColumn = e.column;
    const RecordGrid before = sheet->recordGrid();
    auto *gyou = sheet->findChild<QLineEdit *>(QStringLiteral("Txt_Gyou"));
    auto *panelBox = sheet->findChild<QLineEdit *>(editedBox);
    QCOMPARE(gyou->text(), QString::number(row));
    QCOMPARE(panelBox->text(), editedText);
    dialogs->asked.clear();
    dialogs->answers = {Dialogs::Answer::Cancel}; // were anything asked, nothing would change
    auto *list = sheet->findChild<ListGrid *>(QStringLiteral("SPD_Data"));
    auto *spinner = sheet->findChild<UpDownButtons *>(QStringLiteral("UpDown1"));
    if (way == u"up" || way == u"down") {
        QTest::mouseClick(way == u"up" ? spinner->upButton() : spinner->downButton(), Qt::LeftButton);
    } else if (way.startsWith(QStringLiteral("arrow"))) {
        auto *tabs = sheet->findChild<QTabWidget *>(QStringLiteral("STab_Main"));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        list->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(list, way.endsWith(QStringLiteral("up")) ? Qt::Key_Up : Qt::Key_Down);
    }
    QApplication::processEvents();
    if (way != u"確認") {
        QCOMPARE(dialogs->messages(), QStringList());
        QCOMPARE(gyou->text(), QString::number(row));
        QCOMPARE(panelBox->text(), editedText);
        QVERIFY(sheet->recordGrid() == before);
    }
    QTest::mouseClick(sheet->findChild<QAbstractButton *>(QStringLiteral("Btn_Adv")), Qt::LeftButton);
    QApplication::processEvents();
    if (cecl && row == 220) {
        // The example's zones end at row 31: a row the illuminance sheet does not use keeps
        // nothing, and says so.
        QVERIFY2(sheet->statusMessage().contains(QStringLiteral("220 行目は照度計算書で使われていない行のため")),
                 qPrintable(sheet->statusMessage()));
        QCOMPARE(sheet->recordGrid().text(row, editedColumn), QString());
    } else {
        QCOMPARE(sheet->recordGrid().text(row, editedColumn), editedText);
    }
    const int shown = gyou->text().toInt();
    QVERIFY2(shown >= 1 && shown <= 220, qPrintable(gyou->text()));
    for (int c = 1; c <= before.colCount(); ++c)
        QCOMPARE(sheet->recordGrid().text(221, c), before.text(221, c));
}

void TestSheetUser::rowChangeAsksAboutUnconfirmedEdits_data()
{
    QTest::addColumn<bool>("cecl");
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("answer"); // -1: nothing edited, nothing asked
    const QList<QPair<const char *, int>> answers = {{"no edit", -1},
                                                     {"確認する", int(Dialogs::Answer::Confirm)},
                                                     {"破棄する", int(Dialogs::Answer::Discard)},
                                                     {"キャンセル", int(Dialogs::Answer::Cancel)}};
    for (const bool cecl : {false, true})
        for (const char *way : {"click", "arrow", "enter", "row field", "spinner"})
            for (const auto &[name, answer] : answers)
                QTest::addRow("%s, %s, %s", cecl ? "CEC/L" : "illuminance", way, name) << cecl << QString::fromLatin1(way) << answer;
}

// Illuminance sheet, row 10: luminaire 02 picked, not confirmed. CEC/L sheet, row 1: 入力電力
// 7 -> 8 and 自動点滅 chosen, not confirmed. Then the next row is loaded.
void TestSheetUser::rowChangeAsksAboutUnconfirmedEdits()
{
    QFETCH(bool, cecl);
    QFETCH(QString, way);
    QFETCH(int, answer);
    const int from = cecl ? 1 : 10, to = from + 1;
    EditedSheet e;
    editAt(e, cecl, from, answer >= 0);
    SheetFrame *sheet = e.sheet;
    ScriptedDialogs *dialogs = e.dialogs;
    const QString editedBox = e.box, editedText = e.text;
    const int editedColumn = e.column;
    const RecordGrid before = sheet->recordGrid();
    const bool modifiedBefore = answer < 0 && sheet->isWindowModified();
    auto *panelBox = sheet->findChild<QLineEdit *>(editedBox);
    if (answer >= 0)
        QCOMPARE(panelBox->text(), editedText);
    dialogs->asked.clear();
    if (answer >= 0)
        dialogs->answers = {Dialogs::Answer(answer)};
    if (cecl)
        changeRow(*e.zones, way, to);
    else
        changeRow(*e.syoudo, way, to);

    const auto list = sheet->findChild<ListGrid *>(QStringLiteral("SPD_Data"));
    const auto gyou = sheet->findChild<QLineEdit *>(QStringLiteral("Txt_Gyou"));
    if (answer < 0) {
        QVERIFY(dialogs->asked.isEmpty());
        QCOMPARE(gyou->text(), QString::number(to));
        QCOMPARE(sheet->isWindowModified(), modifiedBefore);
        return;
    }
    QCOMPARE(dialogs->messages(), QStringList{QStringLiteral("%1 行目の編集内容を確認しますか？").arg(from)});
    QCOMPARE(dialogs->asked.first().buttons, Dialogs::Buttons::ConfirmDiscardCancel);
    const auto stayed = Dialogs::Answer(answer) == Dialogs::Answer::Cancel;
    const int shown = stayed ? from : to;
    QCOMPARE(gyou->text(), QString::number(shown));
    QCOMPARE(list->activeRow(), shown); // the list follows what the panel shows
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("Txt_Shitsu"))->text(),
             stayed ? before.text(from, RoomName1) : before.text(to, RoomName1));
    if (stayed)
        QCOMPARE(panelBox->text(), editedText);
    // Confirmed: the edit is in its row and the sheet counts as changed; dropped or kept on the
    // panel: the row is as it was.
    const bool confirmed = Dialogs::Answer(answer) == Dialogs::Answer::Confirm;
    QCOMPARE(sheet->recordGrid().text(from, editedColumn), confirmed ? editedText : before.text(from, editedColumn));
    if (confirmed && cecl)
        QCOMPARE(sheet->recordGrid().text(from, ZoneRecord::ControlContent), QStringLiteral("自動点滅"));
    if (confirmed && !cecl)
        QCOMPARE(sheet->recordGrid().text(from, LuminaireIndex), QStringLiteral("2"));
    for (int r = 1; r <= 220; ++r)
        if (r != from)
            QVERIFY2(sheet->recordGrid().text(r, RoomName1) == before.text(r, RoomName1), qPrintable(QString::number(r)));
    // Closing afterwards asks exactly when something is left to save or lose.
    dialogs->asked.clear();
    dialogs->answers = {Dialogs::Answer::Cancel};
    sheet->close();
    QCOMPARE(dialogs->asked.size(), Dialogs::Answer(answer) == Dialogs::Answer::Discard ? 0 : 1);
    if (dialogs->asked.isEmpty()) {
        (cecl ? static_cast<void>(e.zones->sheet.release()) : static_cast<void>(e.syoudo->sheet.release())); // deleted on close
    }
}

// 確認する with a value the calculation refuses: the panel, the row field and the list stay on
// the row, the value is named, nothing is written.
void TestSheetUser::refusedValueKeepsThePanelOnItsRow()
{
    SheetFixture f(TestEnv::sampleMasters());
    openExampleAt(f, QStringLiteral("examples/office-3f.syw"), 10);
    f.enter("Txt_Syoudo1");
    f.box("Txt_Syoudo1")->selectAll();
    QTest::keyClicks(f.box("Txt_Syoudo1"), "99999");
    const RecordGrid before = f.sheet->recordGrid();
    f.dialogs.answers = {Dialogs::Answer::Confirm};
    changeRow(f, QStringLiteral("click"), 11);
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("10 行目の編集内容を確認しますか？")});
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("10"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->activeRow(), 10);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("倉庫"));
    QVERIFY(f.sheet->recordGrid() == before);
    QTRY_COMPARE(f.focused(), QStringLiteral("Txt_Syoudo1"));
    QCOMPARE(f.sheet->statusMessage(), QStringLiteral("照度 は 0 以上、9999 未満の値を入力してください。"));
}

void TestSheetUser::unconfirmedEditOutlivesPreviewPrintAndOptions_data()
{
    QTest::addColumn<bool>("cecl");
    QTest::addColumn<QString>("operation");
    for (const bool cecl : {false, true})
        for (const char *operation : {"preview", "print", "options"})
            QTest::addRow("%s, %s", cecl ? "CEC/L" : "illuminance", operation) << cecl << QString::fromLatin1(operation);
}

// An edit typed on the panel and not confirmed is still asked about when the window closes after
// the report was previewed or printed or the options were changed.
void TestSheetUser::unconfirmedEditOutlivesPreviewPrintAndOptions()
{
    QFETCH(bool, cecl);
    QFETCH(QString, operation);
    std::unique_ptr<SheetFixture> syoudo;
    std::unique_ptr<CeclFixture> zones;
    SheetFrame *sheet = nullptr;
    ScriptedDialogs *dialogs = nullptr;
    if (cecl) {
        zones = std::make_unique<CeclFixture>(TestEnv::sampleMasters());
        openExampleAt(*zones, QStringLiteral("examples/office-3f-cecl.syw"), 3);
        zones->enter("Txt_InDenryoku");
        zones->type("90");
        sheet = zones->sheet.get();
        dialogs = &zones->dialogs;
    } else {
        syoudo = std::make_unique<SheetFixture>(TestEnv::sampleMasters());
        openExampleAt(*syoudo, QStringLiteral("examples/office-3f.syw"), 3);
        syoudo->enter("Txt_Shitsu2");
        syoudo->type(QStringLiteral("（北）"));
        sheet = syoudo->sheet.get();
        dialogs = &syoudo->dialogs;
    }
    QVERIFY(sheet->isWindowModified());
    // Whatever window the operation opens is closed unseen.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(100);
    if (operation == u"preview") {
        sheet->Menu_File_Preview_Click();
    } else if (operation == u"print") {
        sheet->Menu_File_Printout_Click();
    } else if (cecl) {
        dialogs->dialogAnswers = {[](QDialog &d) {
            d.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
            return d.result();
        }};
        zones->sheet->Menu_Option_Click();
    } else {
        syoudo->sheet->Option_Menu_Midashi_Click();
    }
    closer.stop();
    QVERIFY(sheet->isWindowModified());
    dialogs->asked.clear();
    dialogs->answers = {Dialogs::Answer::Cancel};
    QVERIFY(!sheet->close());
    QCOMPARE(dialogs->messages(), QStringList{QStringLiteral("「%1」への変更を保存しますか？")
                                                 .arg(cecl ? QStringLiteral("office-3f-cecl.syw") : QStringLiteral("office-3f.syw"))});
    QCOMPARE(sheet->findChild<QLineEdit *>(cecl ? QStringLiteral("Txt_InDenryoku") : QStringLiteral("Txt_Shitsu2"))->text(),
             cecl ? QStringLiteral("90") : QStringLiteral("（北）"));
}

// 電気室 of the example: 13 lamps of 40 W and 520 worked out by 自動計算. A higher illuminance
// gives more lamps and the capacity follows; one the user types stays, also once stored.
void TestSheetUser::capacityFollowsTheLampsOnTheSheet()
{
    SheetFixture f(TestEnv::sampleMasters());
    openExampleAt(f, QStringLiteral("examples/office-3f.syw"), 11);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("電気室"));
    QCOMPARE(f.box("Txt_Biko1")->text(), QStringLiteral("520"));
    const auto retype = [&](const char *box, const QString &value) {
        f.enter(QString::fromLatin1(box));
        f.box(QString::fromLatin1(box))->selectAll();
        QTest::keyClicks(f.box(QString::fromLatin1(box)), value);
        f.enter("Txt_Kai"); // the next field's entry recalculates
    };
    retype("Txt_Syoudo1", "300");
    QCOMPARE(f.box("Txt_Tousu2")->text(), QStringLiteral("20"));
    QCOMPARE(f.box("Txt_Biko1")->text(), QStringLiteral("800"));
    f.sheet->Btn_Adv_Click();
    QCOMPARE(f.sheet->recordGrid().text(11, Remark1), QStringLiteral("800"));
    // Typed by the user: kept through a change of lamps, and after the row is stored and loaded.
    f.dialogs.answers = {Dialogs::Answer::Discard};
    openExampleAt(f, QStringLiteral("examples/office-3f.syw"), 11);
    retype("Txt_Biko1", "600");
    retype("Txt_Syoudo1", "300");
    QCOMPARE(f.box("Txt_Tousu2")->text(), QStringLiteral("20"));
    QCOMPARE(f.box("Txt_Biko1")->text(), QStringLiteral("600"));
    f.sheet->Btn_Adv_Click();
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QStringLiteral("11"));
    f.enter("Txt_Kai");
    retype("Txt_Syoudo1", "200");
    QCOMPARE(f.box("Txt_Tousu2")->text(), QStringLiteral("13"));
    QCOMPARE(f.box("Txt_Biko1")->text(), QStringLiteral("600"));
    // An older file: the sheet's mode 自動計算 stored with a capacity that is not the lamps'.
    f.dialogs.answers = {Dialogs::Answer::Discard};
    openExampleAt(f, QStringLiteral("examples/office-3f.syw"), 10);
    f.sheet->recordGrid().setText(11, Remark1, QStringLiteral("600"));
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QStringLiteral("11"));
    f.enter("Txt_Kai");
    retype("Txt_Syoudo1", "300");
    QCOMPARE(f.box("Txt_Biko1")->text(), QStringLiteral("600"));
}

void TestSheetUser::questionsDefaultToTheSafeAnswer_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    using B = Dialogs::Buttons;
    using A = Dialogs::Answer;
    QTest::newRow("はい/いいえ, Enter: いいえ") << int(B::YesNo) << int(Qt::Key_Return) << int(A::No);
    QTest::newRow("はい/いいえ, Esc: いいえ") << int(B::YesNo) << int(Qt::Key_Escape) << int(A::No);
    QTest::newRow("保存する/保存しない/キャンセル, Enter: 保存する") << int(B::SaveDiscardCancel) << int(Qt::Key_Return) << int(A::Save);
    QTest::newRow("保存する/保存しない/キャンセル, Esc: キャンセル") << int(B::SaveDiscardCancel) << int(Qt::Key_Escape) << int(A::Cancel);
    QTest::newRow("確認する/破棄する/キャンセル, Enter: 確認する") << int(B::ConfirmDiscardCancel) << int(Qt::Key_Return) << int(A::Confirm);
    QTest::newRow("確認する/破棄する/キャンセル, Esc: キャンセル") << int(B::ConfirmDiscardCancel) << int(Qt::Key_Escape) << int(A::Cancel);
}

// The real message boxes: Enter never overwrites or drops anything.
void TestSheetUser::questionsDefaultToTheSafeAnswer()
{
    QFETCH(int, buttons);
    QFETCH(int, key);
    QFETCH(int, answer);
    QString icon;
    QTimer::singleShot(100, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            icon = box->icon() == QMessageBox::Warning ? QStringLiteral("warning") : QStringLiteral("other");
            QTest::keyClick(box, Qt::Key(key));
        }
    });
    QtDialogs dialogs;
    const Dialogs::Answer given = dialogs.message(nullptr, QStringLiteral("「office.syw」は他のプログラムで変更されています。上書きしますか？"),
                                                  Dialogs::kTitle, Dialogs::Icon::Warning, Dialogs::Buttons(buttons));
    QCOMPARE(int(given), answer);
    QCOMPARE(icon, QStringLiteral("warning"));
}

void TestSheetUser::sheetOutlivesItsFileDialog_data()
{
    QTest::addColumn<QString>("menu");
    QTest::newRow("開く") << "Menu_File_Open";
    QTest::newRow("名前を付けて保存") << "Menu_File_NSave";
}

// A session ending closes the sheet while its file dialog (Qt's own, a child of the sheet on the
// stack of the sheet's code) is open: the dialog ends, its caller returns, and only then does the
// sheet go.
void TestSheetUser::sheetOutlivesItsFileDialog()
{
    QFETCH(QString, menu);
    Dialogs::setInstance(nullptr);
    TestEnv env;
    MasterTables masters = TestEnv::knownMasters();
    QPointer<FSyoudo> sheet = new FSyoudo(masters, env.workFolder());
    sheet->show();
    bool closedUnderTheDialog = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (qobject_cast<QFileDialog *>(QApplication::activeModalWidget()) && sheet && !closedUnderTheDialog) {
            closedUnderTheDialog = true;
            sheet->close();
        }
    });
    closer.start(50);
    // Never a hang: a dialog still open after 20 s is cancelled.
    QTimer::singleShot(20000, this, [] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            d->reject();
    });
    if (menu == u"Menu_File_Open")
        sheet->Menu_File_Open_Click();
    else
        sheet->Menu_File_NSave_Click();
    closer.stop();
    QVERIFY(closedUnderTheDialog);
    QVERIFY(!sheet.isNull()); // still there when its own dialog returned
    QTRY_VERIFY(sheet.isNull());
}

void TestSheetUser::confirmStoresWhatWasTyped_data()
{
    // Row 3 of the example (事務室（営業）): F 3450 lm, U 0.70, M 0.73 (F × U × M = 1762.95), 216.0 ㎡,
    // 2 lamps a fitting, 32 W a lamp, both 自動 boxes on; stored 91.9, 92, 751, 46, 2944 for 750 lx.
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QStringList>("figures"); // 灯数１, 灯数２, 照度２, 台数, 備考１ as stored
    // 216 × 700 / 1762.95 + 0.0999 = 85.865 → 85.8; 86 lamps; 1762.95 × 86 = 151613.7 → 151613 / 216
    // + 0.5 = 702.4 → 702; 43 fittings; 86 × 32 W.
    const QStringList at700 = {"85.8", "86", "702", "43", "2752"};
    QTest::newRow("照度 by a mouse click") << "Txt_Syoudo1" << "700" << "mouse" << at700;
    QTest::newRow("照度, pressed without the focus") << "Txt_Syoudo1" << "700" << "no focus" << at700;
    QTest::newRow("照度, 確認する on a row change") << "Txt_Syoudo1" << "700" << "row change" << at700;
    QTest::newRow("照度, 保存する on closing") << "Txt_Syoudo1" << "700" << "close" << at700;
    // 216000 / 1762.95 + 0.0999 = 122.62 → 122.6; 124 lamps; 218605.8 → 218605 / 216 + 0.5 → 1012.
    QTest::newRow("照度 1000 by a mouse click") << "Txt_Syoudo1" << "1000" << "mouse"
                                            << QStringList{"122.6", "124", "1012", "62", "3968"};
    // 間口 20: 20 × 12 − 0.01 → 240.0 ㎡ (K 3.84, the same class as 3.69: U stays 0.70);
    // 180000 / 1762.95 + 0.0999 = 102.20 → 102.2; 104 lamps; 183346.8 → 183346 / 240 + 0.5 → 764.
    QTest::newRow("間口 by a mouse click") << "Txt_Maguchi" << "20" << "mouse"
                                      << QStringList{"102.2", "104", "764", "52", "3328"};
    // 奥行 13: 18 × 13 − 0.01 → 234.0 ㎡ (K 3.87, class 9); 175500 / 1762.95 + 0.0999 = 99.65 → 99.6;
    // 100 lamps; 176295 / 234 + 0.5 → 753.
    QTest::newRow("奥行 by a mouse click") << "Txt_Okuyuki" << "13" << "mouse"
                                      << QStringList{"99.6", "100", "753", "50", "3200"};
    // 間口 0 is refused: nothing is stored, the focus is back on it.
    QTest::newRow("間口 0 refused") << "Txt_Maguchi" << "0" << "mouse" << QStringList{"91.9", "92", "751", "46", "2944"};
}

void TestSheetUser::confirmStoresWhatWasTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, way);
    QFETCH(QStringList, figures);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("office.syw"));
    QVERIFY(QFile::copy(QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw")), path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    SheetFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {path};
    f.sheet->Menu_File_Open_Click();
    f.enter("Txt_Gyou");
    f.box("Txt_Gyou")->setText(QStringLiteral("3"));
    f.enter("Txt_Kai");
    QCOMPARE(f.box("Txt_Syoudo1")->text(), QStringLiteral("750"));
    // Clicked into the field, typed over, and no Tab before 確認.
    QTest::mouseClick(f.box(field), Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(f.focused(), field);
    QTest::keyClick(f.box(field), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(f.box(field), typed);
    if (way == u"mouse") {
        f.click("Btn_Adv");
    } else if (way == u"no focus") {
        f.w<QPushButton>("Btn_Adv")->click(); // as a shortcut presses it: the focus stays in the box
    } else if (way == u"row change") {
        f.dialogs.answers = {Dialogs::Answer::Confirm};
        QTest::mouseClick(f.w<UpDownButtons>("UpDown1")->downButton(), Qt::LeftButton);
    } else if (way == u"close") {
        f.dialogs.answers = {Dialogs::Answer::Save};
        QVERIFY(f.sheet->close());
        f.sheet.release()->deleteLater();
        QApplication::processEvents();
    }
    RecordGrid g(221, 38);
    if (way == u"close")
        QVERIFY(WorkFile::load(g, path));
    else
        g = f.sheet->recordGrid();
    QStringList stored;
    for (int c = LampCountComputed; c <= Remark1; ++c)
        stored.append(g.text(3, c));
    QCOMPARE(stored, figures);
    if (typed == u"0") {
        QCOMPARE(f.focused(), field);
        QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("3"));
        QVERIFY(!f.sheet->statusMessage().isEmpty());
    } else {
        const int column = field == u"Txt_Syoudo1" ? DesignIlluminance : field == u"Txt_Maguchi" ? Width : Depth;
        QCOMPARE(g.text(3, column), field == u"Txt_Syoudo1" ? typed : typed + ".0");
    }
}

QTEST_MAIN(TestSheetUser)
#include "tst_sheet_user.moc"
