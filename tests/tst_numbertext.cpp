#include "text/CsvText.h"
#include "text/NumberText.h"

#include <QTest>

#include <cmath>

#include <clocale>

class TestNumberText : public QObject
{
    Q_OBJECT
private slots:
    void leading_data();
    void leading();
    void strict_data();
    void strict();
    void storedField_data();
    void storedField();
    void formulasGuarded_data();
    void formulasGuarded();
    void format_data();
    void format();
    void plain_data();
    void plain();
};

void TestNumberText::leading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("integer") << "14" << 14.0;
    QTest::newRow("decimal") << "2.75" << 2.75;
    QTest::newRow("leading point") << ".8" << 0.8;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("blanks before") << "  12.5" << 12.5;
    QTest::newRow("trailing text") << "25.7lm" << 25.7;
    QTest::newRow("pick label") << "07:FHF32EX-N" << 7.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-3.5" << -3.5;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("no exponent") << "1e5" << 1.0;
    QTest::newRow("no thousands separator") << "1,234" << 1.0;
    QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
    QTest::newRow("blank inside stops") << "1 2" << 1.0;
    QTest::newRow("plus and leading point") << "+.5" << 0.5;
    QTest::newRow("minus and leading point") << "-.25x" << -0.25;
}

void TestNumberText::leading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumberText::leading(text), value);
}

void TestNumberText::strict_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("integer") << "80" << true << 80.0;
    QTest::newRow("blanks around") << " 80.0 " << true << 80.0;
    QTest::newRow("leading point") << ".85" << true << 0.85;
    QTest::newRow("negative") << "-1.5" << true << -1.5;
    QTest::newRow("trailing text") << "80m" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("exponent") << "1e3" << false << 0.0;
    QTest::newRow("sign alone") << "+" << false << 0.0;
    QTest::newRow("thousands") << "1,234" << false << 0.0;
}

void TestNumberText::strict()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(double, value);
    const auto v = NumberText::strict(text);
    QCOMPARE(v.has_value(), readable);
    if (readable)
        QCOMPARE(*v, value);
}

void TestNumberText::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    // Patterns of the illuminance sheet
    QTest::newRow("#0 integer") << 5.0 << "#0" << "5";
    QTest::newRow("#0 zero") << 0.0 << "#0" << "0";
    QTest::newRow("#0 half up") << 2.5 << "#0" << "3";
    QTest::newRow("#0 negative half away") << -2.5 << "#0" << "-3";
    QTest::newRow("##0.0 width") << 999.9 << "##0.0" << "999.9";
    QTest::newRow("##0.0 depth 12.34") << 12.34 << "##0.0" << "12.3";
    QTest::newRow("##0.0 depth 5") << 5.0 << "##0.0" << "5.0";
    QTest::newRow("##0.0 empty is 0.0") << 0.0 << "##0.0" << "0.0";
    QTest::newRow("#0.0 height") << 2.7 << "#0.0" << "2.7";
    QTest::newRow("0.00 work plane .8") << 0.8 << "0.00" << "0.80";
    QTest::newRow("0.00 work plane 10.5") << 10.5 << "0.00" << "10.50";
    QTest::newRow("0.00 decimal half 2.675") << 2.675 << "0.00" << "2.68";
    QTest::newRow("0.00 1.005") << 1.005 << "0.00" << "1.01";
    QTest::newRow("0.00 negative tiny rounds to zero") << -0.001 << "0.00" << "0.00";
    QTest::newRow("0.0 suspension") << 0.0 << "0.0" << "0.0";
    QTest::newRow("###0 lamp count") << 26.0 << "###0" << "26";
    QTest::newRow("####0 flux 1234.6") << 1234.6 << "####0" << "1235";
    QTest::newRow("####0 zero") << 0.0 << "####0" << "0";
    QTest::newRow("###0.0 area 12.24") << 12.24 << "###0.0" << "12.2";
    QTest::newRow("###0.0 area 79.99") << 79.99 << "###0.0" << "80.0";
    QTest::newRow("#0.00 room index") << 2.4 << "#0.00" << "2.40";
    QTest::newRow("##0.0 lamp count computed") << 25.7 << "##0.0" << "25.7";
    QTest::newRow("##0 illuminance") << 507.0 << "##0" << "507";
    QTest::newRow("0.95 rounds up") << 0.95 << "0.0" << "1.0";
    QTest::newRow("9.995 carries") << 9.995 << "0.00" << "10.00";
    QTest::newRow("99.95 carries two") << 99.95 << "#0.0" << "100.0";
    // No mandatory digit: a zero result is empty
    QTest::newRow("### zero") << 0.0 << "###" << "";
    QTest::newRow("### rounds to zero") << 0.4 << "###" << "";
    QTest::newRow("### half") << 0.5 << "###" << "1";
    QTest::newRow("### 1234") << 1234.0 << "###" << "1234";
    QTest::newRow("#.## zero") << 0.001 << "#.##" << "";
    // Thousands separators
    QTest::newRow("#,##0 1234") << 1234.0 << "#,##0" << "1,234";
    QTest::newRow("#,##0 123") << 123.0 << "#,##0" << "123";
    QTest::newRow("#,##0 1234567") << 1234567.0 << "#,##0" << "1,234,567";
    QTest::newRow("#,##0.0 12345.67") << 12345.67 << "#,##0.0" << "12,345.7";
    QTest::newRow("#,##0 negative") << -1234.5 << "#,##0" << "-1,235";
    QTest::newRow("#,### zero") << 0.0 << "#,###" << "";
    // No leading zero
    QTest::newRow("#.000 0.85") << 0.85 << "#.000" << ".850";
    QTest::newRow("#.000 1.2345") << 1.2345 << "#.000" << "1.235";
    QTest::newRow("#.000 zero") << 0.0 << "#.000" << ".000";
    QTest::newRow("#.### optional decimals") << 1.5 << "#.###" << "1.5";
    QTest::newRow("0 large") << 123456789012.0 << "0" << "123456789012";
}

