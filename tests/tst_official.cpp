// The official input sheets both ways: the 様式4 CSV and the workbook of 様式1 and 様式4 as the
// program writes them, read back by an independent reader; the import of such a workbook into
// work files (round trip, the two sheets disagreeing, a building split over several files whose
// totals are the one building's); the official sample's three rooms; malformed workbooks refused.
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/OfficialSheets.h"
#include "beil/StandardValues.h"
#include "grid/WorkFile.h"
#include "io/XlsxCells.h"
#include "report/BatchStatus.h"
#include "support/TestEnv.h"
#include "support/XlsxReader.h"
#include "text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <xlsxwriter.h>

#include <cmath>

#include <sys/resource.h>

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

// E1 and E3 of the method on 1F, a retail room on 2F.
RecordGrid building()
{
    RecordGrid g(kHeadingsRow, kColumns);
    g.setText(kHeadingsRow, kTitle1, QStringLiteral("（仮称）試験ビル"));
    put(g, 1, {"1F", "事務室", "事務所等", "事務室", "10.0", "8.0", "80.0", "2.7", "", "40", "13"});
    put(g, 2, {"1F", "廊下", "事務所等", "廊下", "30.0", "1.0", "30.0", "2.7", "0.70", "20", "6", "点滅方式"});
    put(g, 3, {"1F", "廊下", "事務所等", "廊下", "30.0", "1.0", "30.0", "2.7", "0.70", "10", "2", "", "", "減光方式"});
    put(g, 4, {"2F", "売場", "物品販売業を営む店舗等", "大型店の売場", "", "", "120.0", "", "", "60", "20"});
    for (int r : {1, 2, 4})
        g.setText(r, StoryHeight, QStringLiteral("4.0"));
    g.setText(1, EquipmentName, QStringLiteral("LED-A"));
    g.setText(2, EquipmentName, QStringLiteral("LED-B"));
    g.setText(3, EquipmentName, QStringLiteral("LED-C"));
    g.setText(4, EquipmentName, QStringLiteral("LED-D"));
    return g;
}

struct Run {
    int status = -1;
    QString err, out;
};

Run batch(const QTemporaryDir &dir, const QStringList &args, rlim_t memory = 0)
{
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
#ifndef PRX5M_SANITIZED // the sanitizers reserve far more address space than any cap
    if (memory > 0)
        p.setChildProcessModifier([memory] {
            const rlimit cap{memory, memory};
            ::setrlimit(RLIMIT_AS, &cap);
        });
#else
    Q_UNUSED(memory);
#endif
    p.start(TestEnv::program(QStringLiteral("prx5m")), args);
    Run r;
    if (!p.waitForFinished(60000))
        return r;
    r.status = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

QString save(const QTemporaryDir &dir, const RecordGrid &g, const QString &name = QStringLiteral("in.syw"))
{
    const QString in = dir.filePath(name);
    return WorkFile::save(g, in) ? in : QString();
}

// A workbook written here with libxlsxwriter: sheets of texts, a cell whose text is a number
// written as a number.
struct Sheet {
    QString name;
    QList<QStringList> rows;
};

bool writeBook(const QString &path, const QList<Sheet> &sheets)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(path).constData());
    for (const Sheet &s : sheets) {
        lxw_worksheet *ws = workbook_add_worksheet(wb, s.name.toUtf8().constData());
        for (int r = 0; r < s.rows.size(); ++r)
            for (int c = 0; c < s.rows[r].size(); ++c) {
                const QString t = s.rows[r][c];
                bool number = false;
                const double v = t.toDouble(&number);
                if (t.isEmpty())
                    continue;
                if (number && r >= 10)
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), v, nullptr);
                else if (t == u"TRUE")
                    worksheet_write_boolean(ws, lxw_row_t(r), lxw_col_t(c), 1, nullptr);
                else
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), t.toUtf8().constData(), nullptr);
            }
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// A sheet of 様式4: A1 as the official sheet has it, the rows from row 11.
Sheet form4(const QList<QStringList> &rows)
{
    QList<QStringList> all(10, QStringList(18));
    all[0][0] = QStringLiteral("様式 4. (照明)照明");
    for (const QStringList &r : rows) {
        QStringList line = r;
        while (line.size() < 18)
            line.append(QString());
        all.append(line);
    }
    return {QStringLiteral("4) 照明"), all};
}

Sheet form1(const QList<QStringList> &rows)
{
    QList<QStringList> all(10, QStringList(14));
    all[0][0] = QStringLiteral("様式 1. (共通)室仕様 Rev.2");
    all += rows;
    return {QStringLiteral("1) 室仕様"), all};
}

