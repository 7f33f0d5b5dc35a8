#include "grid/WorkFile.h"
#include "illuminance/FMidashi.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RptSyoudo.h"
#include "report/ReportData.h"
#include "report/ReportOutput.h"
#include "support/ExampleSheet.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"
#include "support/XlsxReader.h"
#include "report/XlsxOutput.h"
#include "text/JapaneseDate.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QAction>

using namespace RoomRecord;

namespace {

void room(RecordGrid &g, int r, const QList<QPair<int, QString>> &cells)
{
    g.setText(r, InUse, QStringLiteral("1"));
    g.setText(r, RoomName1, QStringLiteral("室%1").arg(r));
    for (const auto &[c, t] : cells)
        g.setText(r, c, t);
}

// One query on the print table: the values of the first column, one per row.
QStringList column(const QString &db, const QString &sql)
{
    QStringList out;
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        d.setDatabaseName(db);
        if (!d.open())
            return {QStringLiteral("cannot open")};
        QSqlQuery q(d);
        if (!q.exec(sql))
            return {QStringLiteral("bad query")};
        while (q.next())
            out.append(q.value(0).isNull() ? QStringLiteral("NULL") : q.value(0).toString());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return out;
}

QString pdfText(const QString &pdf, int page = 0)
{
    return PdfTools::text(pdf, page);
}

int pdfPages(const QString &pdf)
{
    return PdfTools::pages(pdf);
}

} // namespace

class TestIlluminanceReport : public QObject
{
    Q_OBJECT
private slots:
    void paddedRows_data();
    void paddedRows();
    void roomIndexLetters_data();
    void roomIndexLetters();
    void roomIndexLetterReachesTheTable();
    void tableOfThreeRoomsIn22Records();
    void typesAndNulls();
    void fullSheetGives220Records();
    void nothingToPrint();
    void overflowKeepsPreviousTable();
    void pdfOfTheReport();
    void detailFormatShowsZeroHeights();
    void eraDates_data();
    void eraDates();
    void headingsDialog();
    void sheetPrintTableAndMessage();
    void previewOpensFromTheSheet();
    void printToFileIsChecked();
    void batchMode_data();
    void batchMode();
    void longTextsAreCut();
    void paperInTwips();
    void cellsKeepTheirText();
    void cp932FormsComeOutAsWritten();
    void textFitsItsCell_data();
    void textFitsItsCell();
};

void TestIlluminanceReport::paddedRows_data()
{
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("rows");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("1") << 1 << 22;
    QTest::newRow("22") << 22 << 22;
    QTest::newRow("23") << 23 << 44;
    QTest::newRow("220") << 220 << 220;
}

void TestIlluminanceReport::paddedRows()
{
    QFETCH(int, last);
    QFETCH(int, rows);
    QCOMPARE(IlluminancePrintTable::paddedRows(last), rows);
}

void TestIlluminanceReport::roomIndexLetters_data()
{
    QTest::addColumn<QString>("roomIndex");
    QTest::addColumn<QString>("letter");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("0.69") << "0.69" << "J";
    QTest::newRow("0.70") << "0.70" << "I";
    QTest::newRow("0.90") << "0.90" << "H";
    QTest::newRow("1.12") << "1.12" << "G";
    QTest::newRow("1.38") << "1.38" << "F";
    QTest::newRow("2.40") << "2.40" << "D";
    QTest::newRow("4.49") << "4.49" << "B";
    QTest::newRow("4.50") << "4.50" << "A";
    QTest::newRow("5.00") << "5.00" << "A";
    QTest::newRow("negative") << "-1.20" << "J";
}

void TestIlluminanceReport::roomIndexLetters()
{
    QFETCH(QString, roomIndex);
    QFETCH(QString, letter);
    QCOMPARE(IlluminancePrintTable::roomIndexLetter(roomIndex), letter);
}

void TestIlluminanceReport::roomIndexLetterReachesTheTable()
{
    // The letter printed beside the room index, at each bound and just below it.
    const QList<QPair<QString, QString>> cases = {
        {"0.69", "J"}, {"0.70", "I"}, {"1.11", "H"}, {"1.12", "G"}, {"1.37", "G"}, {"1.38", "F"}, {"1.74", "F"},
        {"1.75", "E"}, {"2.24", "E"}, {"2.25", "D"}, {"2.74", "D"}, {"2.75", "C"}, {"3.49", "C"}, {"3.50", "B"},
        {"4.49", "B"}, {"4.50", "A"}, {"", ""}};
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    for (int i = 0; i < cases.size(); ++i)
        room(g, i + 1, {{RoomIndex, cases[i].first}});
    QString error;
    QList<QSqlRecord> rows;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error, &rows), 22);
    for (int i = 0; i < cases.size(); ++i) {
        const QVariant letter = rows[i].value(QStringLiteral("室指数記号"));
        QCOMPARE(letter.isNull() ? QString() : letter.toString(), cases[i].second);
    }
}

