// The emergency-lighting check as a designer meets it: rooms of a work file worked out (the floor,
// not the work plane; typed positions; the room's threshold; every refusal named), the batch's
// files and report read back and checked against each other, the master tool's import, and the
// sheet driven with the keyboard and the mouse.
#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/FHijou.h"
#include "emergency/HijouSheet.h"
#include "emergency/EmergencyOutput.h"
#include "emergency/EmergencyPlot.h"
#include "emergency/HijouPlan.h"
#include "emergency/ReachTable.h"
#include "ui/UpDownButtons.h"

#include <QToolButton>
#include "grid/WorkFile.h"
#include "illuminance/RoomRecord.h"
#include "support/PdfTools.h"
#include "support/SheetFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QPushButton>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>

#include <sys/resource.h>

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

Batch batch(const QString &home, const QStringList &args, rlim_t memory = 0)
{
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(home));
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
    void panelShowsTheRowItNames_data();
    void panelShowsTheRowItNames();
    void browsingLeavesTheRow();
    void refusalGoesWithItsCause();
    void reachNeverReachedIsNoDistance_data();
    void reachNeverReachedIsNoDistance();
    void planLabelsClearOfTheMinimum_data();
    void planLabelsClearOfTheMinimum();
    void importShowsTheFileFirst();
    void longReportCanBeCancelled();
    void largeCheckWrittenWithinBoundedMemory();
    void layoutsAndHeightsAsTyped_data();
    void layoutsAndHeightsAsTyped();
    void masterFluxSaysWhatIsWrong_data();
    void masterFluxSaysWhatIsWrong();
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

namespace {

// The example's rooms as the batch writes them: row → (e_min, verdict).
QHash<QString, QStringList> exampleRooms()
{
    static QHash<QString, QStringList> rooms;
    if (rooms.isEmpty()) {
        QTemporaryDir home;
        const QString out = home.filePath(QStringLiteral("csv"));
        const Batch b = batch(home.path(), {QStringLiteral("--emergency-csv"), example(QStringLiteral("office-3f-emergency.syw")), out});
        if (b.status != 0)
            qFatal("emergency csv: %s", qPrintable(b.err));
        for (const QStringList &r : csvLines(out + QStringLiteral("/rooms.csv")).mid(1))
            rooms.insert(r[0], r);
    }
    return rooms;
}

} // namespace

void TestEmergencySheet::panelShowsTheRowItNames_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("key"); // the room's line in rooms.csv
    // Each way starts on a room whose figures differ from the one it goes to.
    QTest::newRow("list click") << 1 << "click" << 19 << "19";
    QTest::newRow("list arrow") << 18 << "arrow" << 19 << "19";
    QTest::newRow("list Enter") << 3 << "enter" << 19 << "19";
    QTest::newRow("spinner") << 18 << "spinner" << 19 << "19";
    QTest::newRow("row typed") << 1 << "row field" << 19 << "19";
    QTest::newRow("確認 moves on") << 18 << "confirm" << 19 << "19";
    QTest::newRow("opening a file") << 19 << "open" << 1 << "1+2";
    QTest::newRow("into a room's second row") << 3 << "row field" << 2 << "1+2";
}

