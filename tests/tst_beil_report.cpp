// The BEI/L report, workbook and CSV files as the batch mode writes them: the printed figures read
// back from the PDF and the workbook, the rows for the input sheet, and every refusal with its
// message and exit status.
#include "beil/BeilRecord.h"
#include "grid/WorkFile.h"
#include "report/BatchStatus.h"
#include "support/OutputText.h"
#include "support/PdfTools.h"
#include "support/TestEnv.h"
#include "support/XlsxReader.h"
#include "text/Cp932.h"

#include <QDir>
#include <cmath>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace BeilRecord;

namespace {

void put(RecordGrid &g, int row, const QStringList &v)
{
    // floor, name, building, use, L, D, A, H, K, W, N, controls...
    const int columns[] = {Floor, RoomName1, BuildingUse, RoomUse, Width, Depth, Area, CeilingHeight, RoomIndex,
                           InputPower, FittingCount, Occupancy, Daylight, Schedule, InitialCorrection};
    g.setText(row, InUse, QStringLiteral("1"));
    for (int i = 0; i < v.size(); ++i)
        g.setText(row, columns[i], v[i]);
}

// E1 and E3 of the method on 1F, and on 2F a store whose depth is missing (C_L 1):
// 3 × 45 W × 3133 h = 422,955 Wh = 4,128.0408 MJ against 202 × 12 = 2,424 MJ.
RecordGrid building()
{
    RecordGrid g(kHeadingsRow, kColumns);
    g.setText(kHeadingsRow, 1, QStringLiteral("（仮称）試験ビル"));
    put(g, 1, {"1F", "事務室", "事務所等", "事務室", "10.0", "8.0", "80.0", "2.7", "", "40", "13"});
    put(g, 2, {"1F", "廊下", "事務所等", "廊下", "30.0", "1.0", "30.0", "2.7", "0.70", "20", "6", "点滅方式"});
    put(g, 3, {"1F", "廊下", "事務所等", "廊下", "30.0", "1.0", "30.0", "2.7", "0.70", "10", "2"});
    put(g, 4, {"2F", "倉庫", "事務所等", "更衣室又は倉庫", "4.0", "", "12.0", "2.6", "", "45", "3"});
    for (int r : {1, 2, 4})
        g.setText(r, StoryHeight, QStringLiteral("4.0")); // 様式4's 階高
    return g;
}

struct Run {
    int status = -1;
    QString err;
};

Run batch(const QTemporaryDir &dir, const QStringList &mode, const QString &in, const QString &out)
{
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")), mode + QStringList{in, out});
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString save(const QTemporaryDir &dir, const RecordGrid &g)
{
    const QString in = dir.filePath(QStringLiteral("in.syw"));
    return WorkFile::save(g, in) ? in : QString();
}

// The text line of the PDF holding `word`.
QString lineWith(const QString &text, const QString &word)
{
    for (const QString &line : text.split(u'\n'))
        if (line.simplified().contains(word))
            return line.simplified();
    return QString();
}

} // namespace

class TestBeilReport : public QObject
{
    Q_OBJECT
private slots:
    void pdfShowsTheFigures();
    void workbookHoldsTheFigures();
    void csvFiles();
    void refusals_data();
    void refusals();
    void hostileValuesEveryMode_data();
    void hostileValuesEveryMode();
    void everyProblemOnALineOfItsOwn();
    void figuresRedoneFromThePrintedLine();
};

void TestBeilReport::pdfShowsTheFigures()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const Run r = batch(dir, {QStringLiteral("--pdf"), QStringLiteral("beil")}, save(dir, building()), pdf);
    QCOMPARE(r.status, 0);
    QCOMPARE(PdfTools::pages(pdf), 1);
    const QString text = PdfTools::text(pdf);
    QVERIFY(text.contains(QStringLiteral("照明設備の一次エネルギー消費量（BEI/L）の計算")));
    QVERIFY(text.contains(QStringLiteral("（仮称）試験ビル")));
    // E1: K 1.64 (cut), C_L 0.80, 3,133 h, 12,720.5 MJ against 39,840.0 MJ, 0.32.
    QCOMPARE(lineWith(text, QStringLiteral("事務室 事務所等")),
             QStringLiteral("1F 事務室 事務所等 事務室 80.0 1.64 0.80 3,133 12,720.5 39,840.0 0.32"));
    // E3: the typed K, C_L 0.50; its luminaires with their controls and F.
    QCOMPARE(lineWith(text, QStringLiteral("廊下 事務所等")),
             QStringLiteral("廊下 事務所等 廊下 30.0 0.70 0.50 3,133 1,590.1 7,350.0 0.22"));
    QCOMPARE(lineWith(text, QStringLiteral("20.0 6")), QStringLiteral("20.0 6 点滅 － － － 0.70 84.0"));
    QCOMPARE(lineWith(text, QStringLiteral("10.0 2")), QStringLiteral("10.0 2 － － － － 1.00 20.0"));
    // The store: no K can be formed.
    QCOMPARE(lineWith(text, QStringLiteral("倉庫 事務所等")),
             QStringLiteral("2F 倉庫 事務所等 更衣室又は倉庫 12.0 － 1.00 3,133 4,128.0 2,424.0 1.71 室指数を求められないため 1.00"));
    // Floors and the building: ratios of sums, rounded up.
    QCOMPARE(lineWith(text, QStringLiteral("1F 合計")), QStringLiteral("1F 合計 110.0 14,310.5 47,190.0 0.31"));
    QCOMPARE(lineWith(text, QStringLiteral("建物合計")), QStringLiteral("建物合計 122.0 18,438.6 49,614.0 0.38"));
    QVERIFY(text.contains(QStringLiteral("18,438.6 MJ/年（18.44 GJ/年）")));
    QVERIFY(text.contains(QStringLiteral("49,614.0 MJ/年（49.61 GJ/年）")));
    QVERIFY(text.contains(QStringLiteral("照明設備のみの試算です。省エネ基準への適合は建築物全体の BEI で判定されます。")));
}

