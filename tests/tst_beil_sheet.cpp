// The BEI/L sheet as a user works it: the example opened, a control chosen on a row and the
// figures following, a count typed, the row confirmed; a room's use proposed from its name; the
// building use changed; the default building use given after a question; the input-sheet rows
// written from the button; and files of the other sheets kept as they were.
#include "beil/BeilRecord.h"
#include "beil/FBEIL.h"
#include "grid/WorkFile.h"
#include "support/SheetFixture.h"
#include "text/Cp932.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

using namespace BeilRecord;

namespace {

using BeilFixture = SheetFixtureT<FBEIL>;

QString example(const QString &name)
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + name);
}

void goToRow(BeilFixture &f, int row)
{
    f.enter(QStringLiteral("Txt_Gyou"));
    f.box(QStringLiteral("Txt_Gyou"))->selectAll();
    f.type(QString::number(row));
}

} // namespace

class TestBeilSheet : public QObject
{
    Q_OBJECT
private slots:
    void controlChangesTheFigures();
    void roomUseProposedFromTheName();
    void defaultBuildingUseAfterAQuestion();
    void form4RowsFromTheButton();
    void otherSheetsFilesStayAsTheyWere();
};

void TestBeilSheet::controlChangesTheFigures()
{
    BeilFixture f;
    f.dialogs.paths = {example(QStringLiteral("office-3f-beil.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 3); // 1F 事務室: 46 × 86 W, 調光方式, 減光, センサ方式(蛍光灯)
    QCOMPARE(f.box(QStringLiteral("Txt_Youto"))->text(), QStringLiteral("事務室"));
    QCOMPARE(f.box(QStringLiteral("Txt_F"))->text(), QStringLiteral("0.7268"));
    QCOMPARE(f.box(QStringLiteral("Txt_EL"))->text(), QStringLiteral("87,912.7"));
    QCOMPARE(f.box(QStringLiteral("Txt_ESL"))->text(), QStringLiteral("107,568.0"));
    QCOMPARE(f.box(QStringLiteral("Txt_BEIL"))->text(), QStringLiteral("0.82"));
    QCOMPARE(f.w<QLabel>(QStringLiteral("Lbl_IndexUsed"))->text(), QStringLiteral("K 2.57（計算）　C_L 1.00"));

    // The schedule's tab, 消灯: F 0.90 × 0.90 × 0.85; 46 × 86 × 0.6885 × 1.00 × 3133 h = 8,533,370.898 Wh.
    f.enter(QStringLiteral("Txt_Schedule"));
    QCOMPARE(f.tab(), FBEIL::kFirstControlTab + 2);
    f.click(QStringLiteral("Btn_Control_2_2"));
    QCOMPARE(f.box(QStringLiteral("Txt_Schedule"))->text(), QStringLiteral("消灯"));
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
    QCOMPARE(g.text(3, Schedule), QStringLiteral("消灯"));
    QCOMPARE(g.text(3, FittingCount), QStringLiteral("40"));
    // A count typed: the illuminance sheet keeps it instead of working it out from the lamps.
    QCOMPARE(g.text(3, BeilRecord::FittingCountAuto), QStringLiteral("0"));
    QCOMPARE(g.text(12, BeilRecord::FittingCountAuto), QStringLiteral("1"));
    QCOMPARE(g.text(12, Schedule), QStringLiteral("減光"));
    QCOMPARE(f.w<ListGrid>(QStringLiteral("SPD_Data"))->cellText(3, 5), QStringLiteral("調光・消灯・センサ蛍光"));
    QCOMPARE(f.sheet->rowNumber(), 4);
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
    QVERIFY(f.dialogs.asked.last().text.endsWith(QStringLiteral("office-3f-beil-様式4.csv")));
    bool ok = false;
    const QStringList lines = Cp932::decode(TestEnv::readBytes(out), &ok).split(QStringLiteral("\r\n"));
    QVERIFY(ok);
    QCOMPARE(lines.size(), 32); // 31 kinds of luminaire and the end of the file
    QCOMPARE(lines[0], QStringLiteral("1F,玄関ホール,事務所等,ロビー,48.0,,3.5,8.0,6.0,,埋込ﾀﾞｳﾝﾗｲﾄLDA(LDA7N-1),7,60,無,無,消灯,無"));
    QCOMPARE(lines[1], QStringLiteral(",,,,,,,,,,LED間接照明形(LED-BL2500-1),19,23,無,無,消灯,タイマ方式(LED)"));
    // A refused room writes nothing and says why.
    f.sheet->recordGrid().setText(5, InputPower, QStringLiteral("abc"));
    f.dialogs.paths = {dir.filePath(QStringLiteral("other.csv"))};
    f.click(QStringLiteral("Btn_Form4"));
    QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("様式4の行を作成できません。\n5 行目（応接室）の入力電力「abc」は数値ではありません。"));
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

QTEST_MAIN(TestBeilSheet)
#include "tst_beil_sheet.moc"
