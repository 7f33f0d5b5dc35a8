#include "emergency/EmergencyPlot.h"

#include "emergency/ReachTable.h"
#include "text/NumberText.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace EmergencyPlot {

namespace {

QString metres(double v)
{
    return NumberText::format(v, QStringLiteral("0.00"));
}

// Where the threshold runs through a cell of the grid (marching squares): the segments, in metres.
QList<QLineF> contour(const EmergencyCheck::Result &r)
{
    QList<QLineF> out;
    const EmergencyCheck::Grid &g = r.grid;
    const double t = r.threshold;
    const auto e = [&](int i, int j) { return r.e[j * (g.nx + 1) + i]; };
    const auto cross = [&](QPointF a, double ea, QPointF b, double eb) {
        const double f = (t - ea) / (eb - ea);
        return a + (b - a) * f;
    };
    for (int j = 0; j < g.ny; ++j) {
        for (int i = 0; i < g.nx; ++i) {
            const QPointF p[4] = {g.point(i, j), g.point(i + 1, j), g.point(i + 1, j + 1), g.point(i, j + 1)};
            const double v[4] = {e(i, j), e(i + 1, j), e(i + 1, j + 1), e(i, j + 1)};
            QList<QPointF> hits;
            for (int k = 0; k < 4; ++k) {
                const int n = (k + 1) % 4;
                if ((v[k] < t) != (v[n] < t))
                    hits.append(cross(p[k], v[k], p[n], v[n]));
            }
            if (hits.size() == 2)
                out.append({hits[0], hits[1]});
            else if (hits.size() == 4) {
                out.append({hits[0], hits[1]});
                out.append({hits[2], hits[3]});
            }
        }
    }
    return out;
}

} // namespace

QList<std::array<double, 2>> reaches(const EmergencyRooms::Room &room, const EmergencyRooms::Lights &lights)
{
    QList<std::array<double, 2>> out;
    for (const EmergencyRooms::Kind &k : room.kinds) {
        const auto light = lights.constFind(k.slot);
        out.append(light == lights.constEnd() || k.height <= 0
                       ? std::array<double, 2>{0, 0}
                       : ReachTable::single(*light->table, light->scale, k.height, room.threshold));
    }
    return out;
}

QString verdict(const EmergencyRooms::Room &room)
{
    if (!room.checked)
        return QStringLiteral("対象外");
    return room.result.ok() ? QStringLiteral("適合") : QStringLiteral("不適合");
}

const QString &note()
{
    static const QString text = QStringLiteral("直接照度のみ、床面、保守率なし（建築基準法施行令第126条の5）");
    return text;
}

QStringList figures(const EmergencyRooms::Room &room)
{
    QStringList out;
    if (!room.checked) {
        out.append(QStringLiteral("判定対象外　%1").arg(room.remark));
        return out;
    }
    if (room.kinds.isEmpty())
        out.append(QStringLiteral("非常用照明器具なし"));
    for (const EmergencyRooms::Kind &k : room.kinds)
        out.append(QStringLiteral("%1 行目　%2（%3）　%4 台　取付高さ %5 m　%6")
                       .arg(k.row)
                       .arg(k.luminaire ? k.luminaire->name : QString::number(k.slot),
                            k.luminaire ? EmergencyMaster::sourceText(k.luminaire->source) : QString())
                       .arg(k.count)
                       .arg(NumberText::format(k.height, QStringLiteral("0.0#")), k.typed ? QStringLiteral("配置は入力")
                                                                                          : QStringLiteral("配置は自動")));
    const EmergencyCheck::Result &r = room.result;
    out.append(QStringLiteral("計算点 %1 × %2 m（%3 点、壁際と隅を含む）")
                   .arg(metres(r.grid.stepX()), metres(r.grid.stepY()))
                   .arg(r.grid.count()));
    out.append(QStringLiteral("基準照度 %1 lx　最小照度 %2 lx（x %3 m, y %4 m）")
                   .arg(NumberText::plain(room.threshold),
                        NumberText::format(EmergencyCheck::printedMinimum(r.minimum), QStringLiteral("0.00")),
                        metres(r.at.x()), metres(r.at.y())));
    out.append(QStringLiteral("基準未満の点 %1 / %2　判定 %3").arg(r.below).arg(r.grid.count()).arg(verdict(room)));
    return out;
}

