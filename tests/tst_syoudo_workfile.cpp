#include "grid/WorkFile.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RoomSheet.h"
#include "support/SheetFixture.h"
#include "text/Cp932.h"

#include <QFile>
#include <QTemporaryDir>


using namespace RoomRecord;

namespace {

// Commits a room through the panel at `row`.
void commitRoom(SheetFixture &f, int row, const QString &name)
{
    f.sheet->setText(QStringLiteral("Txt_Gyou"), QString::number(row));
    f.sheet->Screen_Set(row);
    f.sheet->setText(QStringLiteral("Txt_Shitsu"), name);
    f.sheet->setText(QStringLiteral("Txt_Kigu"), QStringLiteral("埋込下面開放形"));
    f.sheet->setText(QStringLiteral("Txt_Maguchi"), QStringLiteral("6.0"));
    f.sheet->Btn_Adv_Click();
}

} // namespace

class TestSyoudoWorkFile : public QObject
{
    Q_OBJECT
private slots:
    void saveAndReopen();
    void newAsksOnlyWithRooms();
    void newAnsweredNoChangesNothing();
    void saveWithoutNameRunsSaveAs();
    void cancelledDialogsChangeNothing();
    void failedSaveKeepsOldFileAndName_data();
    void failedSaveKeepsOldFileAndName();
    void corruptFileLeavesTheSheet_data();
    void corruptFileLeavesTheSheet();
    void ceclWideFileKeepsEveryColumn();
};

void TestSyoudoWorkFile::saveAndReopen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rooms.syw"));
    QByteArray saved;
    {
        SheetFixture f;
        RecordGrid &g = f.sheet->recordGrid();
        g.setText(kHeadingsRow, kTitle1, QStringLiteral("○○ビル新築工事"));
        g.setText(kHeadingsRow, kTitle2, QStringLiteral("照明設備"));
        g.setText(kHeadingsRow, kDate, QStringLiteral("令和 8 年 12 月 07 日"));
        for (int r : {1, 2, 5})
            commitRoom(f, r, QStringLiteral("室%1,\"引用\"").arg(r));
        f.dialogs.paths = {path};
        f.sheet->Menu_File_NSave_Click();
        QCOMPARE(f.sheet->currentFileName(), path);
        QCOMPARE(f.dialogs.asked.last().kind, QStringLiteral("save"));
        QCOMPARE(f.dialogs.asked.last().text, QStringLiteral("*.syw"));
        QCOMPARE(f.dialogs.asked.last().title, QStringLiteral("照度(*.syw)|*.syw"));
        QCOMPARE(f.dialogs.asked.last().filterIndex, 1);
        saved = TestEnv::readBytes(path);
        RecordGrid expected = g;
        SheetFixture o;
        o.dialogs.paths = {path};
        o.sheet->Menu_File_Open_Click();
        QCOMPARE(o.dialogs.asked.last().kind, QStringLiteral("open"));
        QCOMPARE(o.dialogs.asked.last().text, QStringLiteral("*.syw"));
        QCOMPARE(o.dialogs.asked.last().title, QStringLiteral("照度 (*.syw)|*.syw"));
        QCOMPARE(o.sheet->recordGrid(), expected);
        QCOMPARE(o.sheet->currentFileName(), path);
        QCOMPARE(o.box("Txt_Gyou")->text(), QStringLiteral("1"));
        QCOMPARE(o.box("Txt_Shitsu")->text(), QStringLiteral("室1,\"引用\""));
        QCOMPARE(o.w<ListGrid>("SPD_Data")->cellText(5, 2), QStringLiteral("室5,\"引用\""));
        QCOMPARE(o.w<ListGrid>("SPD_Data")->cellText(3, 2), QString());
        QCOMPARE(o.w<ListGrid>("SPD_Data")->activeRow(), 1);
        QVERIFY(o.dialogs.messages().isEmpty());
    }
    QCOMPARE(saved.count("\r\n"), 221);
    QVERIFY(saved.contains(Cp932::encode(QStringLiteral("○○ビル新築工事"))));
}