void TestBeilReport::workbookHoldsTheFigures()
{
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    QCOMPARE(batch(dir, {QStringLiteral("--xlsx"), QStringLiteral("beil")}, save(dir, building()), xlsx).status, 0);
    const XlsxReader::Book book = XlsxReader::read(xlsx);
    QVERIFY(book.ok);
    int office = 0;
    int total = 0;
    for (int r = 1; r <= book.lastRow; ++r) {
        if (book.shown(r, 2) == u"事務室")
            office = r;
        if (book.shown(r, 2) == u"建物合計")
            total = r;
    }
    QVERIFY(office > 0 && total > office);
    // E_L (column 18) holds the unrounded figure and shows it to one decimal.
    QCOMPARE(book.at(office, 18).kind, XlsxReader::Cell::Number);
    QCOMPARE(book.at(office, 18).number, 12720.48128);
    QCOMPARE(book.shown(office, 18), QStringLiteral("12,720.5"));
    QCOMPARE(book.shown(office, 19), QStringLiteral("39,840.0"));
    QCOMPARE(book.shown(office, 20), QStringLiteral("0.32"));
    QCOMPARE(book.shown(total, 20), QStringLiteral("0.38"));
    QCOMPARE(book.at(office + 1, 9).text, QString()); // the luminaire line has no name typed or derived here
    QCOMPARE(book.at(office + 1, 16).number, 1.0);
    QCOMPARE(book.at(office + 1, 16).format, QStringLiteral("0.00######"));
    // The room index as a number: K 80 / (2.7 × 18) = 1.6461… cut to 1.64, shown 0.00.
    QCOMPARE(book.at(office, 6).kind, XlsxReader::Cell::Number);
    QCOMPARE(book.at(office, 6).number, 1.64);
    QCOMPARE(book.at(office, 6).format, QStringLiteral("0.00"));
    // Under the table: no 会社名 line without a company; the totals as the page prints them.
    QHash<QString, XlsxReader::Cell> footer;
    for (int r = total + 1; r <= book.lastRow; ++r)
        footer.insert(book.at(r, 1).text, book.at(r, 4));
    QVERIFY(!footer.contains(QStringLiteral("会社名")));
    const XlsxReader::Cell design = footer.value(QStringLiteral("設計一次エネルギー消費量 E_L (MJ/年)"));
    QCOMPARE(design.number, 18438.6);
    QCOMPARE(design.format, QStringLiteral("#,##0.0"));
    QCOMPARE(footer.value(QStringLiteral("設計一次エネルギー消費量 E_L (GJ/年)")).number, 18.44);
    QCOMPARE(footer.value(QStringLiteral("BEI/L")).format, QStringLiteral("0.00"));
}

