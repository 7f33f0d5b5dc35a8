// Hostile values in the example work files through the batch modes of the illuminance, CEC/L,
// distribution, emergency and BEI/L sheets: each is refused with
// the field and the reason named, or written without a figure that is no number.
#include "grid/WorkFile.h"
#include "report/BatchStatus.h"
#include "support/OutputText.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestHostileValues : public QObject
{
    Q_OBJECT
private slots:
    void refusedOrPrintedAsNumbers_data();
    void refusedOrPrintedAsNumbers();
};

void TestHostileValues::refusedOrPrintedAsNumbers_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QStringList>("mode");
    QTest::addColumn<int>("column"); // of row 1
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // in the message or the warnings
    const QString tiny = QStringLiteral("0.") + QString(400, u'0') + u'1', huge = u'1' + QString(300, u'0');
    constexpr int kWidth = 10, kArea = 12, kHeight = 13, kIndex = 16;
    const QList<QStringList> illuminance = {{"--pdf", "illuminance"}, {"--xlsx", "illuminance"}};
    const QList<QStringList> distribution = {{"--distribution-csv"}, {"--pdf", "distribution"}};
    const QList<QStringList> cecl = {{"--pdf", "cecl"}, {"--xlsx", "cecl"}};
    const QList<QStringList> emergency = {{"--pdf", "emergency"}, {"--xlsx", "emergency"}, {"--emergency-csv"}};
    const int refused = int(BatchStatus::ValueTooLarge);
    for (const QStringList &m : illuminance) {
        const QByteArray name = m.join(u' ').toUtf8();
        const char *n = name.constData();
        QTest::addRow("%s: 間口 of 301 digits", n) << "office-3f.syw" << m << kWidth << huge << refused << "オーバーフローしました";
        QTest::addRow("%s: 天井高 beyond a double", n) << "office-3f.syw" << m << kHeight << tiny << 0 << "";
        QTest::addRow("%s: 面積 -0", n) << "office-3f.syw" << m << kArea << "-0" << 0 << "";
        QTest::addRow("%s: 室指数 -0", n) << "office-3f.syw" << m << kIndex << "-0" << 0 << "";
    }
    for (const QStringList &m : distribution) {
        const QByteArray name = m.join(u' ').toUtf8();
        const char *n = name.constData();
        QTest::addRow("%s: 間口 of 301 digits", n) << "office-3f.syw" << m << kWidth << huge << 0 << "は 100 m までです";
        QTest::addRow("%s: 天井高 beyond a double", n) << "office-3f.syw" << m << kHeight << tiny << refused
                                                 << "は小さすぎて計算できません。";
        QTest::addRow("%s: 面積 -0", n) << "office-3f.syw" << m << kArea << "-0" << 0 << "";
    }
    // One reading of a stored figure beyond the sheets' own procedures: what the panel would not
    // have stored is refused, said what is wrong with it, never read as a leading number.
    const struct {
        const char *text, *reason;
    } unread[] = {{"1e1", "は指数表記です（小数で入力してください）。"}, {"1e300", "は指数表記です（小数で入力してください）。"},
                  {"1e-320", "は指数表記です（小数で入力してください）。"}, {"2.8abc", "は数値ではありません。"},
                  {"3,5", "は数値ではありません。"}, {"nan", "は数値ではありません。"}};
    constexpr int kCeilingReflectance = 17;
    const QList<QStringList> beil = {{"--beil-csv"}, {"--pdf", "beil"}};
    for (const auto &u : unread) {
        for (const QStringList &m : distribution) {
            const QByteArray name = m.join(u' ').toUtf8();
            QTest::addRow("%s: 天井高 %s", name.constData(), u.text)
                << "office-3f.syw" << m << kHeight << u.text << refused
                << QStringLiteral("天井高「%1」%2").arg(QString::fromUtf8(u.text), QString::fromUtf8(u.reason));
            QTest::addRow("%s: 天井の反射率 %s", name.constData(), u.text)
                << "office-3f.syw" << m << kCeilingReflectance << u.text << refused
                << QStringLiteral("天井の反射率「%1」%2").arg(QString::fromUtf8(u.text), QString::fromUtf8(u.reason));
        }
        for (const QStringList &m : emergency) {
            const QByteArray name = m.join(u' ').toUtf8();
            QTest::addRow("%s: 間口 %s", name.constData(), u.text)
                << "office-3f-emergency.syw" << m << kWidth << u.text << refused
                << QStringLiteral("1 行目（玄関ホール）の間口「%1」%2").arg(QString::fromUtf8(u.text), QString::fromUtf8(u.reason));
        }
        for (const QStringList &m : beil) {
            const QByteArray name = m.join(u' ').toUtf8();
            QTest::addRow("%s: 床面積 %s", name.constData(), u.text)
                << "office-3f-beil.syw" << m << kArea << u.text << refused
                << QStringLiteral("1 行目（玄関ホール）の床面積「%1」%2").arg(QString::fromUtf8(u.text), QString::fromUtf8(u.reason));
        }
    }
    for (const QStringList &m : cecl) {
        const QByteArray name = m.join(u' ').toUtf8();
        const char *n = name.constData();
        QTest::addRow("%s: 床面積 -0", n) << "office-3f-cecl.syw" << m << kArea << "-0" << 0 << "";
        QTest::addRow("%s: 床面積 beyond a double", n) << "office-3f-cecl.syw" << m << kArea << tiny << refused
                                                  << "は小さすぎて印刷できません";
        QTest::addRow("%s: 床面積 of 301 digits", n) << "office-3f-cecl.syw" << m << kArea << huge << refused
                                                 << "は大きすぎて印刷できません";
    }
    for (const QStringList &m : emergency) {
        const QByteArray name = m.join(u' ').toUtf8();
        const char *n = name.constData();
        QTest::addRow("%s: 間口 -0", n) << "office-3f-emergency.syw" << m << kWidth << "-0" << refused
                                      << "1 行目（玄関ホール）の間口・奥行「-0×6.0」は 0 より大きい値にしてください。";
        QTest::addRow("%s: 天井高 beyond a double", n) << "office-3f-emergency.syw" << m << kHeight << tiny << 0 << "";
    }
}

void TestHostileValues::refusedOrPrintedAsNumbers()
{
    QFETCH(QString, example);
    QFETCH(QStringList, mode);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir dir;
    RecordGrid g(221, 1);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + example)));
    g.setText(1, column, value);
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    QVERIFY(WorkFile::save(g, in));
    const QString out = dir.filePath(mode.first().endsWith(QStringLiteral("csv")) ? QStringLiteral("out")
                                     : QStringLiteral("out.") + mode.first().mid(2));
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")), mode + QStringList{in, out});
    QVERIFY(p.waitForFinished(120000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitCode() == status, qPrintable(err));
    QVERIFY2(err.contains(said), qPrintable(err));
    if (status != 0) {
        QVERIFY(!QFileInfo::exists(out)); // nothing written
        return;
    }
    const QString bad = OutputText::notANumber(OutputText::of(out));
    QVERIFY2(bad.isEmpty(), qPrintable(bad));
}

QTEST_GUILESS_MAIN(TestHostileValues)
#include "tst_hostile_values.moc"
