// The emergency-lighting check as a designer meets it: rooms of a work file worked out (the floor,
// not the work plane; typed positions; the room's threshold; every refusal named), the batch's
// files and report read back and checked against each other, the master tool's import, and the
// sheet driven with the keyboard and the mouse.
#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/FHijou.h"
#include "emergency/HijouSheet.h"
#include "grid/WorkFile.h"
#include "illuminance/RoomRecord.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cmath>

using namespace EmergencyRecord;

namespace {

constexpr double kPi = 3.14159265358979323846;

QString example(const QString &name)
{
    return QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/") + name);
}

// A Lambertian photometric file, I(γ) = 1000/π cos γ below the horizon (1000 lm), every 1°.
QByteArray lambertianIes()
{
    QByteArray out = "IESNA:LM-63-2002\n[TEST] LAMBERT\nTILT=NONE\n1 1000 1 181 1 1 2 0.1 0.1 0.05\n1.0 1.0 1\n";
    for (int g = 0; g <= 180; ++g)
        out += QByteArray::number(g) + (g % 20 == 19 ? "\n" : " ");
    out += "\n0\n";
    for (int g = 0; g <= 180; ++g)
        out += QByteArray::number(g <= 90 ? 1000 / kPi * std::cos(g * kPi / 180) : 0.0, 'f', 6) + (g % 10 == 9 ? "\n" : " ");
    return out + "\n";
}

// A master in `dir`: slot 1 a Lambertian LED of `flux` lm, slot 2 the same light incandescent,
// slot 3 a luminaire whose photometric file is missing.
void writeMaster(const QString &dir, double flux = 300)
{
    QDir().mkpath(dir + QStringLiteral("/photometry"));
    TestEnv::writeBytes(dir + QStringLiteral("/photometry/lambert.ies"), lambertianIes());
    const QByteArray f = QByteArray::number(flux);
    TestEnv::writeBytes(dir + QStringLiteral("/hijou.csv"),
                        "slot,形式,光源種別,非常時光束,配光ファイル,備考\n"
                        "1,LAMBERT-LED,LED," + f + ",photometry/lambert.ies,\n"
                        "2,LAMBERT-INC,白熱灯," + f + ",photometry/lambert.ies,\n"
                        "3,GONE,LED,300,photometry/gone.ies,\n");
}

// A room of one or more rows: 間口, 奥行, 高さ, 作業面.
void putRoom(RecordGrid &g, int row, const QString &name, const QString &width, const QString &depth,
             const QString &height, const QString &workPlane = QStringLiteral("0.8"))
{
    if (g.colCount() < kColumns)
        g.setColCount(kColumns);
    g.setText(row, InUse, QStringLiteral("1"));
    g.setText(row, RoomName1, name);
    g.setText(row, Floor, QStringLiteral("1F"));
    g.setText(row, Width, width);
    g.setText(row, Depth, depth);
    const double area = width.toDouble() * depth.toDouble();
    g.setText(row, Area, QString::number(area, 'f', 1));
    g.setText(row, CeilingHeight, height);
    g.setText(row, RoomRecord::WorkPlaneHeight, workPlane);
}

void putKind(RecordGrid &g, int row, const QString &slot, const QString &count, const QString &height = QString(),
             const QString &layout = QString())
{
    g.setText(row, Slot, slot);
    g.setText(row, Count, count);
    g.setText(row, MountingHeight, height);
    g.setText(row, Layout, layout);
}

// Lambertian closed form: E = (Φ/π) H² / (r² + H²)².
double lambert(double flux, double h, double r2)
{
    return flux / kPi * h * h / ((r2 + h * h) * (r2 + h * h));
}

double eAt(const EmergencyCheck::Result &r, double x, double y)
{
    for (int j = 0; j <= r.grid.ny; ++j)
        for (int i = 0; i <= r.grid.nx; ++i)
            if (std::fabs(r.grid.point(i, j).x() - x) < 1e-9 && std::fabs(r.grid.point(i, j).y() - y) < 1e-9)
                return r.e[j * (r.grid.nx + 1) + i];
    return -1;
}

struct Batch {
    int status = -1;
    QString err;
};

Batch batch(const QString &home, const QStringList &args)
{
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(home));
    p.start(TestEnv::program(QStringLiteral("prx5m")), args);
    Batch b;
    if (!p.waitForFinished(120000))
        return b;
    b.status = p.exitCode();
    b.err = QString::fromUtf8(p.readAllStandardError());
    return b;
}