void TestBeilReport::csvFiles()
{
    QTemporaryDir dir;
    RecordGrid g = building();
    g.setText(4, Depth, QStringLiteral("3.0")); // K 4 × 3 / (2.6 × 7) = 0.6593 → C_L 0.50
    const QString in = save(dir, g);
    const QString csv = dir.filePath(QStringLiteral("beil.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv")}, in, csv).status, 0);
    const QStringList lines = QString::fromUtf8(TestEnv::readBytes(csv)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[2], QStringLiteral("2,1F,廊下,,事務所等,廊下,30,0.7,0.5,3133,162916,1590.06016,7350,0.22"));
    QVERIFY(lines[3].startsWith(QStringLiteral("4,2F,倉庫,,事務所等,更衣室又は倉庫,12,0.65934065934065")));
    QVERIFY(lines[3].endsWith(QStringLiteral(",0.5,3133,211477.5,2064.0204,2424,0.86")));
    QCOMPARE(lines[4], QStringLiteral("total,,,,,,,,,,,16374.56184,49614,0.34"));
    QCOMPARE(lines[5], QString());

    const QString form4 = dir.filePath(QStringLiteral("form4.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--form4-csv")}, in, form4).status, 0);
    bool ok = false;
    const QString rows = Cp932::decode(TestEnv::readBytes(form4), &ok);
    QVERIFY(ok);
    QCOMPARE(rows.split(QStringLiteral("\r\n")).mid(10),
             (QStringList{"1F,事務室,事務所等,事務室,80.0,4.0,2.7,10.0,8.0,,,40,13,無,無,無,無,",
                          "1F,廊下,事務所等,廊下,30.0,4.0,2.7,30.0,1.0,0.70,,20,6,点滅方式,無,無,無,",
                          ",,,,,,,,,,,10,2,無,無,無,無,",
                          "2F,倉庫,事務所等,更衣室又は倉庫,12.0,4.0,2.6,4.0,3.0,,,45,3,無,無,無,無,", ""}));
}

void TestBeilReport::refusals_data()
{
    QTest::addColumn<QStringList>("mode");
    QTest::addColumn<QString>("change"); // row:column:value, "none" for no room, "missing" for no file
    QTest::addColumn<QString>("target"); // "dir" for a folder in place of the output
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QList<QStringList> modes = {{"--pdf", "beil"}, {"--xlsx", "beil"}, {"--beil-csv"}, {"--form4-csv"}};
    for (const QStringList &m : modes) {
        const QString name = m.join(u' ');
        QTest::addRow("%s: no room use", qPrintable(name))
            << m << "1:122:" << "" << int(BatchStatus::ValueTooLarge) << "1 行目（事務室）の室用途が選ばれていません。";
        QTest::addRow("%s: pair not in table", qPrintable(name))
            << m << "4:121:工場等" << "" << int(BatchStatus::ValueTooLarge)
            << "4 行目（倉庫）の室用途「更衣室又は倉庫」は建物用途「工場等」の室用途として基準値の表にありません。";
        QTest::addRow("%s: power no number", qPrintable(name))
            << m << "3:104:1O" << "" << int(BatchStatus::ValueTooLarge) << "3 行目（廊下）の入力電力「1O」は数値ではありません。";
        QTest::addRow("%s: count negative", qPrintable(name))
            << m << "2:25:-6" << "" << int(BatchStatus::ValueTooLarge) << "2 行目（廊下）の台数「-6」は負の値です。";
        if (m.size() == 2) // only the report has columns to fit
            QTest::addRow("%s: too wide to print", qPrintable(name))
                << m << "1:12:999999999999" << "" << int(BatchStatus::ValueTooLarge)
                << "1 行目（事務室）の床面積「999,999,999,999.0」は大きすぎて印刷できません。";
        QTest::addRow("%s: no room", qPrintable(name)) << m << "none" << "" << int(BatchStatus::NothingToPrint) << "データがありません。";
        QTest::addRow("%s: no file", qPrintable(name)) << m << "missing" << "" << int(BatchStatus::BadInput) << "ファイル";
        QTest::addRow("%s: folder as output", qPrintable(name)) << m << "" << "dir" << int(BatchStatus::CannotWritePdf) << "";
    }
}

void TestBeilReport::refusals()
{
    QFETCH(QStringList, mode);
    QFETCH(QString, change);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    RecordGrid g = building();
    if (change == u"none") {
        for (int r = 1; r <= 4; ++r)
            g.setText(r, InUse, QString());
    } else if (change.count(u':') == 2) {
        const QStringList c = change.split(u':');
        g.setText(c[0].toInt(), c[1].toInt(), c[2]);
    }
    const QString in = change == u"missing" ? dir.filePath(QStringLiteral("none.syw")) : save(dir, g);
    const QString out = dir.filePath(QStringLiteral("out"));
    if (target == u"dir")
        QVERIFY(QDir().mkdir(out));
    const Run r = batch(dir, mode, in, out);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (target.isEmpty())
        QVERIFY(!QFile::exists(out)); // nothing is written
}

