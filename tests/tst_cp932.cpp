#include "text/Cp932.h"

#include <QTest>

class TestCp932 : public QObject
{
    Q_OBJECT
private slots:
    void vectors_data();
    void vectors();
    void foldsJisForms_data();
    void foldsJisForms();
    void unencodableFails();
    void strictDecodeRejectsBadBytes();
    void lossyDecodeReplaces_data();
    void lossyDecodeReplaces();
    void byteLength();
    void asciiBytesAreThemselves_data();
    void asciiBytesAreThemselves();
};

void TestCp932::vectors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("行№") << QStringLiteral("行№") << QByteArray::fromHex("8d738782");
    QTest::newRow("㎡") << QStringLiteral("㎡") << QByteArray::fromHex("8775");
    QTest::newRow("Ⅰ") << QStringLiteral("Ⅰ") << QByteArray::fromHex("8754");
    QTest::newRow("～") << QStringLiteral("\uFF5E") << QByteArray::fromHex("8160");
    QTest::newRow("ﾀｲﾑ") << QStringLiteral("ﾀｲﾑ") << QByteArray::fromHex("c0b2d1");
    QTest::newRow("ascii") << QStringLiteral("FHF32EX-N") << QByteArray("FHF32EX-N");
    QTest::newRow("backslash stays") << QStringLiteral("a\\b") << QByteArray("a\\b");
    QTest::newRow("照度計算書") << QStringLiteral("照度計算書") << QByteArray::fromHex("8fc693788c768e5a8f91");
}

void TestCp932::vectors()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool ok = false;
    QCOMPARE(Cp932::encode(text, &ok), bytes);
    QVERIFY(ok);
    QCOMPARE(Cp932::decode(bytes, &ok), text);
    QVERIFY(ok);
}

void TestCp932::foldsJisForms_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("wave dash") << QStringLiteral("\u301C") << QStringLiteral("\uFF5E");
    QTest::newRow("minus sign") << QStringLiteral("\u2212") << QStringLiteral("\uFF0D");
    QTest::newRow("double vertical line") << QStringLiteral("\u2016") << QStringLiteral("\u2225");
    QTest::newRow("em dash") << QStringLiteral("\u2014") << QStringLiteral("\u2015");
    QTest::newRow("cent sign") << QStringLiteral("\u00A2") << QStringLiteral("\uFFE0");
    QTest::newRow("pound sign") << QStringLiteral("\u00A3") << QStringLiteral("\uFFE1");
    QTest::newRow("not sign") << QStringLiteral("\u00AC") << QStringLiteral("\uFFE2");
}

void TestCp932::foldsJisForms()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    bool ok = false;
    const QByteArray bytes = Cp932::encode(typed, &ok);
    QVERIFY(ok);
    QCOMPARE(Cp932::decode(bytes), stored);
}

void TestCp932::unencodableFails()
{
    bool ok = true;
    Cp932::encode(QStringLiteral("室名\U0001F600"), &ok);
    QVERIFY(!ok);
    Cp932::encode(QStringLiteral("€"), &ok);
    QVERIFY(!ok);
}

void TestCp932::strictDecodeRejectsBadBytes()
{
    bool ok = true;
    Cp932::decode(QByteArray::fromHex("81ff"), &ok);
    QVERIFY(!ok);
    Cp932::decode(QByteArray::fromHex("8d"), &ok); // a lead byte cut off
    QVERIFY(!ok);
}

void TestCp932::lossyDecodeReplaces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("clean") << QByteArray::fromHex("8d73") << QStringLiteral("行");
    QTest::newRow("cut lead byte at end") << QByteArray("AB\x8d", 3) << QStringLiteral("AB\uFFFD");
    QTest::newRow("bad byte between") << QByteArray::fromHex("41ff42") << QStringLiteral("A\uFFFDB");
    QTest::newRow("bad trail keeps next") << QByteArray::fromHex("81ff41") << QStringLiteral("\uFFFD\uFFFDA");
}

void TestCp932::lossyDecodeReplaces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp932::decodeLossy(bytes), text);
}

void TestCp932::byteLength()
{
    QCOMPARE(Cp932::byteLength(QStringLiteral("事務室")), 6);
    QCOMPARE(Cp932::byteLength(QStringLiteral("ﾀｲﾑ")), 3);
    QCOMPARE(Cp932::byteLength(QStringLiteral("FL40")), 4);
}

void TestCp932::asciiBytesAreThemselves_data()
{
    QTest::addColumn<QString>("around");
    // The converter alone swaps 1A, 1C and 7F with each other; beside Japanese text it was used.
    QTest::newRow("alone") << QString();
    QTest::newRow("beside kanji") << QStringLiteral("照度");
    QTest::newRow("beside half-width kana") << QStringLiteral("ﾀｲﾑ");
}

void TestCp932::asciiBytesAreThemselves()
{
    QFETCH(QString, around);
    for (int b = 0; b < 0x80; ++b) {
        const QString text = around + QChar(b) + around;
        bool ok = false;
        const QByteArray bytes = Cp932::encode(text, &ok);
        QVERIFY(ok);
        QCOMPARE(bytes, Cp932::encode(around) + char(b) + Cp932::encode(around));
        QCOMPARE(Cp932::decode(bytes, &ok), text);
        QVERIFY(ok);
    }
    // A double-byte character whose trail byte lies in the ASCII range stays one character.
    QCOMPARE(Cp932::decode(QByteArray::fromHex("835c7f")), QStringLiteral("ソ\x7f"));
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
