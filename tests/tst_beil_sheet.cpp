// The BEI/L sheet as a user works it: the example opened, a control chosen on a row and the
// figures following, a count typed, the row confirmed; a room's use proposed from its name; the
// building use changed; the default building use given after a question; the input-sheet rows
// written from the button; and files of the other sheets kept as they were.
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/StandardValues.h"
#include "cecl/CeclPrintTable.h"
#include "illuminance/RoomFigures.h"
#include "beil/FBEIL.h"
#include "grid/WorkFile.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RoomRecord.h"
#include "support/SheetFixture.h"
#include "text/Cp932.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cmath>

using namespace BeilRecord;

namespace {

using BeilFixture = SheetFixtureT<FBEIL>;

QString example(const QString &name)
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + name);
}

template <typename Fixture> void goToRow(Fixture &f, int row)
{
    f.enter(QStringLiteral("Txt_Gyou"));
    f.box(QStringLiteral("Txt_Gyou"))->selectAll();
    f.type(QString::number(row));
}

// One sheet of the three, shown, with scripted dialogs (the options asked for on opening are
// cancelled unseen).
struct AnySheet {
    explicit AnySheet(const QString &kind)
    {
        if (kind == u"照度")
            syoudo = std::make_unique<SheetFixture>(TestEnv::sampleMasters());
        else if (kind == u"CEC/L")
            cecl = std::make_unique<CeclFixture>(TestEnv::sampleMasters());
        else
            beil = std::make_unique<BeilFixture>(TestEnv::sampleMasters());
    }
    SheetFrame *sheet() const
    {
        return syoudo ? static_cast<SheetFrame *>(syoudo->sheet.get())
                      : cecl ? static_cast<SheetFrame *>(cecl->sheet.get()) : beil->sheet.get();
    }
    ScriptedDialogs &dialogs() const { return syoudo ? syoudo->dialogs : cecl ? cecl->dialogs : beil->dialogs; }
    void open(const QString &path) const
    {
        dialogs().paths = {path};
        sheet()->Menu_File_Open_Click();
    }
    std::unique_ptr<SheetFixture> syoudo;
    std::unique_ptr<CeclFixture> cecl;
    std::unique_ptr<BeilFixture> beil;
};

// The figures 灯数１ to 備考１ of a row.
QStringList figuresOf(const RecordGrid &g, int row)
{
    QStringList out;
    for (int c = RoomRecord::LampCountComputed; c <= RoomRecord::Remark1; ++c)
        out.append(g.text(row, c));
    return out;
}

} // namespace

class TestBeilSheet : public QObject
{
    Q_OBJECT
private slots:
    void controlChangesTheFigures();
    void olderSpellingsOpenInTheCurrentOnes();
    void roomUseProposedFromTheName();
    void defaultBuildingUseAfterAQuestion();
    void form4RowsFromTheButton();
    void otherSheetsFilesStayAsTheyWere();
    void staleFiguresFollowTheirInputs_data();
    void staleFiguresFollowTheirInputs();
    void unchangedFilesStayByteForByte_data();
    void unchangedFilesStayByteForByte();
    void widthFollowsTheFileOpened();
    void countGivenHereReachesTheOtherSheets();
    void powerGivenOnTheCeclSheetIsNamedHere();
    void countsThatDisagreeAreSaid_data();
    void countsThatDisagreeAreSaid();
    void countsOnEverySheet();
    void clearThenConfirmErasesNothingUnasked_data();
    void clearThenConfirmErasesNothingUnasked();
    void erasingTheSharedValuesIsAsked();
    void previewListsEveryProblemAndGoesToItsRow();
    void choiceThatDoesNotSuitTheRoomStandsOut();
    void buildingFiguresFollowEveryConfirm();
    void optionsHoldTheHeadings();
    void reportsOfOneFileHaveNamesOfTheirOwn();
    void officialSheetsFromTheMenu();
};

void TestBeilSheet::controlChangesTheFigures()
{
    BeilFixture f;
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 3); // 1F 事務室: 46 × 86 W, 調光方式, 減光方式, センサ方式(蛍光灯)
    QCOMPARE(f.box(QStringLiteral("Txt_Youto"))->text(), QStringLiteral("事務室"));
    QCOMPARE(f.box(QStringLiteral("Txt_F"))->text(), QStringLiteral("0.72675"));
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("87,912.7"));
    QCOMPARE(f.box(QStringLiteral("Txt_ESL"))->text(), QStringLiteral("107,568.0"));
    QCOMPARE(f.box(QStringLiteral("Txt_BEIL"))->text(), QStringLiteral("0.82"));
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_IndexUsed"))->text(), QStringLiteral("K 2.57（計算）　C_L 1.00"));

    // The schedule's tab, 点滅方式: F 0.90 × 0.90 × 0.85; 46 × 86 × 0.6885 × 1.00 × 3133 h = 8,533,370.898 Wh.
    f.enter(QStringLiteral("Txt_Schedule"));
    QCOMPARE(f.tab(), FBEIL::kFirstControlTab + 2);
    f.click(QStringLiteral("Btn_Control_2_2"));
    QCOMPARE(f.box(QStringLiteral("Txt_Schedule"))->text(), QStringLiteral("点滅方式"));
    QCOMPARE(f.box(QStringLiteral("Txt_F"))->text(), QStringLiteral("0.6885"));
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("83,285.7"));
    QCOMPARE(f.box(QStringLiteral("Txt_BEIL"))->text(), QStringLiteral("0.78"));
    QCOMPARE(f.focused(), QStringLiteral("Txt_Shoki"));
    QVERIFY(f.sheet->isWindowModified());

    // 40 fittings typed: the figures follow as it is typed.
    f.enter(QStringLiteral("Txt_Daisu"));
    f.box(QStringLiteral("Txt_Daisu"))->selectAll();
    QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("40"));
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("72,422.3"));
    QCOMPARE(f.box(QStringLiteral("Txt_BEIL"))->text(), QStringLiteral("0.68"));

    // Confirmed: this row alone has the new control; the list shows it.
    f.click(QStringLiteral("Btn_Adv"));
    const RecordGrid &g = f.sheet->recordGrid();
    QCOMPARE(g.text(3, Schedule), QStringLiteral("点滅方式"));
    QCOMPARE(g.text(3, FittingCount), QStringLiteral("40"));
    // A count typed: the illuminance sheet keeps it instead of working it out from the lamps.
    QCOMPARE(g.text(3, BeilRecord::FittingCountAuto), QStringLiteral("0"));
    QCOMPARE(g.text(12, BeilRecord::FittingCountAuto), QStringLiteral("1"));
    QCOMPARE(g.text(12, Schedule), QStringLiteral("減光方式"));
    QCOMPARE(f.w<ListGrid>(QStringLiteral("SPD_Data"))->cellText(3, 8), QStringLiteral("調光・消灯・センサ蛍光"));
    QCOMPARE(f.sheet->rowNumber(), 4);
}