void TestIlluminanceReport::tableOfThreeRoomsIn22Records()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    for (int r : {1, 2, 5})
        room(g, r, {});
    g.setText(221, kTitle1, QStringLiteral("件名１"));
    g.setText(221, kTitle2, QStringLiteral("件名２"));
    g.setText(221, kDate, QStringLiteral("令和 08 年 12 月 07 日"));
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QStringLiteral("KZW設計"), QStringLiteral("/tmp/a.syw"), db, &error), 22);
    QCOMPARE(column(db, "SELECT [行№] FROM W_Data ORDER BY rowid").size(), 22);
    QCOMPARE(column(db, "SELECT [行№] FROM W_Data ORDER BY rowid").join(u','),
             QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22"));
    QCOMPARE(column(db, "SELECT [室名１] FROM W_Data ORDER BY rowid").mid(0, 6),
             QStringList({"室1", "室2", "", "", "室5", ""}));
    QCOMPARE(column(db, "SELECT DISTINCT [タイトル１] || '|' || [タイトル２] || '|' || [日付] || '|' || [会社名] || '|' || "
                        "[ファイル名] FROM W_Data"),
             QStringList{QStringLiteral("件名１|件名２|令和 08 年 12 月 07 日|KZW設計|/tmp/a.syw")});
    // No temporary database is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("t_syou.mdb")});
}

void TestIlluminanceReport::typesAndNulls()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    room(g, 1, {{LampFlux, "3450 "}, {DesignIlluminance, "500"}, {Width, "10.0"}, {Depth, "8.0"}, {Area, "80.0"},
                {CeilingHeight, "2.7"}, {WorkPlaneHeight, "0.85"}, {Suspension, "0.0"}, {RoomIndex, "2.40"},
                {CeilingReflectance, "70"}, {UtilizationFactor, "0.62"}, {MaintenanceFactor, "0.73"},
                {LampCountComputed, "25.7"}, {LampCount, "26"}, {ResultIlluminance, "507"}, {FittingCount, "13"},
                {Remark1, "1234"}, {Remark2, ""}, {Floor, "1F"}, {LampName, "FHF32EX-N-2"}});
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), 22);
    const QString first = QStringLiteral(" FROM W_Data WHERE rowid = 1");
    QCOMPARE(column(db, "SELECT typeof([行№]) || typeof([光束]) || typeof([作業面の高さ]) || typeof([天井]) || "
                        "typeof([階数])" + first),
             QStringList{"integerintegerrealintegertext"});
    QCOMPARE(column(db, "SELECT [光束]" + first), QStringList{"3450"});
    QCOMPARE(column(db, "SELECT [器具下り]" + first), QStringList{"NULL"}); // 0.0 is Null
    QCOMPARE(column(db, "SELECT [備考２]" + first), QStringList{"NULL"});   // empty is Null
    QCOMPARE(column(db, "SELECT [壁]" + first), QStringList{"NULL"});
    QCOMPARE(column(db, "SELECT [室指数記号]" + first), QStringList{"D"});
    // Singles are stored as 32-bit floats.
    QCOMPARE(column(db, "SELECT [作業面の高さ] = " + QString::number(double(0.85f), 'g', 17) + first), QStringList{"1"});
    QCOMPARE(column(db, "SELECT [室指数記号] FROM W_Data WHERE rowid = 2"), QStringList{"NULL"});
    QCOMPARE(column(db, "SELECT [室名１] FROM W_Data WHERE rowid = 2"), QStringList{""});
}

void TestIlluminanceReport::fullSheetGives220Records()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    room(g, 220, {});
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), 220);
    QCOMPARE(column(db, "SELECT count(*) FROM W_Data"), QStringList{"220"});
}

void TestIlluminanceReport::nothingToPrint()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    g.setText(221, kTitle1, QStringLiteral("見出しだけ"));
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), 0);
    QVERIFY(!QFile::exists(db));
}

void TestIlluminanceReport::overflowKeepsPreviousTable()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    room(g, 1, {});
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), 22);
    g.setText(3, InUse, "1");
    g.setText(3, FittingCount, "40000"); // a 16-bit column
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), -1);
    QVERIFY(error.contains(QStringLiteral("オーバーフロー")));
    QCOMPARE(column(db, "SELECT count(*) FROM W_Data"), QStringList{"22"});
    // No temporary database is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("t_syou.mdb")});
}

