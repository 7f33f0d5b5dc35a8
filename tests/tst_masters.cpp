#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "support/TestEnv.h"
#include "text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

void writeFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(QDir(dir).filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

LampRecord lamp(const QString &name, qint16 capacity, const QString &flux, const QString &inUse = QStringLiteral("1"))
{
    LampRecord r;
    r.name = name;
    r.lampCapacity = capacity;
    r.flux = flux;
    r.inUse = inUse;
    return r;
}

QByteArray bytesOf(const LampRecord &r)
{
    QByteArray b;
    if (!r.toBytes(&b))
        qFatal("lamp record does not fit");
    return b;
}

QByteArray bytesOf(const LuminaireRecord &r)
{
    QByteArray b;
    if (!r.toBytes(&b))
        qFatal("luminaire record does not fit");
    return b;
}

QByteArray bytesOf(const RoomMasterRecord &r)
{
    QByteArray b;
    if (!r.toBytes(&b))
        qFatal("room record does not fit");
    return b;
}

// Writes three valid, empty masters so that only the file under test matters.
void writeEmptyMasters(const QString &dir)
{
    writeFile(dir, MasterTables::kLampFile, {});
    writeFile(dir, MasterTables::kLuminaireFile, {});
    writeFile(dir, MasterTables::kRoomFile, {});
}

} // namespace

class TestMasters : public QObject
{
    Q_OBJECT
private slots:
    void lampLayout();
    void lampFileOfThreeRecords();
    void luminaireLayoutAndNumberDiffersFromSlot();
    void roomLayoutWith102ByteName();
    void roomNameLengthOutOfRange_data();
    void roomNameLengthOutOfRange();
    void inUseOtherThanOneIsUnused_data();
    void inUseOtherThanOneIsUnused();
    void truncatedFileIgnoresPartialRecord();
    void moreThan999Records();
    void bytesThatAreNotCp932();
    void nulPaddingIsPadding();
    void emptyFileGivesEmptyTable();
    void missingFileNamesFileAndFolder_data();
    void missingFileNamesFileAndFolder();
    void slotAccessOutOfRange();
    void nameSearch_data();
    void nameSearch();
    void sampleMastersLoad();
};

void TestMasters::lampLayout()
{
    const QByteArray b = bytesOf(lamp(QStringLiteral("FHF32EX-N"), 32, QStringLiteral("3450")));
    QCOMPARE(b.size(), 20);
    QCOMPARE(b.left(11), QByteArray("FHF32EX-N  "));
    QCOMPARE(b.mid(11, 2), QByteArray("\x20\x00", 2)); // 32, little-endian
    QCOMPARE(b.mid(13, 1), QByteArray(" "));
    QCOMPARE(b.mid(14, 5), QByteArray("3450 "));
    QCOMPARE(b.mid(19, 1), QByteArray("1"));
    const LampRecord r = LampRecord::fromBytes(b);
    QCOMPARE(r.name, QStringLiteral("FHF32EX-N  "));
    QCOMPARE(r.lampCapacity, qint16(32));
    QCOMPARE(r.flux, QStringLiteral("3450 "));
    QVERIFY(r.present());
    // Negative capacity survives the 16-bit signed field.
    QCOMPARE(LampRecord::fromBytes(bytesOf(lamp(QStringLiteral("X"), -2, QStringLiteral("1")))).lampCapacity,
             qint16(-2));
}

void TestMasters::lampFileOfThreeRecords()
{
    TestEnv env;
    writeEmptyMasters(env.programDir());
    QByteArray file;
    for (int i = 1; i <= 3; ++i)
        file += bytesOf(lamp(QStringLiteral("FL%1").arg(i), qint16(i), QString::number(1000 * i)));
    writeFile(env.programDir(), MasterTables::kLampFile, file);
    MasterTables t;
    QString error;
    QVERIFY(t.LoadLampMaster(env.programDir(), &error));
    QCOMPARE(FixedField::trimmedRight(t.lamp(3).name), QStringLiteral("FL3"));
    QVERIFY(t.lamp(3).present());
    QVERIFY(!t.lamp(4).present());
    QCOMPARE(t.lamp(4).name, QString(11, u' '));
    QCOMPARE(t.lamp(4).lampCapacity, qint16(0));
    QVERIFY(!t.lamp(999).present());
}