QList<QStringList> csvLines(const QString &path)
{
    QList<QStringList> out;
    const QString text = QString::fromUtf8(TestEnv::readBytes(path));
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
        out.append(line.trimmed().split(u','));
    return out;
}

void goToRow(SheetFixtureT<FHijou> &f, int row)
{
    f.enter(QStringLiteral("Txt_Gyou"));
    f.box(QStringLiteral("Txt_Gyou"))->selectAll();
    f.type(QString::number(row));
}

// Typed into a box and left there (Japanese as the input method commits it).
void typeInto(SheetFixtureT<FHijou> &f, const QString &box, const QString &text)
{
    f.enter(box);
    f.box(box)->selectAll();
    if (text.toLatin1() == text.toUtf8()) {
        QTest::keyClicks(f.box(box), text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(f.box(box), &commit);
}

} // namespace

class TestEmergencySheet : public QObject
{
    Q_OBJECT
private slots:
    void roomsAtTheFloor_data();
    void roomsAtTheFloor();
    void refusalsNameTheRoom_data();
    void refusalsNameTheRoom();
    void batchFilesAgreeWithEachOther();
    void batchRefusesWithoutOutput();
    void masterToolImport_data();
    void masterToolImport();
    void sheetConfirmedWithTheMouse();
    void sheetRefusesWhereTyped();
    void sheetRoomFieldsInEveryRow();
    void otherSheetsKeepTheColumns();
    void sheetImportsALuminaire();
};

void TestEmergencySheet::roomsAtTheFloor_data()
{
    QTest::addColumn<QString>("slotList");   // the room's rows' slots ("1" or "1,2")
    QTest::addColumn<QString>("height");  // 取付高さ typed ("" = 高さ 2.5)
    QTest::addColumn<QString>("layout");
    QTest::addColumn<double>("x");        // a luminaire's place
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("h");        // its height above the floor
    QTest::addColumn<double>("threshold");
    // 4 m × 4 m, 高さ 2.5 m, 作業面 0.8 m: the floor is the plane, never the work plane.
    QTest::newRow("auto, 高さ") << "1" << "" << "" << 2.0 << 2.0 << 2.5 << 2.0;
    QTest::newRow("auto, typed height") << "1" << "3.2" << "" << 2.0 << 2.0 << 3.2 << 2.0;
    QTest::newRow("typed position") << "1" << "" << "1,1" << 1.0 << 1.0 << 2.5 << 2.0;
    QTest::newRow("incandescent alone: 1 lx") << "2" << "" << "1,1" << 1.0 << 1.0 << 2.5 << 1.0;
    QTest::newRow("incandescent with an LED: 2 lx") << "2,1" << "" << "1,1" << 1.0 << 1.0 << 2.5 << 2.0;
}

void TestEmergencySheet::roomsAtTheFloor()
{
    QFETCH(QString, slotList);
    QFETCH(QString, height);
    QFETCH(QString, layout);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, h);
    QFETCH(double, threshold);
    QTemporaryDir dir;
    writeMaster(dir.path(), 300);
    EmergencyMaster::Master master;
    QString why;
    QVERIFY2(EmergencyMaster::load(dir.path(), &master, &why), qPrintable(why));
    RecordGrid g(kHeadingsRow, kColumns);
    const QStringList kinds = slotList.split(u',');
    for (int k = 0; k < kinds.size(); ++k) {
        putRoom(g, k + 1, QStringLiteral("ホール"), QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("2.5"));
        putKind(g, k + 1, kinds[k], QStringLiteral("1"), height, layout);
    }
    EmergencyRooms::Lights lights;
    EmergencyRooms::Room room;
    QList<EmergencyRooms::Refusal> refusals;
    QVERIFY(EmergencyRooms::evaluate(g, EmergencyRooms::roomRows(g, 1), master, &lights, &room, &refusals));
    QCOMPARE(room.threshold, threshold);
    // Every luminaire of the room lights the point under the first one (all stand there).
    const int n = int(kinds.size());
    const double nadir = n * lambert(300, h, 0);
    QVERIFY2(std::fabs(eAt(room.result, x, y) - nadir) < 2e-3 * nadir,
             qPrintable(QStringLiteral("%1 against %2").arg(eAt(room.result, x, y)).arg(nadir)));
    // The farthest corner is the minimum.
    const double fx = x < 2 ? 4 : 0, fy = y < 2 ? 4 : 0;
    const double corner = n * lambert(300, h, (fx - x) * (fx - x) + (fy - y) * (fy - y));
    QVERIFY2(std::fabs(room.result.minimum - corner) < 2e-3 * corner,
             qPrintable(QStringLiteral("%1 against %2").arg(room.result.minimum).arg(corner)));
    QCOMPARE(room.result.at, QPointF(fx, fy));
    QCOMPARE(room.result.ok(), corner >= threshold);
}