void TestIlluminanceReport::pdfOfTheReport()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    // The worked example as the sheet stores it: 10 x 8 m, 2.7 m, work plane 0.85 m: k = 80 / (1.85 x 18)
    // = 2.40 (class D); U 0.62, M 0.73, 3450 lm: N = 80 x 500 / (3450 x 0.62 x 0.73) = 25.6... -> 25.7,
    // 26 lamps, 2 a fitting: 13 fittings giving 26 x 3450 x 0.62 x 0.73 / 80 = 507 lx.
    room(g, 1, {{Floor, "1F"}, {RoomName2, QStringLiteral("（営業）")}, {LuminaireType, QStringLiteral("埋込下面開放形Hf32")},
                {LampName, "FHF32EX-N-2"}, {LampFlux, "3450"}, {DesignIlluminance, "500"}, {Width, "10.0"}, {Depth, "8.0"},
                {Area, "80.0"}, {CeilingHeight, "2.7"}, {WorkPlaneHeight, "0.85"}, {Suspension, "0.0"}, {RoomIndex, "2.40"},
                {CeilingReflectance, "70"}, {WallReflectance, "50"}, {FloorReflectance, "10"}, {UtilizationFactor, "0.62"},
                {MaintenanceFactor, "0.73"}, {LampCountComputed, "25.7"}, {LampCount, "26"}, {ResultIlluminance, "507"},
                {FittingCount, "13"}, {Remark1, "1234"}});
    room(g, 23, {{RoomName2, QStringLiteral("二頁目")}});
    g.setText(221, kTitle1, QStringLiteral("第一高校玄関工事"));
    QString error;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error), 44);
    QList<QSqlRecord> rows;
    QVERIFY(ReportData::readTable(db, QStringLiteral("W_Data"), &rows, &error));
    QCOMPARE(rows.size(), 44);
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const BandedReport report = RptSyoudo::definition();
    QVERIFY(ReportOutput::writePdf(report, rows, pdf, QStringLiteral("照度計算書"), &error));
    QCOMPARE(pdfPages(pdf), 2);
    // The room's line read back column by column: the fields of the whole height, then those of
    // the upper and of the lower half.
    const double top = (report.pageFrame().top + report.headerHeight) / 20;
    const double height = report.detailHeight / 20;
    QHash<QString, QString> cells;
    for (int half = 0; half <= 2; ++half) {
        QList<PdfTools::Column> columns;
        for (const BandedReport::Field &f : report.fields)
            if (f.line == half)
                columns.append({f.name, f.x / 20, (f.x + f.width) / 20});
        const double from = half == 2 ? top + height / 2 : top;
        const double to = half == 1 ? top + height / 2 : top + height;
        for (const auto &line : PdfTools::tableLines(pdf, 1, columns, from, to))
            for (auto it = line.cbegin(); it != line.cend(); ++it)
                cells[it.key()] += it.value();
    }
    const QList<QPair<QString, QString>> expected = {
        {"行№", "1"}, {"階数", "1F"}, {"室名１", "室1"}, {"室名２", "（営業）"}, {"照明器具種類", "埋込下面開放形Hf32"},
        {"光源名称", "FHF32EX-N-2"}, {"光束", "3450"}, {"照度１", "500"}, {"間口", "10.0"}, {"奥行", "8.0"}, {"面積", "80.0"},
        {"高さ", "2.7"}, {"作業面の高さ", "0.85"}, {"器具下り", "0.0"}, {"室指数", "2.40"}, {"室指数記号", "D"},
        {"天井", "70"}, {"壁", "50"}, {"床", "10"}, {"照明率", "0.62"}, {"保守率", "0.73"}, {"灯数１", "25.7"},
        {"灯数２", "26"}, {"照度２", "507"}, {"台数", "13"}, {"備考１", "1,234"}, {"備考２", ""}};
    QCOMPARE(cells.size() + 1, expected.size()); // every column but the empty 備考２ printed
    for (const auto &[field, text] : expected)
        QVERIFY2(cells.value(field) == text, qPrintable(QStringLiteral("%1: \"%2\", not \"%3\"").arg(field, cells.value(field), text)));
    const QString page1 = pdfText(pdf, 1);
    QVERIFY2(page1.contains(QStringLiteral("照度計算書")) || page1.contains(QStringLiteral("照 度 計 算 書")),
             qPrintable(page1.left(300)));
    // Kanji that share their glyph with a radical are searchable as themselves.
    QVERIFY2(page1.contains(QStringLiteral("第一高校玄関工事")), qPrintable(page1.left(400)));
    QVERIFY(page1.contains(QStringLiteral("高さ")));
    QVERIFY(page1.contains(QStringLiteral("1 / 2")));
    QVERIFY(pdfText(pdf, 2).contains(QStringLiteral("2 / 2")));

    // The workbook from the same table: the stacked fields side by side, in the order above;
    // every number a number under the report's format, holding the value itself.
    const QString xlsx = dir.filePath(QStringLiteral("report.xlsx"));
    QVERIFY2(XlsxOutput::write(RptSyoudo::workbook(rows), xlsx, &error), qPrintable(error));
    const XlsxReader::Book book = XlsxReader::read(xlsx);
    QVERIFY(book.ok);
    QCOMPARE(book.widths.size(), expected.size());
    constexpr int line = 7; // below the title, 件名 and the two header rows
    for (int c = 0; c < expected.size(); ++c) {
        const auto &[field, text] = expected[c];
        QVERIFY2(book.shown(line, c + 1) == text,
                 qPrintable(QStringLiteral("%1: \"%2\", not \"%3\"").arg(field, book.shown(line, c + 1), text)));
        bool number = false;
        QString(text).remove(u',').toDouble(&number);
        QVERIFY2(book.at(line, c + 1).kind == (text.isEmpty() ? XlsxReader::Cell::Blank
                                               : number      ? XlsxReader::Cell::Number
                                                             : XlsxReader::Cell::Text),
                 qPrintable(field));
    }
    QCOMPARE(book.at(line, 13).number, 0.85); // 作業面の高さ
    QCOMPARE(book.at(line, 20).number, 0.62); // 照明率
    QCOMPARE(book.at(line, 22).number, 25.7); // 灯数１
    // Every column under the headings the report draws for it, and no heading across a group.
    const QList<QPair<QString, QString>> headings = {
        {"", "行\n№"}, {"", "階数"}, {"室        名", "室名１"}, {"室        名", "室名２"}, {"", "照明器具種類"},
        {"ランプ\n光 束\nF(lm)", "光源名称"}, {"ランプ\n光 束\nF(lm)", "光束"}, {"", "照度\nE･lx"},
        {"室の大きさ", "間 口\nXY(m)"}, {"室の大きさ", "奥 行\nXY(m)"}, {"室の大きさ", "面 積\nA(㎡)"},
        {"室の大きさ", "高 さ\nZ(m)"}, {"", "作業\n面の\n高さ"}, {"", "器具\n下り\nh2･m"}, {"", "室\n指数"},
        {"", "記号"}, {"反射率", "天\n井\n%"}, {"反射率", "壁\n%"}, {"反射率", "床\n%"}, {"", "照明\n率\n%"},
        {"", "保守\n率\n%"}, {"", "灯数\nN 本"}, {"設      計", "灯数\nN 本"}, {"設      計", "照 度\nE(lx)"},
        {"設      計", "台数\n台"}, {"備   考", "備考１"}, {"備   考", "備考２"}};
    QCOMPARE(headings.size(), expected.size());
    for (int c = 0; c < headings.size(); ++c) {
        QCOMPARE(book.covering(5, c + 1), headings[c].first);
        QCOMPARE(book.covering(6, c + 1), headings[c].second);
        // A heading spanning two neighbours spans them in one group.
        const QString range = book.mergeOf(6, c + 1);
        if (!range.isEmpty() && range == book.mergeOf(6, c + 2))
            QVERIFY2(!book.mergeOf(5, c + 1).isEmpty() && book.mergeOf(5, c + 1) == book.mergeOf(5, c + 2), qPrintable(range));
    }
    QVERIFY(book.merged.contains(QStringLiteral("I5:L5")));
    QCOMPARE(book.printTitles, QStringLiteral("$5:$6"));
    // The second page's line in its place, the blank lines between blank, the footer below.
    QCOMPARE(book.shown(line + 22, 4), QStringLiteral("二頁目"));
    QCOMPARE(book.at(line + 1, 3).kind, XlsxReader::Cell::Blank);
    QCOMPARE(book.shown(line + int(rows.size()) + 2, 1), QStringLiteral("ファイル名"));
}