void TestSyoudoWorkFile::newAsksOnlyWithRooms()
{
    SheetFixture f;
    f.sheet->recordGrid().setText(kHeadingsRow, kTitle1, QStringLiteral("見出し"));
    f.sheet->Menu_File_New_Click();
    QVERIFY(f.dialogs.asked.isEmpty()); // an empty sheet never asks
    QCOMPARE(f.sheet->recordGrid().text(kHeadingsRow, kTitle1), QString()); // the headings go too

    // A saved sheet whose only room is on row 220 still asks before its rooms go.
    QTemporaryDir dir;
    commitRoom(f, 220, QStringLiteral("事務室"));
    f.dialogs.paths = {dir.filePath(QStringLiteral("a.syw"))};
    f.sheet->Menu_File_Save_Click();
    QVERIFY(!f.sheet->isWindowModified());
    f.dialogs.asked.clear();
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.sheet->Menu_File_New_Click();
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("現在編集中のデータを破棄しますか？")});
    QCOMPARE(f.dialogs.asked.first().buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(f.dialogs.asked.first().title, QStringLiteral("ゼルティカとドルネア"));
    QVERIFY(!RoomSheet::anyRoomInUse(f.sheet->recordGrid()));
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("1"));
    QCOMPARE(f.sheet->currentFileName(), QString());
    QCOMPARE(f.focused(), QStringLiteral("Txt_Gyou"));
}

void TestSyoudoWorkFile::newAnsweredNoChangesNothing()
{
    SheetFixture f;
    commitRoom(f, 1, QStringLiteral("事務室"));
    f.sheet->setText(QStringLiteral("Txt_Shitsu"), QStringLiteral("編集中"));
    const RecordGrid before = f.sheet->recordGrid();
    f.dialogs.answers = {Dialogs::Answer::No};
    f.sheet->Menu_File_New_Click();
    QCOMPARE(f.sheet->recordGrid(), before);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("編集中"));
}

void TestSyoudoWorkFile::saveWithoutNameRunsSaveAs()
{
    QTemporaryDir dir;
    SheetFixture f;
    commitRoom(f, 1, QStringLiteral("事務室"));
    f.dialogs.paths = {dir.filePath(QStringLiteral("a.syw"))};
    f.sheet->Menu_File_Save_Click();
    QCOMPARE(f.dialogs.asked.size(), 1);
    QCOMPARE(f.dialogs.asked.first().kind, QStringLiteral("save"));
    QCOMPARE(f.sheet->currentFileName(), dir.filePath(QStringLiteral("a.syw")));
    // With a name, Save asks nothing.
    commitRoom(f, 2, QStringLiteral("会議室"));
    f.sheet->Menu_File_Save_Click();
    QCOMPARE(f.dialogs.asked.size(), 1);
    RecordGrid reread(221, 38);
    QVERIFY(WorkFile::load(reread, dir.filePath(QStringLiteral("a.syw"))));
    QCOMPARE(reread.text(2, RoomName1), QStringLiteral("会議室"));
}

void TestSyoudoWorkFile::cancelledDialogsChangeNothing()
{
    SheetFixture f;
    commitRoom(f, 1, QStringLiteral("事務室"));
    f.sheet->setText(QStringLiteral("Txt_Shitsu"), QStringLiteral("編集中"));
    const RecordGrid before = f.sheet->recordGrid();
    f.dialogs.answers = {Dialogs::Answer::Discard}; // the changes: not saved, and then no file chosen
    f.sheet->Menu_File_Open_Click();
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.sheet->recordGrid(), before);
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("編集中"));
    QCOMPARE(f.sheet->currentFileName(), QString());
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("変更されたデータを保存しますか？")});
    QVERIFY(f.sheet->isWindowModified());
}

void TestSyoudoWorkFile::failedSaveKeepsOldFileAndName_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("folder gone") << false;
    QTest::newRow("read-only folder") << true;
}