void TestEmergencySheet::panelShowsTheRowItNames()
{
    QFETCH(int, from);
    QFETCH(QString, way);
    QFETCH(int, to);
    QFETCH(QString, key);
    const QStringList line = exampleRooms().value(key);
    QVERIFY(!line.isEmpty());
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    const QString file = example(QStringLiteral("office-3f-emergency.syw"));
    f.dialogs.paths = {file};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, from);
    QCOMPARE(f.w<HijouPlan>(QStringLiteral("Pic_Heimen"))->room().rows.contains(from), true);
    if (way == u"confirm") {
        f.click(QStringLiteral("Btn_Adv"));
    } else if (way == u"open") {
        f.dialogs.paths = {file};
        f.sheet->Menu_File_Open_Click();
    } else {
        if (way == u"arrow")
            f.w<ListGrid>(QStringLiteral("SPD_Data"))->setCurrentCell(from - 1, 1);
        if (way == u"spinner" || way == u"row field" || way == u"click" || way == u"enter") {
            auto *list = f.w<ListGrid>(QStringLiteral("SPD_Data"));
            auto *tabs = f.w<QTabWidget>(QStringLiteral("STab_Main"));
            if (way == u"click" || way == u"enter")
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
            if (way == u"click") {
                f.clickCell(QStringLiteral("SPD_Data"), to, 2);
            } else if (way == u"enter") {
                list->setFocus(Qt::MouseFocusReason);
                list->setCurrentCell(to - 1, 0);
                QTest::keyClick(list, Qt::Key_Return);
            } else if (way == u"row field") {
                goToRow(f, to);
            } else {
                QTest::mouseClick(f.w<UpDownButtons>(QStringLiteral("UpDown1"))->downButton(), Qt::LeftButton);
            }
        } else {
            auto *list = f.w<ListGrid>(QStringLiteral("SPD_Data"));
            list->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(list, Qt::Key_Down);
        }
    }
    QApplication::processEvents();
    QCOMPARE(f.sheet->rowNumber(), to);
    // The plan, the figures and the verdict are the room of the row shown, as the batch has it.
    const HijouPlan *plan = f.w<HijouPlan>(QStringLiteral("Pic_Heimen"));
    QVERIFY(plan->hasRoom());
    QCOMPARE(plan->room().rowsText(), key);
    const QString cut = QString::number(std::floor(line[8].toDouble() * 100 + 1e-9) / 100, 'f', 2);
    QVERIFY2(f.sheet->text(HijouSheet::kFigures).contains(QStringLiteral("最小照度 %1 lx").arg(cut)),
             qPrintable(f.sheet->text(HijouSheet::kFigures)));
    QCOMPARE(f.sheet->text(HijouSheet::kVerdict), line[13] == u"ok" ? QStringLiteral("適合") : QStringLiteral("不適合"));
    // And the list's line of that row says the same.
    auto *list = f.w<ListGrid>(QStringLiteral("SPD_Data"));
    const int first = key.section(u'+', 0, 0).toInt();
    QCOMPARE(list->cellText(first, 6), cut);
    QCOMPARE(list->cellText(first, 7), f.sheet->text(HijouSheet::kVerdict));
    QVERIFY(!f.sheet->isWindowModified());
    // 高さ: the ceiling height the check takes where 取付高さ is blank, in grey; a typed one in black.
    QCOMPARE(list->cellText(19, 5), QStringLiteral("2.6"));
    QCOMPARE(list->cellText(1, 5), QStringLiteral("3.5"));
    QVERIFY(list->item(18, 4)->foreground().color().lightness() > list->item(0, 4)->foreground().color().lightness());
}

void TestEmergencySheet::browsingLeavesTheRow()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 11); // the electrical room: luminaire 3 (incandescent)
    const RecordGrid before = f.sheet->recordGrid();
    auto *tabs = f.w<QTabWidget>(QStringLiteral("STab_Main"));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(FHijou::kSlotTab).center());
    auto *kigu = f.w<ListGrid>(QStringLiteral("Spd_Kigu"));
    int ledRow = 0;
    for (int r = 1; r <= kigu->rowCount(); ++r)
        if (kigu->cellText(r, 1) == u"1")
            ledRow = r;
    QVERIFY(ledRow > 0);
    f.clickCell(QStringLiteral("Spd_Kigu"), ledRow, 2);
    // Looking: the row keeps its luminaire, the tab stays, nothing changed.
    QCOMPARE(f.sheet->text(HijouSheet::kSlot), QStringLiteral("3"));
    QCOMPARE(f.tab(), FHijou::kSlotTab);
    QVERIFY(!f.sheet->isWindowModified());
    // The 配置表 of the luminaire looked at, and of any other chosen there.
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(FHijou::kReachTab).center());
    QVERIFY2(f.w<QLabel>(QStringLiteral("Lbl_HaichiTitle"))->text().startsWith(QStringLiteral("1 番")),
             qPrintable(f.w<QLabel>(QStringLiteral("Lbl_HaichiTitle"))->text()));
    auto *pick = f.w<QComboBox>(QStringLiteral("Cmb_HaichiKigu"));
    pick->setCurrentIndex(pick->findData(3));
    QVERIFY(f.w<QLabel>(QStringLiteral("Lbl_HaichiTitle"))->text().startsWith(QStringLiteral("3 番")));
    QCOMPARE(f.sheet->text(HijouSheet::kSlot), QStringLiteral("3"));
    QVERIFY(!f.sheet->isWindowModified());
    QCOMPARE(f.sheet->recordGrid(), before);
    // この行に使う sets the row's luminaire: an edit of the row.
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(FHijou::kSlotTab).center());
    f.clickCell(QStringLiteral("Spd_Kigu"), ledRow, 2);
    f.click(QStringLiteral("Btn_UseKigu"));
    QCOMPARE(f.sheet->text(HijouSheet::kSlot), QStringLiteral("1"));
    QVERIFY(f.sheet->isWindowModified());
    QCOMPARE(f.sheet->recordGrid(), before); // until 確認
}