void TestMasters::luminaireLayoutAndNumberDiffersFromSlot()
{
    LuminaireRecord r;
    r.number = QStringLiteral("12");
    r.name = QStringLiteral("直付逆富士形");
    for (int p = 0; p < 3; ++p)
        for (int c = 0; c < 15; ++c)
            r.utilizationFactors[size_t(p)][size_t(c)] = QString::number(30 + p * 15 + c);
    r.maintenanceFactors = {QStringLiteral("0.73"), QStringLiteral("0.69"), QStringLiteral("0.61")};
    r.inUse = QStringLiteral("1");
    const QByteArray b = bytesOf(r);
    QCOMPARE(b.size(), 200);
    QCOMPARE(b.left(2), QByteArray("12"));
    QCOMPARE(b.mid(2, 18), Cp932::encode(QStringLiteral("直付逆富士形")) + QByteArray(6, ' '));
    QCOMPARE(b.mid(20, 2), QByteArray("30"));   // pattern 1, class 1
    QCOMPARE(b.mid(50, 2), QByteArray("45"));   // pattern 2, class 1
    QCOMPARE(b.mid(108, 2), QByteArray("74"));  // pattern 3, class 15
    QCOMPARE(b.mid(122, 12), QByteArray("0.730.690.61"));
    QCOMPARE(b.mid(134, 1), QByteArray("1"));

    TestEnv env;
    writeEmptyMasters(env.programDir());
    QByteArray file = QByteArray(200 * 6, ' ') + b; // slot 7 holds Number 12
    writeFile(env.programDir(), MasterTables::kLuminaireFile, file);
    MasterTables t;
    QString error;
    QVERIFY(t.LoadLuminaireMaster(env.programDir(), &error));
    QVERIFY(t.luminaire(7).present());
    QCOMPARE(t.luminaire(7).number, QStringLiteral("12"));
    QVERIFY(!t.luminaire(12).present());
    QCOMPARE(t.luminaire(7).utilizationFactor(1, 7), QStringLiteral("36"));
    QCOMPARE(t.luminaire(7).utilizationFactor(4, 7), QString());
    QCOMPARE(t.luminaire(7).maintenanceFactor(2), QStringLiteral("0.69"));
    QVERIFY(!t.luminaire(1).present());
}

void TestMasters::roomLayoutWith102ByteName()
{
    RoomMasterRecord r;
    r.name = QString(51, QChar(0x5BA4)); // 室 x 51 = 102 bytes
    r.standardPowerByType = {1, 2, 3, 4, 5, 6};
    r.standardHoursByType = {2000, 3000, 4000, 5000, 6000, -7};
    const QByteArray b = bytesOf(r);
    QCOMPARE(b.size(), 128);
    QCOMPARE(FixedField::int16(b, 0), qint16(102));
    QCOMPARE(FixedField::int16(b, 104), qint16(1));
    QCOMPARE(FixedField::int16(b, 126), qint16(-7));
    const RoomMasterRecord back = RoomMasterRecord::fromBytes(b);
    QCOMPARE(back.name, r.name);
    QCOMPARE(back.standardPowerByType, r.standardPowerByType);
    QCOMPARE(back.standardHoursByType, r.standardHoursByType);

    RoomMasterRecord tooLong;
    tooLong.name = QString(52, QChar(0x5BA4));
    QByteArray ignored;
    QVERIFY(!tooLong.toBytes(&ignored));
}

