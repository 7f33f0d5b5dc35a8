#include "photometry/DistributionPlot.h"

#include "report/ReportFont.h"
#include "text/NumberText.h"

#include <QPainter>
#include <QPainterPath>
#include <QVector>

#include <cmath>

namespace DistributionPlot {

namespace {

QString lx(double v)
{
    return NumberText::format(v, QStringLiteral("0"));
}

QString m(double v)
{
    return NumberText::format(v, QStringLiteral("0.00"));
}

// A colour between pale and strong for a share 0..1 of the range.
QColor shade(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromHsvF(0.58 - 0.45 * t, 0.15 + 0.45 * t, 1.0);
}

} // namespace

QList<double> levels(double low, double high)
{
    QList<double> out;
    if (!(high > low) || !std::isfinite(low) || !std::isfinite(high))
        return out;
    const double raw = (high - low) / 6;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    double step = 10 * power;
    for (double f : {1.0, 2.0, 5.0})
        if (f * power >= raw) {
            step = f * power;
            break;
        }
    // Counted in doubles: a narrow range far from zero puts low / step beyond the integers, where
    // ++k may no longer change k; a bounded count of tries ends it either way.
    const double first = std::ceil(low / step);
    for (int n = 0; n < 16 && out.size() < 12; ++n) {
        const double v = (first + n) * step;
        if (!(v < high))
            break;
        if (v > low && (out.isEmpty() || v > out.last()))
            out.append(v);
    }
    return out;
}

void draw(QPainter &painter, const QRectF &area, const Distribution::Room &room, const Distribution::Result &r,
          const Field &field, bool shaded)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = std::min(area.width(), area.height()) / 60; // a text line's height
    QFont font = ReportFont::font();
    font.setPixelSize(std::max(6, int(unit * 1.6)));
    painter.setFont(font);
    // The plan fits the area, with room for the dimensions.
    const QRectF frame = area.adjusted(unit * 5, unit * 2, -unit * 2, -unit * 4);
    const double scale = std::min(frame.width() / room.width, frame.height() / room.depth);
    const QPointF origin(frame.left() + (frame.width() - room.width * scale) / 2,
                         frame.bottom() - (frame.height() - room.depth * scale) / 2);
    const auto at = [&](QPointF p) { return QPointF(origin.x() + p.x() * scale, origin.y() - p.y() * scale); };
    const QRectF plan(at({0, room.depth}), at({room.width, 0}));