void TestBeilSheet::olderSpellingsOpenInTheCurrentOnes()
{
    // A file of the older sheets: the schedule written 減光 and 消灯, full-width parentheses.
    QTemporaryDir dir;
    RecordGrid file(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(file, example(QStringLiteral("office-3f-beil.syw"))));
    file.setText(3, Schedule, QStringLiteral("減光"));
    file.setText(9, Schedule, QStringLiteral("消灯"));
    file.setText(2, InitialCorrection, QStringLiteral("タイマ方式（LED）"));
    const QString path = dir.filePath(QStringLiteral("older.syw"));
    QVERIFY(WorkFile::save(file, path));
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {path, path};
    f.sheet->Menu_File_Open_Click();
    QVERIFY(f.sheet->isWindowModified());
    QVERIFY(f.sheet->statusMessage().contains(QStringLiteral("3 行の制御を現在の様式の書き方にしました")));
    goToRow(f, 3);
    QCOMPARE(f.box(QStringLiteral("Txt_Schedule"))->text(), QStringLiteral("減光方式"));
    f.sheet->Menu_File_Save_Click();
    RecordGrid saved(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(saved, path));
    QCOMPARE(saved.text(3, Schedule), QStringLiteral("減光方式"));
    QCOMPARE(saved.text(9, Schedule), QStringLiteral("点滅方式"));
    QCOMPARE(saved.text(2, InitialCorrection), QStringLiteral("タイマ方式(LED)"));
}

void TestBeilSheet::roomUseProposedFromTheName()
{
    BeilFixture f;
    f.dialogs.paths = {example(QStringLiteral("office-3f.syw"))};
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.dialogs.dialogAnswers = {[](QDialog &d) {
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Tatemono"))->setCurrentText(QStringLiteral("事務所等"));
        d.accept();
        return d.result();
    }};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 9); // 1F 廊下: its name is a room use of an office
    QCOMPARE(f.box(QStringLiteral("Txt_Tatemono"))->text(), QStringLiteral("事務所等"));
    QCOMPARE(f.box(QStringLiteral("Txt_Youto"))->text(), QStringLiteral("廊下"));
    QCOMPARE(f.sheet->recordGrid().text(9, RoomUse), QString()); // proposed, not yet taken
    QVERIFY(f.sheet->statusMessage().contains(QStringLiteral("提案")));
    // No input power yet: the room says which value is missing.
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Message"))->text(), QStringLiteral("9 行目（廊下）の入力電力が入力されていません。"));
    f.enter(QStringLiteral("Txt_InDenryoku"));
    QTest::keyClicks(f.box(QStringLiteral("Txt_InDenryoku")), QStringLiteral("45"));
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Message"))->text(), QString());
    // The same room of a school: another standard (188 MJ/㎡, 2410 h).
    f.enter(QStringLiteral("Txt_Tatemono"));
    f.click(QStringLiteral("Btn_Tatemono_4"));
    QCOMPARE(f.box(QStringLiteral("Txt_Tatemono"))->text(), QStringLiteral("学校等"));
    QCOMPARE(f.box(QStringLiteral("Txt_Youto"))->text(), QStringLiteral("廊下"));
    QCOMPARE(f.box(QStringLiteral("Txt_ESL"))->text(), QStringLiteral("11,280.0"));
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("5,292.4")); // 450 W × 0.50 × 2410 h
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->recordGrid().text(9, RoomUse), QStringLiteral("廊下"));
    QCOMPARE(f.sheet->recordGrid().text(9, BuildingUse), QStringLiteral("学校等"));
}