// A building's own official workbook as its engineers keep it: a 基本情報 with the name where
// they write it, 様式1 with the other targets marked, a 非空調室合計 row, a room marked for lighting
// that the work file lacks, input rows formatted ahead; another equipment's sheet; 様式4 with an
// earlier design's rows, a list validation, a helper formula beside it, merged headings, a name.
bool writeBuildingBook(const QString &path)
{
    lxw_workbook *wb = workbook_new(QFile::encodeName(path).constData());
    lxw_format *boxed = workbook_add_format(wb);
    format_set_border(boxed, LXW_BORDER_THIN);
    lxw_format *area = workbook_add_format(wb);
    format_set_border(area, LXW_BORDER_THIN);
    format_set_num_format(area, "0.00");
    lxw_format *heading = workbook_add_format(wb);
    format_set_bold(heading);
    format_set_bg_color(heading, 0xDDEBF7);
    const auto text = [](lxw_worksheet *ws, int row, int column, const char *t, lxw_format *f = nullptr) {
        worksheet_write_string(ws, lxw_row_t(row - 1), lxw_col_t(column - 1), t, f);
    };
    const auto number = [](lxw_worksheet *ws, int row, int column, double v, lxw_format *f) {
        worksheet_write_number(ws, lxw_row_t(row - 1), lxw_col_t(column - 1), v, f);
    };
    lxw_worksheet *zero = workbook_add_worksheet(wb, "0) 基本情報");
    text(zero, 1, 1, "様式 0. (共通)基本情報", heading);
    text(zero, 5, 2, "①建築物の名称");
    text(zero, 5, 5, "ゼルティカ本社ビル");
    text(zero, 6, 2, "②建築物の所在地");
    text(zero, 6, 5, "東京都");

    lxw_worksheet *one = workbook_add_worksheet(wb, "1) 室仕様");
    text(one, 1, 1, "様式 1. (共通)室仕様 Rev.2", heading);
    text(one, 6, 9, "空調");
    text(one, 6, 11, "照明");
    struct Room {
        const char *floor, *name, *building, *use;
        double area;
        const char *marks[4]; // 空調, 換気, 照明, 給湯
        const char *note;
    } rooms[] = {
        {"1F", "事務室", "事務所等", "事務室", 80, {"■", "■", "", "■"}, "試験ビル"},
        {"", "廊下", "事務所等", "廊下", 30, {"", "■", "■", ""}, ""},
        {"1F", "非空調室合計", "事務所等", "非空調室", 12.5, {"", "■", "", ""}, ""},
        {"1F", "機械室", "事務所等", "機械室", 50, {"■", "■", "■", ""}, ""},
    };
    for (int i = 0; i < 4; ++i) {
        const Room &r = rooms[i];
        const int row = 11 + i;
        if (*r.floor)
            text(one, row, 1, r.floor, boxed);
        text(one, row, 2, r.name, boxed);
        text(one, row, 3, r.building, boxed);
        text(one, row, 4, r.building, boxed);
        text(one, row, 5, r.use, boxed);
        number(one, row, 6, r.area, area);
        number(one, row, 7, 4.0, boxed);
        for (int m = 0; m < 4; ++m)
            if (*r.marks[m])
                text(one, row, 9 + m, r.marks[m], boxed);
        if (*r.note)
            text(one, row, 13, r.note, boxed);
    }
    for (int row = 15; row <= 30; ++row)
        for (int c = 1; c <= 14; ++c)
            worksheet_write_blank(one, lxw_row_t(row - 1), lxw_col_t(c - 1), c == 6 ? area : boxed);

    lxw_worksheet *air = workbook_add_worksheet(wb, "2) 空調");
    text(air, 1, 1, "様式 2-1. (空調)室仕様");
    number(air, 11, 3, 123.4, boxed);

    lxw_worksheet *four = workbook_add_worksheet(wb, "4) 照明");
    text(four, 1, 1, "様式 4. (照明)照明", heading);
    worksheet_merge_range(four, 3, 10, 3, 12, "照明器具仕様", heading);
    text(four, 6, 11, "機器名称");
    for (int row = 11; row <= 19; ++row) {
        text(four, row, 1, "9F", boxed);
        text(four, row, 2, "旧設計の室", boxed);
        text(four, row, 11, "OLD-FL40", boxed);
        number(four, row, 12, 86, boxed);
        number(four, row, 13, 3, boxed);
        worksheet_write_formula(four, lxw_row_t(row - 1), 18, QStringLiteral("=L%1*M%1").arg(row).toUtf8().constData(), nullptr);
    }
    for (int row = 20; row <= 40; ++row)
        for (int c = 1; c <= 18; ++c)
            worksheet_write_blank(four, lxw_row_t(row - 1), lxw_col_t(c - 1), boxed);
    const char *choices[] = {"無", "下限調光方式", "点滅方式", "減光方式", nullptr};
    lxw_data_validation validation{};
    validation.validate = LXW_VALIDATION_TYPE_LIST;
    validation.value_list = const_cast<char **>(choices);
    worksheet_data_validation_range(four, 10, 13, 199, 13, &validation);
    workbook_define_name(wb, "照明入力", "='4) 照明'!$A$11:$R$200");
    return workbook_close(wb) == LXW_NO_ERROR;
}

// The names of a package's parts, in order, and each part's bytes (unzip, independent of the program).
QStringList partsOf(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QByteArray partBytes(const QString &path, const QString &part)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

// A 様式4 CSV of `floors` floors of 50 rooms with two kinds each (100 rows a floor: a file holds
// two floors); `tag` tells one import's rows from another's.
QString floorsCsv(const QTemporaryDir &dir, int floors, const QString &tag, const QString &name = QStringLiteral("様式4.csv"))
{
    QString csv;
    for (int i = 0; i < 10; ++i)
        csv += i == 0 ? QStringLiteral("様式 4. (照明)照明\r\n") : QStringLiteral("\r\n");
    for (int f = 1; f <= floors; ++f)
        for (int r = 1; r <= 50; ++r) {
            csv += QStringLiteral("%1F,室%2,事務所等,事務室,%3,4.0,2.7,,,,%4,30,%5,無,無,無,無,\r\n").arg(f).arg(r).arg(20 + r).arg(tag).arg(r % 7 + 1);
            csv += QStringLiteral(",,,,,,,,,,LED-B,12,2,無,無,減光方式,無,\r\n");
        }
    const QString in = dir.filePath(name);
    TestEnv::writeBytes(in, Cp932::encode(csv));
    return in;
}

QList<QStringList> csvLines(const QString &path)
{
    bool ok = false;
    const QString text = Cp932::decode(TestEnv::readBytes(path), &ok);
    QList<QStringList> out;
    for (const QString &l : text.split(QStringLiteral("\r\n")))
        out.append(l.split(u','));
    return out;
}

QList<BeilRooms::Room> roomsOf(const QList<RecordGrid> &files)
{
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    QStringList names;
    for (int i = 0; i < files.size(); ++i)
        names.append(QString::number(i + 1));
    if (!BeilRooms::evaluateBuilding(files, names, StandardValues::shipped(), &rooms, &problems))
        qWarning("%s", qPrintable(BeilRooms::messages(problems).join(u'\n')));
    return rooms;
}

} // namespace

class TestOfficial : public QObject
{
    Q_OBJECT
private slots:
    void csvFormAsTheOfficialSheet();
    void workbookOfBothSheets();
    void importGivesTheRowsBack();
    void officialSampleRooms_data();
    void officialSampleRooms();
    void sheetsThatDisagreeAreListed();
    void csvWithItsForm1Beside();
    void buildingOfSeveralFiles();
    void malformedWorkbooksRefused_data();
    void malformedWorkbooksRefused();
    void writtenIntoTheBuildingsWorkbook();
    void importStaysBounded_data();
    void importStaysBounded();
    void splitAtTheFileLimit_data();
    void splitAtTheFileLimit();
    void splitImportIsOneSet_data();
    void splitImportIsOneSet();
    void remarkGoesBackOut_data();
    void remarkGoesBackOut();
    void intoRefusesWhatIsNoBuildingWorkbook_data();
    void intoRefusesWhatIsNoBuildingWorkbook();
};