void TestIlluminanceReport::detailFormatShowsZeroHeights()
{
    const BandedReport report = RptSyoudo::definition();
    QHash<QString, QString> withCount = {{"灯数２", "26"}, {"作業面の高さ", ""}, {"器具下り", ""}};
    report.formatDetail(QSqlRecord(), withCount);
    QCOMPARE(withCount.value("作業面の高さ"), QStringLiteral("0.00"));
    QCOMPARE(withCount.value("器具下り"), QStringLiteral("0.0"));
    QHash<QString, QString> withRemark = {{"備考１", "1,040"}, {"作業面の高さ", "0.85"}, {"器具下り", ""}};
    report.formatDetail(QSqlRecord(), withRemark);
    QCOMPARE(withRemark.value("作業面の高さ"), QStringLiteral("0.85"));
    QCOMPARE(withRemark.value("器具下り"), QStringLiteral("0.0"));
    QHash<QString, QString> free = {{"作業面の高さ", ""}, {"器具下り", ""}};
    report.formatDetail(QSqlRecord(), free);
    QCOMPARE(free.value("作業面の高さ"), QString());
}

void TestIlluminanceReport::eraDates_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("令和 first day") << QDate(2019, 5, 1) << QStringLiteral("令和 01 年 05 月 01 日");
    QTest::newRow("平成 last day") << QDate(2019, 4, 30) << QStringLiteral("平成 31 年 04 月 30 日");
    QTest::newRow("平成 first day") << QDate(1989, 1, 8) << QStringLiteral("平成 01 年 01 月 08 日");
    QTest::newRow("昭和 last day") << QDate(1989, 1, 7) << QStringLiteral("昭和 64 年 01 月 07 日");
    QTest::newRow("昭和 first day") << QDate(1926, 12, 25) << QStringLiteral("昭和 01 年 12 月 25 日");
    QTest::newRow("大正 last day") << QDate(1926, 12, 24) << QStringLiteral("大正 15 年 12 月 24 日");
    QTest::newRow("大正 first day") << QDate(1912, 7, 30) << QStringLiteral("大正 01 年 07 月 30 日");
    QTest::newRow("明治 last day") << QDate(1912, 7, 29) << QStringLiteral("明治 45 年 07 月 29 日");
    QTest::newRow("明治 first day") << QDate(1868, 9, 8) << QStringLiteral("明治 01 年 09 月 08 日");
    QTest::newRow("today here") << QDate(2026, 12, 7) << QStringLiteral("令和 08 年 12 月 07 日");
}