void TestBeilSheet::defaultBuildingUseAfterAQuestion()
{
    BeilFixture f;
    f.dialogs.paths = {example(QStringLiteral("office-3f.syw"))};
    // The options come up with the file: 病院等, but the rooms keep none (No).
    f.dialogs.answers = {Dialogs::Answer::No};
    f.dialogs.dialogAnswers = {[](QDialog &d) {
        d.findChild<QComboBox *>(QStringLiteral("Cmb_Tatemono"))->setCurrentText(QStringLiteral("病院等"));
        d.accept();
        return d.result();
    }};
    f.sheet->Menu_File_Open_Click();
    const RecordGrid &g = f.sheet->recordGrid();
    QCOMPARE(g.text(kHeadingsRow, kDefaultBuildingUse), QStringLiteral("病院等"));
    QCOMPARE(g.text(1, BuildingUse), QString());
    QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("建物用途が設定されていない 30 室に「病院等」を設定しますか？"));
    // The panel proposes the default for the room to confirm.
    QCOMPARE(f.box(QStringLiteral("Txt_Tatemono"))->text(), QStringLiteral("病院等"));
    // Saved so, the file brings the options up again when it is opened: rooms still have none.
    QTemporaryDir dir;
    QVERIFY(WorkFile::save(g, dir.filePath(QStringLiteral("a.syw"))));
    {
        BeilFixture again;
        again.dialogs.paths = {dir.filePath(QStringLiteral("a.syw"))};
        again.sheet->Menu_File_Open_Click();
        QCOMPARE(again.dialogs.asked.last().kind, QStringLiteral("dialog"));
    }
    Dialogs::setInstance(&f.dialogs); // the second sheet's answers are gone with it
    // Asked again from the menu, Yes: every row of every room.
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.dialogs.dialogAnswers = {[](QDialog &d) {
        d.accept();
        return d.result();
    }};
    f.sheet->Menu_Option_Click();
    for (int r = 1; r <= 31; ++r)
        QCOMPARE(g.text(r, BuildingUse), QStringLiteral("病院等"));
    QCOMPARE(g.text(32, BuildingUse), QString());
    QCOMPARE(f.box(QStringLiteral("Txt_Tatemono"))->text(), QStringLiteral("病院等"));
}

void TestBeilSheet::form4RowsFromTheButton()
{
    BeilFixture f;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("rows.csv"));
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw")), out};
    f.sheet->Menu_File_Open_Click();
    // A count typed on row 1 and not confirmed: asked first, confirmed, then written.
    f.enter(QStringLiteral("Txt_Daisu"));
    f.box(QStringLiteral("Txt_Daisu"))->selectAll();
    QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("60"));
    f.dialogs.answers = {Dialogs::Answer::Confirm};
    f.click(QStringLiteral("Btn_Form4"));
    QVERIFY(f.dialogs.messages().contains(QStringLiteral("1 行目の編集内容を確認しますか？")));
    QCOMPARE(f.dialogs.asked.last().kind, QStringLiteral("save"));
    QVERIFY(f.dialogs.asked.last().text.endsWith(QStringLiteral("様式4 (照明)照明入力シート.csv")));
    bool ok = false;
    const QStringList lines = Cp932::decode(TestEnv::readBytes(out), &ok).split(QStringLiteral("\r\n"));
    QVERIFY(ok);
    QCOMPARE(lines.size(), 42); // the ten header rows, 31 kinds of luminaire and the end of the file
    QVERIFY(lines[0].startsWith(QStringLiteral("様式 4. (照明)照明,")));
    QCOMPARE(lines[10], QStringLiteral("1F,玄関ホール,事務所等,ロビー,48.0,4.0,3.5,8.0,6.0,,埋込ﾀﾞｳﾝﾗｲﾄLDA(LDA7N-1),7,60,無,無,点滅方式,無,"));
    QCOMPARE(lines[11], QStringLiteral(",,,,,,,,,,LED間接照明形(LED-BL2500-1),19,23,無,無,点滅方式,タイマ方式(LED),"));
    // A refused room writes nothing and says why.
    f.sheet->recordGrid().setText(5, InputPower, QStringLiteral("abc"));
    f.dialogs.paths = {dir.filePath(QStringLiteral("other.csv"))};
    QStringList listed;
    f.dialogs.dialogAnswers = {[&listed](QDialog &d) {
        auto *list = d.findChild<QTableWidget *>(QStringLiteral("Spd_Mondai"));
        for (int i = 0; i < list->rowCount(); ++i)
            listed.append(list->item(i, 5)->toolTip());
        return int(QDialog::Rejected);
    }};
    f.click(QStringLiteral("Btn_Form4"));
    QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("F_Mondai"));
    QCOMPARE(listed, QStringList{QStringLiteral("5 行目（応接室）の入力電力「abc」は数値ではありません。")});
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("other.csv"))));
}

void TestBeilSheet::otherSheetsFilesStayAsTheyWere()
{
    // The BEI/L sheet opens a CEC/L file and saves it untouched: the same bytes (its columns
    // 121 to 129 are written only when it is used).
    QTemporaryDir dir;
    {
        BeilFixture f;
        f.dialogs.paths = {example(QStringLiteral("office-3f-cecl.syw")), dir.filePath(QStringLiteral("cecl.syw"))};
        f.sheet->Menu_File_Open_Click(); // the options come up and are cancelled
        f.sheet->Menu_File_NSave_Click();
        QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("cecl.syw"))),
                 TestEnv::readBytes(example(QStringLiteral("office-3f-cecl.syw"))));
    }
    // The illuminance sheet keeps the BEI/L columns of a file it saves.
    SheetFixture s(TestEnv::sampleMasters());
    s.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw")), dir.filePath(QStringLiteral("beil.syw"))};
    s.sheet->Menu_File_Open_Click();
    s.sheet->Menu_File_NSave_Click();
    RecordGrid saved(kHeadingsRow, kColumns), original(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(saved, dir.filePath(QStringLiteral("beil.syw"))));
    QVERIFY(WorkFile::load(original, example(QStringLiteral("office-3f-beil.syw"))));
    for (int r = 1; r <= kHeadingsRow; ++r)
        for (int c = kFirstColumn; c <= kLastColumn; ++c)
            QCOMPARE(saved.text(r, c), original.text(r, c));
}