void TestBeilReport::hostileValuesEveryMode_data()
{
    QTest::addColumn<QStringList>("mode");
    QTest::addColumn<QStringList>("changes"); // row:column:value
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");  // in the message (status 5) or the warnings (status 0)
    QTest::addColumn<QString>("shown"); // in the output when written ("" for none)
    const QString huge200 = u'1' + QString(200, u'0'), tiny = QStringLiteral("0.") + QString(400, u'0') + u'1';
    const QString digits300 = u'1' + QString(300, u'0'), area2e305 = u'2' + QString(305, u'0');
    const QList<QStringList> modes = {{"--pdf", "beil"}, {"--xlsx", "beil"}, {"--beil-csv"}, {"--form4-csv"}, {"--official-xlsx"}};
    for (const QStringList &m : modes) {
        const QString name = m.join(u' ');
        const bool csv = m.first().endsWith(QStringLiteral("csv"));
        // K = 1 / (H (1/L + 1/D)) = 0.5 where L × D overflows: printed, C_L 0.50.
        QTest::addRow("%s: sides and height of 1e200 m", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:%2").arg(Width).arg(huge200), QStringLiteral("1:%1:%2").arg(Depth).arg(huge200),
                                QStringLiteral("1:%1:%2").arg(CeilingHeight).arg(huge200)}
            << 0 << QString() << QString();
        QTest::addRow("%s: a height no double holds", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:%2").arg(CeilingHeight).arg(tiny)} << int(BatchStatus::ValueTooLarge)
            << QStringLiteral("1 行目（事務室）の天井高「%1」は小さすぎて計算できません。").arg(tiny) << QString();
        QTest::addRow("%s: an input power of 300 digits", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:%2").arg(InputPower).arg(digits300)} << int(BatchStatus::ValueTooLarge)
            << QStringLiteral("1 行目（事務室）の入力電力「%1」は大きすぎて計算できません。").arg(digits300) << QString();
        QTest::addRow("%s: 13 fittings of a power that overflows only with hours", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:%2").arg(InputPower).arg(u'1' + QString(305, u'0'))} << int(BatchStatus::ValueTooLarge)
            << QStringLiteral("1 行目（事務室）の入力電力「1%1」は大きすぎて計算できません。").arg(QString(305, u'0')) << QString();
        QTest::addRow("%s: an area of 400 zeros and a 1", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:%2").arg(Area).arg(tiny)} << int(BatchStatus::ValueTooLarge)
            << QStringLiteral("1 行目（事務室）の床面積「%1」は小さすぎて計算できません。").arg(tiny) << QString();
        // Each room finite (at most 9.96e307 MJ), the building's sum not.
        QStringList areas;
        for (int r = 1; r <= 4; ++r)
            areas.append(QStringLiteral("%1:%2:%3").arg(r).arg(Area).arg(area2e305));
        QTest::addRow("%s: every room of 2e305 m2", qPrintable(name))
            << m << areas << int(BatchStatus::ValueTooLarge)
            << QStringLiteral("1 行目（事務室）の床面積「%1」は建物全体の合計が大きすぎて計算できません。").arg(area2e305) << QString();
        QTest::addRow("%s: a room index typed -0", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:-0").arg(RoomIndex)} << 0 << QString() << QString();
        QTest::addRow("%s: two rows of one room, two uses", qPrintable(name))
            << m << QStringList{QStringLiteral("3:%1:事務室").arg(RoomUse)} << 0
            << QStringLiteral("3 行目（廊下）の室用途「事務室」が同じ室の 2 行目「廊下」と異なります（2 行目の用途で計算しました）。")
            << QString();
        // A name a spreadsheet would run as a formula: text in the CSV files.
        QTest::addRow("%s: a room named =1+2", qPrintable(name))
            << m << QStringList{QStringLiteral("1:%1:=1+2").arg(RoomName1)} << 0 << QString()
            << (csv ? QStringLiteral("'=1+2") : QStringLiteral("=1+2"));
    }
}

void TestBeilReport::hostileValuesEveryMode()
{
    QFETCH(QStringList, mode);
    QFETCH(QStringList, changes);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    RecordGrid g = building();
    for (const QString &c : changes) {
        const QStringList f = c.split(u':');
        g.setText(f[0].toInt(), f[1].toInt(), f.mid(2).join(u':'));
    }
    const QString extension = mode.contains(QStringLiteral("--pdf")) ? QStringLiteral("pdf")
                              : mode.first().endsWith(QStringLiteral("csv")) ? QStringLiteral("csv")
                                                                              : QStringLiteral("xlsx");
    const QString out = dir.filePath(QStringLiteral("out.") + extension);
    const Run r = batch(dir, mode, save(dir, g), out);
    QVERIFY2(r.status == status, qPrintable(r.err));
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
    if (status != 0) {
        QVERIFY(!QFile::exists(out)); // every output refuses the same inputs, with nothing written
        return;
    }
    const QString text = OutputText::of(out);
    const QString bad = OutputText::notANumber(text);
    QVERIFY2(bad.isEmpty(), qPrintable(bad));
    if (!shown.isEmpty()) {
        QVERIFY2(text.contains(shown), qPrintable(text.left(400)));
        if (shown.startsWith(u'\''))
            QVERIFY(!QRegularExpression(QStringLiteral("(^|[,\\n])=1\\+2")).match(text).hasMatch());
    }
}

void TestBeilReport::everyProblemOnALineOfItsOwn()
{
    // Two rooms with errors and one with a choice that does not suit it: status 5, every problem
    // on a line of its own, nothing written.
    QTemporaryDir dir;
    RecordGrid g = building();
    g.setText(1, InputPower, QStringLiteral("4O"));
    g.setText(4, FittingCount, QString());
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    for (const QStringList &mode : {QStringList{QStringLiteral("--beil-csv")}, QStringList{QStringLiteral("--pdf"), QStringLiteral("beil")}}) {
        const Run r = batch(dir, mode, save(dir, g), out);
        QCOMPARE(r.status, int(BatchStatus::ValueTooLarge));
        QCOMPARE(r.err.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"prx5m: 計算できません（2 件）:", "prx5m: 1 行目（事務室）の入力電力「4O」は数値ではありません。",
                              "prx5m: 4 行目（倉庫）の台数が入力されていません。"}));
        QVERIFY(!QFile::exists(out));
    }
    // A warning alone: written, and said.
    g = building();
    g.setText(1, Occupancy, QStringLiteral("点滅方式"));
    const Run r = batch(dir, {QStringLiteral("--beil-csv")}, save(dir, g), out);
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QStringLiteral("prx5m: 警告: 1 行目（事務室）の在室検知制御「点滅方式」は非居室に限ります。"
                                   "第三者評価による場合のほかは選べません。\n"));
    QVERIFY(QFile::exists(out));
}

void TestBeilReport::figuresRedoneFromThePrintedLine()
{
    // E2 of the method: E1 with 下限調光方式, 調光方式, 減光方式 and タイマ方式(LED): F = 0.95 × 0.90 ×
    // 0.95 × 0.95 = 0.7716375, printed whole, so W × N × F = 40 × 13 × 0.7716375 = 401.2515 can be
    // redone from the line; E_L 9,815.6004 MJ; the GJ is the printed MJ ÷ 1000, halves up.
    QTemporaryDir dir;
    RecordGrid g(kHeadingsRow, kColumns);
    put(g, 1, {"1F", "事務室", "事務所等", "事務室", "10.0", "8.0", "80.0", "2.7", "", "40", "13", "下限調光方式"});
    g.setText(1, Daylight, QStringLiteral("調光方式"));
    g.setText(1, Schedule, QStringLiteral("減光方式"));
    g.setText(1, InitialCorrection, QStringLiteral("タイマ方式(LED)"));
    const QString pdf = dir.filePath(QStringLiteral("e2.pdf"));
    QCOMPARE(batch(dir, {QStringLiteral("--pdf"), QStringLiteral("beil")}, save(dir, g), pdf).status, 0);
    const QString text = PdfTools::text(pdf);
    const QStringList line = lineWith(text, QStringLiteral("40.0 13")).split(u' ');
    QCOMPARE(line.size(), 8);
    const double w = line[0].toDouble(), n = line[1].toDouble(), f = line[6].toDouble();
    QCOMPARE(line[6], QStringLiteral("0.7716375"));
    QCOMPARE(QString::number(w * n * f, 'f', 1), line[7]);
    const QStringList room = lineWith(text, QStringLiteral("事務室 事務所等")).split(u' ');
    const QString mj = room.value(room.size() - 3);
    QCOMPARE(mj, QStringLiteral("9,815.6"));
    // The footer's GJ from the printed MJ: 9815.6 / 1000 = 9.8156 → 9.82.
    const qint64 tenths = qint64(QString(mj).remove(u',').toDouble() * 10 + 0.5);
    const QString gj = QStringLiteral("%1.%2").arg((tenths + 50) / 10000).arg((tenths + 50) / 100 % 100, 2, 10, QChar(u'0'));
    QVERIFY2(text.contains(QStringLiteral("%1 MJ/年（%2 GJ/年）").arg(mj, gj)), qPrintable(gj));
}

QTEST_MAIN(TestBeilReport)
#include "tst_beil_report.moc"
