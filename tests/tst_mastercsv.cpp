#include "master/MasterCsv.h"
#include "master/MasterTables.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestMasterCsv : public QObject
{
    Q_OBJECT
private slots:
    void sampleRoundTripIsByteExact_data();
    void sampleRoundTripIsByteExact();
    void toolConvertsBothWays();
    void badCsv_data();
    void badCsv();
    void unusedSlotsAndTrailingBlankLines_data();
    void unusedSlotsAndTrailingBlankLines();
};

void TestMasterCsv::sampleRoundTripIsByteExact_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("lamps") << int(MasterCsv::Kind::Lamp) << QStringLiteral("Kougen");
    QTest::newRow("luminaires") << int(MasterCsv::Kind::Luminaire) << QStringLiteral("syomei");
    QTest::newRow("rooms") << int(MasterCsv::Kind::Room) << QStringLiteral("room");
}

void TestMasterCsv::sampleRoundTripIsByteExact()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    const auto k = MasterCsv::Kind(kind);
    const QByteArray built = readBytes(QDir(TestEnv::buildDir()).filePath(name + QStringLiteral(".mst")));
    QVERIFY(!built.isEmpty());
    QCOMPARE(built.size() % MasterCsv::recordLength(k), 0);
    const QString csv = MasterCsv::toCsv(k, built);
    QByteArray again;
    QString error;
    QVERIFY2(MasterCsv::toMst(k, csv, &again, &error), qPrintable(error));
    QCOMPARE(again, built);
    QCOMPARE(MasterCsv::toCsv(k, again), csv);
}

void TestMasterCsv::toolConvertsBothWays()
{
    QTemporaryDir dir;
    const QString tool = QDir(TestEnv::buildDir()).filePath(QStringLiteral("prx5m-mst"));
    const QString mst = QDir(TestEnv::buildDir()).filePath(QStringLiteral("room.mst"));
    const QString csv = dir.filePath(QStringLiteral("room.csv"));
    const QString back = dir.filePath(QStringLiteral("room.mst"));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("to-csv"), QStringLiteral("room"), mst, csv}), 0);
    QVERIFY(readBytes(csv).startsWith("Slot,Name,StandardPowerByType0"));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("to-mst"), QStringLiteral("room"), csv, back}), 0);
    QCOMPARE(readBytes(back), readBytes(mst));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("to-mst"), QStringLiteral("nonsense"), csv, back}), 2);
}

void TestMasterCsv::badCsv_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("csv");
    const QString lampHeader = QStringLiteral("Slot,Name,LampCapacity,Spare,Flux,InUse\n");
    QTest::newRow("wrong header") << int(MasterCsv::Kind::Lamp) << QStringLiteral("Slot,Name\n1,x\n");
    QTest::newRow("slot out of order") << int(MasterCsv::Kind::Lamp) << lampHeader + QStringLiteral("2,FL,1,,1,1\n");
    QTest::newRow("name too wide") << int(MasterCsv::Kind::Lamp)
                                   << lampHeader + QStringLiteral("1,FLR40S-W/M/36,1,,1,1\n");
    QTest::newRow("capacity not a number") << int(MasterCsv::Kind::Lamp) << lampHeader + QStringLiteral("1,FL,x,,1,1\n");
    QTest::newRow("capacity above 16 bits") << int(MasterCsv::Kind::Lamp)
                                            << lampHeader + QStringLiteral("1,FL,40000,,1,1\n");
    QTest::newRow("missing field") << int(MasterCsv::Kind::Lamp) << lampHeader + QStringLiteral("1,FL,1,,1\n");
    QTest::newRow("not cp932") << int(MasterCsv::Kind::Lamp) << lampHeader + QStringLiteral("1,\U0001F600,1,,1,1\n");
    QTest::newRow("room name of 103 bytes")
        << int(MasterCsv::Kind::Room)
        << QStringLiteral("Slot,Name,StandardPowerByType0,StandardPowerByType1,StandardPowerByType2,"
                          "StandardPowerByType3,StandardPowerByType4,StandardPowerByType5,StandardHoursByType0,"
                          "StandardHoursByType1,StandardHoursByType2,StandardHoursByType3,StandardHoursByType4,"
                          "StandardHoursByType5\n1,")
               + QString(51, QChar(0x5BA4)) + QStringLiteral("x,0,0,0,0,0,0,0,0,0,0,0,0\n");
}

void TestMasterCsv::badCsv()
{
    QFETCH(int, kind);
    QFETCH(QString, csv);
    QByteArray mst;
    QString error;
    QVERIFY(!MasterCsv::toMst(MasterCsv::Kind(kind), csv, &mst, &error));
    QVERIFY(!error.isEmpty());
}

void TestMasterCsv::unusedSlotsAndTrailingBlankLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("header");
    QTest::newRow("lamps") << int(MasterCsv::Kind::Lamp) << MasterCsv::header(MasterCsv::Kind::Lamp).join(u',');
    QTest::newRow("luminaires") << int(MasterCsv::Kind::Luminaire)
                                << MasterCsv::header(MasterCsv::Kind::Luminaire).join(u',');
    QTest::newRow("rooms") << int(MasterCsv::Kind::Room) << MasterCsv::header(MasterCsv::Kind::Room).join(u',');
}

void TestMasterCsv::unusedSlotsAndTrailingBlankLines()
{
    QFETCH(int, kind);
    QFETCH(QString, header);
    const auto k = MasterCsv::Kind(kind);
    const int fields = MasterCsv::header(k).size();
    // Slot 1 written out with every field empty, slot 2 as its number alone, then blank lines.
    const QString full = header + u'\n' + QStringLiteral("1") + QString(fields - 1, u',') + u'\n'
                         + QStringLiteral("2") + QString(fields - 1, u',') + u'\n';
    const QString brief = header + QStringLiteral("\n1") + QString(fields - 1, u',') + QStringLiteral("\n2\n\n\n");
    QByteArray expected;
    QByteArray mst;
    QString error;
    QVERIFY2(MasterCsv::toMst(k, full, &expected, &error), qPrintable(error));
    QVERIFY2(MasterCsv::toMst(k, brief, &mst, &error), qPrintable(error));
    QCOMPARE(mst.size(), 2 * MasterCsv::recordLength(k));
    QCOMPARE(mst, expected);
    // A slot number alone that is not its slot is still refused.
    QVERIFY(!MasterCsv::toMst(k, header + QStringLiteral("\n1") + QString(fields - 1, u',') + QStringLiteral("\n3\n"), &mst, &error));
}

QTEST_APPLESS_MAIN(TestMasterCsv)
#include "tst_mastercsv.moc"
