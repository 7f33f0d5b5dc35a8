#include "settings/SettingsStore.h"
#include "support/TestEnv.h"
#include "ui/WindowPosition.h"

#include <QApplication>
#include <QSettings>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

using namespace SettingsStore;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void missingReadsEmpty();
    void roundTrip_data();
    void roundTrip();
    void positionReadings_data();
    void positionReadings();
    void positionWrittenAsShortestText_data();
    void positionWrittenAsShortestText();
    void windowPositionRoundTrip();
    void pixelsAndTwips();
    void valuesAbove128BytesAreMissing_data();
    void valuesAbove128BytesAreMissing();
    void unwritableStoreReturnsMinusOne();
};

void TestSettings::missingReadsEmpty()
{
    TestEnv env;
    QCOMPARE(ReadSetting(QStringLiteral("PosX")), QString());
    QCOMPARE(readPosition(QStringLiteral("PosX")), 0.0);
}

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << "1500";
    QTest::newRow("negative") << "-1200";
    QTest::newRow("japanese") << "照度計算書";
    QTest::newRow("empty") << "";
}

void TestSettings::roundTrip()
{
    QFETCH(QString, text);
    TestEnv env;
    QCOMPARE(WriteSetting(QStringLiteral("PosX"), text, kRegDword), 0);
    QCOMPARE(ReadSetting(QStringLiteral("PosX")), text);
}

void TestSettings::positionReadings_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("twips");
    QTest::newRow("whole") << "1500" << 1500.0;
    QTest::newRow("negative, off the left edge") << "-450" << -450.0;
    QTest::newRow("non-numeric") << "left" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("leading number") << "300twips" << 300.0;
}

void TestSettings::positionReadings()
{
    QFETCH(QString, stored);
    QFETCH(double, twips);
    TestEnv env;
    WriteSetting(QStringLiteral("PosY"), stored);
    QCOMPARE(readPosition(QStringLiteral("PosY")), twips);
}

void TestSettings::positionWrittenAsShortestText_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1500.0 << "1500";
    QTest::newRow("negative") << -450.0 << "-450";
    QTest::newRow("fraction") << 1234.5 << "1234.5";
    QTest::newRow("large, no exponent") << 30000000.0 << "30000000";
}

void TestSettings::positionWrittenAsShortestText()
{
    QFETCH(double, twips);
    QFETCH(QString, text);
    TestEnv env;
    writePosition(QStringLiteral("PosX"), twips);
    QCOMPARE(ReadSetting(QStringLiteral("PosX")), text);
}

void TestSettings::windowPositionRoundTrip()
{
    TestEnv env;
    QWidget a;
    a.move(-30, 140);
    WindowPosition::store(&a);
    QCOMPARE(ReadSetting(QStringLiteral("PosX")), QString::number(WindowPosition::pixelsToTwips(-30)));
    QWidget b;
    WindowPosition::restore(&b);
    QCOMPARE(b.pos(), QPoint(-30, 140));
}

void TestSettings::unwritableStoreReturnsMinusOne()
{
    TestEnv env;
    WriteSetting(QStringLiteral("PosX"), QStringLiteral("1500"));
    // Point the store at a path under a plain file: it can be neither created nor written.
    const QString blocker = env.path() + QStringLiteral("/blocker");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker + QStringLiteral("/config"));
    QCOMPARE(WriteSetting(QStringLiteral("PosX"), QStringLiteral("3000")), -1);
    QCOMPARE(ReadSetting(QStringLiteral("PosX")), QString());
}

void TestSettings::pixelsAndTwips()
{
    // 1440 twips an inch: at 96 pixels an inch a pixel is 15 twips.
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
    QCOMPARE(WindowPosition::pixelsToTwips(1), 15.0);
    QCOMPARE(WindowPosition::pixelsToTwips(-30), -450.0);
    QCOMPARE(WindowPosition::pixelsToTwips(100), 1500.0);
    QCOMPARE(WindowPosition::twipsToPixels(1440), 96);
    QCOMPARE(WindowPosition::twipsToPixels(1507), 100);
}

void TestSettings::valuesAbove128BytesAreMissing_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("readable");
    // The bytes and the closing NUL must fit 128 bytes; a kanji takes two.
    QTest::newRow("127 ASCII bytes") << QString(127, u'x') << true;
    QTest::newRow("128 ASCII bytes") << QString(128, u'x') << false;
    QTest::newRow("63 kanji, 126 bytes") << QString(63, QChar(0x6F22)) << true;
    QTest::newRow("64 kanji, 128 bytes") << QString(64, QChar(0x6F22)) << false;
    QTest::newRow("63 kanji and a digit") << QString(63, QChar(0x6F22)) + u'1' << true;
}

void TestSettings::valuesAbove128BytesAreMissing()
{
    QFETCH(QString, value);
    QFETCH(bool, readable);
    TestEnv env;
    QCOMPARE(WriteSetting(QStringLiteral("CompanyName"), value, 1), 0);
    QCOMPARE(ReadSetting(QStringLiteral("CompanyName")), readable ? value : QString());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
