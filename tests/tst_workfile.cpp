#include "grid/WorkFile.h"
#include "text/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "support/TestEnv.h"

namespace {

// A full CEC/L-wide grid with every awkward kind of text.
RecordGrid awkwardGrid()
{
    const QStringList samples = {QStringLiteral("事務室"), QStringLiteral("a,b"), QStringLiteral("引用\"符\""),
                                 QStringLiteral("改\r\n行"), QStringLiteral("LF\nonly"), QString(),
                                 QStringLiteral(" 前後の空白 "), QStringLiteral("行№㎡Ⅰ～ﾀｲﾑ"), QStringLiteral("\"")};
    RecordGrid g(221, 140);
    int k = 0;
    for (int r = 1; r <= 221; ++r)
        for (int c = 1; c <= 140; ++c)
            g.setText(r, c, (r * 7 + c) % 5 == 0 ? QString() : samples[(k++) % samples.size()]);
    return g;
}

} // namespace

class TestWorkFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTripFullWideGrid();
    void fileIsCp932CrlfCsv();
    void toleratesLfAndShortRows();
    void widerFileWidensTheGrid();
    void failures_data();
    void failures();
    void failedLoadLeavesGridAlone();
    void saveIntoReadOnlyFolder_data();
    void saveIntoReadOnlyFolder();
    void unencodableTextFailsSave();
    void saveIntoMissingFolderFails();
    void controlCharactersRoundTrip();
    void blankLinesAfterTheLastRow_data();
    void blankLinesAfterTheLastRow();
    void errorsAreWorded();
};

void TestWorkFile::roundTripFullWideGrid()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.syw"));
    const RecordGrid saved = awkwardGrid();
    QVERIFY(WorkFile::save(saved, path));
    RecordGrid loaded(221, 38);
    QVERIFY(WorkFile::load(loaded, path));
    QCOMPARE(loaded.colCount(), 140);
    QCOMPARE(loaded, saved);
}

void TestWorkFile::fileIsCp932CrlfCsv()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.syw"));
    RecordGrid g(2, 3);
    g.setText(1, 1, QStringLiteral("1"));
    g.setText(1, 2, QStringLiteral("事務室"));
    g.setText(1, 3, QStringLiteral("a,\"b\""));
    QVERIFY(WorkFile::save(g, path));
    QCOMPARE(TestEnv::readBytes(path), QByteArray("1,") + Cp932::encode(QStringLiteral("事務室"))
                                  + QByteArray(",\"a,\"\"b\"\"\"\r\n,,\r\n"));
}

void TestWorkFile::toleratesLfAndShortRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lf.syw"));
    TestEnv::writeBytes(path, QByteArray("1,x\n\n3\n"));
    RecordGrid g(221, 38);
    g.setText(200, 5, QStringLiteral("old"));
    QVERIFY(WorkFile::load(g, path));
    QCOMPARE(g.rowCount(), 221);
    QCOMPARE(g.colCount(), 38);
    QCOMPARE(g.text(1, 2), QStringLiteral("x"));
    QCOMPARE(g.text(3, 1), QStringLiteral("3"));
    QCOMPARE(g.text(200, 5), QString()); // the load replaces every cell
}

void TestWorkFile::widerFileWidensTheGrid()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.syw"));
    RecordGrid wide(221, 140);
    wide.setText(221, 100, QStringLiteral("3"));
    QVERIFY(WorkFile::save(wide, path));
    RecordGrid narrow(221, 38);
    QVERIFY(WorkFile::load(narrow, path));
    QCOMPARE(narrow.colCount(), 140);
    QCOMPARE(narrow.text(221, 100), QStringLiteral("3"));
}

void TestWorkFile::failures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::newRow("empty file") << QByteArray() << int(WorkFile::Error::Empty);
    QTest::newRow("not cp932") << QByteArray::fromHex("312c81ff0d0a") << int(WorkFile::Error::NotCp932);
    QTest::newRow("binary junk") << QByteArray("\x00\x01\x02PK\x03\x04", 8) << int(WorkFile::Error::NotText);
    QTest::newRow("unclosed quote") << QByteArray("1,\"abc\r\n") << int(WorkFile::Error::BrokenQuoting);
    QTest::newRow("quote inside field") << QByteArray("1,ab\"c\r\n") << int(WorkFile::Error::BrokenQuoting);
    QTest::newRow("text after closing quote") << QByteArray("1,\"ab\"c\r\n") << int(WorkFile::Error::BrokenQuoting);
    QTest::newRow("222 rows") << QByteArray("x\r\n").repeated(222) << int(WorkFile::Error::TooManyRows);
    QTest::newRow("141 columns") << QByteArray(",").repeated(140) + "\r\n" << int(WorkFile::Error::TooManyColumns);
}

void TestWorkFile::failures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.syw"));
    TestEnv::writeBytes(path, bytes);
    RecordGrid g(221, 38);
    WorkFile::Error e = WorkFile::Error::None;
    QVERIFY(!WorkFile::load(g, path, &e));
    QCOMPARE(int(e), error);
}

void TestWorkFile::failedLoadLeavesGridAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.syw"));
    TestEnv::writeBytes(path, QByteArray("1,\"unclosed\r\n"));
    RecordGrid g(221, 38);
    g.setText(1, 2, QStringLiteral("事務室"));
    const RecordGrid before = g;
    QVERIFY(!WorkFile::load(g, path));
    QCOMPARE(g, before);
    QVERIFY(!WorkFile::load(g, dir.filePath(QStringLiteral("missing.syw"))));
    QCOMPARE(g, before);
}