void TestEmergencySheet::refusalsNameTheRoom_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("said");
    QTest::newRow("height below 0.5 m") << "1" << "2" << "0.4" << "" << "2 行目（廊下）の取付高さ「0.4」は 0.5～30 m";
    QTest::newRow("height above 30 m") << "1" << "2" << "31" << "" << "取付高さ「31」は 0.5～30 m";
    QTest::newRow("count not a number") << "1" << "２台" << "" << "" << "2 行目（廊下）の台数「２台」は数値ではありません";
    QTest::newRow("count not whole") << "1" << "1.5" << "" << "" << "台数「1.5」は 0～200 の整数";
    QTest::newRow("beyond 200") << "1" << "201" << "" << "" << "台数「201」は 0～200 の整数";
    QTest::newRow("position outside") << "1" << "" << "" << "1,1;12.5,1" << "配置「12.5,1」は室の外です";
    QTest::newRow("positions and count differ") << "1" << "3" << "" << "1,1;5,1" << "位置の数（2）が台数（3）と違います";
    QTest::newRow("position not x,y") << "1" << "" << "" << "1;2" << "配置は「x,y;x,y;…」（m）の形ではありません";
    QTest::newRow("slot not in the master") << "7" << "2" << "" << "" << "非常用照明器具「7」はマスタにありません";
    QTest::newRow("slot without photometry") << "3" << "2" << "" << "" << "非常用照明器具「3」は計算できません";
}

void TestEmergencySheet::refusalsNameTheRoom()
{
    QFETCH(QString, slot);
    QFETCH(QString, count);
    QFETCH(QString, height);
    QFETCH(QString, layout);
    QFETCH(QString, said);
    QTemporaryDir dir;
    writeMaster(dir.path());
    EmergencyMaster::Master master;
    QString why;
    QVERIFY(EmergencyMaster::load(dir.path(), &master, &why));
    RecordGrid g(kHeadingsRow, kColumns);
    putRoom(g, 1, QStringLiteral("事務室"), QStringLiteral("8"), QStringLiteral("6"), QStringLiteral("2.7"));
    putKind(g, 1, QStringLiteral("1"), QStringLiteral("2"));
    putRoom(g, 2, QStringLiteral("廊下"), QStringLiteral("12"), QStringLiteral("2"), QStringLiteral("2.6"));
    putKind(g, 2, slot, count, height, layout);
    EmergencyRooms::Lights lights;
    QList<EmergencyRooms::Room> rooms;
    QList<EmergencyRooms::Refusal> refusals;
    QVERIFY(!EmergencyRooms::evaluateAll(g, master, &lights, &rooms, &refusals));
    QCOMPARE(refusals.size(), 1);
    QVERIFY2(refusals.first().message().contains(said), qPrintable(refusals.first().message()));
    QVERIFY(refusals.first().message().startsWith(QStringLiteral("2 行目（廊下）")));
    // The other room is worked out all the same.
    QCOMPARE(rooms.size(), 1);
    QCOMPARE(rooms.first().rows, QList<int>{1});
}