void TestEmergencySheet::refusalGoesWithItsCause()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw"))};
    f.sheet->Menu_File_Open_Click();
    goToRow(f, 9); // 30 m × 2 m
    typeInto(f, HijouSheet::kLayout, QStringLiteral("5,1;15,1;35,1;25,1;28,1"));
    f.click(QStringLiteral("Btn_Adv"));
    QVERIFY2(f.sheet->statusMessage().contains(QStringLiteral("室の外")), qPrintable(f.sheet->statusMessage()));
    QCOMPARE(f.sheet->rowNumber(), 9);
    typeInto(f, HijouSheet::kLayout, QStringLiteral("5,1;15,1;20,1;25,1;28,1"));
    f.click(QStringLiteral("Btn_Adv"));
    QCOMPARE(f.sheet->rowNumber(), 10);
    QCOMPARE(f.sheet->statusMessage(), QString());
    goToRow(f, 12);
    QCOMPARE(f.sheet->statusMessage(), QString());
}

void TestEmergencySheet::reachNeverReachedIsNoDistance_data()
{
    QTest::addColumn<QString>("height");
    QTest::addColumn<bool>("reached");
    // 100 lm Lambertian: E below it Φ / (π h²), 2 lx up to h = √(100 / 2π) = 3.99 m.
    QTest::newRow("3.5 m reaches") << "3.5" << true;
    QTest::newRow("4.0 m never") << "4.0" << false;
    QTest::newRow("10.0 m never") << "10.0" << false;
}

void TestEmergencySheet::reachNeverReachedIsNoDistance()
{
    QFETCH(QString, height);
    QFETCH(bool, reached);
    QTemporaryDir dir;
    writeMaster(dir.path(), 100);
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(dir.path());
    auto *tabs = f.w<QTabWidget>(QStringLiteral("STab_Main"));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(FHijou::kReachTab).center());
    auto *pick = f.w<QComboBox>(QStringLiteral("Cmb_HaichiKigu"));
    pick->setCurrentIndex(pick->findData(1));
    auto *table = f.w<ListGrid>(QStringLiteral("Spd_Haichi"));
    int line = 0;
    for (int r = 1; r <= table->rowCount(); ++r)
        if (table->cellText(r, 1) == height && table->cellText(r, 2) == u"計算")
            line = r;
    QVERIFY(line > 0);
    const QString a1 = table->cellText(line, 3), b1 = table->cellText(line, 4);
    if (reached) {
        QVERIFY2(a1.toDouble() > 0 && b1.toDouble() > 0, qPrintable(a1));
    } else {
        QCOMPARE(a1, QStringLiteral("—"));
        QCOMPARE(b1, QStringLiteral("—"));
    }
    QVERIFY(f.w<QLabel>(QStringLiteral("Lbl_HaichiNote"))->text().contains(QStringLiteral("判定には計算の値を使い")));
    // The CSV leaves the field empty: no distance, not 0 m.
    EmergencyMaster::Master master;
    QString why;
    QVERIFY(EmergencyMaster::load(dir.path(), &master, &why));
    EmergencyMaster::Light light;
    QVERIFY(EmergencyMaster::light(master, 1, &light, &why));
    const QString csv = QString::fromUtf8(EmergencyOutput::reachCsv(ReachTable::table(*light.table, light.scale), *master.find(1)));
    bool seen = false;
    for (const QString &l : csv.split(u'\n')) {
        const QStringList fields = l.trimmed().split(u',');
        if (fields.value(0) != height || fields.value(1) != u"2")
            continue;
        seen = true;
        QCOMPARE(fields.value(2).isEmpty(), !reached);
        if (reached)
            QVERIFY(fields.value(2).toDouble() > 0);
    }
    QVERIFY(seen);
}