void TestBeilSheet::staleFiguresFollowTheirInputs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("照度計算書") << "照度";
    QTest::newRow("CEC/L 計算書") << "CEC/L";
    QTest::newRow("一次エネルギー計算書") << "BEI/L";
}

void TestBeilSheet::staleFiguresFollowTheirInputs()
{
    // Design illuminances changed in rows 3, 7 and 12 with their figures left behind (as 確認
    // with the mouse once stored them, or another program wrote them).
    QFETCH(QString, kind);
    QTemporaryDir dir;
    RecordGrid file(kHeadingsRow, 38);
    QVERIFY(WorkFile::load(file, example(QStringLiteral("office-3f.syw"))));
    file.setText(3, RoomRecord::DesignIlluminance, QStringLiteral("700"));
    file.setText(7, RoomRecord::DesignIlluminance, QStringLiteral("300"));
    file.setText(12, RoomRecord::DesignIlluminance, QStringLiteral("500"));
    const QString path = dir.filePath(QStringLiteral("stale.syw"));
    QVERIFY(WorkFile::save(file, path));
    AnySheet a(kind);
    a.open(path);
    QCOMPARE(a.sheet()->statusMessage(), QStringLiteral("3 行の計算結果を入力に合わせて更新しました（3, 7, 12 行）"));
    QVERIFY(a.sheet()->isWindowModified());
    // Row 3: F × U × M = 3450 × 0.70 × 0.73 = 1762.95, 216.0 ㎡, 2 a fitting, 32 W a lamp:
    // 151200 / 1762.95 + 0.0999 → 85.8, 86 lamps, 151613 / 216 + 0.5 → 702 lx, 43 fittings.
    QCOMPARE(figuresOf(a.sheet()->recordGrid(), 3), (QStringList{"85.8", "86", "702", "43", "2752"}));
    QCOMPARE(a.sheet()->recordGrid().text(4, RoomRecord::ResultIlluminance), QStringLiteral("509")); // as it was
}

void TestBeilSheet::unchangedFilesStayByteForByte_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::newRow("照度, 38 columns") << "照度" << "office-3f.syw";
    QTest::newRow("照度, a BEI/L file") << "照度" << "office-3f-beil.syw";
    QTest::newRow("CEC/L") << "CEC/L" << "office-3f-cecl.syw";
    QTest::newRow("BEI/L") << "BEI/L" << "office-3f-beil.syw";
    QTest::newRow("BEI/L, a 38-column file") << "BEI/L" << "office-3f.syw";
    QTest::newRow("BEI/L, a CEC/L file") << "BEI/L" << "office-3f-cecl.syw";
    // Rows 7 and 8 without 光束, 照明率 and 保守率 (typed in another program): kept as stored.
    QTest::newRow("照度, rows that cannot be worked out") << "照度" << "unworkable";
    QTest::newRow("CEC/L, rows that cannot be worked out") << "CEC/L" << "unworkable";
    QTest::newRow("BEI/L, rows that cannot be worked out") << "BEI/L" << "unworkable";
}

void TestBeilSheet::unchangedFilesStayByteForByte()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QTemporaryDir dir;
    QString path = example(file), said;
    RecordGrid stored(kHeadingsRow, 1);
    if (file == u"unworkable") {
        QVERIFY(WorkFile::load(stored, example(QStringLiteral("office-3f-cecl.syw"))));
        for (int row : {7, 8})
            for (int c : {int(RoomRecord::LampFlux), int(RoomRecord::UtilizationFactor), int(RoomRecord::MaintenanceFactor),
                          int(RoomRecord::LampIndex)})
                stored.setText(row, c, QString());
        path = dir.filePath(QStringLiteral("unworkable.syw"));
        QVERIFY(WorkFile::save(stored, path));
        said = QStringLiteral("7, 8 行目は入力が足りないため計算結果を確かめられません（保存された値のままです）");
        QVERIFY(stored.text(7, RoomRecord::ResultIlluminance).toInt() > 0);
    }
    AnySheet a(kind);
    a.open(path);
    QVERIFY(!a.sheet()->isWindowModified());
    QCOMPARE(a.sheet()->statusMessage(), said);
    a.dialogs().paths = {dir.filePath(QStringLiteral("saved.syw"))};
    a.sheet()->Menu_File_NSave_Click();
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("saved.syw"))), TestEnv::readBytes(path));
    // The CEC/L zone takes the illuminance as stored, not 0.
    if (a.cecl && !said.isEmpty()) {
        goToRow(*a.cecl, 7);
        QCOMPARE(a.sheet()->text(QStringLiteral("Txt_Syoudo")), stored.text(7, RoomRecord::ResultIlluminance));
    }
}

void TestBeilSheet::widthFollowsTheFileOpened()
{
    // One window, a 140-column file, then a 38-column one: saved with 38 columns, as it was.
    QTemporaryDir dir;
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    f.dialogs.paths = {example(QStringLiteral("office-3f.syw")), dir.filePath(QStringLiteral("a.syw"))};
    f.sheet->Menu_File_Open_Click();
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("a.syw"))), TestEnv::readBytes(example(QStringLiteral("office-3f.syw"))));
    // Used beyond its width, the file takes the sheet's columns.
    goToRow(f, 5);
    f.enter(QStringLiteral("Txt_InDenryoku"));
    QTest::keyClicks(f.box(QStringLiteral("Txt_InDenryoku")), QStringLiteral("30"));
    f.click(QStringLiteral("Btn_Adv"));
    f.sheet->Menu_File_Save_Click();
    RecordGrid saved(kHeadingsRow, 1);
    QVERIFY(WorkFile::load(saved, dir.filePath(QStringLiteral("a.syw"))));
    QCOMPARE(saved.colCount(), 140);
    QCOMPARE(saved.text(5, InputPower), QStringLiteral("30"));
}