void TestNumberText::format()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QCOMPARE(NumberText::format(value, pattern), text);
}

void TestNumberText::plain_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.65") << 0.65 << "0.65";
    QTest::newRow("0.7") << 0.7 << "0.7";
    QTest::newRow("14") << 14.0 << "14";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("negative") << -12.5 << "-12.5";
    QTest::newRow("sum noise") << 0.1 + 0.2 << "0.3";
    QTest::newRow("1040") << 1040.0 << "1040";
    QTest::newRow("large, no exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("small, no exponent") << 1.5e-7 << "0.00000015";
    QTest::newRow("62 / 100") << 62.0 / 100 << "0.62";
}

void TestNumberText::plain()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::plain(value), text);
}

// Readings never follow the user's locale: a comma-decimal locale must not turn 3.5 into 3.
class LocaleGuard
{
public:
    LocaleGuard() { std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"); }
    ~LocaleGuard() { std::setlocale(LC_NUMERIC, "C"); }
};


void TestNumberText::storedField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");     // when it reads
    QTest::addColumn<QString>("reason");   // "" when it reads
    QTest::newRow("plain, blanks around") << " 2.75 " << 2.75 << "";
    QTest::newRow("-0 is 0") << "-0" << 0.0 << "";
    QTest::newRow("301 digits: a number") << (u'1' + QString(300, u'0')) << 1e300 << "";
    QTest::newRow("blank") << "" << 0.0 << "が入力されていません。";
    // A leading-number reading would take 1, 2.8, 3 and 0: the panel stores none of these.
    QTest::newRow("exponent") << "1e1" << 0.0 << "は指数表記です（小数で入力してください）。";
    QTest::newRow("exponent with +") << "1e+308" << 0.0 << "は指数表記です（小数で入力してください）。";
    QTest::newRow("exponent, tiny") << "1e-320" << 0.0 << "は指数表記です（小数で入力してください）。";
    QTest::newRow("trailing letters") << "2.8abc" << 0.0 << "は数値ではありません。";
    QTest::newRow("decimal comma") << "3,5" << 0.0 << "は数値ではありません。";
    QTest::newRow("nan") << "nan" << 0.0 << "は数値ではありません。";
    QTest::newRow("e alone") << "1e" << 0.0 << "は数値ではありません。";
    QTest::newRow("400 digits") << (u'1' + QString(400, u'0')) << 0.0 << "は大きすぎて計算できません。";
    QTest::newRow("beyond a double's smallest") << (QStringLiteral("0.") + QString(400, u'0') + u'1') << 0.0
                                                << "は小さすぎて計算できません。";
}

void TestNumberText::storedField()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, reason);
    const NumberText::Field f = NumberText::field(text);
    QCOMPARE(f.reason(), reason);
    QCOMPARE(f.ok(), reason.isEmpty());
    if (f.ok()) {
        QCOMPARE(*f.value, value);
        QVERIFY(!std::signbit(*f.value));
    }
}

void TestNumberText::formulasGuarded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    // A text a spreadsheet would run as a formula is written after an apostrophe; numbers stay.
    QTest::newRow("=") << "=1+1" << "'=1+1";
    QTest::newRow("+") << "+SUM(A1)" << "'+SUM(A1)";
    QTest::newRow("-") << "-A1" << "'-A1";
    QTest::newRow("@") << "@SUM(A1)" << "'@SUM(A1)";
    QTest::newRow("a negative number") << "-1.5" << "-1.5";
    QTest::newRow("a signed number") << "+3" << "+3";
    QTest::newRow("a plain text") << "事務室" << "事務室";
}

void TestNumberText::formulasGuarded()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(CsvText::field(text, CsvText::Guard::Formulas), written);
    QCOMPARE(CsvText::field(text, CsvText::Guard::None), text);
    QCOMPARE(CsvText::unguarded(written), text);
}

int main(int argc, char *argv[])
{
    TestNumberText test;
    const int plainRun = QTest::qExec(&test, argc, argv);
    LocaleGuard guard;
    return plainRun + QTest::qExec(&test, argc, argv);
}
#include "tst_numbertext.moc"