void TestOfficial::csvFormAsTheOfficialSheet()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("form4.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--form4-csv"), save(dir, building()), out}).status, 0);
    const QList<QStringList> lines = csvLines(out);
    QCOMPARE(lines.value(0).value(0), QStringLiteral("様式 4. (照明)照明"));
    QCOMPARE(lines.value(5), (QStringList{"階", "室名", "室用途", "", "室面積", "階高", "天井高", "室の間口", "室の奥行", "室指数",
                                         "機器名称", "定格消費電力", "台数", "在室検知制御", "明るさ検知制御",
                                         "タイムスケジュール制御", "初期照度補正機能", "備考"}));
    QCOMPARE(lines.value(7).mid(2, 11), (QStringList{"大分類", "小分類", "[㎡]", "[m]", "[m]", "[m]", "[m]", "[-]",
                                                    "（照明器具表の記号等）", "[W/台]", "[台]"}));
    for (int i = 0; i < 10; ++i)
        QCOMPARE(lines[i].size(), 18);
    // Data from line 11: the current spellings, the retail use as the official sheets spell it.
    QCOMPARE(lines.value(10), (QStringList{"1F", "事務室", "事務所等", "事務室", "80.0", "4.0", "2.7", "10.0", "8.0", "", "LED-A",
                                          "40", "13", "無", "無", "無", "無", ""}));
    QCOMPARE(lines.value(12), (QStringList{"", "", "", "", "", "", "", "", "", "", "LED-C", "10", "2", "無", "無", "減光方式", "無", ""}));
    QCOMPARE(lines.value(13).mid(0, 5), (QStringList{"2F", "売場", "百貨店等", "大型店の売場", "120.0"}));
    QCOMPARE(lines.value(13).value(17), QStringLiteral("室指数なし（寸法未入力）"));
    QCOMPARE(lines.size(), 15); // the end of the file
}

void TestOfficial::workbookOfBothSheets()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("official.xlsx"));
    QCOMPARE(batch(dir, {QStringLiteral("--official-xlsx"), save(dir, building()), out}).status, 0);
    const XlsxReader::Book zero = XlsxReader::read(out, 1), one = XlsxReader::read(out, 2), four = XlsxReader::read(out, 3);
    QVERIFY(zero.ok && one.ok && four.ok);
    // The building's name where the official workbook keeps it.
    QCOMPARE(zero.sheetName, QStringLiteral("0) 基本情報"));
    QCOMPARE(zero.at(3, 1).text, QStringLiteral("建築物の名称"));
    QCOMPARE(zero.at(3, 2).text, QStringLiteral("（仮称）試験ビル"));
    QCOMPARE(one.sheetName, QStringLiteral("1) 室仕様"));
    QCOMPARE(four.sheetName, QStringLiteral("4) 照明"));
    QCOMPARE(one.at(1, 1).text, QStringLiteral("様式 1. (共通)室仕様 Rev.2"));
    QCOMPARE(four.at(1, 1).text, QStringLiteral("様式 4. (照明)照明"));
    // 様式1, a line per room: 照明 marked, the other targets blank, numbers as numbers.
    const QStringList texts = {"1F", "事務室", "事務所等", "事務所等", "事務室"};
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(one.at(11, c).text, texts[c - 1]);
    QCOMPARE(one.at(11, 6).kind, XlsxReader::Cell::Number);
    QCOMPARE(one.at(11, 6).number, 80.0);
    QCOMPARE(one.at(11, 7).number, 4.0);
    QCOMPARE(one.at(11, 8).number, 2.7);
    QCOMPARE(one.at(11, 9).kind, XlsxReader::Cell::Missing);
    QCOMPARE(one.at(11, 11).text, QStringLiteral("■"));
    QCOMPARE(one.at(11, 13).text, QStringLiteral("（仮称）試験ビル"));
    // Only the lighting targets are written, and the sheet says so.
    QCOMPARE(one.at(11, 14).text, QStringLiteral("照明以外の対象（空調・換気・給湯）は書き出していません"));
    QCOMPARE(one.at(12, 14).kind, XlsxReader::Cell::Missing);
    QCOMPARE(one.at(13, 3).text, QStringLiteral("百貨店等"));
    QCOMPARE(one.at(14, 1).kind, XlsxReader::Cell::Missing); // three rooms
    // 様式4, a line per kind of luminaire.
    QCOMPARE(four.at(12, 10).number, 0.7);
    QCOMPARE(four.at(12, 14).text, QStringLiteral("点滅方式"));
    QCOMPARE(four.at(13, 1).kind, XlsxReader::Cell::Missing);
    QCOMPARE(four.at(13, 12).number, 10.0);
    QCOMPARE(four.at(13, 16).text, QStringLiteral("減光方式"));
    QCOMPARE(four.at(14, 5).number, 120.0);
    QCOMPARE(four.at(15, 1).kind, XlsxReader::Cell::Missing);
}

void TestOfficial::importGivesTheRowsBack()
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("a.xlsx"));
    QCOMPARE(batch(dir, {QStringLiteral("--official-xlsx"), save(dir, building()), book}).status, 0);
    const QString imported = dir.filePath(QStringLiteral("imported.syw"));
    const Run r = batch(dir, {QStringLiteral("--import-official"), book, imported});
    QCOMPARE(r.status, 0);
    // The rooms and their figures are those of the building written.
    const QString before = dir.filePath(QStringLiteral("before.csv")), after = dir.filePath(QStringLiteral("after.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), save(dir, building(), QStringLiteral("b.syw")), before}).status, 0);
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), imported, after}).status, 0);
    const auto figures = [](const QString &path) {
        QStringList out;
        for (const QString &l : QString::fromUtf8(TestEnv::readBytes(path)).split(QStringLiteral("\r\n")))
            out.append(l.section(u',', 6)); // from area_m2 on
        return out;
    };
    QCOMPARE(figures(after), figures(before));
    // Written again, the workbook is the same cell by cell.
    const QString again = dir.filePath(QStringLiteral("b.xlsx"));
    QCOMPARE(batch(dir, {QStringLiteral("--official-xlsx"), imported, again}).status, 0);
    for (int sheet : {1, 2, 3}) {
        const XlsxReader::Book x = XlsxReader::read(book, sheet), y = XlsxReader::read(again, sheet);
        QCOMPARE(y.lastRow, x.lastRow);
        for (auto it = x.cells.cbegin(); it != x.cells.cend(); ++it) {
            QCOMPARE(y.cells.value(it.key()).kind, it.value().kind);
            QCOMPARE(y.cells.value(it.key()).text, it.value().text);
            QCOMPARE(y.cells.value(it.key()).number, it.value().number);
        }
        QCOMPARE(y.cells.size(), x.cells.size());
    }
}

void TestOfficial::officialSampleRooms_data()
{
    // The official sample building's rooms (C_L 1: no K, L or D), E_L and E_SL as the official
    // program gives them.
    QTest::addColumn<int>("room");
    QTest::addColumn<double>("designMJ");
    QTest::addColumn<double>("standardMJ");
    QTest::newRow("1F 風除け室: 6 × 19.2 W, 廊下") << 0 << 3522.594816 << 5174.4;
    QTest::newRow("1F 便所1: 12 × 7.4 W + 2 × 45 W") << 1 << 5467.360704 << 12213.76;
    QTest::newRow("1F 中央監視室・警備室: 6 × 88 W") << 2 << 45142.7328 << 45669.0;
}