void TestBeilSheet::countGivenHereReachesTheOtherSheets()
{
    // The CEC/L example: row 3 (1F 事務室（営業）) has 46 fittings worked out for 750 lx, 86 W each
    // (トータル入力 3956 W).
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 3);
    f.enter(QStringLiteral("Txt_Daisu"));
    f.box(QStringLiteral("Txt_Daisu"))->selectAll();
    QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("30"));
    // Said before it is confirmed: 30 × 2 = 60 lamps, 1762.95 × 60 = 105777 → 105777 / 216 + 0.5 → 490 lx;
    // 30 × 86 = 2580 W.
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Shared"))->text(),
             QStringLiteral("照度計算書の台数も 30 台になります（計算照度 751 → 490 lx）\n"
                            "CEC/L 計算書の台数も変わります（トータル入力 3956 → 2580 W）"));
    const RecordGrid before = f.sheet->recordGrid();
    QCOMPARE(before.text(3, RoomRecord::ResultIlluminance), QStringLiteral("751"));
    f.click(QStringLiteral("Btn_Adv"));
    const RecordGrid &g = f.sheet->recordGrid();
    // The illuminance row by its own rules: 台数 as given, lamps from it, illuminance from them.
    QCOMPARE(figuresOf(g, 3), (QStringList{"91.9", "60", "490", "30", "1920"}));
    QCOMPARE(g.text(3, RoomRecord::FittingCountAuto), QStringLiteral("0"));
    QCOMPARE(g.text(3, RoomRecord::LampCountAuto), QStringLiteral("0"));
    QCOMPARE(g.text(3, 105), QStringLiteral("2580"));
    // The illuminance report prints the same.
    QTemporaryDir dir;
    QList<QSqlRecord> records;
    QString error;
    const MasterTables masters = TestEnv::sampleMasters();
    QVERIFY(IlluminancePrintTable::build(g, QString(), QString(), dir.filePath(QStringLiteral("t.mdb")), &error, &records,
                                         nullptr, &masters) > 0);
    const QSqlRecord &r = records[2];
    QCOMPARE(r.value(QStringLiteral("行№")).toInt(), 3);
    QCOMPARE(r.value(QStringLiteral("灯数２")).toInt(), 60);
    QCOMPARE(r.value(QStringLiteral("照度２")).toInt(), 490);
    QCOMPARE(r.value(QStringLiteral("台数")).toInt(), 30);
    // Row 4's count unchanged: nothing said, nothing else written.
    goToRow(f, 4);
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Shared"))->text(), QString());
    f.click(QStringLiteral("Btn_Adv"));
    for (int c = 1; c <= 120; ++c)
        QCOMPARE(g.text(4, c), before.text(4, c));
}

void TestBeilSheet::countsThatDisagreeAreSaid_data()
{
    QTest::addColumn<QString>("fittings");
    QTest::addColumn<QString>("perFitting");
    QTest::addColumn<QString>("lamps");
    QTest::addColumn<QString>("note"); // "" when they agree
    QTest::newRow("40 × 2 against 60") << "40" << "2" << "60" << "台数 40 × 2 灯 = 80 灯ですが、灯数は 60 灯です（照度は 60 灯で計算しています）";
    QTest::newRow("30 × 2 = 60") << "30" << "2" << "60" << "";
    // 25 lamps typed, the fittings rounded to 13: 26 lamps.
    QTest::newRow("13 × 2 against 25") << "13" << "2" << "25" << "台数 13 × 2 灯 = 26 灯ですが、灯数は 25 灯です（照度は 25 灯で計算しています）";
    QTest::newRow("10 × 3 = 30") << "10" << "3" << "30" << "";
    QTest::newRow("no lamps per fitting") << "40" << "" << "60" << "";
    QTest::newRow("台数 no number") << "４０" << "2" << "60" << "";
}

void TestBeilSheet::countsThatDisagreeAreSaid()
{
    QFETCH(QString, fittings);
    QFETCH(QString, perFitting);
    QFETCH(QString, lamps);
    QFETCH(QString, note);
    const auto m = RoomFigures::countMismatch(fittings, perFitting, lamps);
    QCOMPARE(m ? RoomFigures::mismatchNote(*m) : QString(), note);
}

