#include "emergency/EmergencyDxf.h"

#include "emergency/EmergencyPlot.h"
#include "photometry/DistributionPlot.h"
#include "report/Dxf.h"
#include "text/NumberText.h"

#include <cmath>

namespace EmergencyDxf {

namespace {

constexpr double kMm = 1000;
constexpr double kBelow = 1.4; // m under a room for its title and figures

const QString kRoom = QStringLiteral("ROOM");
const QString kLuminaire = QStringLiteral("LUMINAIRE");
const QString kReach = QStringLiteral("REACH");
const QString kContour = QStringLiteral("CONTOUR");
const QString kMinimum = QStringLiteral("MINIMUM");
const QString kCheckText = QStringLiteral("CHECK-TEXT");
const QString kNote = QStringLiteral("NOTE");

QString metres(double v)
{
    return NumberText::format(v, QStringLiteral("0.0#"));
}

void room(Dxf::Drawing &d, const EmergencyRooms::Room &r, const QList<std::array<double, 2>> &reaches, QPointF origin)
{
    const auto at = [&](QPointF p) { return (origin + p) * kMm; };
    const double w = r.width, h = r.depth;
    d.polyline(kRoom, {at({0, 0}), at({w, 0}), at({w, h}), at({0, h})}, true);
    d.text(kRoom, at({0, -0.5}), 300, QStringLiteral("%1　%2 行目　%3　%4 × %5 m").arg(r.floor, r.rowsText(), r.name, metres(w), metres(h)));
    const QString threshold = NumberText::plain(r.threshold);
    if (!r.checked) {
        d.text(kCheckText, at({0, -1.0}), 180, QStringLiteral("判定 %1　%2").arg(EmergencyPlot::verdict(r), r.remark.trimmed()));
        return;
    }
    const QString minimum = NumberText::format(EmergencyCheck::printedMinimum(r.result.minimum), QStringLiteral("0.00"));
    d.text(kCheckText, at({0, -1.0}), 180,
           QStringLiteral("判定 %1　最小照度 %2 lx（基準 %3 lx）").arg(EmergencyPlot::verdict(r), minimum, threshold));
    for (qsizetype k = 0; k < r.kinds.size(); ++k) {
        const std::array<double, 2> reach = reaches.value(k);
        for (const QPointF &p : r.kinds[k].positions) {
            d.circle(kLuminaire, at(p), 100);
            if (reach[0] > 0 && reach[1] > 0) {
                QList<QPointF> ellipse;
                for (int s = 0; s < 72; ++s)
                    ellipse.append(at(p + QPointF(reach[0] * std::cos(s * M_PI / 36), reach[1] * std::sin(s * M_PI / 36))));
                d.polyline(kReach, ellipse, true);
            }
        }
    }
    for (const QList<QPointF> &stroke : DistributionPlot::strokes(EmergencyPlot::contour(r.result), 1e6)) {
        QList<QPointF> points;
        for (const QPointF &p : stroke)
            points.append(at(p));
        const bool closed = points.size() > 3 && QLineF(points.first(), points.last()).length() < 1e-6;
        if (closed)
            points.removeLast();
        d.polyline(kContour, points, closed);
    }
    if (!r.kinds.isEmpty()) {
        const QPointF m = at(r.result.at);
        d.line(kMinimum, m + QPointF(-150, -150), m + QPointF(150, 150));
        d.line(kMinimum, m + QPointF(-150, 150), m + QPointF(150, -150));
        d.text(kMinimum, m + QPointF(200, 100), 150, QStringLiteral("最小 %1 lx").arg(minimum));
    }
}

} // namespace

QByteArray drawing(const QList<EmergencyRooms::Room> &rooms, const EmergencyRooms::Lights &lights)
{
    Dxf::Drawing d;
    d.addLayer({kRoom, 7});
    d.addLayer({kLuminaire, 1});
    d.addLayer({kReach, 4, true});
    d.addLayer({kContour, 1});
    d.addLayer({kMinimum, 6});
    d.addLayer({kCheckText, 7});
    d.addLayer({kNote, 7});
    QStringList floors;
    QList<QSizeF> sizes;
    for (const EmergencyRooms::Room &r : rooms) {
        floors.append(r.floor);
        sizes.append(QSizeF(r.width, r.depth));
    }
    const QList<QPointF> origins = Dxf::layOut(floors, sizes, kBelow);
    for (qsizetype k = 0; k < rooms.size(); ++k)
        room(d, rooms[k], EmergencyPlot::reaches(rooms[k], lights), origins[k]);
    if (!rooms.isEmpty())
        d.text(kNote, QPointF(0, -0.6 * kMm), 200, EmergencyPlot::note());
    return d.bytes();
}

} // namespace EmergencyDxf
