// The plans as DXF, read back by an independent reader (ezdxf): the version and code page, an
// audit without errors, the layers and what is on them, rooms to scale in millimetres floor by
// floor, a Japanese name (and a character code page 932 lacks) coming back, and the isolux lines of
// one Lambertian luminaire lying where the closed form E = I0 h² / (r² + h²)² gives their level.
#include "grid/WorkFile.h"
#include "illuminance/DistributionDxf.h"
#include "illuminance/FBunpu.h"
#include "master/MasterTables.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// What the reader makes of a drawing: its header, audit, layers and entities, as JSON.
const char *kReader = R"PY(
import json, sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
out = {"version": doc.dxfversion, "codepage": doc.header.get("$DWGCODEPAGE"), "errors": len(auditor.errors),
       "layers": {l.dxf.name: {"off": l.is_off(), "linetype": l.dxf.linetype} for l in doc.layers},
       "entities": []}
for e in doc.modelspace():
    item = {"type": e.dxftype(), "layer": e.dxf.layer}
    if e.dxftype() == "POLYLINE":
        item["closed"] = e.is_closed
        item["points"] = [[v.dxf.location[0], v.dxf.location[1]] for v in e.vertices]
    elif e.dxftype() == "TEXT":
        item["text"] = e.dxf.text
        item["at"] = [e.dxf.insert[0], e.dxf.insert[1]]
    elif e.dxftype() in ("CIRCLE", "POINT"):
        c = e.dxf.center if e.dxftype() == "CIRCLE" else e.dxf.location
        item["at"] = [c[0], c[1]]
    out["entities"].append(item)
print(json.dumps(out))
)PY";

QJsonObject readBack(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(kReader), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("%s", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QList<QJsonObject> on(const QJsonObject &drawing, const QString &layer, const QString &type)
{
    QList<QJsonObject> out;
    for (const QJsonValue &v : drawing.value(QStringLiteral("entities")).toArray()) {
        const QJsonObject e = v.toObject();
        if (e.value(QStringLiteral("layer")).toString() == layer && e.value(QStringLiteral("type")).toString() == type)
            out.append(e);
    }
    return out;
}

QPointF pointOf(const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    return QPointF(a.at(0).toDouble(), a.at(1).toDouble());
}

// A room of `w` × `d` m with one luminaire of I = I0 cos γ in its middle, `h` above the work plane,
// worked out with nothing inter-reflected (a 照明率 of 0 leaves the uniform part 0).
RoomDistribution::Outcome lambertianRoom(double w, double d, double h, const QString &name, int row)
{
    const double i0 = 1000;
    Photometry p;
    p.format = QStringLiteral("test");
    p.lamps = 1;
    p.lampFlux = M_PI * i0;
    p.cAngles = {0, 360};
    for (int g = 0; g <= 180; ++g)
        p.gAngles.append(g);
    QList<double> plane;
    for (double g : std::as_const(p.gAngles))
        plane.append(g <= 90 ? i0 * std::cos(g * M_PI / 180) : 0.0);
    p.candela = {plane, plane};
    p.opening.shape = Opening::Shape::Rectangle;
    p.opening.length = 0.6;
    p.opening.width = 0.3;
    RoomDistribution::Outcome o;
    o.row = row;
    o.rows = {row};
    o.name = name;
    o.room.width = w;
    o.room.depth = d;
    o.room.area = w * d;
    o.room.height = 0.85 + h;
    o.room.workPlane = 0.85;
    o.room.reflectances = std::array<double, 3>{0.7, 0.5, 0.1};
    o.room.method = Distribution::InterReflection::Uniform;
    Distribution::Source s;
    s.photometry = p;
    s.fluxPerLuminaire = p.lampFlux;
    s.maintenance = 1;
    s.utilization = 0;
    s.height = h;
    s.fittings = 1;
    s.layout = Distribution::Layout::grid(1, 1);
    o.room.sources = {s};
    RoomDistribution::Part part;
    part.row = row;
    part.slot = 7;
    part.luminaire = QStringLiteral("試験用器具");
    part.maintenance = 1;
    part.height = h;
    part.fittings = 1;
    o.parts = {part};
    QString error;
    o.ok = Distribution::compute(o.room, &o.result, &error);
    o.glare = RoomGlare::compute(o.room, o.result);
    return o;
}

} // namespace

class TestDxf : public QObject
{
    Q_OBJECT
private slots:
    void distributionReadBack_data();
    void distributionReadBack();
    void emergencyReadBack();
    void batchStatuses();
    void fromTheDistributionWindow();
};

void TestDxf::distributionReadBack_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("depth");
    QTest::addColumn<double>("height");
    QTest::newRow("8 × 6 m, 2.0 m above the work plane") << 8.0 << 6.0 << 2.0;
    QTest::newRow("12 × 5 m, 3.0 m above") << 12.0 << 5.0 << 3.0;
}