void TestMasters::roomNameLengthOutOfRange_data()
{
    QTest::addColumn<int>("nameLength");
    QTest::newRow("negative") << -1;
    QTest::newRow("103") << 103;
    QTest::newRow("huge") << 32767;
}

void TestMasters::roomNameLengthOutOfRange()
{
    QFETCH(int, nameLength);
    QByteArray b(128, 'A');
    b[0] = char(nameLength & 0xFF);
    b[1] = char((nameLength >> 8) & 0xFF);
    const RoomMasterRecord r = RoomMasterRecord::fromBytes(b);
    QVERIFY(!r.present());
    QCOMPARE(r.standardPowerByType[0], qint16(0));
}

void TestMasters::inUseOtherThanOneIsUnused_data()
{
    QTest::addColumn<QString>("inUse");
    QTest::addColumn<bool>("present");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("blank") << " " << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("lone lead byte") << "" << false;
}

void TestMasters::inUseOtherThanOneIsUnused()
{
    QFETCH(QString, inUse);
    QFETCH(bool, present);
    QByteArray b = bytesOf(lamp(QStringLiteral("FL40"), 40, QStringLiteral("3000")));
    b[19] = inUse.isEmpty() ? char(0x82) : inUse.toLatin1()[0];
    QCOMPARE(LampRecord::fromBytes(b).present(), present);
}

void TestMasters::truncatedFileIgnoresPartialRecord()
{
    TestEnv env;
    writeEmptyMasters(env.programDir());
    const QByteArray one = bytesOf(lamp(QStringLiteral("FL20"), 20, QStringLiteral("1200")));
    writeFile(env.programDir(), MasterTables::kLampFile, one + one + one.left(13));
    MasterTables t;
    QString error;
    QVERIFY(t.LoadLampMaster(env.programDir(), &error));
    QVERIFY(t.lamp(2).present());
    QVERIFY(!t.lamp(3).present());
    QCOMPARE(t.lamp(3).lampCapacity, qint16(0));
}

void TestMasters::moreThan999Records()
{
    TestEnv env;
    writeEmptyMasters(env.programDir());
    QByteArray file;
    for (int i = 1; i <= 1005; ++i)
        file += bytesOf(lamp(QStringLiteral("L%1").arg(i), qint16(i), QString::number(i)));
    writeFile(env.programDir(), MasterTables::kLampFile, file);
    MasterTables t;
    QString error;
    QVERIFY(t.LoadLampMaster(env.programDir(), &error));
    QCOMPARE(t.lamp(999).lampCapacity, qint16(999));
    QCOMPARE(t.lamp(1000).lampCapacity, qint16(0)); // no slot 1000
}

void TestMasters::bytesThatAreNotCp932()
{
    QByteArray b = bytesOf(lamp(QStringLiteral("FL40"), 40, QStringLiteral("3000")));
    b[0] = char(0x81);
    b[1] = char(0xFF);
    const LampRecord r = LampRecord::fromBytes(b);
    QVERIFY(r.name.startsWith(QChar(0xFFFD)));
    QVERIFY(r.present());
    // A double-byte character cut by the end of the name field.
    QByteArray cut = bytesOf(lamp(QStringLiteral("FL40"), 40, QStringLiteral("3000")));
    cut[10] = char(0x8D);
    QVERIFY(LampRecord::fromBytes(cut).name.endsWith(QChar(0xFFFD)));
}

void TestMasters::nulPaddingIsPadding()
{
    QByteArray b = bytesOf(lamp(QStringLiteral("FL40"), 40, QStringLiteral("3000")));
    for (int i = 4; i < 11; ++i)
        b[i] = '\0';
    QCOMPARE(FixedField::trimmedRight(LampRecord::fromBytes(b).name), QStringLiteral("FL40"));
}

void TestMasters::emptyFileGivesEmptyTable()
{
    TestEnv env;
    writeEmptyMasters(env.programDir());
    MasterTables t;
    QString error;
    QVERIFY(t.loadAll(env.programDir(), &error));
    QVERIFY(!t.room(1).present());
    QVERIFY(!t.luminaire(1).present());
}