void TestOfficial::officialSampleRooms()
{
    QFETCH(int, room);
    QFETCH(double, designMJ);
    QFETCH(double, standardMJ);
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("sample.xlsx"));
    QVERIFY(writeBook(book, {form4({{"1F", "風除け室", "事務所等", "廊下", "21.12", "", "2.5", "", "", "", "LED-1", "19.2", "6", "無", "無", "無", "無"},
                                    {"", "便所1", "事務所等", "便所", "33.28", "", "", "", "", "", "LED-2", "7.4", "12", "無", "無", "無", "無"},
                                    {"", "", "", "", "", "", "", "", "", "", "FL-1", "45", "2", "無", "無", "無", "無"},
                                    {"", "中央監視室・警備室", "事務所等", "中央監視室", "39", "", "", "", "", "", "LED-3", "88", "6", "無", "無", "無", "無"}})}));
    OfficialSheets::Read read;
    QString error;
    QVERIFY2(OfficialSheets::read(book, &read, &error), qPrintable(error));
    QList<RecordGrid> files;
    QStringList notes;
    QVERIFY2(OfficialSheets::toWorkFiles(read, &files, &notes, &error), qPrintable(error));
    QCOMPARE(files.size(), 1);
    const QList<BeilRooms::Room> rooms = roomsOf(files);
    QCOMPARE(rooms.size(), 3);
    QVERIFY2(std::fabs(rooms[room].designMJ - designMJ) < 1e-6, qPrintable(QString::number(rooms[room].designMJ, 'f', 6)));
    QVERIFY(std::fabs(rooms[room].standardMJ - standardMJ) < 1e-6);
    QCOMPARE(rooms[room].shapeFactor, 1.0);
    // A floor written once stands for its rooms.
    QCOMPARE(rooms[room].texts.floor, QStringLiteral("1F"));
}

void TestOfficial::sheetsThatDisagreeAreListed()
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("both.xlsx"));
    QVERIFY(writeBook(book, {form1({{"1F", "事務室A", "事務所等", "事務所等", "事務室", "52.5", "4.2", "2.8", "", "", "■"},
                                    {"1F", "倉庫", "事務所等", "事務所等", "更衣室又は倉庫", "10", "4.2", "2.6", "", "", "■"}}),
                             form4({{"1F", "事務室A", "事務所等", "事務室", "50", "", "2.8", "7.5", "7", "", "LED", "30", "10"},
                                    {"1F", "倉庫", "", "", "", "", "", "", "", "", "LED", "20", "2"}})}));
    OfficialSheets::Read read;
    QString error;
    QVERIFY2(OfficialSheets::read(book, &read, &error), qPrintable(error));
    QVERIFY(read.form1Found);
    QList<RecordGrid> files;
    QStringList notes;
    QVERIFY(OfficialSheets::toWorkFiles(read, &files, &notes, &error));
    QCOMPARE(notes, QStringList{QStringLiteral("様式4の 11 行目（1F 事務室A）の室面積「50」は様式1では「52.5」です（様式4の値を使います）。")});
    const RecordGrid &g = files.first();
    QCOMPARE(g.text(1, Area), QStringLiteral("50"));
    QCOMPARE(g.text(1, StoryHeight), QStringLiteral("4.2")); // blank in 様式4: 様式1's
    // The store's room fields, blank in 様式4, come from 様式1.
    QCOMPARE(g.text(2, RoomUse), QStringLiteral("更衣室又は倉庫"));
    QCOMPARE(g.text(2, Area), QStringLiteral("10"));
    QCOMPARE(g.text(2, CeilingHeight), QStringLiteral("2.6"));
}

void TestOfficial::csvWithItsForm1Beside()
{
    // The 様式4 CSV and, in the same folder, the 様式1 CSV of the building: found by its first cell.
    QTemporaryDir dir;
    QString four = QStringLiteral("様式 4. (照明)照明\r\n");
    QString one = QStringLiteral("様式 1. (共通)室仕様 Rev.2\r\n");
    for (int i = 0; i < 9; ++i) {
        four += QStringLiteral("\r\n");
        one += QStringLiteral("\r\n");
    }
    // The 機器名称 as our CSV files write a text a spreadsheet would take for a formula.
    four += QStringLiteral("1F,倉庫,事務所等,,,,,,,,'=LED,20,2,無,無,消灯,無,\r\n");
    one += QStringLiteral("1F,倉庫,事務所等,事務所等,更衣室又は倉庫,10,4.2,2.6,,,■,,○○ビル,\r\n");
    TestEnv::writeBytes(dir.filePath(QStringLiteral("様式4 (照明)照明入力シート.csv")), Cp932::encode(four));
    TestEnv::writeBytes(dir.filePath(QStringLiteral("様式1.csv")), Cp932::encode(one));
    OfficialSheets::Read read;
    QString error;
    QVERIFY2(OfficialSheets::read(dir.filePath(QStringLiteral("様式4 (照明)照明入力シート.csv")), &read, &error), qPrintable(error));
    QVERIFY(read.form1Found);
    QCOMPARE(read.buildingName, QStringLiteral("○○ビル"));
    QList<RecordGrid> files;
    QStringList notes;
    QVERIFY(OfficialSheets::toWorkFiles(read, &files, &notes, &error));
    const RecordGrid &g = files.first();
    QCOMPARE(g.text(1, RoomUse), QStringLiteral("更衣室又は倉庫"));
    QCOMPARE(g.text(1, Area), QStringLiteral("10"));
    QCOMPARE(g.text(1, Schedule), QStringLiteral("点滅方式")); // the older sheets' 消灯
    QCOMPARE(g.text(1, EquipmentName), QStringLiteral("=LED"));  // the apostrophe taken off again
    QCOMPARE(g.text(kHeadingsRow, kTitle1), QStringLiteral("○○ビル"));
}

