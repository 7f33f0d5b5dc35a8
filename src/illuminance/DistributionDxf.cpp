#include "illuminance/DistributionDxf.h"

#include "photometry/DistributionPlot.h"
#include "report/Dxf.h"
#include "text/NumberText.h"

#include <cmath>

namespace DistributionDxf {

namespace {

constexpr double kMm = 1000;
constexpr double kBelow = 1.4; // m under a room for its title and note

const QString kRoom = QStringLiteral("ROOM");
const QString kLuminaire = QStringLiteral("LUMINAIRE");
const QString kLuminaireText = QStringLiteral("LUMINAIRE-TEXT");
const QString kIsolux = QStringLiteral("ISOLUX");
const QString kIsoluxText = QStringLiteral("ISOLUX-TEXT");
const QString kGridText = QStringLiteral("GRID-TEXT");
const QString kUgr = QStringLiteral("UGR");
const QString kNote = QStringLiteral("NOTE");

QString lx(double v)
{
    return NumberText::format(v, QStringLiteral("0"));
}

QString metres(double v)
{
    return NumberText::format(v, QStringLiteral("0.0#"));
}

// A luminaire's opening to scale at its place (C0 along +x), or a point where there is none.
void luminaire(Dxf::Drawing &d, const Opening &o, QPointF at)
{
    if (!o.present()) {
        d.point(kLuminaire, at * kMm);
        return;
    }
    if (o.shape == Opening::Shape::Rectangle) {
        const double a = o.length / 2, b = o.width / 2;
        d.polyline(kLuminaire, {(at + QPointF(-a, -b)) * kMm, (at + QPointF(a, -b)) * kMm, (at + QPointF(a, b)) * kMm,
                                (at + QPointF(-a, b)) * kMm},
                   true);
        return;
    }
    const double a = o.length / 2, b = o.shape == Opening::Shape::Sphere ? a : o.width / 2;
    if (std::fabs(a - b) < 1e-9) {
        d.circle(kLuminaire, at * kMm, a * kMm);
        return;
    }
    QList<QPointF> ellipse;
    for (int k = 0; k < 48; ++k)
        ellipse.append((at + QPointF(a * std::cos(k * M_PI / 24), b * std::sin(k * M_PI / 24))) * kMm);
    d.polyline(kLuminaire, ellipse, true);
}

QString note(const RoomDistribution::Outcome &o)
{
    QStringList factors;
    for (const RoomDistribution::Part &p : o.parts)
        factors.append(NumberText::format(p.maintenance, QStringLiteral("0.00")));
    return QStringLiteral("照度 lx：作業面 %1 m、保守率 %2、直接＋%3。UGR は初期光束、目の高さ %4 m")
        .arg(NumberText::format(o.room.workPlane, QStringLiteral("0.00")), factors.join(u'/'),
             o.result.surfaces ? QStringLiteral("相互反射（ラジオシティ）") : QStringLiteral("相互反射（一様・光束法）"),
             NumberText::format(o.glare.observers.isEmpty() ? RoomDistribution::savedEyeHeight() : o.glare.observers.first().eye,
                                QStringLiteral("0.0")));
}

void room(Dxf::Drawing &d, const RoomDistribution::Outcome &o, const QString &floor, QPointF origin)
{
    const double w = o.room.width, h = o.room.depth;
    const auto at = [&](QPointF p) { return (origin + p) * kMm; };
    d.polyline(kRoom, {at({0, 0}), at({w, 0}), at({w, h}), at({0, h})}, true);
    d.text(kRoom, at({0, -0.5}), 300,
           QStringLiteral("%1　%2 行目　%3　%4 × %5 m").arg(floor, o.rowsText(), o.name, metres(w), metres(h)));
    if (!o.ok) {
        d.text(kNote, at({0, -1.0}), 180, QStringLiteral("照度分布なし：") + o.reason);
        return;
    }
    d.text(kNote, at({0, -1.0}), 180, note(o));
    const Distribution::Result &r = o.result;
    for (qsizetype k = 0; k < r.luminaires.size() && k < o.room.sources.size(); ++k) {
        const RoomDistribution::Part &part = o.parts.value(k);
        const QString name = part.slot > 0 ? QString::number(part.slot) : part.luminaire.trimmed();
        for (const QPointF &l : r.luminaires[k]) {
            luminaire(d, o.room.sources[k].photometry.opening, origin + l);
            d.text(kLuminaireText, at(l + QPointF(0.12, 0.12)), 100, name);
        }
    }
    // The report's levels, from the report's samples.
    const DistributionPlot::Samples samples = DistributionPlot::sample(o.room, r);
    for (double level : DistributionPlot::levels(samples.low, samples.high))
        for (const QPolygonF &piece : DistributionPlot::isolux(samples, w, h, level)) {
            QList<QPointF> points;
            for (const QPointF &p : piece)
                points.append(at(p));
            const bool closed = points.size() > 3 && QLineF(points.first(), points.last()).length() < 1e-6;
            if (closed)
                points.removeLast();
            d.polyline(kIsolux, points, closed);
            d.text(kIsoluxText, points[points.size() / 2], 150, lx(level), Dxf::Align::Centre);
        }
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i)
            d.text(kGridText, at(r.grid.point(i, j)), 80, lx(r.total[j * r.grid.cellsX + i]), Dxf::Align::Centre);
    for (const RoomGlare::Observer &ob : o.glare.observers) {
        const double a = ob.view * M_PI / 180;
        const QPointF ahead(std::cos(a), std::sin(a)), side(-std::sin(a), std::cos(a));
        const QPointF eye(ob.x, ob.y);
        d.polyline(kUgr, {at(eye + ahead * 0.2), at(eye - ahead * 0.12 + side * 0.14), at(eye - ahead * 0.12 - side * 0.14)}, true);
        d.text(kUgr, at(eye + ahead * 0.45), 120,
               ob.ugr ? QStringLiteral("UGR %1").arg(NumberText::format(*ob.ugr, QStringLiteral("0.0"))) : QStringLiteral("UGR —"),
               Dxf::Align::Centre);
    }
}

} // namespace

QByteArray drawing(const QList<RoomDistribution::Outcome> &rooms, const QStringList &floors, bool gridTexts)
{
    Dxf::Drawing d;
    d.addLayer({kRoom, 7});
    d.addLayer({kLuminaire, 1});
    d.addLayer({kLuminaireText, 1});
    d.addLayer({kIsolux, 5});
    d.addLayer({kIsoluxText, 5});
    d.addLayer({kGridText, 8, false, !gridTexts});
    d.addLayer({kUgr, 3});
    d.addLayer({kNote, 7});
    QList<QSizeF> sizes;
    for (const RoomDistribution::Outcome &o : rooms)
        sizes.append(QSizeF(o.room.width, o.room.depth));
    const QList<QPointF> origins = Dxf::layOut(floors, sizes, kBelow);
    for (qsizetype k = 0; k < rooms.size(); ++k)
        room(d, rooms[k], floors.value(k), origins[k]);
    return d.bytes();
}

} // namespace DistributionDxf