void TestDxf::distributionReadBack()
{
    QFETCH(double, width);
    QFETCH(double, depth);
    QFETCH(double, height);
    const RoomDistribution::Outcome first = lambertianRoom(width, depth, height, QStringLiteral("試験室（ＤＸＦ）𠮷"), 3);
    const RoomDistribution::Outcome second = lambertianRoom(5, 4, height, QStringLiteral("二階の室"), 9);
    QVERIFY(first.ok && second.ok);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.dxf"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(DistributionDxf::drawing({first, second}, {QStringLiteral("1F"), QStringLiteral("2F")}, false));
    }
    const QJsonObject d = readBack(path);
    QVERIFY2(!d.isEmpty(), "the reader could not read the drawing");
    QCOMPARE(d.value(QStringLiteral("version")).toString(), QStringLiteral("AC1009"));
    QCOMPARE(d.value(QStringLiteral("codepage")).toString(), QStringLiteral("ANSI_932"));
    QCOMPARE(d.value(QStringLiteral("errors")).toInt(), 0);
    const QJsonObject layers = d.value(QStringLiteral("layers")).toObject();
    for (const char *name : {"ROOM", "LUMINAIRE", "LUMINAIRE-TEXT", "ISOLUX", "ISOLUX-TEXT", "GRID-TEXT", "UGR", "NOTE"})
        QVERIFY2(layers.contains(QString::fromLatin1(name)), name);
    QVERIFY(layers.value(QStringLiteral("GRID-TEXT")).toObject().value(QStringLiteral("off")).toBool());
    QVERIFY(!layers.value(QStringLiteral("ISOLUX")).toObject().value(QStringLiteral("off")).toBool());
    // Rooms: closed outlines of their sides in mm, the second floor's band 2 m above the first's.
    const QList<QJsonObject> rooms = on(d, QStringLiteral("ROOM"), QStringLiteral("POLYLINE"));
    QCOMPARE(rooms.size(), 2);
    QList<QRectF> boxes;
    for (const QJsonObject &r : rooms) {
        QVERIFY(r.value(QStringLiteral("closed")).toBool());
        const QJsonArray pts = r.value(QStringLiteral("points")).toArray();
        QCOMPARE(pts.size(), 4);
        QPolygonF poly;
        for (const QJsonValue &v : pts)
            poly.append(pointOf(v));
        boxes.append(poly.boundingRect());
    }
    QCOMPARE(boxes[0].size(), QSizeF(width * 1000, depth * 1000));
    QCOMPARE(boxes[1].size(), QSizeF(5000, 4000));
    QVERIFY2(boxes[1].top() >= boxes[0].bottom() + 2000, "the floors' bands overlap");
    // The title comes back in Japanese; a character code page 932 lacks as \U+.
    bool titled = false;
    for (const QJsonObject &t : on(d, QStringLiteral("ROOM"), QStringLiteral("TEXT")))
        titled = titled || (t.value(QStringLiteral("text")).toString().contains(QStringLiteral("試験室（ＤＸＦ）\\U+20BB7"))
                            && t.value(QStringLiteral("text")).toString().contains(QStringLiteral("1F")));
    QVERIFY(titled);
    // The luminaire: its 0.6 × 0.3 m opening, C0 along x, at the room's middle.
    const QList<QJsonObject> lums = on(d, QStringLiteral("LUMINAIRE"), QStringLiteral("POLYLINE"));
    QCOMPARE(lums.size(), 2);
    QPolygonF lum;
    for (const QJsonValue &v : lums[0].value(QStringLiteral("points")).toArray())
        lum.append(pointOf(v));
    QCOMPARE(lum.boundingRect().size(), QSizeF(600, 300));
    const QPointF centre = boxes[0].center();
    QVERIFY(QLineF(lum.boundingRect().center(), centre).length() < 1e-6);
    // Every point's value, and four observers a room.
    QCOMPARE(on(d, QStringLiteral("GRID-TEXT"), QStringLiteral("TEXT")).size(),
             first.result.grid.count() + second.result.grid.count());
    QCOMPARE(on(d, QStringLiteral("UGR"), QStringLiteral("POLYLINE")).size(), 8);
    // Each isolux line of the first room: its level is the text at its middle vertex; every vertex
    // lies where the closed form gives that level, within 2 %.
    const QList<QJsonObject> levels = on(d, QStringLiteral("ISOLUX-TEXT"), QStringLiteral("TEXT"));
    int checked = 0;
    for (const QJsonObject &line : on(d, QStringLiteral("ISOLUX"), QStringLiteral("POLYLINE"))) {
        const QJsonArray pts = line.value(QStringLiteral("points")).toArray();
        QPolygonF poly;
        for (const QJsonValue &v : pts)
            poly.append(pointOf(v));
        if (!boxes[0].adjusted(-1, -1, 1, 1).contains(poly.boundingRect()))
            continue;
        double level = -1;
        for (const QJsonObject &t : levels)
            if (QLineF(pointOf(t.value(QStringLiteral("at"))), poly[poly.size() / 2]).length() < 1e-6)
                level = t.value(QStringLiteral("text")).toString().toDouble();
        QVERIFY2(level > 0, "an isolux line without its level");
        for (const QPointF &p : std::as_const(poly)) {
            const double r2 = std::pow((p.x() - centre.x()) / 1000, 2) + std::pow((p.y() - centre.y()) / 1000, 2);
            const double e = 1000 * height * height / std::pow(r2 + height * height, 2);
            QVERIFY2(std::fabs(e - level) <= 0.02 * level,
                     qPrintable(QStringLiteral("(%1, %2): %3 lx on the %4 lx line").arg(p.x()).arg(p.y()).arg(e).arg(level)));
        }
        ++checked;
    }
    QVERIFY2(checked >= 3, qPrintable(QString::number(checked)));
}