void TestEmergencySheet::planLabelsClearOfTheMinimum_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("depth");
    QTest::addColumn<QPointF>("minimum");
    QTest::addColumn<int>("strips"); // at least
    QTest::newRow("8 × 6, middle of the front wall") << 8.0 << 6.0 << QPointF(4, 0) << 1;
    QTest::newRow("8 × 6, middle of the left wall") << 8.0 << 6.0 << QPointF(0, 3) << 1;
    QTest::newRow("8 × 6, a corner") << 8.0 << 6.0 << QPointF(0, 0) << 1;
    QTest::newRow("30 × 2 corridor, its first corner") << 30.0 << 2.0 << QPointF(0, 0) << 2;
    QTest::newRow("30 × 2 corridor, its middle") << 30.0 << 2.0 << QPointF(15, 0) << 2;
    QTest::newRow("30 × 2 corridor, its far end") << 30.0 << 2.0 << QPointF(30, 1) << 2;
}

void TestEmergencySheet::planLabelsClearOfTheMinimum()
{
    QFETCH(double, width);
    QFETCH(double, depth);
    QFETCH(QPointF, minimum);
    QFETCH(int, strips);
    QTemporaryDir dir;
    writeMaster(dir.path(), 300);
    EmergencyMaster::Master master;
    QString why;
    QVERIFY(EmergencyMaster::load(dir.path(), &master, &why));
    RecordGrid g(kHeadingsRow, kColumns);
    putRoom(g, 1, QStringLiteral("室"), QString::number(width), QString::number(depth), QStringLiteral("2.6"));
    putKind(g, 1, QStringLiteral("1"), QStringLiteral("2"));
    EmergencyRooms::Lights lights;
    EmergencyRooms::Room room;
    QList<EmergencyRooms::Refusal> refusals;
    QVERIFY(EmergencyRooms::evaluate(g, {1}, master, &lights, &room, &refusals));
    room.result.at = minimum; // wherever the minimum falls
    QImage image(420, 315, QImage::Format_RGB32);
    QPainter painter(&image);
    EmergencyPlot::Drawn drawn;
    EmergencyPlot::draw(painter, QRectF(6, 6, 408, 303), room, EmergencyPlot::reaches(room, lights), 12, &drawn);
    painter.end();
    QVERIFY(drawn.strips >= strips);
    QVERIFY(!drawn.minimum.isEmpty());
    for (const QRectF &label : std::as_const(drawn.labels))
        for (const QRectF &m : std::as_const(drawn.minimum))
            QVERIFY2(!label.intersects(m), qPrintable(QStringLiteral("label (%1, %2) on the minimum").arg(label.x()).arg(label.y())));
    // The legend says what the marks are.
    QCOMPARE(drawn.labels.size() >= 4 + strips, true);
}

void TestEmergencySheet::importShowsTheFileFirst()
{
    QTemporaryDir dir;
    writeMaster(dir.path());
    const QString ies = dir.filePath(QStringLiteral("FHF32-EM.ies"));
    TestEnv::writeBytes(ies, lambertianIes().replace("[TEST] LAMBERT", "[LUMINAIRE] EM-LAMBERT"));
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(dir.path());
    const QByteArray before = TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv")));
    QString shown, source;
    bool curve = false;
    f.dialogs.paths = {ies};
    f.dialogs.dialogAnswers = {[&](QDialog &d) -> int {
        auto *combo = d.findChild<QComboBox *>(QStringLiteral("Cmb_Source"));
        source = combo->currentText(); // before a file: no source chosen
        QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("Btn_File")), Qt::LeftButton);
        shown = d.findChild<QLabel *>(QStringLiteral("Lbl_Preview"))->text();
        curve = !d.findChild<QLabel *>(QStringLiteral("Lbl_Curve"))->pixmap().isNull();
        d.findChild<QLineEdit *>(QStringLiteral("Txt_Flux"))->setText(QStringLiteral("200"));
        d.accept();
        return d.result();
    }};
    f.click(QStringLiteral("Btn_Import"));
    QCOMPARE(source, QStringLiteral("（選んでください）"));
    QVERIFY(curve);
    QVERIFY2(shown.contains(QStringLiteral("EM-LAMBERT")) && shown.contains(QStringLiteral("1,000.0 lm")), qPrintable(shown));
    // The file's name says FHF: 蛍光灯 proposed, and taken.
    QVERIFY(shown.contains(QStringLiteral("蛍光灯")));
    const EmergencyMaster::Luminaire *l = f.sheet->master().find(4);
    QVERIFY(l);
    QCOMPARE(l->source, EmergencyMaster::Source::Fluorescent);
    QVERIFY(TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv"))) != before);
    // Without a source the import is refused, nothing written.
    const QByteArray now = TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv")));
    const QString led = dir.filePath(QStringLiteral("downlight.ies"));
    TestEnv::writeBytes(led, lambertianIes());
    QString refused;
    f.dialogs.dialogAnswers = {[&](QDialog &d) -> int {
        d.findChild<QLineEdit *>(QStringLiteral("Txt_File"))->setText(led);
        d.findChild<QLineEdit *>(QStringLiteral("Txt_Flux"))->setText(QStringLiteral("200"));
        d.accept();
        refused = d.findChild<QLabel *>(QStringLiteral("Lbl_Error"))->text();
        return d.result();
    }};
    f.click(QStringLiteral("Btn_Import"));
    QVERIFY2(refused.contains(QStringLiteral("光源を選んでください")), qPrintable(refused));
    QCOMPARE(TestEnv::readBytes(dir.filePath(QStringLiteral("hijou.csv"))), now);
}