void TestEmergencySheet::batchFilesAgreeWithEachOther()
{
    QTemporaryDir home;
    const QString out = home.filePath(QStringLiteral("csv"));
    const QString in = example(QStringLiteral("office-3f-emergency.syw"));
    const Batch csv = batch(home.path(), {QStringLiteral("--emergency-csv"), in, out});
    QVERIFY2(csv.status == 0, qPrintable(csv.err));
    const QList<QStringList> rooms = csvLines(out + QStringLiteral("/rooms.csv"));
    QCOMPARE(rooms.first().join(u','), QStringLiteral("row,floor,name,area_m2,slot,count,height_m,threshold_lx,e_min,x_min,"
                                                      "y_min,points,points_below,verdict"));
    QCOMPARE(rooms.size(), 31);
    // The points and luminaires of each room, as the rooms' lines count and place them.
    QHash<QString, int> points;
    QHash<QString, double> least;
    for (const QStringList &p : csvLines(out + QStringLiteral("/points.csv")).mid(1)) {
        points[p[0]] += 1;
        least[p[0]] = least.contains(p[0]) ? std::min(least[p[0]], p[3].toDouble()) : p[3].toDouble();
    }
    QHash<QString, QStringList> places;
    for (const QStringList &l : csvLines(out + QStringLiteral("/luminaires.csv")).mid(1))
        places[l[0]].append(l[1] + u',' + l[2]);
    QCOMPARE(places.value(QStringLiteral("1+2")), (QStringList{"2,3", "4,3", "6,3"}));
    QHash<QString, QStringList> byRow;
    for (const QStringList &r : rooms.mid(1))
        byRow.insert(r[0], r);
    QCOMPARE(byRow.value(QStringLiteral("1+2")).value(5), QStringLiteral("3"));
    QCOMPARE(byRow.value(QStringLiteral("19")).value(13), QStringLiteral("fail"));
    QVERIFY(byRow.value(QStringLiteral("19")).value(12).toInt() > 0);
    QCOMPARE(byRow.value(QStringLiteral("6")).value(13), QStringLiteral("skip"));
    QCOMPARE(byRow.value(QStringLiteral("11")).value(7), QStringLiteral("1")); // incandescent: 1 lx
    for (const QStringList &r : rooms.mid(1)) {
        if (r[13] == u"skip")
            continue;
        QCOMPARE(points.value(r[0]), r[11].toInt());
        QCOMPARE(r[8].toDouble(), least.value(r[0]));
        QCOMPARE(r[13], r[12] == u"0" ? QStringLiteral("ok") : QStringLiteral("fail"));
    }

    // The report prints each minimum cut down to 0.01 lx: a room where rounding would show more.
    const QString pdf = home.filePath(QStringLiteral("h.pdf"));
    const Batch report = batch(home.path(), {QStringLiteral("--pdf"), QStringLiteral("emergency"), in, pdf});
    QVERIFY2(report.status == 0, qPrintable(report.err));
    const QString first = PdfTools::text(pdf, 1);
    bool roundingDiffers = false;
    for (const QStringList &r : rooms.mid(1)) {
        if (r[13] == u"skip")
            continue;
        const double e = r[8].toDouble();
        const QString cut = QString::number(std::floor(e * 100 + 1e-9) / 100, 'f', 2);
        roundingDiffers = roundingDiffers || cut != QString::number(e, 'f', 2);
        bool found = false;
        for (const QString &line : first.split(u'\n'))
            found = found || (line.contains(r[2]) && line.simplified().split(u' ').contains(cut));
        QVERIFY2(found, qPrintable(r[0] + u' ' + cut));
    }
    QVERIFY(roundingDiffers);
    // Plans two rooms a page (20 checked), then a 配置表 a luminaire used (1 and 3); the note on each.
    const int pages = PdfTools::pages(pdf);
    QCOMPARE(pages, 1 + 10 + 2);
    for (int p = 1; p <= pages; ++p)
        QVERIFY(PdfTools::text(pdf, p).contains(QStringLiteral("直接照度のみ、床面、保守率なし（建築基準法施行令第126条の5）")));
    const QString reachPage = PdfTools::text(pdf, 12);
    QVERIFY(reachPage.contains(QStringLiteral("KZ-EL-DL-LED")) && reachPage.contains(QStringLiteral("基準照度 2 lx")));

    // The reach table's CSV to the millimetre; the page prints it cut down to 0.1 m.
    const QString reach = home.filePath(QStringLiteral("reach.csv"));
    const Batch table = batch(home.path(), {QStringLiteral("--reach-table"), QStringLiteral("1"), reach});
    QVERIFY2(table.status == 0, qPrintable(table.err));
    const QList<QStringList> lines = csvLines(reach);
    QCOMPARE(lines.size(), 1 + 17 * 2);
    for (const QStringList &l : lines.mid(1)) {
        if (l[0] != u"3.0" || l[1] != u"2")
            continue;
        QCOMPARE(l[2].section(u'.', 1).size(), 3);
        QCOMPARE(l[10], QStringLiteral("3.3")); // the maker's A1 beside
        const QString printedA4 = QString::number(std::floor(l[6].toDouble() * 10 + 1e-9) / 10, 'f', 1);
        bool onPage = false;
        for (const QString &line : reachPage.split(u'\n'))
            onPage = onPage || (line.simplified().startsWith(QStringLiteral("3.0 ")) && line.contains(printedA4));
        QVERIFY2(onPage, qPrintable(printedA4));
    }
}