void TestOfficial::buildingOfSeveralFiles()
{
    // 300 rows of 様式4: three floors of 50 rooms with two kinds of luminaire each (100 rows a floor).
    QTemporaryDir dir;
    QString csv;
    for (int i = 0; i < 10; ++i)
        csv += i == 0 ? QStringLiteral("様式 4. (照明)照明\r\n") : QStringLiteral("\r\n");
    for (int f = 1; f <= 3; ++f)
        for (int r = 1; r <= 50; ++r) {
            csv += QStringLiteral("%1F,室%2,事務所等,事務室,%3,4.0,2.7,,,,LED-A,%4,%5,無,無,無,無,\r\n")
                       .arg(f)
                       .arg(r)
                       .arg(20 + r)
                       .arg(30 + f)
                       .arg(r % 7 + 1);
            csv += QStringLiteral(",,,,,,,,,,LED-B,12,2,無,無,減光方式,無,\r\n");
        }
    const QString in = dir.filePath(QStringLiteral("様式4.csv"));
    TestEnv::writeBytes(in, Cp932::encode(csv));
    const QString out = dir.filePath(QStringLiteral("building.syw"));
    const Run r = batch(dir, {QStringLiteral("--import-official"), in, out});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(QStringLiteral("2 つの作業ファイルに分けました")), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    const QString one = dir.filePath(QStringLiteral("building_1.syw")), two = dir.filePath(QStringLiteral("building_2.syw"));
    RecordGrid a(kHeadingsRow, 1), b(kHeadingsRow, 1);
    QVERIFY(WorkFile::load(a, one));
    QVERIFY(WorkFile::load(b, two));
    // Floors kept together: 1F and 2F (200 rows) in the first, 3F (100) in the second, though 20
    // more rows would fit in the first.
    QCOMPARE(a.text(200, Floor), QStringLiteral("2F"));
    QCOMPARE(a.text(201, InUse), QString());
    QCOMPARE(b.text(1, Floor), QStringLiteral("3F"));
    QCOMPARE(b.text(100, InUse), QStringLiteral("1"));
    QCOMPARE(b.text(101, InUse), QString());
    // The two files as one building: the totals are the sums of each file's.
    const QString both = dir.filePath(QStringLiteral("both.csv")), first = dir.filePath(QStringLiteral("1.csv")),
                  second = dir.filePath(QStringLiteral("2.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), one, two, both}).status, 0);
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), one, first}).status, 0);
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), two, second}).status, 0);
    const auto total = [](const QString &path) {
        const QStringList lines = QString::fromUtf8(TestEnv::readBytes(path)).split(QStringLiteral("\r\n"));
        return lines.value(lines.size() - 2).split(u',');
    };
    const double design = total(first)[11].toDouble() + total(second)[11].toDouble();
    const double standard = total(first)[12].toDouble() + total(second)[12].toDouble();
    QVERIFY(std::fabs(total(both)[11].toDouble() - design) < 1e-6 * design);
    QCOMPARE(total(both)[12].toDouble(), standard);
    // The rooms of the second file are named with it.
    QVERIFY(QString::fromUtf8(TestEnv::readBytes(both)).contains(QStringLiteral("\r\n2:1,3F,室1,")));
    // The PDF of the building: one report, its total the building's.
    QCOMPARE(batch(dir, {QStringLiteral("--pdf"), QStringLiteral("beil"), one, two, dir.filePath(QStringLiteral("b.pdf"))}).status, 0);
}

void TestOfficial::malformedWorkbooksRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("truncated zip") << "truncated" << "Excelのファイルとして読めません";
    QTest::newRow("no 様式4 sheet") << "no form4" << "様式4（照明）のシートがありません";
    QTest::newRow("a cell of another type") << "boolean" << "「4) 照明」のセル E11 の値「TRUE」は使えません";
    QTest::newRow("a text where a number goes") << "text" << "「4) 照明」のセル L11 「四十」は数値ではありません";
    QTest::newRow("10 MB of shared strings") << "strings" << "sharedStrings.xml が大きすぎます";
    QTest::newRow("an encrypted or old workbook") << "ole" << "古い形式（.xls）";
    QTest::newRow("a CSV that is no 様式4") << "csv" << "様式4（照明）の CSV ではありません";
    // The limit the file was read with, not a work file's.
    QTest::newRow("a CSV of 20,005 lines") << "long csv" << "行が多すぎます（20,000 行まで）";
    // An entity as a 室名: refused, never read as an empty name.
    QTest::newRow("an external entity") << "entity" << "sharedStrings.xml に DOCTYPE（実体の宣言）があります";
    QTest::newRow("an internal entity") << "internal entity" << "sharedStrings.xml に DOCTYPE（実体の宣言）があります";
}

void TestOfficial::malformedWorkbooksRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QString in = dir.filePath(QStringLiteral("in.xlsx"));
    const QList<QStringList> fine = {{"1F", "事務室", "事務所等", "事務室", "50", "", "2.8", "", "", "", "LED", "30", "10"}};
    if (kind == u"truncated") {
        QVERIFY(writeBook(in, {form4(fine)}));
        QByteArray bytes = TestEnv::readBytes(in);
        bytes.truncate(bytes.size() / 2);
        TestEnv::writeBytes(in, bytes);
    } else if (kind == u"no form4") {
        QVERIFY(writeBook(in, {form1({{"1F", "事務室"}})}));
    } else if (kind == u"boolean") {
        QList<QStringList> rows = fine;
        rows[0][4] = QStringLiteral("TRUE");
        QVERIFY(writeBook(in, {form4(rows)}));
    } else if (kind == u"text") {
        QList<QStringList> rows = fine;
        rows[0][11] = QStringLiteral("四十");
        QVERIFY(writeBook(in, {form4(rows)}));
    } else if (kind == u"strings") {
        Sheet other{QStringLiteral("メモ"), {}};
        for (int i = 0; i < 11000; ++i)
            other.rows.append({QString::number(i) + QString(1000, u'x')});
        QVERIFY(writeBook(in, {form4(fine), other}));
    } else if (kind == u"ole") {
        in = dir.filePath(QStringLiteral("in.xls"));
        TestEnv::writeBytes(in, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(4096, '\0'));
    } else if (kind == u"csv") {
        in = dir.filePath(QStringLiteral("in.csv"));
        TestEnv::writeBytes(in, Cp932::encode(QStringLiteral("階,室名\r\n1F,事務室\r\n")));
    } else if (kind == u"entity" || kind == u"internal entity") {
        QVERIFY(writeBook(in, {form4(fine)}));
        const QByteArray book = TestEnv::readBytes(in);
        QByteArray strings;
        QString why;
        QVERIFY(XlsxCells::partOf(book, QStringLiteral("xl/sharedStrings.xml"), 1 << 20, &strings, &why));
        const QByteArray declaration = kind == u"entity" ? "<!DOCTYPE sst [<!ENTITY name SYSTEM \"file:///etc/hostname\">]>"
                                                         : "<!DOCTYPE sst [<!ENTITY name \"事務室\">]>";
        strings.replace("<sst ", declaration + "<sst ");
        strings.replace("<t>事務室</t>", "<t>&name;</t>");
        QByteArray hostile;
        QVERIFY(XlsxCells::rewrite(book, {{QStringLiteral("xl/sharedStrings.xml"), strings}}, {}, &hostile, &why));
        TestEnv::writeBytes(in, hostile);
    } else if (kind == u"long csv") {
        in = dir.filePath(QStringLiteral("in.csv"));
        QByteArray text = Cp932::encode(QStringLiteral("様式 4. (照明)照明\r\n"));
        for (int i = 1; i < 20005; ++i)
            text += "1F,x\r\n";
        TestEnv::writeBytes(in, text);
    }
    const QString out = dir.filePath(QStringLiteral("out.syw"));
    const Run r = batch(dir, {QStringLiteral("--import-official"), in, out});
    QCOMPARE(r.status, int(BatchStatus::ValueTooLarge));
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out_1.syw"))));
}