void TestBeilSheet::countsOnEverySheet()
{
    // The BEI/L example's row 3 (1F 事務室（営業）, 750 lx, 2 lamps a fitting): 30 fittings given here.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("b.syw"));
    {
        BeilFixture f(TestEnv::sampleMasters());
        f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
        f.sheet->Menu_File_Open_Click();
        goToRow(f, 3);
        f.enter(QStringLiteral("Txt_Daisu"));
        f.box(QStringLiteral("Txt_Daisu"))->selectAll();
        QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("30"));
        // Said in red before 確認: the room falls below its design illuminance.
        auto *warning = f.w<QLabel>(QStringLiteral("Lbl_SharedWarning"));
        QCOMPARE(warning->text(), QStringLiteral("設計照度 750 lx を下回ります（490 lx）"));
        QVERIFY(warning->styleSheet().contains(QStringLiteral("#b00000")));
        f.click(QStringLiteral("Btn_Adv"));
        QCOMPARE(figuresOf(f.sheet->recordGrid(), 3).mid(1, 3), (QStringList{"60", "490", "30"}));
        // The same count again says nothing: nothing changes.
        goToRow(f, 3);
        QCOMPARE(warning->text(), QString());
        f.dialogs.paths = {file};
        f.sheet->Menu_File_NSave_Click();
    }
    // 40 typed on the illuminance sheet: the lamps and the illuminance stay (automatic off), and the
    // panel says so.
    {
        SheetFixture f(TestEnv::sampleMasters());
        f.dialogs.paths = {file};
        f.sheet->Menu_File_Open_Click();
        goToRow(f, 3);
        auto *note = f.w<QLabel>(QStringLiteral("Lbl_TousuNote"));
        QCOMPARE(note->text(), QString());
        f.enter(QStringLiteral("Txt_Daisu"));
        f.box(QStringLiteral("Txt_Daisu"))->selectAll();
        QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("40"));
        f.enter(QStringLiteral("Txt_Biko1"));
        QCOMPARE(f.sheet->text(QStringLiteral("Txt_Tousu2")), QStringLiteral("60"));
        QCOMPARE(f.sheet->text(QStringLiteral("Txt_Syoudo2")), QStringLiteral("490"));
        QCOMPARE(note->text(), QStringLiteral("台数 40 × 2 灯 = 80 灯ですが、灯数は 60 灯です（照度は 60 灯で計算しています）"));
        f.click(QStringLiteral("Btn_Adv"));
        f.sheet->Menu_File_Save_Click();
        // Another row that agrees says nothing.
        goToRow(f, 4);
        QCOMPARE(note->text(), QString());
    }
    RecordGrid g(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(g, file));
    const QString said = QStringLiteral("照度計算書の灯数 60 と台数 40 × 1 台あたり 2 灯が合いません");
    // The BEI/L figures count the 40 fittings, and its problems list says why they differ.
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    QVERIFY(BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &rooms, &problems));
    int listed = 0;
    for (const BeilRooms::Problem &p : std::as_const(problems))
        if (p.message().contains(said)) {
            ++listed;
            QCOMPARE(p.row, 3);
            QVERIFY(p.warning);
        }
    QCOMPARE(listed, 1);
    for (const BeilRooms::Room &r : std::as_const(rooms))
        if (r.texts.row == 3)
            QCOMPARE(r.luminaires.first().count, 40.0);
    // The CEC/L preview's notices name it too.
    CeclPrintTable::Result result;
    RecordGrid copy = g;
    QVERIFY(CeclPrintTable::makeLines(copy, QString(), QString(), &result));
    QVERIFY2(result.notices.join(u'\n').contains(QStringLiteral("3 行目（事務室）: ") + said), qPrintable(result.notices.join(u'\n')));
}

void TestBeilSheet::powerGivenOnTheCeclSheetIsNamedHere()
{
    // The BEI/L example's row 5 (応接室) opened on the CEC/L sheet: its 入力電力 is the BEI/L
    // sheet's as well.
    CeclFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 5);
    f.enter(QStringLiteral("Txt_InDenryoku"));
    f.box(QStringLiteral("Txt_InDenryoku"))->selectAll();
    QTest::keyClicks(f.box(QStringLiteral("Txt_InDenryoku")), QStringLiteral("40"));
    f.enter(QStringLiteral("Txt_Seigyo"));
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Shared"))->text(), QStringLiteral("一次エネルギー（照明）計算書の入力電力も 40 W になります"));
}

void TestBeilSheet::clearThenConfirmErasesNothingUnasked_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("question"); // "" when nothing is asked
    // The BEI/L panel's room fields are read-only: cleared, it takes back what was typed.
    QTest::newRow("BEI/L") << "BEI/L" << "office-3f-beil.syw" << "";
    QTest::newRow("CEC/L") << "CEC/L" << "office-3f-cecl.syw" << "4 行目の入力電力を消去します。消去しますか？";
    QTest::newRow("CEC/L, a row the BEI/L sheet uses") << "CEC/L" << "office-3f-beil.syw"
                                                       << "4 行目の入力電力を消去します。一次エネルギー（照明）計算書でも使われています。消去しますか？";
    QTest::newRow("照度") << "照度" << "office-3f-beil.syw"
                         << "4 行目のデータをすべて消去します。一次エネルギー（照明）計算書の値も消えます。消去しますか？";
}

void TestBeilSheet::clearThenConfirmErasesNothingUnasked()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    QFETCH(QString, question);
    AnySheet a(kind);
    a.open(example(file));
    if (a.syoudo)
        goToRow(*a.syoudo, 4);
    else if (a.cecl)
        goToRow(*a.cecl, 4);
    else
        goToRow(*a.beil, 4);
    // A typed change first, so a cleared panel that kept it would show.
    a.sheet()->setText(QStringLiteral("Txt_Kai"), a.sheet()->text(QStringLiteral("Txt_Kai")));
    const RecordGrid before = a.sheet()->recordGrid();
    a.dialogs().asked.clear();
    a.sheet()->Btn_Clear_Click();
    if (a.beil)
        QCOMPARE(a.sheet()->text(QStringLiteral("Txt_Youto")), QStringLiteral("会議室"));
    a.sheet()->setText(QStringLiteral("Txt_Gyou"), QStringLiteral("4"));
    a.sheet()->Btn_Adv_Click(); // いいえ, the default
    QCOMPARE(a.dialogs().messages(), question.isEmpty() ? QStringList() : QStringList{question});
    // Nothing erased; only the 非居室 the user has now seen is stored as decided.
    RecordGrid after = a.sheet()->recordGrid();
    for (int r = 1; r <= 220; ++r)
        after.setText(r, NonHabitable, before.text(r, NonHabitable));
    QCOMPARE(after, before);
}