void TestEmergencySheet::batchRefusesWithoutOutput()
{
    QTemporaryDir home;
    RecordGrid g(kHeadingsRow, kColumns);
    QVERIFY(WorkFile::load(g, example(QStringLiteral("office-3f-emergency.syw"))));
    g.setText(9, MountingHeight, QStringLiteral("0.3"));
    const QString in = home.filePath(QStringLiteral("in.syw"));
    QVERIFY(WorkFile::save(g, in));
    const QString out = home.filePath(QStringLiteral("out"));
    const QString pdf = home.filePath(QStringLiteral("out.pdf"));
    const Batch csv = batch(home.path(), {QStringLiteral("--emergency-csv"), in, out});
    QCOMPARE(csv.status, 5);
    QVERIFY2(csv.err.contains(QStringLiteral("9 行目（廊下）の取付高さ「0.3」")), qPrintable(csv.err));
    QVERIFY(!QFile::exists(out + QStringLiteral("/rooms.csv")));
    QCOMPARE(batch(home.path(), {QStringLiteral("--pdf"), QStringLiteral("emergency"), in, pdf}).status, 5);
    QVERIFY(!QFile::exists(pdf));
}

void TestEmergencySheet::masterToolImport_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::newRow("imported") << QStringList{"--slot", "4", "--flux", "180", "--source", "ハロゲン", "--name", "HAL-1"} << 0;
    QTest::newRow("slot 100") << QStringList{"--slot", "100", "--flux", "180", "--source", "LED"} << 2;
    QTest::newRow("no flux") << QStringList{"--slot", "4", "--flux", "0", "--source", "LED"} << 2;
    QTest::newRow("unknown source") << QStringList{"--slot", "4", "--flux", "180", "--source", "HID"} << 2;
}

