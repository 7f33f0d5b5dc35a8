#include "emergency/EmergencyPlot.h"

#include "emergency/ReachTable.h"
#include "photometry/DistributionPlot.h"
#include "text/NumberText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace EmergencyPlot {

namespace {

QString metres(double v)
{
    return NumberText::format(v, QStringLiteral("0.00"));
}

} // namespace

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
    // Typed positions as typed (x along 間口, m from the room's corner), a few a line.
    for (const EmergencyRooms::Kind &k : room.kinds) {
        if (!k.typed)
            continue;
        constexpr int kPerLine = 6;
        for (qsizetype i = 0; i < k.positions.size(); i += kPerLine) {
            QStringList points;
            for (const QPointF &p : k.positions.mid(i, kPerLine))
                points.append(QStringLiteral("(%1, %2)").arg(NumberText::format(p.x(), QStringLiteral("0.0##")),
                                                             NumberText::format(p.y(), QStringLiteral("0.0##"))));
            out.append(QStringLiteral("%1　%2").arg(i == 0 ? QStringLiteral("%1 行目の配置 x, y m").arg(k.row) : QStringLiteral("　"),
                                                   points.join(u' ')));
        }
    }
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

namespace {

const QColor kShade(230, 80, 80, 90);
const QColor kContour(200, 0, 0);

QColor kindColour(qsizetype k)
{
    return k % 2 == 0 ? QColor(30, 90, 200) : QColor(20, 140, 60);
}

void drawCross(QPainter &painter, QPointF m, double half)
{
    painter.drawLine(m + QPointF(-half, -half), m + QPointF(half, half));
    painter.drawLine(m + QPointF(-half, half), m + QPointF(half, -half));
}

// The legend under the plan, its items flowing onto a second line where the width runs out.
// Returns the height it takes.
double legend(QPainter &painter, const QRectF &area, double textHeight, double threshold, bool draw, Drawn &out)
{
    const QFontMetricsF metrics(painter.font());
    const double box = textHeight * 1.1, gap = textHeight * 0.9, line = textHeight * 1.5;
    const QStringList texts = {QStringLiteral("1 台の到達範囲 A1 × B1（%1 lx）").arg(NumberText::plain(threshold)),
                               QStringLiteral("%1 lx の線").arg(NumberText::plain(threshold)), QStringLiteral("最小照度の点"),
                               QStringLiteral("%1 lx 未満の床").arg(NumberText::plain(threshold))};
    double x = area.left(), y = area.top();
    for (int i = 0; i < texts.size(); ++i) {
        const double width = box + textHeight * 0.4 + metrics.horizontalAdvance(texts[i]);
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            y += line;
        }
        if (draw) {
            const QRectF mark(x, y + (line - box) / 2, box, box);
            painter.save();
            switch (i) {
            case 0:
                painter.setPen(QPen(kindColour(0), 1, Qt::DashLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(mark);
                break;
            case 1:
                painter.setPen(QPen(kContour, 1.5));
                painter.drawLine(QPointF(mark.left(), mark.center().y()), QPointF(mark.right(), mark.center().y()));
                break;
            case 2:
                painter.setPen(QPen(kContour, 1.5));
                drawCross(painter, mark.center(), box * 0.4);
                break;
            default:
                painter.fillRect(mark, kShade);
                painter.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0.5));
                painter.drawRect(mark);
            }
            painter.restore();
            const QRectF text(mark.right() + textHeight * 0.4, y, width - box - textHeight * 0.4 + 1, line);
            painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, texts[i]);
            out.labels.append(text);
        }
        x += width + gap;
    }
    return y + line - area.top();
}

} // namespace