void TestEmergencySheet::longReportCanBeCancelled()
{
    SheetFixtureT<FHijou> f(TestEnv::sampleMasters());
    f.sheet->setProgramDir(TestEnv::buildDir());
    f.dialogs.paths = {example(QStringLiteral("office-3f-emergency.syw"))};
    f.sheet->Menu_File_Open_Click();
    QString seen;
    const auto watch = [&seen] {
        QTimer::singleShot(300, [&seen] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
    };
    // Cancelled at the fourth room: no report, said so, the file as it was.
    f.dialogs.cancelAt = 3;
    watch();
    f.sheet->Menu_File_Preview_Click();
    QApplication::processEvents();
    QTest::qWait(400);
    QCOMPARE(seen, QString());
    QCOMPARE(f.dialogs.progressSteps, (QList<int>{0, 1, 2, 3}));
    QCOMPARE(f.sheet->statusMessage(), QStringLiteral("計算を取り消しました。"));
    QVERIFY(!f.sheet->isWindowModified());
    // Not cancelled: every room, then the preview.
    f.dialogs.cancelAt = -1;
    f.dialogs.progressSteps.clear();
    watch();
    f.sheet->Menu_File_Preview_Click();
    QCOMPARE(seen, QStringLiteral("QPrintPreviewDialog"));
    QCOMPARE(f.dialogs.progressSteps.size(), 31); // 30 rooms and the end
    QCOMPARE(f.dialogs.progressSteps.last(), 30);
}

void TestEmergencySheet::largeCheckWrittenWithinBoundedMemory()
{
    // 20 rooms of 100 m × 100 m: 160,801 points each, a points.csv of 115 MB.
    QTemporaryDir home;
    RecordGrid g(kHeadingsRow, kColumns);
    for (int r = 1; r <= 20; ++r) {
        putRoom(g, r, QStringLiteral("ホール%1").arg(r), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("3.0"));
        putKind(g, r, QStringLiteral("1"), QStringLiteral("1"));
    }
    const QString in = home.filePath(QStringLiteral("big.syw"));
    QVERIFY(WorkFile::save(g, in));
    const QString out = home.filePath(QStringLiteral("out"));
    // Within 256 MB of address space: the points are written as each room is worked out.
    const Batch b = batch(home.path(), {QStringLiteral("--emergency-csv"), in, out}, rlim_t(256) << 20);
    QVERIFY2(b.status == 0, qPrintable(b.err));
    QFile points(out + QStringLiteral("/points.csv"));
    QVERIFY(points.size() > 100 * 1000 * 1000);
    const QList<QStringList> rooms = csvLines(out + QStringLiteral("/rooms.csv"));
    QCOMPARE(rooms.size(), 21);
    QCOMPARE(rooms.last().value(11), QStringLiteral("160801"));
    // The last room's last point, where the file ends.
    QVERIFY(points.open(QIODevice::ReadOnly));
    points.seek(points.size() - 200);
    const QList<QByteArray> tail = points.readAll().split('\n');
    QVERIFY(tail.value(tail.size() - 2).startsWith("20,100,100,"));
}

void TestEmergencySheet::layoutsAndHeightsAsTyped_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QString>("layout");   // of row 1 ("" the count's)
    QTest::addColumn<QString>("height2");  // 取付高さ of the room's second row
    QTest::addColumn<QString>("refused");  // "" when worked out
    QTest::addColumn<int>("positions");    // row 1's
    // 12 m × 2 m: x runs along 間口, y along 奥行.
    QTest::newRow("a trailing semicolon") << "12" << "2" << "1,1;5,1;" << "" << "" << 2;
    QTest::newRow("x along 間口") << "12" << "2" << "10,1" << "" << "" << 1;
    QTest::newRow("y beyond 奥行") << "12" << "2" << "1,10" << "" << "配置「1,10」は室の外です" << 0;
    QTest::newRow("the second row's own height") << "12" << "2" << "" << "4.0" << "" << 1;
    // 8.1 m × 6.05 m: 33 × 25 steps, none over 0.25 m.
    QTest::newRow("steps of at most 0.25 m") << "8.1" << "6.05" << "" << "" << "" << 1;
}

