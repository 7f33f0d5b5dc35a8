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

QTEST_APPLESS_MAIN(TestMasterCsv)
#include "tst_mastercsv.moc"