void TestIlluminanceReport::eraDates()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(JapaneseDate::format(date), text);
}

void TestIlluminanceReport::headingsDialog()
{
    RecordGrid g(221, 38);
    {
        FMidashi d(g, QDate(2026, 12, 7));
        QCOMPARE(d.windowTitle(), QStringLiteral("見出し設定"));
        QCOMPARE(d.findChild<QLineEdit *>("Txt_YYMMDD")->text(), QStringLiteral("令和 08 年 12 月 07 日"));
        QCOMPARE(d.findChild<QPushButton *>("CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        d.findChild<QLineEdit *>("Txt_Title1")->setText(QStringLiteral("新しい件名"));
        d.show();
        QTest::mouseClick(d.findChild<QPushButton *>("CancelButton"), Qt::LeftButton);
        QCOMPARE(g.text(221, kTitle1), QString());
    }
    {
        FMidashi d(g, QDate(2026, 12, 7));
        d.findChild<QLineEdit *>("Txt_Title1")->setText(QStringLiteral("新しい件名"));
        d.show();
        QTest::mouseClick(d.findChild<QPushButton *>("OKButton"), Qt::LeftButton);
        QCOMPARE(g.text(221, kTitle1), QStringLiteral("新しい件名"));
        QCOMPARE(g.text(221, kDate), QStringLiteral("令和 08 年 12 月 07 日"));
    }
    // Once stored, the date no longer follows the calendar.
    FMidashi later(g, QDate(2027, 1, 5));
    QCOMPARE(later.findChild<QLineEdit *>("Txt_YYMMDD")->text(), QStringLiteral("令和 08 年 12 月 07 日"));
    QCOMPARE(later.findChild<QLineEdit *>("Txt_Title1")->text(), QStringLiteral("新しい件名"));
}

void TestIlluminanceReport::sheetPrintTableAndMessage()
{
    SheetFixture f;
    QCOMPARE(f.sheet->Make_Print_File(), 0);
    QCOMPARE(f.dialogs.messages(), QStringList{QStringLiteral("データがありません。")});
    QVERIFY(!QFile::exists(f.sheet->workDatabasePath()));
    room(f.sheet->recordGrid(), 2, {});
    QCOMPARE(f.sheet->Make_Print_File(), 22);
    QVERIFY(QFile::exists(QDir(f.env.workFolder()).filePath(QStringLiteral("t_syou.mdb"))));
}

void TestIlluminanceReport::previewOpensFromTheSheet()
{
    SheetFixture f;
    room(f.sheet->recordGrid(), 1, {{Remark1, "1234"}});
    QString seen;
    QTimer::singleShot(200, [&seen] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_Preview"))->trigger();
    QCOMPARE(seen, QStringLiteral("QPrintPreviewDialog"));
    QVERIFY(QFile::exists(f.sheet->workDatabasePath()));
    // Closing the sheet deletes its work database (the room was never saved: not kept).
    f.dialogs.answers = {Dialogs::Answer::Discard};
    f.sheet->close();
    QVERIFY(!QFile::exists(QDir(f.env.workFolder()).filePath(QStringLiteral("t_syou.mdb"))));
    f.sheet.release(); // deleted on close
}

void TestIlluminanceReport::printToFileIsChecked()
{
    // No printer here: the print dialog prints to the PDF beside the work file, through the
    // checked write; a folder that refuses it is said, and the older PDF stays.
    QTemporaryDir dir;
    SheetFixture f;
    room(f.sheet->recordGrid(), 1, {{Remark1, "1234"}});
    f.dialogs.paths = {dir.filePath(QStringLiteral("office.syw"))};
    f.sheet->Menu_File_NSave_Click();
    const QString pdf = dir.filePath(QStringLiteral("office_照度計算書.pdf"));
    const auto print = [&] {
        QTimer::singleShot(200, [] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                d->accept();
        });
        f.sheet->findChild<QAction *>(QStringLiteral("Menu_File_Printout"))->trigger();
    };
    print();
    QCOMPARE(PdfTools::pages(pdf), 1);
    QVERIFY(PdfTools::text(pdf, 1).contains(QStringLiteral("1,234")));
    const QByteArray old = TestEnv::readBytes(pdf);
    const qsizetype messages = f.dialogs.messages().size();
    if (!TestEnv::makeFileUnwritable(pdf))
        QSKIP("this machine cannot make a file unwritable");
    print();
    TestEnv::makeFileWritable(pdf);
    QCOMPARE(f.dialogs.messages().size(), messages + 1);
    QVERIFY2(f.dialogs.messages().last().startsWith(QStringLiteral("PDFを保存できませんでした。")),
             qPrintable(f.dialogs.messages().last()));
    QCOMPARE(TestEnv::readBytes(pdf), old);
}

void TestIlluminanceReport::batchMode_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("reason");
    QTest::newRow("example") << "example" << 0 << QString();
    QTest::newRow("missing file") << "missing" << 2 << QStringLiteral("開けません");
    QTest::newRow("broken quoting") << "broken" << 2 << QStringLiteral("引用符");
    QTest::newRow("not cp932") << "notcp932" << 2 << QStringLiteral("シフトJIS");
    QTest::newRow("binary") << "binary" << 2 << QStringLiteral("バイナリ");
    QTest::newRow("too many rows") << "rows" << 2 << QStringLiteral("行が多すぎます");
    QTest::newRow("too many columns") << "columns" << 2 << QStringLiteral("列が多すぎます");
    QTest::newRow("too large") << "large" << 2 << QStringLiteral("大きすぎます");
    QTest::newRow("no room in use") << "empty" << 3 << QStringLiteral("データがありません");
    QTest::newRow("value too large for its column") << "overflow" << 5 << QStringLiteral("オーバーフロー");
    QTest::newRow("an area too wide to print") << "wide" << 5
                                              << QStringLiteral("2 行目（室2）の面積「2147483648」は大きすぎて印刷できません。");
}

void TestIlluminanceReport::batchMode()
{
    QFETCH(QString, input);
    QFETCH(int, status);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString path = dir.filePath(input + QStringLiteral(".syw"));
    const QHash<QString, QByteArray> files = {
        {QStringLiteral("broken"), QByteArray("1,\"unclosed\r\n")},
        {QStringLiteral("notcp932"), QByteArray::fromHex("312c81ff0d0a")},
        {QStringLiteral("binary"), QByteArray("1,\0\0\r\n", 7)},
        {QStringLiteral("rows"), QByteArray("1,x\r\n").repeated(222)},
        {QStringLiteral("columns"), QByteArray(141, ',') + "\r\n"},
        {QStringLiteral("large"), QByteArray(WorkFile::kMaxBytes + 1, 'x')},
    };
    if (input == u"example") {
        path = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    } else if (files.contains(input)) {
        TestEnv::writeBytes(path, files.value(input));
    } else if (input == u"empty" || input == u"overflow" || input == u"wide") {
        RecordGrid g(221, 38);
        g.setText(221, 1, QStringLiteral("見出し"));
        if (input == u"overflow")
            room(g, 2, {{FittingCount, "40000"}}); // a 16-bit column
        if (input == u"wide")
            room(g, 2, {{Area, "2147483648"}}); // a single holds it; its column cannot show it
        QVERIFY(WorkFile::save(g, path));
    }
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")),
            {QStringLiteral("--pdf"), QStringLiteral("illuminance"), path, pdf});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), status);
    if (status == 0) {
        QCOMPARE(pdfPages(pdf), 2);
        const QString text = pdfText(pdf, 1);
        QVERIFY(text.contains(QStringLiteral("玄関ホール")));
        QVERIFY(text.contains(QStringLiteral("2,944")));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("cache/kzw/zeltika/t_syou.mdb"))));
    } else {
        QVERIFY(!QFile::exists(pdf));
        const QString message = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(message.contains(reason), qPrintable(message));
    }
    // The workbook: the same checks and statuses.
    const QString xlsx = dir.filePath(QStringLiteral("out.xlsx"));
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--xlsx"), QStringLiteral("illuminance"), path, xlsx});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), status);
    QCOMPARE(QFile::exists(xlsx), status == 0);
    if (status == 0) {
        const XlsxReader::Book book = XlsxReader::read(xlsx);
        QCOMPARE(book.sheetName, QStringLiteral("照度計算書"));
        QCOMPARE(book.paperSize, 12);
        QCOMPARE(book.orientation, QStringLiteral("landscape"));
        QCOMPARE(book.frozenRows, 6);
        // Two pages of lines, then the footer.
        QCOMPARE(book.lastRow, 6 + 2 * IlluminancePrintTable::kRowsPerPage + 3);
        QStringList shown;
        for (int row = 7; row <= book.lastRow; ++row)
            for (int c = 1; c <= book.widths.size(); ++c)
                shown.append(book.shown(row, c));
        QVERIFY(shown.contains(QStringLiteral("玄関ホール")));
        QVERIFY(shown.contains(QStringLiteral("2,944")));
    }
}