void TestEmergencySheet::layoutsAndHeightsAsTyped()
{
    QFETCH(QString, width);
    QFETCH(QString, depth);
    QFETCH(QString, layout);
    QFETCH(QString, height2);
    QFETCH(QString, refused);
    QFETCH(int, positions);
    QTemporaryDir dir;
    writeMaster(dir.path(), 300);
    EmergencyMaster::Master master;
    QString why;
    QVERIFY(EmergencyMaster::load(dir.path(), &master, &why));
    RecordGrid g(kHeadingsRow, kColumns);
    putRoom(g, 1, QStringLiteral("廊下"), width, depth, QStringLiteral("2.6"));
    putKind(g, 1, QStringLiteral("1"), layout.isEmpty() ? QStringLiteral("1") : QString(), QStringLiteral("2.5"), layout);
    if (!height2.isEmpty()) {
        putRoom(g, 2, QStringLiteral("廊下"), width, depth, QStringLiteral("2.6"));
        putKind(g, 2, QStringLiteral("2"), QStringLiteral("1"), height2);
    }
    EmergencyRooms::Lights lights;
    EmergencyRooms::Room room;
    QList<EmergencyRooms::Refusal> refusals;
    const bool ok = EmergencyRooms::evaluate(g, EmergencyRooms::roomRows(g, 1), master, &lights, &room, &refusals);
    QCOMPARE(ok, refused.isEmpty());
    if (!ok) {
        QVERIFY2(refusals.first().message().contains(refused), qPrintable(refusals.first().message()));
        return;
    }
    QCOMPARE(room.kinds.first().positions.size(), positions);
    if (!height2.isEmpty()) {
        QCOMPARE(room.kinds.first().height, 2.5);
        QCOMPARE(room.kinds.last().height, 4.0);
    }
    // The grid: the fewest steps of at most 0.25 m on each side.
    const int nx = int(std::ceil(width.toDouble() / 0.25 - 1e-9)), ny = int(std::ceil(depth.toDouble() / 0.25 - 1e-9));
    QCOMPARE(room.result.grid.nx, nx);
    QCOMPARE(room.result.grid.ny, ny);
    QVERIFY(room.result.grid.stepX() <= 0.25 + 1e-12 && room.result.grid.stepY() <= 0.25 + 1e-12);
}

void TestEmergencySheet::masterFluxSaysWhatIsWrong_data()
{
    QTest::addColumn<QString>("flux");
    QTest::addColumn<QString>("said"); // "" when it loads
    QTest::newRow("exponent form") << "1e308" << "非常時光束「1e308」は指数表記です（小数で入力してください）。";
    QTest::newRow("too large") << "2000000" << "非常時光束「2000000」は大きすぎます（1,000,000 lm まで）。";
    QTest::newRow("zero") << "0" << "非常時光束「0」は正の数ではありません。";
    QTest::newRow("no number") << "二百" << "非常時光束「二百」は数値ではありません。";
    QTest::newRow("the largest") << "1000000" << "";
}

void TestEmergencySheet::masterFluxSaysWhatIsWrong()
{
    QFETCH(QString, flux);
    QFETCH(QString, said);
    QTemporaryDir dir;
    writeMaster(dir.path());
    TestEnv::writeBytes(dir.filePath(QStringLiteral("hijou.csv")),
                        "slot,形式,光源種別,非常時光束,配光ファイル,備考\n1,LAMBERT-LED,LED," + flux.toUtf8() + ",photometry/lambert.ies,\n");
    EmergencyMaster::Master master;
    QString why;
    QCOMPARE(EmergencyMaster::load(dir.path(), &master, &why), said.isEmpty());
    QVERIFY2(said.isEmpty() ? why.isEmpty() : why.endsWith(said), qPrintable(why));
}

QTEST_MAIN(TestEmergencySheet)
#include "tst_emergency_sheet.moc"