    // The values on a fine grid of the floor, for the lines and the shading.
    const int along = 72;
    const double step = std::max(room.width, room.depth) / along;
    const int gx = std::max(2, int(std::ceil(room.width / step)) + 1);
    const int gy = std::max(2, int(std::ceil(room.depth / step)) + 1);
    QVector<double> v(gx * gy);
    double lo = std::numeric_limits<double>::max(), hi = 0;
    for (int j = 0; j < gy; ++j)
        for (int i = 0; i < gx; ++i) {
            const double e = field({room.width * i / (gx - 1), room.depth * j / (gy - 1)});
            v[j * gx + i] = std::isfinite(e) ? e : 0;
            lo = std::min(lo, v[j * gx + i]);
            hi = std::max(hi, v[j * gx + i]);
        }
    const QList<double> lines = levels(lo, hi);
    const auto pointOf = [&](double i, double j) { return at({room.width * i / (gx - 1), room.depth * j / (gy - 1)}); };
    if (shaded && hi > lo) {
        painter.setPen(Qt::NoPen);
        for (int j = 0; j + 1 < gy; ++j)
            for (int i = 0; i + 1 < gx; ++i) {
                const double mean = (v[j * gx + i] + v[j * gx + i + 1] + v[(j + 1) * gx + i] + v[(j + 1) * gx + i + 1]) / 4;
                int band = 0;
                while (band < lines.size() && mean >= lines[band])
                    ++band;
                painter.setBrush(shade(lines.isEmpty() ? 0 : double(band) / lines.size()));
                painter.drawRect(QRectF(pointOf(i, j + 1), pointOf(i + 1, j)).normalized().adjusted(0, 0, 0.6, 0.6));
            }
    }
    // Isolux lines by marching squares, each with its value once, where no other value stands.
    QPen linePen(QColor(40, 60, 150), std::max(0.6, unit * 0.12));
    QList<QRectF> taken;
    for (double level : lines) {
        QList<QLineF> segments;
        for (int j = 0; j + 1 < gy; ++j)
            for (int i = 0; i + 1 < gx; ++i) {
                const double c[4] = {v[j * gx + i], v[j * gx + i + 1], v[(j + 1) * gx + i + 1], v[(j + 1) * gx + i]};
                const QPointF corner[4] = {{double(i), double(j)}, {double(i + 1), double(j)},
                                           {double(i + 1), double(j + 1)}, {double(i), double(j + 1)}};
                QList<QPointF> cut;
                for (int e = 0; e < 4; ++e) {
                    const double a = c[e], b = c[(e + 1) % 4];
                    if ((a < level) != (b < level)) {
                        const double t = (level - a) / (b - a);
                        cut.append(corner[e] + (corner[(e + 1) % 4] - corner[e]) * t);
                    }
                }
                for (int k = 0; k + 1 < cut.size(); k += 2)
                    segments.append(QLineF(pointOf(cut[k].x(), cut[k].y()), pointOf(cut[k + 1].x(), cut[k + 1].y())));
            }
        if (segments.isEmpty())
            continue;
        painter.setPen(linePen);
        for (const QLineF &s : std::as_const(segments))
            painter.drawLine(s);
        // The value near the plan's middle row, at the first place free of the others.
        QList<QPointF> places;
        for (const QLineF &s : std::as_const(segments))
            places.append(s.center());
        std::stable_sort(places.begin(), places.end(), [&plan](const QPointF &a, const QPointF &b) {
            return std::fabs(a.y() - plan.center().y()) < std::fabs(b.y() - plan.center().y());
        });
        const QString text = lx(level);
        const double w = painter.fontMetrics().horizontalAdvance(text) + unit * 0.6;
        for (const QPointF &place : std::as_const(places)) {
            const QRectF box(place.x() - w / 2, place.y() - unit * 0.9, w, unit * 1.8);
            bool free = plan.contains(box);
            for (const QRectF &t : std::as_const(taken))
                free = free && !t.intersects(box.adjusted(-unit * 0.3, 0, unit * 0.3, 0));
            if (!free)
                continue;
            taken.append(box);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, 215));
            painter.drawRect(box);
            painter.setPen(QColor(20, 30, 110));
            painter.drawText(box, Qt::AlignCenter, text);
            break;
        }
    }
    // The room, the calculation area, the luminaires.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, std::max(1.0, unit * 0.2)));
    painter.drawRect(plan);
    QPen dashed(QColor(90, 90, 90), std::max(0.6, unit * 0.1));
    dashed.setStyle(Qt::DashLine);
    painter.setPen(dashed);
    painter.drawRect(QRectF(at({r.grid.x0, r.grid.y0 + r.grid.depth}), at({r.grid.x0 + r.grid.width, r.grid.y0})));
    painter.setPen(QPen(QColor(200, 40, 40), std::max(0.8, unit * 0.15)));
    painter.setBrush(QColor(255, 240, 120));
    const double dot = std::max(2.0, unit * 0.5);
    for (const QPointF &l : r.luminaires)
        painter.drawEllipse(at(l), dot, dot);
    // The calculation points.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i)
            painter.drawEllipse(at(r.grid.point(i, j)), dot * 0.3, dot * 0.3);
    // Dimensions.
    painter.setPen(Qt::black);
    painter.drawText(QRectF(plan.left(), plan.bottom() + unit * 0.5, plan.width(), unit * 2), Qt::AlignCenter,
                     QStringLiteral("間口 %1 m（x）").arg(NumberText::format(room.width, QStringLiteral("0.0"))));
    painter.save();
    painter.translate(plan.left() - unit * 0.6, plan.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plan.height() / 2, -unit * 2, plan.height(), unit * 2), Qt::AlignCenter,
                     QStringLiteral("奥行 %1 m（y）").arg(NumberText::format(room.depth, QStringLiteral("0.0"))));
    painter.restore();
    painter.restore();
}

QStringList figures(const Distribution::Room &room, const Distribution::Result &r, double lumenMethodResult)
{
    QStringList out;
    QString layout = QStringLiteral("配置 %1 × %2 = %3 台").arg(r.layout.nx).arg(r.layout.ny).arg(r.layout.count());
    if (r.layout.count() != room.fittings)
        layout += QStringLiteral("（計算書の台数は %1 台：この図は %2 台の値）").arg(room.fittings).arg(r.layout.count());
    out.append(layout);
    out.append(QStringLiteral("器具の高さ h = %1 m（作業面から）").arg(m(r.height)));
    const bool band = r.grid.x0 > 0;
    out.append(QStringLiteral("計算点 %1 × %2（%3 m 角%4）")
                   .arg(r.grid.cellsX)
                   .arg(r.grid.cellsY)
                   .arg(m(r.grid.cell), band ? QStringLiteral("、壁から 0.5 m を除く") : QString()));
    out.append(QStringLiteral("平均 Eavg %1 lx　最小 Emin %2 lx　最大 Emax %3 lx").arg(lx(r.average), lx(r.minimum), lx(r.maximum)));
    out.append(QStringLiteral("均斉度 U0 = Emin/Eavg %1　Ud = Emin/Emax %2")
                   .arg(NumberText::format(r.u0, QStringLiteral("0.00")), NumberText::format(r.ud, QStringLiteral("0.00"))));
    out.append(QStringLiteral("光束法 %1 lx（計算書）、床面平均 %2 lx = 直接 %3 + 相互反射 %4")
                   .arg(lx(lumenMethodResult), lx(r.directFloor + r.indirect), lx(r.directFloor), lx(r.indirect)));
    return out;
}

} // namespace DistributionPlot