void TestIlluminanceReport::longTextsAreCut()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    room(g, 1, {{RoomName1, QString(5 * 1024 * 1024, QChar(0x5BA4))}, {LuminaireType, QString(300, u'x')}});
    g.setText(221, kTitle1, QString(1000, u't'));
    QString error;
    QList<QSqlRecord> rows;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error, &rows), 22);
    QCOMPARE(rows.first().value(QStringLiteral("室名１")).toString(), QString(255, QChar(0x5BA4)));
    QCOMPARE(rows.first().value(QStringLiteral("照明器具種類")).toString(), QString(255, u'x'));
    QCOMPARE(rows.last().value(QStringLiteral("タイトル１")).toString().size(), 255);
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    QVERIFY(ReportOutput::writePdf(RptSyoudo::definition(), rows, pdf, QStringLiteral("照度計算書"), &error));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestIlluminanceReport::paperInTwips()
{
    // B4 landscape, 364 x 257 mm, in twips (1440 an inch), inside the report's own margins.
    const BandedReport report = RptSyoudo::definition();
    const BandedReport::Page frame = report.pageFrame();
    QCOMPARE(qRound(frame.right + report.marginsTwips.right()), 20636);
    QCOMPARE(qRound(frame.bottom + report.marginsTwips.bottom()), 14570);
    QCOMPARE(frame.left, 1000.0);
    QCOMPARE(frame.top, 540.0);
    // On a printer: drawn from the paper's corner, the page set-up showing the report's margins
    // (1000 and 540 twips: 17.64 and 9.53 mm), a job name that is a valid file name.
    QPrinter printer(QPrinter::HighResolution);
    ReportOutput::preparePrinter(printer, report, QStringLiteral("CEC/L計算書"));
    QVERIFY(printer.fullPage());
    QCOMPARE(printer.pageRect(QPrinter::Point).topLeft(), QPointF(0, 0));
    const QMarginsF mm = printer.pageLayout().margins(QPageLayout::Millimeter);
    QVERIFY2(std::fabs(mm.left() - 17.64) < 0.01 && std::fabs(mm.top() - 9.53) < 0.01, qPrintable(QString::number(mm.left())));
    QCOMPARE(printer.docName(), QStringLiteral("CEC／L計算書"));
}