void TestWorkFile::saveIntoReadOnlyFolder_data()
{
    QTest::addColumn<bool>("fileWritable");
    // The folder forbids new files: a writable file is rewritten in place, a locked one kept.
    QTest::newRow("file writable") << true;
    QTest::newRow("file locked too") << false;
}

void TestWorkFile::saveIntoReadOnlyFolder()
{
    QFETCH(bool, fileWritable);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.syw"));
    RecordGrid g(221, 38);
    g.setText(1, 2, QStringLiteral("旧"));
    QVERIFY(WorkFile::save(g, path));
    const QByteArray before = TestEnv::readBytes(path);
    if (!TestEnv::makeFolderUnwritable(dir.path()))
        QSKIP("no way to make a folder unwritable here");
    if (!fileWritable && !TestEnv::makeFileUnwritable(path)) {
        TestEnv::makeFolderWritable(dir.path());
        QSKIP("no way to make a file unwritable here");
    }
    g.setText(1, 2, QStringLiteral("新しい室名"));
    QString reason;
    const bool saved = WorkFile::save(g, path, nullptr, &reason);
    TestEnv::makeFileWritable(path);
    TestEnv::makeFolderWritable(dir.path());
    QCOMPARE(saved, fileWritable);
    if (fileWritable) {
        RecordGrid back(221, 38);
        QVERIFY(WorkFile::load(back, path));
        QCOMPARE(back, g);
    } else {
        QVERIFY(!reason.isEmpty());
        QCOMPARE(TestEnv::readBytes(path), before);
    }
    // No temporary file is left behind either way.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.syw")});
}

void TestWorkFile::unencodableTextFailsSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.syw"));
    RecordGrid g(2, 2);
    g.setText(1, 1, QStringLiteral("old"));
    QVERIFY(WorkFile::save(g, path));
    const QByteArray before = TestEnv::readBytes(path);
    g.setText(1, 1, QStringLiteral("\U0001F600"));
    WorkFile::Error e = WorkFile::Error::None;
    QVERIFY(!WorkFile::save(g, path, &e));
    QCOMPARE(e, WorkFile::Error::CannotEncode);
    QCOMPARE(TestEnv::readBytes(path), before);
}

void TestWorkFile::saveIntoMissingFolderFails()
{
    QTemporaryDir dir;
    RecordGrid g(221, 38);
    QVERIFY(!WorkFile::save(g, dir.filePath(QStringLiteral("gone/sheet.syw"))));
    QVERIFY(!WorkFile::save(g, dir.path())); // a folder, not a file
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestWorkFile::controlCharactersRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctl.syw"));
    RecordGrid g(3, 3);
    g.setText(1, 1, QStringLiteral("tab\there"));
    g.setText(2, 2, QStringLiteral("bell\x07 and escape\x1b"));
    g.setText(3, 3, QStringLiteral("壊れた\uFFFD"));
    QVERIFY(WorkFile::save(g, path));
    RecordGrid back(3, 3);
    QVERIFY(WorkFile::load(back, path));
    QCOMPARE(back.text(1, 1), g.text(1, 1));
    QCOMPARE(back.text(2, 2), g.text(2, 2));
    QCOMPARE(back.text(3, 3), QStringLiteral("壊れた?")); // a broken master byte saves as "?"
    g.setText(1, 1, QString(QChar(0)));
    QVERIFY(!WorkFile::save(g, path));
}

void TestWorkFile::blankLinesAfterTheLastRow_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<bool>("loads");
    QTest::newRow("one CRLF") << QByteArray("\r\n") << true;
    QTest::newRow("several LF") << QByteArray("\n\n\n") << true;
    QTest::newRow("a line with a comma") << QByteArray(",\r\n") << false;
    QTest::newRow("a line with text") << QByteArray("x\r\n") << false;
    QTest::newRow("a quoted empty cell") << QByteArray("\"\"\r\n") << false;
}

void TestWorkFile::blankLinesAfterTheLastRow()
{
    QFETCH(QByteArray, tail);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tail.syw"));
    RecordGrid g(221, 38);
    g.setText(221, 1, QStringLiteral("見出し"));
    g.setText(1, 1, QStringLiteral("1"));
    QVERIFY(WorkFile::save(g, path));
    TestEnv::writeBytes(path, TestEnv::readBytes(path) + tail);
    RecordGrid back(221, 38);
    WorkFile::Error error = WorkFile::Error::None;
    QCOMPARE(WorkFile::load(back, path, &error), loads);
    if (loads)
        QCOMPARE(back, g);
    else
        QCOMPARE(error, WorkFile::Error::TooManyRows);
}

void TestWorkFile::errorsAreWorded()
{
    for (int e = int(WorkFile::Error::CannotOpen); e <= int(WorkFile::Error::NotAFile); ++e)
        QVERIFY(!WorkFile::errorText(WorkFile::Error(e)).isEmpty());
    QVERIFY(WorkFile::errorText(WorkFile::Error::None).isEmpty());
}

QTEST_APPLESS_MAIN(TestWorkFile)
#include "tst_workfile.moc"