void TestEmergencySheet::masterToolImport()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString ies = dir.filePath(QStringLiteral("maker.ies"));
    TestEnv::writeBytes(ies, lambertianIes());
    // A master not there yet is made with its header.
    const QString csv = dir.filePath(QStringLiteral("master/hijou.csv"));
    QDir().mkpath(dir.filePath(QStringLiteral("master")));
    QProcess tool;
    tool.start(TestEnv::program(QStringLiteral("prx5m-mst")),
               QStringList{QStringLiteral("emergency"), ies, QStringLiteral("--into"), csv} + options);
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), status);
    if (status != 0) {
        QVERIFY(!QFile::exists(csv));
        return;
    }
    EmergencyMaster::Master master;
    QString why;
    QVERIFY2(EmergencyMaster::load(dir.filePath(QStringLiteral("master")), &master, &why), qPrintable(why));
    const EmergencyMaster::Luminaire *l = master.find(4);
    QVERIFY(l);
    QCOMPARE(l->name, QStringLiteral("HAL-1"));
    QCOMPARE(l->source, EmergencyMaster::Source::Halogen);
    EmergencyMaster::Light light;
    QVERIFY2(EmergencyMaster::light(master, 4, &light, &why), qPrintable(why));
    // Its candela scaled to the emergency flux: the nadir of 180 lm Lambertian at 2 m.
    const double nadir = EmergencyCheck::single(*light.table, light.scale, 2.0, 0, 0);
    QVERIFY(std::fabs(nadir - lambert(180, 2.0, 0)) < 1e-3 * nadir);
}

void TestEmergencySheet::sheetConfirmedWithTheMouse()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 9); // 1F 廊下, 30 m × 2 m
    QCOMPARE(f.sheet->text(HijouSheet::kRoomName), QStringLiteral("廊下"));
    typeInto(f, HijouSheet::kSlot, QStringLiteral("1"));
    typeInto(f, HijouSheet::kCount, QStringLiteral("3"));
    // The verdict follows the typing, before any 確認.
    QTRY_COMPARE(f.sheet->text(HijouSheet::kVerdict), QStringLiteral("不適合"));
    QCOMPARE(f.sheet->recordGrid().text(9, Count), QString());
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->recordGrid().text(9, Slot), QStringLiteral("1"));
    QCOMPARE(f.sheet->recordGrid().text(9, Count), QStringLiteral("3"));
    auto *list = f.w<ListGrid>(QStringLiteral("SPD_Data"));
    QCOMPARE(list->cellText(9, 7), QStringLiteral("不適合"));
    // Two more: it passes; typed and left with the mouse straight onto 確認.
    goToRow(f, 9);
    typeInto(f, HijouSheet::kCount, QStringLiteral("5"));
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->recordGrid().text(9, Count), QStringLiteral("5"));
    QCOMPARE(list->cellText(9, 7), QStringLiteral("適合"));
    QVERIFY(list->cellText(9, 6).toDouble() >= 2.0);
    // Every other room of a file the sheet is used on is checked: without luminaires it fails.
    QCOMPARE(list->cellText(3, 7), QStringLiteral("不適合"));
    QVERIFY(f.w<QLabel>(QStringLiteral("Lbl_Building"))->text().contains(QStringLiteral("適合 1 室")));
}

void TestEmergencySheet::sheetRefusesWhereTyped()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw"))};
    f.sheet->Menu_File_Open_Click();
    const RecordGrid before = f.sheet->recordGrid();
    goToRow(f, 9);
    typeInto(f, HijouSheet::kMounting, QStringLiteral("0.3"));
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.focused(), HijouSheet::kMounting);
    QVERIFY2(f.sheet->statusMessage().contains(QStringLiteral("9 行目（廊下）の取付高さ「0.3」")), qPrintable(f.sheet->statusMessage()));
    QCOMPARE(f.sheet->rowNumber(), 9);
    QCOMPARE(f.sheet->recordGrid(), before);
}