void draw(QPainter &painter, const QRectF &area, const EmergencyRooms::Room &room,
          const QList<std::array<double, 2>> &reaches, double textHeight)
{
    painter.save();
    // The reach ellipses of luminaires near a wall reach past the drawing: they stop at its edge.
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    const EmergencyCheck::Result &r = room.result;
    const double w = room.width, d = room.depth;
    if (!(w > 0) || !(d > 0) || r.e.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter, room.checked ? QStringLiteral("（寸法がありません）") : QStringLiteral("判定対象外"));
        painter.restore();
        return;
    }
    // To scale, y up (奥行 from the bottom left corner), a margin for the scale's texts.
    const double margin = area.height() * 0.08;
    const double s = std::min((area.width() - 2 * margin) / w, (area.height() - 2 * margin) / d);
    const QPointF origin(area.center().x() - w * s / 2, area.center().y() + d * s / 2);
    const auto at = [&](QPointF m) { return QPointF(origin.x() + m.x() * s, origin.y() - m.y() * s); };
    // The points short of the threshold: their cells shaded.
    const EmergencyCheck::Grid &g = r.grid;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(230, 80, 80, 90));
    QPainterPath shade;
    for (int j = 0; j <= g.ny; ++j)
        for (int i = 0; i <= g.nx; ++i)
            if (r.e[j * (g.nx + 1) + i] < r.threshold * (1 - 1e-12)) {
                const QPointF p = g.point(i, j);
                const QPointF a = at({std::max(0.0, p.x() - g.stepX() / 2), std::min(d, p.y() + g.stepY() / 2)});
                const QPointF b = at({std::min(w, p.x() + g.stepX() / 2), std::max(0.0, p.y() - g.stepY() / 2)});
                shade.addRect(QRectF(a, b));
            }
    painter.drawPath(shade.simplified());
    // The floor.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, std::max(1.0, area.width() / 400)));
    painter.drawRect(QRectF(at({0, d}), at({w, 0})));
    // The threshold's contour.
    painter.setPen(QPen(QColor(200, 0, 0), std::max(1.0, area.width() / 500)));
    for (const QLineF &l : contour(r))
        painter.drawLine(at(l.p1()), at(l.p2()));
    // Reach ellipses and markers.
    const double marker = std::max(3.0, area.width() / 120);
    for (qsizetype k = 0; k < room.kinds.size(); ++k) {
        const EmergencyRooms::Kind &kind = room.kinds[k];
        const std::array<double, 2> reach = reaches.value(k);
        const QColor colour = k % 2 == 0 ? QColor(30, 90, 200) : QColor(20, 140, 60);
        for (const QPointF &p : kind.positions) {
            painter.setPen(QPen(colour, std::max(1.0, area.width() / 700), Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            if (reach[0] > 0 && reach[1] > 0)
                painter.drawEllipse(at(p), reach[0] * s, reach[1] * s);
            painter.setPen(QPen(colour, 1));
            painter.setBrush(colour);
            painter.drawEllipse(at(p), marker, marker);
        }
    }
    // The minimum.
    painter.setPen(QPen(QColor(200, 0, 0), std::max(1.5, area.width() / 350)));
    const QPointF m = at(r.at);
    painter.drawLine(m + QPointF(-marker * 1.6, -marker * 1.6), m + QPointF(marker * 1.6, marker * 1.6));
    painter.drawLine(m + QPointF(-marker * 1.6, marker * 1.6), m + QPointF(marker * 1.6, -marker * 1.6));
    // Sides.
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(textHeight))));
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Centred on their sides, as long as the drawing is (a narrow room's side is shorter than its text).
    const QPointF bottomLeft = at({0, 0});
    const double along = std::max(area.width(), area.height());
    // On white, over the reach ellipses that pass under them.
    const auto label = [&](const QRectF &box, Qt::Alignment align, const QString &text) {
        const QRectF used = painter.boundingRect(box, int(align), text);
        painter.fillRect(used.adjusted(-2, 0, 2, 0), Qt::white);
        painter.drawText(box, int(align), text);
    };
    label(QRectF(bottomLeft.x() + w * s / 2 - along / 2, bottomLeft.y() + 2, along, margin), Qt::AlignHCenter | Qt::AlignTop,
          QStringLiteral("間口 %1 m").arg(NumberText::plain(w)));
    painter.save();
    painter.translate(bottomLeft.x() - 2, bottomLeft.y() - d * s / 2);
    painter.rotate(-90);
    label(QRectF(-along / 2, -margin, along, margin), Qt::AlignHCenter | Qt::AlignBottom,
          QStringLiteral("奥行 %1 m").arg(NumberText::plain(d)));
    painter.restore();
    painter.restore();
}

} // namespace EmergencyPlot