void TestMasters::missingFileNamesFileAndFolder_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("standIn");
    for (const QString &standIn : {QStringLiteral("nothing"), QStringLiteral("fifo"), QStringLiteral("folder")}) {
        QTest::addRow("lamps, %s", qPrintable(standIn)) << MasterTables::kLampFile << standIn;
        QTest::addRow("luminaires, %s", qPrintable(standIn)) << MasterTables::kLuminaireFile << standIn;
        QTest::addRow("rooms, %s", qPrintable(standIn)) << MasterTables::kRoomFile << standIn;
    }
}

void TestMasters::missingFileNamesFileAndFolder()
{
    QFETCH(QString, missing);
    QFETCH(QString, standIn);
    TestEnv env;
    writeEmptyMasters(env.programDir());
    const QString path = QDir(env.programDir()).filePath(missing);
    QFile::remove(path);
    // A FIFO in the master's place would hold start-up for ever if it were opened.
    if (standIn == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (standIn == u"folder")
        QVERIFY(QDir().mkdir(path));
    MasterTables t;
    QString error;
    QVERIFY(!t.loadAll(env.programDir(), &error));
    QVERIFY2(error.contains(missing), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(env.programDir())), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("開けません")));
}

void TestMasters::slotAccessOutOfRange()
{
    MasterTables t;
    QVERIFY(!t.lamp(0).present());
    QVERIFY(!t.lamp(1000).present());
    QVERIFY(!t.luminaire(-5).present());
    QVERIFY(!t.room(1000).present());
}

void TestMasters::nameSearch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("slot");
    QTest::newRow("first") << QStringLiteral("事務室") << 1;
    QTest::newRow("fourth") << QStringLiteral("廊下") << 4;
    QTest::newRow("duplicate gives the first") << QStringLiteral("会議室") << 2;
    QTest::newRow("trailing blank differs") << QStringLiteral("事務室 ") << 0;
    QTest::newRow("half-width differs") << QStringLiteral("ﾛﾋﾞｰ") << 0;
    QTest::newRow("hidden behind the empty slot 5") << QStringLiteral("倉庫") << 0;
    QTest::newRow("empty name") << QString() << 0;
}

void TestMasters::nameSearch()
{
    QFETCH(QString, name);
    QFETCH(int, slot);
    MasterTables t;
    const QStringList names = {QStringLiteral("事務室"), QStringLiteral("会議室"), QStringLiteral("会議室"),
                               QStringLiteral("廊下"), QString(), QStringLiteral("倉庫"), QStringLiteral("ロビー")};
    for (int i = 0; i < names.size(); ++i) {
        RoomMasterRecord r;
        r.name = names[i];
        t.setRoom(i + 1, r);
    }
    QCOMPARE(t.findRoomByName(name), slot);
}

void TestMasters::sampleMastersLoad()
{
    TestEnv env;
    QVERIFY(env.copySampleMasters());
    MasterTables t;
    QString error;
    QVERIFY2(t.loadAll(env.programDir(), &error), qPrintable(error));
    int lamps = 0, luminaires = 0, rooms = 0;
    for (int k = 1; k <= 80; ++k) {
        lamps += t.lamp(k).present();
        luminaires += t.luminaire(k).present();
        rooms += t.room(k).present();
    }
    QVERIFY(lamps >= 45);
    QVERIFY(luminaires >= 45);
    QVERIFY(rooms >= 45);
    QCOMPARE(t.luminaire(7).number, QStringLiteral("12"));
    QVERIFY(t.luminaire(12).present());
    QCOMPARE(t.luminaire(1).utilizationFactor(1, 7), QStringLiteral("62"));
    QCOMPARE(t.findRoomByName(QStringLiteral("事務室")) > 0, true);
}

QTEST_APPLESS_MAIN(TestMasters)
#include "tst_masters.moc"