void TestOfficial::writtenIntoTheBuildingsWorkbook()
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("building.xlsx"));
    QVERIFY(writeBuildingBook(book));
    const QString out = dir.filePath(QStringLiteral("out.xlsx"));
    const QString in = save(dir, building());
    const Run r = batch(dir, {QStringLiteral("--official-xlsx"), in, out, QStringLiteral("--into"), book});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    // 3 rooms: 事務室 marked now, 廊下 marked before, 売場 added.
    QCOMPARE(r.out.trimmed(), QStringLiteral("様式4 4 行、様式1 照明 ■ 3 室（うち 1 室を追加） → out.xlsx"));
    QVERIFY2(r.err.contains(QStringLiteral("様式1 の 14 行目（1F 機械室）は照明の計算対象（■）ですが、作業ファイルにない室です")),
             qPrintable(r.err));

    // Every part but the two sheets' as it was, in the same order; the shared strings too.
    const QStringList parts = partsOf(book);
    QCOMPARE(partsOf(out), parts);
    const QStringList changed = {QStringLiteral("xl/worksheets/sheet2.xml"), QStringLiteral("xl/worksheets/sheet4.xml")};
    QVERIFY(parts.contains(QStringLiteral("xl/sharedStrings.xml")));
    for (const QString &part : parts)
        if (!changed.contains(part))
            QVERIFY2(partBytes(out, part) == partBytes(book, part), qPrintable(part));

    // 様式1: K (照明) of the matched rooms, everything else as it was; the missing room after the
    // last one, in the row formatted for it.
    const XlsxReader::Book before1 = XlsxReader::read(book, 2), after1 = XlsxReader::read(out, 2);
    QVERIFY(after1.ok);
    for (int row = 1; row <= 14; ++row)
        for (int c = 1; c <= 14; ++c) {
            if (row == 11 && c == 11)
                continue;
            const XlsxReader::Cell x = before1.at(row, c), y = after1.at(row, c);
            QVERIFY2(x.kind == y.kind && x.text == y.text && x.number == y.number && x.format == y.format,
                     qPrintable(XlsxReader::reference(row, c)));
        }
    QCOMPARE(after1.at(11, 11).text, QStringLiteral("■"));
    QCOMPARE(after1.at(12, 11).text, QStringLiteral("■"));      // marked before
    QCOMPARE(after1.at(13, 11).kind, before1.at(13, 11).kind);  // 非空調室合計 left as it was
    QCOMPARE(after1.at(14, 11).text, QStringLiteral("■"));      // not in the work file: kept, warned
    const QStringList added = {"2F", "売場", "百貨店等", "百貨店等", "大型店の売場"};
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(after1.at(15, c).text, added[c - 1]);
    QCOMPARE(after1.at(15, 6).kind, XlsxReader::Cell::Number);
    QCOMPARE(after1.at(15, 6).number, 120.0);
    QCOMPARE(after1.at(15, 6).format, QStringLiteral("0.00")); // the row's own formatting
    QCOMPARE(after1.at(15, 11).text, QStringLiteral("■"));
    QCOMPARE(after1.at(15, 13).kind, XlsxReader::Cell::Blank);
    QCOMPARE(after1.at(16, 1).kind, XlsxReader::Cell::Blank);

    // 様式4: the headings as they were, the work file's rows from row 11, the earlier rows' cells
    // emptied in A–R, the helper formula beside them kept.
    const XlsxReader::Book before4 = XlsxReader::read(book, 4), after4 = XlsxReader::read(out, 4);
    QVERIFY(after4.ok);
    for (int row = 1; row <= 10; ++row)
        for (int c = 1; c <= 18; ++c)
            QCOMPARE(after4.at(row, c).text, before4.at(row, c).text);
    QCOMPARE(after4.at(11, 1).text, QStringLiteral("1F"));
    QCOMPARE(after4.at(11, 11).text, QStringLiteral("LED-A"));
    QCOMPARE(after4.at(11, 12).number, 40.0);
    QCOMPARE(after4.at(12, 14).text, QStringLiteral("点滅方式"));
    QCOMPARE(after4.at(13, 16).text, QStringLiteral("減光方式"));
    QCOMPARE(after4.at(14, 2).text, QStringLiteral("売場"));
    for (int row = 15; row <= 19; ++row)
        for (int c = 1; c <= 18; ++c)
            QVERIFY2(after4.at(row, c).kind == XlsxReader::Cell::Blank || after4.at(row, c).kind == XlsxReader::Cell::Missing,
                     qPrintable(XlsxReader::reference(row, c)));
    QCOMPARE(after4.at(15, 1).kind, XlsxReader::Cell::Blank); // its formatting kept
    const QByteArray sheet4 = partBytes(out, QStringLiteral("xl/worksheets/sheet4.xml"));
    for (int row = 11; row <= 19; ++row)
        QVERIFY(sheet4.contains(QStringLiteral("<f>L%1*M%1</f>").arg(row).toUtf8()));
    QVERIFY(sheet4.contains("<dataValidations"));
    QVERIFY(sheet4.contains("<mergeCell ref=\"K4:M4\"/>"));

    // Read back, the building's figures and its name from 基本情報.
    const QString again = dir.filePath(QStringLiteral("again.syw"));
    const Run imported = batch(dir, {QStringLiteral("--import-official"), out, again});
    QVERIFY2(imported.status == 0, qPrintable(imported.err));
    QCOMPARE(imported.out.trimmed(), QStringLiteral("様式4 4 行 → again.syw（3 室）"));
    RecordGrid g(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(g, again));
    QCOMPARE(g.text(kHeadingsRow, kTitle1), QStringLiteral("ゼルティカ本社ビル"));
    const QString a = dir.filePath(QStringLiteral("a.csv")), b = dir.filePath(QStringLiteral("b.csv"));
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), in, a}).status, 0);
    QCOMPARE(batch(dir, {QStringLiteral("--beil-csv"), again, b}).status, 0);
    const auto figures = [](const QString &path) {
        QStringList lines;
        for (const QString &l : QString::fromUtf8(TestEnv::readBytes(path)).split(QStringLiteral("\r\n")))
            lines.append(l.section(u',', 6));
        return lines;
    };
    QCOMPARE(figures(b), figures(a));
}