void TestBeilSheet::erasingTheSharedValuesIsAsked()
{
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-cecl.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 8);
    for (const QString &b : {QStringLiteral("Txt_Daisu"), QStringLiteral("Txt_InDenryoku")}) {
        f.enter(b);
        f.box(b)->selectAll();
        QTest::keyClick(f.box(b), Qt::Key_Backspace);
    }
    const RecordGrid before = f.sheet->recordGrid();
    f.dialogs.asked.clear();
    f.click(QStringLiteral("Btn_Adv")); // いいえ, the default: nothing erased, the panel kept
    QCOMPARE(f.dialogs.messages(),
             QStringList{QStringLiteral("8 行目の台数と入力電力を消去します。照度計算書と CEC/L 計算書でも使われています。消去しますか？")});
    QCOMPARE(f.dialogs.asked.last().buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(f.sheet->recordGrid(), before);
    QCOMPARE(f.sheet->rowNumber(), 8);
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->recordGrid().text(8, FittingCount), QString());
    QCOMPARE(f.sheet->recordGrid().text(8, InputPower), QString());
}

void TestBeilSheet::previewListsEveryProblemAndGoesToItsRow()
{
    QTemporaryDir dir;
    RecordGrid file(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(file, example(QStringLiteral("office-3f-beil.syw"))));
    file.setText(5, InputPower, QStringLiteral("abc"));   // 応接室
    file.setText(10, RoomUse, QString());                  // 倉庫
    file.setText(1, InputPower, QString());                // 玄関ホール, both rows
    file.setText(2, InputPower, QString());
    const QString path = dir.filePath(QStringLiteral("faults.syw"));
    QVERIFY(WorkFile::save(file, path));
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {path};
    f.sheet->Menu_File_Open_Click();
    // The list marks the rows to complete.
    auto *list = f.w<ListGrid>(QStringLiteral("SPD_Data"));
    QStringList marked;
    for (int r = 1; r <= 31; ++r)
        if (list->cellText(r, 5) == u"要入力")
            marked.append(QString::number(r));
    QCOMPARE(marked, (QStringList{"1", "5", "10"}));
    QVERIFY(f.w<QLabel>(QStringLiteral("Lbl_Building"))->text().contains(QStringLiteral("要入力の行が 3 行あります")));
    // The preview lists every problem at once; 行へ移動 on the 倉庫's shows its row.
    QStringList listed;
    f.dialogs.dialogAnswers = {[&listed](QDialog &d) {
        auto *problems = d.findChild<QTableWidget *>(QStringLiteral("Spd_Mondai"));
        for (int i = 0; i < problems->rowCount(); ++i)
            listed.append(problems->item(i, 1)->text() + u' ' + problems->item(i, 3)->text());
        problems->setCurrentCell(2, 0);
        d.findChild<QPushButton *>(QStringLiteral("Btn_Jump"))->click();
        return d.result();
    }};
    f.sheet->Menu_File_Preview_Click();
    QCOMPARE(listed, (QStringList{"1 入力電力", "5 入力電力", "10 室用途"}));
    QCOMPARE(f.sheet->rowNumber(), 10);
    QCOMPARE(f.box(QStringLiteral("Txt_Shitsu"))->text(), QStringLiteral("倉庫"));
    QVERIFY(!QFile::exists(f.sheet->workDatabasePath())); // no report
}

void TestBeilSheet::choiceThatDoesNotSuitTheRoomStandsOut()
{
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 4); // 1F 会議室（第1）: a room, not marked 非居室
    QVERIFY(!f.w<QCheckBox>(QStringLiteral("Chk_Hikyoshitsu"))->isChecked());
    f.enter(QStringLiteral("Txt_Zaishitsu"));
    f.click(QStringLiteral("Btn_Control_0_2")); // 点滅方式
    QCOMPARE(f.box(QStringLiteral("Txt_Zaishitsu"))->text(), QStringLiteral("点滅方式"));
    QVERIFY(f.box(QStringLiteral("Txt_Zaishitsu"))->styleSheet().contains(QStringLiteral("#b00000")));
    QVERIFY(f.w<QLabel>(QStringLiteral("Lbl_Message"))->text().contains(QStringLiteral("在室検知制御「点滅方式」は非居室に限ります")));
    // Still worked out with its factor: 9 × 86 W × 0.70 × 0.80 (K 1.26) × 2169 h × 9.76 × 10⁻³
    // = 9,175.68 MJ.
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("9,175.7"));
    // Marked 非居室: no longer in red; confirmed with the room.
    QTest::mouseClick(f.w<QCheckBox>(QStringLiteral("Chk_Hikyoshitsu")), Qt::LeftButton);
    QVERIFY(!f.box(QStringLiteral("Txt_Zaishitsu"))->styleSheet().contains(QStringLiteral("#b00000")));
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_Message"))->text(), QString());
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->recordGrid().text(4, NonHabitable), QStringLiteral("1"));
    // A 便所 is proposed 非居室 by its name.
    goToRow(f, 6);
    QVERIFY(f.w<QCheckBox>(QStringLiteral("Chk_Hikyoshitsu"))->isChecked());
}

void TestBeilSheet::buildingFiguresFollowEveryConfirm()
{
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    const auto designOf = [&] {
        const QString t = f.w<QLabel>(QStringLiteral("Lbl_Building"))->text();
        const qsizetype at = t.indexOf(QStringLiteral("E_L&nbsp;</td><td align=\"right\">"));
        return QString(t.mid(at).section(u'>', 2).section(u' ', 0, 0)).remove(u',').toDouble();
    };
    const double before = designOf();
    QVERIFY(before > 0);
    goToRow(f, 3);
    const double roomBefore = QString(f.box(QStringLiteral("Txt_EL"))->text()).remove(u',').toDouble();
    QCOMPARE(f.w<ListGrid>(QStringLiteral("SPD_Data"))->cellText(3, 4), f.box(QStringLiteral("Txt_EL"))->text());
    f.enter(QStringLiteral("Txt_Daisu"));
    f.box(QStringLiteral("Txt_Daisu"))->selectAll();
    QTest::keyClicks(f.box(QStringLiteral("Txt_Daisu")), QStringLiteral("30"));
    const double roomAfter = QString(f.box(QStringLiteral("Txt_EL"))->text()).remove(u',').toDouble();
    QCOMPARE(designOf(), before); // not before it is confirmed
    f.click(QStringLiteral("Btn_Adv"));
    QVERIFY(std::fabs(designOf() - (before - roomBefore + roomAfter)) <= 0.11);
}