void TestIlluminanceReport::cellsKeepTheirText()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    room(g, 1, {{RoomName1, QStringLiteral("第一会議室兼応接室（旧役員室）北側の大きい部屋、隣の倉庫と廊下の一部を含む")},
                {LuminaireType, QStringLiteral("埋込下面開放形Hf32高出力型ルーバ付き")}, {LampName, QStringLiteral("FHF32EX-N-H-2")},
                {Width, "999.9"}, {Depth, "999.8"}, {Area, "999700.1"}, {Remark1, "99999"}, {Remark2, "123456789"}});
    QString error;
    QList<QSqlRecord> rows;
    const QString company = QStringLiteral("株式会社ゼルティカ・ドルネア総合設計事務所 東京本社 電気設備設計部 照明設計課 第一設計室 担当 山田太郎");
    QCOMPARE(IlluminancePrintTable::build(g, company, QString(), db, &error, &rows), 22);
    const QString pdf = dir.filePath(QStringLiteral("cells.pdf"));
    QVERIFY(ReportOutput::writePdf(RptSyoudo::definition(), rows, pdf, QStringLiteral("照度計算書"), &error));
    const QString text = pdfText(pdf, 1);
    // Neighbouring numbers never run into each other.
    QVERIFY2(!text.contains(QStringLiteral("99,99123")), qPrintable(text.left(2000)));
    QVERIFY(text.contains(QStringLiteral("99,999")));
    // Both fit their cells (a value that would not is refused before any page is drawn).
    QVERIFY(text.contains(QStringLiteral("123,456,789")));
    QVERIFY(text.contains(QStringLiteral("999,700.1")));
    QVERIFY(text.contains(QStringLiteral("999.8")));
    // A long name is cut inside its cell, visibly.
    QVERIFY(text.contains(QStringLiteral("…")));
    QVERIFY(text.contains(QStringLiteral("第一会議室")));
    // The long company name of the footer: cut with "…" at a readable size, never below 6 pt.
    const BandedReport report = RptSyoudo::definition();
    const double footer = report.pageFrame().bottom / 20 - 20;
    const auto lines = PdfTools::tableLines(pdf, 1, {{QStringLiteral("company"), report.pageFrame().left / 20, 340}}, footer, 800);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().value(QStringLiteral("company")).startsWith(QStringLiteral("株式会社ゼルティカ")), qPrintable(lines.first().value("company")));
    QVERIFY(lines.first().value(QStringLiteral("company")).endsWith(QStringLiteral("…")));
    QVERIFY2(PdfTools::tallestWord(pdf, 1, QStringLiteral("株式会社")) >= 6, "the company name is drawn below 6 pt");
}