void TestOfficial::importStaysBounded_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    // One shared string of 4 Mi characters as the 室名 of 2,000 rows: refused at its first cell.
    QTest::newRow("a 4 Mi name in 2,000 rows") << "long name" << int(BatchStatus::ValueTooLarge)
                                               << "「4) 照明」のセル B11 の文字数 4194304 は多すぎます（100 文字まで）";
    QTest::newRow("a 4 Mi note") << "long note" << int(BatchStatus::ValueTooLarge)
                                 << "「4) 照明」のセル R11 の文字数 4194304 は多すぎます（400 文字まで）";
    // Another sheet of the building's is never read: broken, it stops nothing.
    QTest::newRow("another sheet broken") << "broken sheet" << 0 << "";
}

void TestOfficial::importStaysBounded()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.xlsx"));
    // A workbook's own limit is 32,767 characters a cell: the long text is put into its shared
    // strings by hand, in place of a placeholder every row uses.
    const QString placeholder = QStringLiteral("PLACEHOLDER");
    QList<QStringList> rows;
    for (int i = 0; i < 2000; ++i) {
        QStringList r = {i == 0 ? "1F" : "", kind == u"long name" ? placeholder : QStringLiteral("室%1").arg(i), "事務所等", "事務室", "50", "4",
                         "2.8", "", "", "", "LED", "30", "10", "無", "無", "無", "無", kind == u"long note" ? placeholder : QString()};
        rows.append(r);
    }
    if (kind == u"broken sheet") {
        QVERIFY(writeBook(in, {form4(rows.mid(0, 3)), Sheet{QStringLiteral("2) 空調"), {{"様式 2-1."}, {"x"}}}}));
        const QByteArray book = TestEnv::readBytes(in);
        QByteArray out;
        QString why;
        QVERIFY(XlsxCells::rewrite(book, {{QStringLiteral("xl/worksheets/sheet2.xml"), QByteArray("<worksheet><sheetData><row")}}, {},
                                   &out, &why));
        TestEnv::writeBytes(in, out);
    } else {
        QVERIFY(writeBook(in, {form4(rows)}));
        const QByteArray book = TestEnv::readBytes(in);
        QByteArray strings, out;
        QString why;
        QVERIFY(XlsxCells::partOf(book, QStringLiteral("xl/sharedStrings.xml"), 1 << 20, &strings, &why));
        QVERIFY(strings.contains("<t>PLACEHOLDER</t>"));
        strings.replace("<t>PLACEHOLDER</t>", "<t>" + QByteArray(4 * 1024 * 1024, 'x') + "</t>");
        QVERIFY(XlsxCells::rewrite(book, {{QStringLiteral("xl/sharedStrings.xml"), strings}}, {}, &out, &why));
        TestEnv::writeBytes(in, out);
    }
    const QString out = dir.filePath(QStringLiteral("out.syw"));
    // Within a few hundred MB whatever the input: measured as a cap on the address space.
    const Run r = batch(dir, {QStringLiteral("--import-official"), in, out}, rlim_t(1) << 30);
    QVERIFY2(r.status == status, qPrintable(r.err));
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
    QCOMPARE(QFile::exists(out), status == 0);
}

void TestOfficial::splitAtTheFileLimit_data()
{
    QTest::addColumn<int>("rooms");    // on one floor, two rows each
    QTest::addColumn<QString>("name"); // of the work file asked for
    QTest::addColumn<QStringList>("made");
    QTest::newRow("220 rows: one file") << 110 << "b.syw" << QStringList{"b.syw"};
    QTest::newRow("222 rows: two") << 111 << "b.syw" << QStringList{"b_1.syw", "b_2.syw"};
    // A name with dots keeps them all before the number.
    QTest::newRow("a name with dots") << 111 << "ビルA.v2.syw" << QStringList{"ビルA.v2_1.syw", "ビルA.v2_2.syw"};
}

void TestOfficial::splitAtTheFileLimit()
{
    QFETCH(int, rooms);
    QFETCH(QString, name);
    QFETCH(QStringList, made);
    QTemporaryDir dir;
    QString csv;
    for (int i = 0; i < 10; ++i)
        csv += i == 0 ? QStringLiteral("様式 4. (照明)照明\r\n") : QStringLiteral("\r\n");
    for (int r = 1; r <= rooms; ++r) {
        csv += QStringLiteral("1F,室%1,事務所等,事務室,%2,4.0,2.7,,,,LED-A,30,4,無,無,無,無,\r\n").arg(r).arg(20 + r);
        csv += QStringLiteral(",,,,,,,,,,LED-B,12,2,無,無,減光方式,無,\r\n");
    }
    const QString in = dir.filePath(QStringLiteral("様式4.csv"));
    TestEnv::writeBytes(in, Cp932::encode(csv));
    QCOMPARE(batch(dir, {QStringLiteral("--import-official"), in, dir.filePath(name)}).status, 0);
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.syw")}, QDir::Files, QDir::Name);
    QCOMPARE(files, made);
    // Every row in a file, none twice.
    int rows = 0;
    for (const QString &f : std::as_const(files)) {
        RecordGrid g(kHeadingsRow, 1);
        QVERIFY(WorkFile::load(g, dir.filePath(f)));
        for (int r = 1; r <= kRooms; ++r)
            rows += g.text(r, InUse) == u"1" ? 1 : 0;
    }
    QCOMPARE(rows, 2 * rooms);
}

void TestOfficial::splitImportIsOneSet_data()
{
    QTest::addColumn<QString>("stopAt");   // the step the import is killed at ("" runs to its end)
    QTest::addColumn<QString>("obstacle"); // what stands in the way ("" nothing)
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("ends");     // "new", "old": the set after the run (and the next one's mending)
    QTest::newRow("over an earlier longer import") << "" << "" << 0 << "new";
    QTest::newRow("a folder where the second file goes") << "" << "folder" << int(BatchStatus::CannotWritePdf) << "old";
    QTest::newRow("a file of the user's named as an earlier one") << "" << "user file" << int(BatchStatus::CannotWritePdf) << "old";
    // Killed: until every new file is written, the old set comes back; from the commit, the new.
    QTest::newRow("killed, journal written") << "set:prepared" << "" << -1 << "old";
    QTest::newRow("killed, new files written") << "set:written" << "" << -1 << "old";
    QTest::newRow("killed, committed") << "set:committed" << "" << -1 << "new";
    QTest::newRow("killed, one file renamed") << "set:renamed" << "" << -1 << "new";
    QTest::newRow("killed, the earlier third removed too") << "set:renamed#3" << "" << -1 << "new";
    QTest::newRow("killed, the old files aside") << "set:replaced" << "" << -1 << "new";
}