void TestBeilSheet::optionsHoldTheHeadings()
{
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    QString shown;
    f.dialogs.dialogAnswers = {[&shown](QDialog &d) {
        shown = d.findChild<QLineEdit *>(QStringLiteral("Txt_Title1"))->text();
        d.findChild<QLineEdit *>(QStringLiteral("Txt_Title1"))->setText(QStringLiteral("○○庁舎改修工事"));
        d.findChild<QLineEdit *>(QStringLiteral("Txt_YYMMDD"))->setText(QStringLiteral("令和 9 年 1 月 15 日"));
        d.accept();
        return d.result();
    }};
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_Option"))->trigger();
    QCOMPARE(shown, QStringLiteral("（仮称）ゼルティカ第一ビル新築工事"));
    QCOMPARE(f.sheet->recordGrid().text(kHeadingsRow, kTitle1), QStringLiteral("○○庁舎改修工事"));
    QCOMPARE(f.sheet->recordGrid().text(kHeadingsRow, kDate), QStringLiteral("令和 9 年 1 月 15 日"));
    QVERIFY(f.sheet->isWindowModified());
    // The work file's filter names the work file.
    f.dialogs.paths = {QString()};
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.dialogs.asked.last().title, QStringLiteral("作業ファイル (*.syw)|*.syw"));
}

void TestBeilSheet::reportsOfOneFileHaveNamesOfTheirOwn()
{
    const QString file = example(QStringLiteral("office-3f-cecl.syw"));
    const QDir folder = QFileInfo(file).dir();
    const QList<QPair<QString, QString>> sheets = {{QStringLiteral("照度"), QStringLiteral("office-3f-cecl_照度計算書.pdf")},
                                                   {QStringLiteral("CEC/L"), QStringLiteral("office-3f-cecl_CECL.pdf")},
                                                   {QStringLiteral("BEI/L"), QStringLiteral("office-3f-cecl_BEIL.pdf")}};
    for (const auto &[kind, name] : sheets) {
        AnySheet a(kind);
        a.open(file);
        QCOMPARE(a.sheet()->pdfName(), folder.filePath(name));
    }
}

void TestBeilSheet::officialSheetsFromTheMenu()
{
    // Written from the example, then read into a sheet: the same rooms and figures, a new
    // document not yet saved.
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("公式.xlsx"));
    {
        BeilFixture f(TestEnv::sampleMasters());
        f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw")), book};
        f.sheet->Menu_File_Open_Click();
        f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_Official"))->trigger();
        QCOMPARE(f.sheet->statusMessage(),
                 QStringLiteral("様式1 30 行・様式4 31 行を書き出しました（%1）。照明以外の対象（空調・換気・給湯）は書き出していません。")
                     .arg(QDir::toNativeSeparators(book)));
        // Into that workbook again, as the building's own: the file proposed beside it.
        const QString into = dir.filePath(QStringLiteral("公式_照明.xlsx"));
        f.dialogs.paths = {book, QString()};
        f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_OfficialInto"))->trigger();
        QVERIFY(!QFile::exists(into)); // cancelled at the name: nothing written
        f.dialogs.paths = {book, into};
        f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_OfficialInto"))->trigger();
        QCOMPARE(f.sheet->statusMessage(), QStringLiteral("様式4 31 行、様式1 照明 ■ 30 室 → 公式_照明.xlsx"));
        QVERIFY(QFile::exists(into));
    }
    BeilFixture f(TestEnv::sampleMasters());
    f.dialogs.paths = {book};
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_Import"))->trigger();
    QCOMPARE(f.sheet->currentFileName(), QString());
    QVERIFY(f.sheet->isWindowModified());
    QCOMPARE(f.sheet->statusMessage(), QStringLiteral("様式4 31 行 → 30 室を読み込みました（公式.xlsx）"));
    const RecordGrid &g = f.sheet->recordGrid();
    QCOMPARE(g.text(3, RoomName1), QStringLiteral("事務室 （営業）"));
    QCOMPARE(g.text(3, InputPower), QStringLiteral("86"));
    QCOMPARE(g.text(3, Schedule), QStringLiteral("減光方式"));
    QCOMPARE(g.text(kHeadingsRow, kTitle1), QStringLiteral("（仮称）ゼルティカ第一ビル新築工事"));
    // The building's figures are the example's.
    RecordGrid original(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(original, example(QStringLiteral("office-3f-beil.syw"))));
    QList<BeilRooms::Room> a, b;
    QList<BeilRooms::Problem> pa, pb;
    QVERIFY(BeilRooms::evaluateBuilding(original, StandardValues::shipped(), &a, &pa));
    QVERIFY(BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &b, &pb));
    QCOMPARE(b.size(), a.size());
    QCOMPARE(BeilRooms::sums(b).designMJ, BeilRooms::sums(a).designMJ);
    QCOMPARE(BeilRooms::sums(b).standardMJ, BeilRooms::sums(a).standardMJ);
}

QTEST_MAIN(TestBeilSheet)
#include "tst_beil_sheet.moc"