void TestSyoudoWorkFile::failedSaveKeepsOldFileAndName()
{
    QFETCH(bool, readOnlyFolder);
    QTemporaryDir dir;
    const QString sub = dir.filePath(QStringLiteral("sub"));
    QDir().mkpath(sub);
    const QString path = sub + QStringLiteral("/keep.syw");
    SheetFixture f;
    commitRoom(f, 1, QStringLiteral("旧"));
    f.dialogs.paths = {path};
    f.sheet->Menu_File_NSave_Click();
    const QByteArray before = TestEnv::readBytes(path);
    QVERIFY(!before.isEmpty());

    commitRoom(f, 1, QStringLiteral("新"));
    if (readOnlyFolder) {
        // The file locked too: a writable file in a locked folder is rewritten in place.
        if (!TestEnv::makeFolderUnwritable(sub))
            QSKIP("no way to make a folder unwritable here");
        if (!TestEnv::makeFileUnwritable(path)) {
            TestEnv::makeFolderWritable(sub);
            QSKIP("no way to make a file unwritable here");
        }
    } else
        QDir(sub).removeRecursively();
    f.sheet->Menu_File_Save_Click();
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("データを保存できませんでした。")});
    QCOMPARE(f.sheet->currentFileName(), path);
    if (readOnlyFolder) {
        TestEnv::makeFileWritable(path);
        TestEnv::makeFolderWritable(sub);
        QCOMPARE(TestEnv::readBytes(path), before);
    }
    // Save as into a folder that is not there keeps the current name as well.
    f.dialogs.paths = {dir.filePath(QStringLiteral("gone/other.syw"))};
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(f.dialogs.messages().size(), 2);
    QCOMPARE(f.sheet->currentFileName(), path);
}

void TestSyoudoWorkFile::corruptFileLeavesTheSheet_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("broken quoting") << QByteArray("1,\"never closed\r\n");
    QTest::newRow("not cp932") << QByteArray::fromHex("312c81ff0d0a");
    QTest::newRow("too many rows") << QByteArray("1,x\r\n").repeated(222);
    QTest::newRow("binary junk") << QByteArray("\x7f" "ELF\x02\x01\x01\x00\x00\x00", 10);
    QTest::newRow("empty file") << QByteArray();
}

void TestSyoudoWorkFile::corruptFileLeavesTheSheet()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.syw"));
    TestEnv::writeBytes(path, bytes);
    SheetFixture f;
    commitRoom(f, 1, QStringLiteral("事務室"));
    commitRoom(f, 2, QStringLiteral("会議室"));
    // An edit on the panel, not confirmed yet.
    f.box("Txt_Shitsu")->setText(QStringLiteral("応接室"));
    const RecordGrid before = f.sheet->recordGrid();
    f.dialogs.paths = {path};
    f.dialogs.answers = {Dialogs::Answer::Discard};
    f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.dialogs.messages(), (QStringList{QStringLiteral("変更されたデータを保存しますか？"),
                                                QStringLiteral("データの読込に失敗しました。")}));
    QVERIFY(!f.dialogs.asked.last().detail.isEmpty()); // the file and the reason beneath
    QCOMPARE(f.sheet->recordGrid(), before);
    QCOMPARE(f.sheet->currentFileName(), QString());
    // Nothing else changes either: the panel keeps its row and its edit, the list its rooms.
    QCOMPARE(f.box("Txt_Gyou")->text(), QStringLiteral("3"));
    QCOMPARE(f.box("Txt_Shitsu")->text(), QStringLiteral("応接室"));
    QCOMPARE(f.w<ListGrid>("SPD_Data")->cellText(2, 2), QStringLiteral("会議室"));
}

void TestSyoudoWorkFile::ceclWideFileKeepsEveryColumn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cecl.syw"));
    RecordGrid wide(221, 140);
    for (int r = 1; r <= 4; ++r) {
        wide.setText(r, InUse, "1");
        wide.setText(r, RoomName1, QStringLiteral("ゾーン%1").arg(r));
        for (int c = 100; c <= 114; ++c)
            wide.setText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
        wide.setText(r, 140, QStringLiteral("end%1").arg(r));
    }
    wide.setText(221, 100, "3");
    wide.setText(221, 101, "1");
    wide.setText(221, 102, "0");
    wide.setText(221, 103, "1");
    QVERIFY(WorkFile::save(wide, path));

    SheetFixture f;
    f.dialogs.paths = {path};
    f.sheet->Menu_File_Open_Click();
    QCOMPARE(f.sheet->recordGrid().colCount(), 140);
    f.w<ListGrid>("SPD_Data")->setActiveCell(2, 1);
    f.sheet->Line_Add();
    f.w<ListGrid>("SPD_Data")->setActiveCell(2, 1);
    f.sheet->Line_Delete();
    f.sheet->Menu_File_Save_Click();
    QVERIFY(f.dialogs.messages().isEmpty());
    RecordGrid reread(221, 38);
    QVERIFY(WorkFile::load(reread, path));
    QCOMPARE(reread, wide);
}

QTEST_MAIN(TestSyoudoWorkFile)
#include "tst_syoudo_workfile.moc"