void TestDxf::emergencyReadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.dxf"));
    QProcess p;
    p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
    p.start(TestEnv::program(QStringLiteral("prx5m")),
            {QStringLiteral("--dxf"), QStringLiteral("emergency"),
             QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f-emergency.syw")), path});
    QVERIFY(p.waitForFinished(120000));
    QCOMPARE(p.exitCode(), 0);
    const QJsonObject d = readBack(path);
    QVERIFY(!d.isEmpty());
    QCOMPARE(d.value(QStringLiteral("errors")).toInt(), 0);
    const QJsonObject layers = d.value(QStringLiteral("layers")).toObject();
    QCOMPARE(layers.value(QStringLiteral("REACH")).toObject().value(QStringLiteral("linetype")).toString(), QStringLiteral("DASHED"));
    for (const char *name : {"ROOM", "LUMINAIRE", "REACH", "CONTOUR", "MINIMUM", "CHECK-TEXT", "NOTE"})
        QVERIFY2(layers.contains(QString::fromLatin1(name)), name);
    // A reach ellipse for each luminaire; a title and a verdict for each room; the corridor of
    // row 19 (30 × 2 m) to scale.
    QCOMPARE(on(d, QStringLiteral("REACH"), QStringLiteral("POLYLINE")).size(), on(d, QStringLiteral("LUMINAIRE"), QStringLiteral("CIRCLE")).size());
    const QList<QJsonObject> rooms = on(d, QStringLiteral("ROOM"), QStringLiteral("POLYLINE"));
    QCOMPARE(on(d, QStringLiteral("CHECK-TEXT"), QStringLiteral("TEXT")).size(), rooms.size());
    bool corridor = false;
    for (const QJsonObject &r : rooms) {
        QPolygonF poly;
        for (const QJsonValue &v : r.value(QStringLiteral("points")).toArray())
            poly.append(pointOf(v));
        corridor = corridor || poly.boundingRect().size() == QSizeF(30000, 2000);
    }
    QVERIFY(corridor);
    bool failing = false;
    for (const QJsonObject &t : on(d, QStringLiteral("CHECK-TEXT"), QStringLiteral("TEXT")))
        failing = failing || t.value(QStringLiteral("text")).toString().startsWith(QStringLiteral("判定 不適合　最小照度 0.56 lx"));
    QVERIFY(failing);
}

void TestDxf::batchStatuses()
{
    QTemporaryDir dir;
    const QString example = QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"));
    const auto run = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(TestEnv::batchEnvironment(dir.path()));
        p.start(TestEnv::program(QStringLiteral("prx5m")), args);
        p.waitForFinished(120000);
        return p.exitCode();
    };
    const QString out = dir.filePath(QStringLiteral("d.dxf"));
    QCOMPARE(run({QStringLiteral("--dxf"), QStringLiteral("distribution"), QStringLiteral("--interreflection"),
                  QStringLiteral("uniform"), example, out}),
             0);
    const QJsonObject d = readBack(out);
    QCOMPARE(d.value(QStringLiteral("errors")).toInt(), 0);
    QCOMPARE(on(d, QStringLiteral("ROOM"), QStringLiteral("POLYLINE")).size(), 30);
    QCOMPARE(run({QStringLiteral("--dxf"), QStringLiteral("plans"), example, out}), 2);
    QCOMPARE(run({QStringLiteral("--dxf"), QStringLiteral("emergency"), QStringLiteral("--interreflection"),
                  QStringLiteral("uniform"), example, out}),
             2);
    // A target that cannot be written (a folder of that name): status 4, the folder as it was.
    const QString folder = dir.filePath(QStringLiteral("taken.dxf"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/inside")));
    QCOMPARE(run({QStringLiteral("--dxf"), QStringLiteral("distribution"), example, folder}), 4);
    QVERIFY(QFileInfo(folder + QStringLiteral("/inside")).isDir());
}

void TestDxf::fromTheDistributionWindow()
{
    // 照度分布 of the example's office: "この室" writes the office alone, "ファイルの全室" every room.
    RecordGrid g(221, 38);
    QVERIFY(WorkFile::load(g, QDir(TestEnv::sourceDir()).filePath(QStringLiteral("examples/office-3f.syw"))));
    const MasterTables masters = TestEnv::sampleMasters();
    QTemporaryDir dir;
    ScriptedDialogs scripted;
    FBunpu window(g, 3, masters, TestEnv::buildDir(), RoomDistribution::headingsOf(g, QString()), dir.path());
    const QString one = dir.filePath(QStringLiteral("one.dxf")), all = dir.filePath(QStringLiteral("all.dxf"));
    scripted.paths = {one, all};
    auto *room = window.findChild<QAction *>(QStringLiteral("Act_DxfRoom"));
    auto *every = window.findChild<QAction *>(QStringLiteral("Act_DxfAll"));
    QVERIFY(room && every);
    room->trigger();
    every->trigger();
    const QJsonObject single = readBack(one), whole = readBack(all);
    QCOMPARE(on(single, QStringLiteral("ROOM"), QStringLiteral("POLYLINE")).size(), 1);
    QCOMPARE(on(whole, QStringLiteral("ROOM"), QStringLiteral("POLYLINE")).size(), 30);
    // The office's 46 luminaires, and its points' values on a layer that is off (the window's
    // "計算点の値を表示" is off).
    QCOMPARE(on(single, QStringLiteral("LUMINAIRE"), QStringLiteral("POLYLINE")).size(), 46);
    QVERIFY(single.value(QStringLiteral("layers")).toObject().value(QStringLiteral("GRID-TEXT")).toObject().value(QStringLiteral("off")).toBool());
}

QTEST_MAIN(TestDxf)
#include "tst_dxf.moc"