void TestOfficial::splitImportIsOneSet()
{
    QFETCH(QString, stopAt);
    QFETCH(QString, obstacle);
    QFETCH(int, status);
    QFETCH(QString, ends);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("b.syw"));
    const auto file = [&](int k) { return dir.filePath(QStringLiteral("b_%1.syw").arg(k)); };
    // An earlier import of three files (six floors), then one of two (four floors).
    QCOMPARE(batch(dir, {QStringLiteral("--import-official"), floorsCsv(dir, 6, QStringLiteral("OLD")), out}).status, 0);
    const QList<QByteArray> old = {TestEnv::readBytes(file(1)), TestEnv::readBytes(file(2)), TestEnv::readBytes(file(3))};
    QVERIFY(!old[2].isEmpty());
    if (obstacle == u"folder") {
        QVERIFY(QFile::remove(file(2)));
        QVERIFY(QDir().mkdir(file(2)));
    } else if (obstacle == u"user file") {
        TestEnv::writeBytes(file(7), QByteArray("memo\r\n")); // a file of the user's, no room in it
    }
    const QString in = floorsCsv(dir, 4, QStringLiteral("NEW"), QStringLiteral("new.csv"));
    QProcess p;
    QProcessEnvironment env = TestEnv::batchEnvironment(dir.path());
    if (!stopAt.isEmpty())
        env.insert(QStringLiteral("PRX5M_STOP_AT"), stopAt);
    p.setProcessEnvironment(env);
    p.start(TestEnv::program(QStringLiteral("prx5m")), {QStringLiteral("--import-official"), in, out});
    if (!stopAt.isEmpty()) {
        // Stopped at its step, then killed.
        bool stopped = false;
        for (int i = 0; i < 1500 && !stopped; ++i) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(p.processId()));
            stopped = stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ");
            QThread::msleep(20);
        }
        QVERIFY(stopped);
        p.kill();
        QVERIFY(p.waitForFinished(10000));
        // The next import of the same name mends it first; it is refused here, so only the
        // mending shows (a file of the user's beside the set).
        TestEnv::writeBytes(file(8), QByteArray("user", 4));
        const Run next = batch(dir, {QStringLiteral("--import-official"), in, out});
        QCOMPARE(next.status, int(BatchStatus::CannotWritePdf));
        QVERIFY(QFile::remove(file(8)));
    } else {
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), status);
        if (status == 0)
            QVERIFY2(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("以前の読み込みの作業ファイルを削除しました: b_3.syw")),
                     "the removal is said");
    }
    // All old or all new, nothing of the program's own left beside them.
    if (ends == u"new") {
        QVERIFY(TestEnv::readBytes(file(1)).contains("NEW"));
        QVERIFY(TestEnv::readBytes(file(2)).contains("NEW"));
        QVERIFY(!QFile::exists(file(3)));
    } else {
        QCOMPARE(TestEnv::readBytes(file(1)), old[0]);
        if (obstacle != u"folder")
            QCOMPARE(TestEnv::readBytes(file(2)), old[1]);
        QCOMPARE(TestEnv::readBytes(file(3)), old[2]);
    }
    for (const QString &left : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QVERIFY2(!left.startsWith(u'.'), qPrintable(left));
}

void TestOfficial::remarkGoesBackOut_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("official workbook") << "--official-xlsx";
    QTest::newRow("様式4 CSV") << "--form4-csv";
}

void TestOfficial::remarkGoesBackOut()
{
    QFETCH(QString, mode);
    QTemporaryDir dir;
    // A room without dimensions (this sheet adds its own note) and a further luminaire's note.
    const QString in = dir.filePath(QStringLiteral("in.xlsx"));
    QVERIFY(writeBook(in, {form4({{"1F", "事務室", "事務所等", "事務室", "50", "4", "", "", "", "", "LED", "30", "10", "無", "無", "無", "無",
                                   "既存器具を再利用"},
                                  {"", "", "", "", "", "", "", "", "", "", "LED-2", "10", "2", "無", "無", "無", "無", "非常用兼用"}})}));
    const QString syw = dir.filePath(QStringLiteral("a.syw"));
    QCOMPARE(batch(dir, {QStringLiteral("--import-official"), in, syw}).status, 0);
    const QString out = dir.filePath(mode == u"--form4-csv" ? QStringLiteral("out.csv") : QStringLiteral("out.xlsx"));
    const Run r = batch(dir, {mode, syw, out});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QStringList remarks;
    if (mode == u"--form4-csv") {
        const QList<QStringList> lines = csvLines(out);
        remarks = {lines.value(10).value(17), lines.value(11).value(17)};
    } else {
        const XlsxReader::Book four = XlsxReader::read(out, 3);
        remarks = {four.at(11, 18).text, four.at(12, 18).text};
    }
    QCOMPARE(remarks, (QStringList{"既存器具を再利用、室指数なし（寸法未入力）", "非常用兼用"}));
    // Read and written again: the same, the note not doubled.
    const QString again = dir.filePath(QStringLiteral("b.syw"));
    if (mode == u"--official-xlsx") {
        QCOMPARE(batch(dir, {QStringLiteral("--import-official"), out, again}).status, 0);
        const QString out2 = dir.filePath(QStringLiteral("out2.xlsx"));
        QCOMPARE(batch(dir, {mode, again, out2}).status, 0);
        QCOMPARE(XlsxReader::read(out2, 3).at(11, 18).text, remarks.first());
    }
}

void TestOfficial::intoRefusesWhatIsNoBuildingWorkbook_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("no 様式1") << "no form1" << int(BatchStatus::ValueTooLarge) << "「1) 室仕様」のシートがありません";
    QTest::newRow("missing") << "missing" << int(BatchStatus::ValueTooLarge) << "公式入力シートのブックを読み込めません";
    QTest::newRow("not a workbook") << "text" << int(BatchStatus::ValueTooLarge) << "Excelのファイルとして読めません";
    QTest::newRow("--into with another mode") << "other mode" << int(BatchStatus::BadInput) << "--into は --official-xlsx に";
}

void TestOfficial::intoRefusesWhatIsNoBuildingWorkbook()
{
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("building.xlsx"));
    if (kind == u"no form1")
        QVERIFY(writeBook(book, {form4({{"1F", "事務室"}})}));
    else if (kind == u"text")
        TestEnv::writeBytes(book, "階,室名\n");
    const QString out = dir.filePath(QStringLiteral("out.xlsx"));
    const QString mode = kind == u"other mode" ? QStringLiteral("--form4-csv") : QStringLiteral("--official-xlsx");
    const Run r = batch(dir, {mode, save(dir, building()), out, QStringLiteral("--into"), book});
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
}

QTEST_MAIN(TestOfficial)
#include "tst_official.moc"