void TestIlluminanceReport::cp932FormsComeOutAsWritten()
{
    // Characters whose glyphs other code points share: a search in the PDF finds them as typed.
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("t_syou.mdb"));
    RecordGrid g(221, 38);
    const QString name = QStringLiteral("高さ－∥―￠￡￢～");
    room(g, 1, {{RoomName1, name}});
    QString error;
    QList<QSqlRecord> rows;
    QCOMPARE(IlluminancePrintTable::build(g, QString(), QString(), db, &error, &rows), 22);
    const QString pdf = dir.filePath(QStringLiteral("forms.pdf"));
    QVERIFY(ReportOutput::writePdf(RptSyoudo::definition(), rows, pdf, QStringLiteral("照度計算書"), &error));
    QVERIFY2(pdfText(pdf).contains(name), qPrintable(pdfText(pdf).left(600)));
}

void TestIlluminanceReport::textFitsItsCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("width");
    QTest::addColumn<QString>("fit");
    QTest::newRow("short text as it is") << QStringLiteral("507") << 800.0 << "same";
    QTest::newRow("a little too wide: smaller") << QStringLiteral("1,234,567") << 700.0 << "smaller";
    QTest::newRow("far too wide: none") << QStringLiteral("第一会議室兼応接室（旧役員室）北側") << 600.0 << "none";
}

void TestIlluminanceReport::textFitsItsCell()
{
    QFETCH(QString, text);
    QFETCH(double, width);
    QFETCH(QString, fit);
    QImage image(200, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    BandedReport::Pen pen(painter, RptSyoudo::definition().font);
    const double points = pen.fittingPoints(width, 300, text, 8, false);
    if (fit == u"same")
        QCOMPARE(points, 8.0);
    else if (fit == u"smaller")
        QVERIFY2(points >= BandedReport::kSmallestPoints && points < 8.0, qPrintable(QString::number(points)));
    else
        QCOMPARE(points, 0.0);
}

QTEST_MAIN(TestIlluminanceReport)
#include "tst_illuminance_report.moc"