void TestEmergencySheet::sheetRoomFieldsInEveryRow()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 2); // the entrance hall's second row
    auto *check = f.w<QCheckBox>(HijouSheet::kChecked);
    QVERIFY(check->isChecked());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    QVERIFY(!check->isChecked());
    typeInto(f, HijouSheet::kRemark, QStringLiteral("別棟の避難経路で確認"));
    f.click(QStringLiteral("Btn_Adv"));
    const RecordGrid &g = f.sheet->recordGrid();
    for (int row : {1, 2}) {
        QCOMPARE(g.text(row, Checked), QStringLiteral("0"));
        QCOMPARE(g.text(row, Remark), QStringLiteral("別棟の避難経路で確認"));
    }
    QCOMPARE(g.text(1, Slot), QStringLiteral("1")); // the first row's luminaires stay
    QCOMPARE(f.w<ListGrid>(QStringLiteral("SPD_Data"))->cellText(1, 7), QStringLiteral("対象外"));
}

void TestEmergencySheet::otherSheetsKeepTheColumns()
{
    // The illuminance sheet saves the emergency columns as they came; the emergency sheet leaves a
    // file it was not used on as narrow as it was.
    QTemporaryDir dir;
    {
        SheetFixture f(TestEnv::sampleMasters());
        f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw")), dir.filePath(QStringLiteral("a.syw"))};
        f.sheet->Menu_File_Open_Click();
        f.sheet->Menu_File_NSave_Click();
        QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("a.syw"))),
                 TestEnv::readBytes(example(QStringLiteral("office-3f-emergency.syw"))));
    }
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f.syw")), dir.filePath(QStringLiteral("b.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 5);
    goToRow(f, 9);
    f.sheet->Menu_File_NSave_Click();
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("b.syw"))), TestEnv::readBytes(example(QStringLiteral("office-3f.syw"))));
}

void TestEmergencySheet::sheetImportsALuminaire()
{
    QTemporaryDir dir;
    writeMaster(dir.path());
    const QString ies = dir.filePath(QStringLiteral("maker.ies"));
    TestEnv::writeBytes(ies, lambertianIes());
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(dir.path());
    const QByteArray before = TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv")));
    int proposed = 0;
    const auto fill = [&](const QString &flux) {
        return [ies, flux, &proposed](QDialog &d) -> int {
            d.findChild<QLineEdit *>(QStringLiteral("Txt_File"))->setText(ies);
            proposed = d.findChild<QSpinBox *>(QStringLiteral("Spn_Slot"))->value();
            d.findChild<QLineEdit *>(QStringLiteral("Txt_Flux"))->setText(flux);
            d.findChild<QComboBox *>(QStringLiteral("Cmb_Source"))->setCurrentText(QStringLiteral("蛍光灯"));
            d.accept();
            return d.result();
        };
    };
    // A flux that is no number: the dialog stays, nothing written.
    f.dialogs.dialogAnswers = {fill(QStringLiteral("二百"))};
    f.click(QStringLiteral("Btn_Import"));
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv"))), before);
    QCOMPARE(f.sheet->master().luminaires.size(), 3);
    QCOMPARE(proposed, 4); // the first free number
    f.dialogs.dialogAnswers = {fill(QStringLiteral("200"))};
    f.click(QStringLiteral("Btn_Import"));
    const EmergencyMaster::Luminaire *l = f.sheet->master().find(4);
    QVERIFY(l);
    QCOMPARE(l->source, EmergencyMaster::Source::Fluorescent);
    QCOMPARE(l->flux, 200.0);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("photometry/hijou-4.ies"))));
    QCOMPARE(f.w<ListGrid>(QStringLiteral("Spd_Kigu"))->cellText(4, 1), QStringLiteral("4"));
}

QTEST_MAIN(TestEmergencySheet)
#include "tst_emergency_sheet.moc"