void draw(QPainter &painter, const QRectF &area, const EmergencyRooms::Room &room,
          const QList<std::array<double, 2>> &reaches, double textHeight, Drawn *drawn)
{
    Drawn record;
    Drawn &out = drawn ? *drawn : record;
    out = Drawn();
    painter.save();
    // The reach ellipses of luminaires near a wall reach past the drawing: they stop at its edge.
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    const EmergencyCheck::Result &r = room.result;
    const double w = room.width, d = room.depth;
    QFont font = painter.font();
    font.setPixelSize(std::max(1, int(std::lround(textHeight))));
    painter.setFont(font);
    if (!(w > 0) || !(d > 0) || r.e.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter, room.checked ? QStringLiteral("（寸法がありません）") : QStringLiteral("判定対象外"));
        painter.restore();
        return;
    }
    // The legend below, the plan above it.
    const double legendHeight = legend(painter, area, textHeight, r.threshold, false, out);
    const QRectF planArea(area.left(), area.top(), area.width(), area.height() - legendHeight - textHeight * 0.3);
    painter.setPen(Qt::black);
    legend(painter, QRectF(area.left(), planArea.bottom() + textHeight * 0.3, area.width(), legendHeight), textHeight,
           r.threshold, true, out);
    // A long, narrow room in strips one above the other, x from the left in each.
    const int n = DistributionPlot::strips(planArea, w, d);
    out.strips = n;
    const double margin = std::max(textHeight * 1.6, planArea.height() / n * 0.08);
    const double s = std::min((planArea.width() - 2 * margin) / (w / n), (planArea.height() / n - 2 * margin) / d);
    const double marker = std::max(3.0, textHeight * 0.3);
    const double cross = marker * 1.6;
    const EmergencyCheck::Grid &g = r.grid;
    QList<QRectF> minimumBoxes;
    for (int k = 0; k < n; ++k) {
        const double x0 = w * k / n, x1 = w * (k + 1) / n;
        const QRectF part(planArea.left(), planArea.top() + planArea.height() * k / n, planArea.width(), planArea.height() / n);
        const QPointF origin(part.center().x() - (x1 - x0) * s / 2, part.center().y() + d * s / 2);
        const auto at = [&](QPointF m) { return QPointF(origin.x() + (m.x() - x0) * s, origin.y() - m.y() * s); };
        const QRectF floor(at({x0, d}), at({x1, 0}));
        painter.save();
        painter.setClipRect(floor.adjusted(-0.5, -0.5, 0.5, 0.5), Qt::IntersectClip);
        // The points short of the threshold: their cells shaded.
        painter.setPen(Qt::NoPen);
        painter.setBrush(kShade);
        QPainterPath shade;
        for (int j = 0; j <= g.ny; ++j)
            for (int i = 0; i <= g.nx; ++i)
                if (r.e[j * (g.nx + 1) + i] < r.threshold * (1 - 1e-12)) {
                    const QPointF p = g.point(i, j);
                    if (p.x() + g.stepX() / 2 < x0 || p.x() - g.stepX() / 2 > x1)
                        continue;
                    const QPointF a = at({std::max(0.0, p.x() - g.stepX() / 2), std::min(d, p.y() + g.stepY() / 2)});
                    const QPointF b = at({std::min(w, p.x() + g.stepX() / 2), std::max(0.0, p.y() - g.stepY() / 2)});
                    shade.addRect(QRectF(a, b));
                }
        painter.drawPath(shade.simplified());
        // The threshold's contour.
        painter.setPen(QPen(kContour, std::max(1.0, textHeight / 10)));
        for (const QLineF &l : contour(r))
            painter.drawLine(at(l.p1()), at(l.p2()));
        // Reach ellipses and markers.
        for (qsizetype kind = 0; kind < room.kinds.size(); ++kind) {
            const std::array<double, 2> reach = reaches.value(kind);
            const QColor colour = kindColour(kind);
            for (const QPointF &p : room.kinds[kind].positions) {
                painter.setPen(QPen(colour, std::max(1.0, textHeight / 14), Qt::DashLine));
                painter.setBrush(Qt::NoBrush);
                if (reach[0] > 0 && reach[1] > 0)
                    painter.drawEllipse(at(p), reach[0] * s, reach[1] * s);
                painter.setPen(QPen(colour, 1));
                painter.setBrush(colour);
                painter.drawEllipse(at(p), marker, marker);
            }
        }
        painter.restore();
        // The floor: its walls black, the cut ends of a strip thin and grey.
        painter.setBrush(Qt::NoBrush);
        const QPen wall(Qt::black, std::max(1.0, textHeight / 8));
        const QPen cut(QColor(0x90, 0x90, 0x90), 1, Qt::DashLine);
        painter.setPen(wall);
        painter.drawLine(floor.topLeft(), floor.topRight());
        painter.drawLine(floor.bottomLeft(), floor.bottomRight());
        painter.setPen(k == 0 ? wall : cut);
        painter.drawLine(floor.topLeft(), floor.bottomLeft());
        painter.setPen(k == n - 1 ? wall : cut);
        painter.drawLine(floor.topRight(), floor.bottomRight());
        if (r.at.x() >= x0 - 1e-9 && r.at.x() <= x1 + 1e-9)
            minimumBoxes.append(QRectF(at(r.at) - QPointF(cross, cross), at(r.at) + QPointF(cross, cross)).adjusted(-1, -1, 1, 1));
        // The sides: 間口 under the floor (its part of it in a strip), 奥行 up its left side, each
        // moved along its side clear of the minimum's marker.
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(painter.font());
        const QString across = n == 1 ? QStringLiteral("間口 %1 m").arg(NumberText::plain(w))
                                      : QStringLiteral("間口 %1 m（x %2 – %3 m）")
                                            .arg(NumberText::plain(w), NumberText::format(x0, QStringLiteral("0.0#")),
                                                 NumberText::format(x1, QStringLiteral("0.0#")));
        const double tw = metrics.horizontalAdvance(across) + 4, th = metrics.height();
        QList<double> xs{floor.center().x() - tw / 2, floor.left(), floor.right() - tw, floor.left() - tw - cross * 2,
                         floor.right() + cross * 2};
        QRectF below;
        for (double x : xs) {
            below = QRectF(x, floor.bottom() + 2, tw, th);
            bool clear = true;
            for (const QRectF &m : std::as_const(minimumBoxes))
                clear = clear && !below.intersects(m);
            if (clear)
                break;
        }
        painter.fillRect(below, Qt::white);
        painter.drawText(below, Qt::AlignCenter, across);
        out.labels.append(below);
        if (k == 0) {
            const QString upText = QStringLiteral("奥行 %1 m").arg(NumberText::plain(d));
            const double uw = metrics.horizontalAdvance(upText) + 4;
            // Upright up the left side where it fits clear of the minimum, else level above the
            // floor's corner (a narrow room's side is shorter than its text).
            struct Place {
                QRectF box;
                bool upright;
            };
            const QList<Place> places{{QRectF(floor.left() - th - 2, floor.center().y() - uw / 2, th, uw), true},
                                      {QRectF(floor.left() - th - 2, floor.bottom() - uw, th, uw), true},
                                      {QRectF(floor.left() - th - 2, floor.top(), th, uw), true},
                                      {QRectF(floor.left(), floor.top() - th - 2, uw, th), false},
                                      {QRectF(floor.right() - uw, floor.top() - th - 2, uw, th), false}};
            Place chosen = places.last();
            for (const Place &place : places) {
                const bool fits = !place.upright || uw <= floor.height() + th;
                bool clear = fits;
                for (const QRectF &m : std::as_const(minimumBoxes))
                    clear = clear && !place.box.intersects(m);
                if (clear) {
                    chosen = place;
                    break;
                }
            }
            painter.save();
            if (chosen.upright) {
                painter.translate(chosen.box.left(), chosen.box.bottom());
                painter.rotate(-90);
            } else {
                painter.translate(chosen.box.topLeft());
            }
            const QRectF box(0, 0, uw, th);
            painter.fillRect(box, Qt::white);
            painter.drawText(box, Qt::AlignCenter, upText);
            painter.restore();
            out.labels.append(chosen.box);
        }
    }
    // The minimum, over everything.
    painter.setPen(QPen(kContour, std::max(1.5, textHeight / 6)));
    for (const QRectF &m : std::as_const(minimumBoxes)) {
        drawCross(painter, m.center(), cross);
        out.minimum.append(m);
    }
    painter.restore();
}

} // namespace EmergencyPlot
