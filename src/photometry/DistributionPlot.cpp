#include "photometry/DistributionPlot.h"

#include "report/ReportFont.h"
#include "text/NumberText.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QVector>

#include <cmath>
#include <iterator>
#include <limits>

namespace DistributionPlot {

namespace {

QString lx(double v)
{
    return NumberText::format(v, QStringLiteral("0"));
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

Samples sample(const Distribution::Room &room, const Distribution::Result &r, int along)
{
    Samples out;
    if (!(room.width > 0) || !(room.depth > 0))
        return out;
    const double step = std::max(room.width, room.depth) / along;
    out.gx = std::max(2, int(std::ceil(room.width / step)) + 1);
    out.gy = std::max(2, int(std::ceil(room.depth / step)) + 1);
    out.v.resize(out.gx * out.gy);
    out.low = std::numeric_limits<double>::max();
    out.high = 0;
    for (int j = 0; j < out.gy; ++j)
        for (int i = 0; i < out.gx; ++i) {
            const double e = Distribution::totalAt(room, r, {room.width * i / (out.gx - 1), room.depth * j / (out.gy - 1)});
            const double v = std::isfinite(e) ? e : 0;
            out.v[j * out.gx + i] = v;
            out.low = std::min(out.low, v);
            out.high = std::max(out.high, v);
        }
    return out;
}

QString markerText(int k)
{
    static const char16_t markers[] = {u'●', u'■', u'▲', u'◆', u'▼', u'★'};
    return QString(QChar(markers[k % int(std::size(markers))]));
}

namespace {

// The k-th kind's marker around `c`, of radius `r`.
void drawMarker(QPainter &painter, int k, QPointF c, double r)
{
    static const QColor fills[] = {QColor(255, 240, 120), QColor(150, 210, 255), QColor(170, 235, 160), QColor(255, 190, 220)};
    painter.setBrush(fills[k % int(std::size(fills))]);
    switch (k % 6) {
    case 0: painter.drawEllipse(c, r, r); break;
    case 1: painter.drawRect(QRectF(c.x() - r * 0.9, c.y() - r * 0.9, r * 1.8, r * 1.8)); break;
    case 2: painter.drawPolygon(QPolygonF({c + QPointF(0, -r * 1.1), c + QPointF(r, r * 0.8), c + QPointF(-r, r * 0.8)})); break;
    case 3: painter.drawPolygon(QPolygonF({c + QPointF(0, -r * 1.2), c + QPointF(r * 1.1, 0), c + QPointF(0, r * 1.2), c + QPointF(-r * 1.1, 0)})); break;
    case 4: painter.drawPolygon(QPolygonF({c + QPointF(0, r * 1.1), c + QPointF(r, -r * 0.8), c + QPointF(-r, -r * 0.8)})); break;
    default: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = M_PI / 2 + i * M_PI / 5;
            const double rr = i % 2 ? r * 0.5 : r * 1.2;
            star.append(c + QPointF(rr * std::cos(a), -rr * std::sin(a)));
        }
        painter.drawPolygon(star);
    }
    }
}

// The pieces of a line as few strokes: each piece joined to the one that starts or ends where it
// ends (marching squares gives them in no order), points that keep the stroke straight within the
// tolerance left out.
// Where a level runs through the cells of the samples (marching squares): the pieces, in the
// samples' own steps (i along x, j along y).
QList<QLineF> cuts(const Samples &samples, double level)
{
    const int gx = samples.gx, gy = samples.gy;
    const QVector<double> &v = samples.v;
    QList<QLineF> out;
    for (int j = 0; j + 1 < gy; ++j)
        for (int i = 0; i + 1 < gx; ++i) {
            const double c[4] = {v[j * gx + i], v[j * gx + i + 1], v[(j + 1) * gx + i + 1], v[(j + 1) * gx + i]};
            const QPointF corner[4] = {{double(i), double(j)}, {double(i + 1), double(j)}, {double(i + 1), double(j + 1)},
                                       {double(i), double(j + 1)}};
            QList<QPointF> cut;
            for (int e = 0; e < 4; ++e) {
                const double a = c[e], b = c[(e + 1) % 4];
                if ((a < level) != (b < level)) {
                    const double t = (level - a) / (b - a);
                    cut.append(corner[e] + (corner[(e + 1) % 4] - corner[e]) * t);
                }
            }
            for (int k = 0; k + 1 < cut.size(); k += 2)
                out.append(QLineF(cut[k], cut[k + 1]));
        }
    return out;
}

// The pieces of a line joined end to end into strokes; ends within 1/`resolution` meet.
QList<QList<QPointF>> joinPieces(const QList<QLineF> &pieces, double resolution)
{
    const auto key = [resolution](QPointF p) { return qMakePair(qRound64(p.x() * resolution), qRound64(p.y() * resolution)); };
    QMultiHash<QPair<qint64, qint64>, int> ends;
    for (int k = 0; k < pieces.size(); ++k) {
        ends.insert(key(pieces[k].p1()), k);
        ends.insert(key(pieces[k].p2()), k);
    }
    QVector<bool> used(pieces.size());
    const auto next = [&](QPointF at, QLineF *piece) {
        for (auto it = ends.constFind(key(at)); it != ends.cend() && it.key() == key(at); ++it) {
            if (used[it.value()])
                continue;
            used[it.value()] = true;
            const QLineF l = pieces[it.value()];
            *piece = key(l.p1()) == key(at) ? l : QLineF(l.p2(), l.p1());
            return true;
        }
        return false;
    };
    QList<QList<QPointF>> out;
    for (int k = 0; k < pieces.size(); ++k) {
        if (used[k])
            continue;
        used[k] = true;
        // Back to where this stroke begins, then forward to where it ends.
        QList<QPointF> stroke{pieces[k].p1(), pieces[k].p2()};
        QLineF piece;
        while (next(stroke.last(), &piece))
            stroke.append(piece.p2());
        while (next(stroke.first(), &piece))
            stroke.prepend(piece.p2());
        out.append(stroke);
    }
    return out;
}

QPainterPath joined(const QList<QLineF> &pieces, double tolerance)
{
    QPainterPath path;
    for (const QList<QPointF> &stroke : joinPieces(pieces, 64)) {
        path.moveTo(stroke.first());
        // A point on the straight line between its neighbours (within a hundredth of the piece)
        // adds nothing to the drawing.
        QPointF last = stroke.first();
        for (qsizetype i = 1; i < stroke.size(); ++i) {
            if (i + 1 < stroke.size()) {
                const QLineF chord(last, stroke[i + 1]);
                const double length = chord.length();
                const QPointF d = stroke[i] - last;
                const double off = length > 0 ? std::fabs(d.x() * chord.dy() - d.y() * chord.dx()) / length : 0;
                if (off <= tolerance)
                    continue;
            }
            path.lineTo(stroke[i]);
            last = stroke[i];
        }
    }
    return path;
}

bool collides(const QRectF &box, const QList<QRectF> &taken)
{
    for (const QRectF &t : taken)
        if (t.intersects(box))
            return true;
    return false;
}

} // namespace

namespace {

// The part of the plan from x0 to x1 (the whole room, or one strip of a long one) in `area`.
void drawWindow(QPainter &painter, const QRectF &area, const Distribution::Room &room, const Distribution::Result &r,
                const Samples &samples, const Style &style, Drawn &out, double x0, double x1, double unit)
{
    const bool whole = x0 <= 0 && x1 >= room.width;
    const double span = x1 - x0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = ReportFont::font();
    font.setPixelSize(std::max(std::max(6, style.smallestText), int(unit * 1.6)));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    // The plan fits the area, with room for the dimensions at its left and below it.
    const QRectF frame = area.adjusted(unit * 3.2 + std::max(2.0, unit * 0.5) * 1.5, unit * 0.8, -unit * 0.8,
                                       -unit * 3.2 - std::max(2.0, unit * 0.5) * 1.5);
    const double scale = std::min(frame.width() / span, frame.height() / room.depth);
    const QPointF origin(frame.left() + (frame.width() - span * scale) / 2,
                         frame.bottom() - (frame.height() - room.depth * scale) / 2);
    const auto at = [&](QPointF p) { return QPointF(origin.x() + (p.x() - x0) * scale, origin.y() - p.y() * scale); };
    const QRectF plan(at({x0, room.depth}), at({x1, 0}));
    const QRectF roomRect(at({0, room.depth}), at({room.width, 0}));
    const auto inWindow = [&](double x) { return x >= x0 - 1e-9 && (x < x1 - 1e-9 || x1 >= room.width); };

    const int gx = samples.gx, gy = samples.gy;
    const QVector<double> &v = samples.v;
    const QList<double> lines = levels(samples.low, samples.high);
    const auto pointOf = [&](double i, double j) { return at({room.width * i / (gx - 1), room.depth * j / (gy - 1)}); };
    if (style.shaded && samples.high > samples.low) {
        // The bands as one small picture of their colours, three pixels to a step of the grid,
        // each pixel's value between the samples: a few kilobytes on a page, smooth at any size.
        constexpr int kPerStep = 3;
        QImage bands((gx - 1) * kPerStep, (gy - 1) * kPerStep, QImage::Format_Indexed8);
        QVector<QRgb> colours;
        for (int b = 0; b <= lines.size(); ++b)
            colours.append(shade(lines.isEmpty() ? 0 : double(b) / lines.size()).rgb());
        bands.setColorTable(colours);
        for (int y = 0; y < bands.height(); ++y) {
            // Row 0 of the picture is the far wall (y = depth).
            const double fj = (bands.height() - 1 - y + 0.5) / kPerStep;
            const int j = std::min(int(fj), gy - 2);
            const double tj = fj - j;
            uchar *line = bands.scanLine(y);
            for (int x = 0; x < bands.width(); ++x) {
                const double fi = (x + 0.5) / kPerStep;
                const int i = std::min(int(fi), gx - 2);
                const double ti = fi - i;
                const double e = (v[j * gx + i] * (1 - ti) + v[j * gx + i + 1] * ti) * (1 - tj)
                                 + (v[(j + 1) * gx + i] * (1 - ti) + v[(j + 1) * gx + i + 1] * ti) * tj;
                int band = 0;
                while (band < lines.size() && e >= lines[band])
                    ++band;
                line[x] = uchar(band);
            }
        }
        painter.save();
        painter.setClipRect(plan, Qt::IntersectClip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // A few flat colours: kept exact (and smaller) rather than as a photograph in a PDF.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(roomRect, bands);
        painter.restore();
    }
    // Isolux lines by marching squares, one path a level, its pieces joined end to end.
    painter.save();
    painter.setClipRect(plan.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    QList<QList<QLineF>> segmentsOf;
    for (double level : lines) {
        QList<QLineF> segments;
        for (const QLineF &cut : cuts(samples, level))
            segments.append(QLineF(pointOf(cut.x1(), cut.y1()), pointOf(cut.x2(), cut.y2())));
        if (!segments.isEmpty()) {
            painter.setPen(QPen(QColor(40, 60, 150), std::max(0.6, unit * 0.12)));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(joined(segments, unit * 0.05));
        }
        segmentsOf.append(segments);
    }
    // The calculation area, then the room's walls (a strip's cut ends thin and grey).
    QPen dashed(QColor(90, 90, 90), std::max(0.6, unit * 0.1));
    dashed.setStyle(Qt::DashLine);
    painter.setPen(dashed);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(at({r.grid.x0, r.grid.y0 + r.grid.depth}), at({r.grid.x0 + r.grid.width, r.grid.y0})));
    painter.restore();
    const QPen wall(Qt::black, std::max(1.0, unit * 0.2));
    const QPen cut(QColor(150, 150, 150), std::max(0.6, unit * 0.1));
    painter.setPen(wall);
    painter.drawLine(plan.topLeft(), plan.topRight());
    painter.drawLine(plan.bottomLeft(), plan.bottomRight());
    painter.setPen(x0 <= 0 ? wall : cut);
    painter.drawLine(plan.topLeft(), plan.bottomLeft());
    painter.setPen(x1 >= room.width ? wall : cut);
    painter.drawLine(plan.topRight(), plan.bottomRight());

    // What a text may not cover: the markers, then each text placed.
    const double dot = std::max(2.0, unit * 0.5);
    QList<QRectF> taken;
    for (const QList<QPointF> &kind : r.luminaires)
        for (const QPointF &l : kind)
            if (inWindow(l.x()))
                taken.append(QRectF(at(l) - QPointF(dot * 1.4, dot * 1.4), QSizeF(dot * 2.8, dot * 2.8)));
    out.markers += taken;

    // The calculation points, and their values where they fit legibly in a cell.
    QList<QPointF> points;
    QList<int> pointIndex;
    for (int j = 0; j < r.grid.cellsY; ++j)
        for (int i = 0; i < r.grid.cellsX; ++i)
            if (inWindow(r.grid.point(i, j).x())) {
                points.append(at(r.grid.point(i, j)));
                pointIndex.append(j * r.grid.cellsX + i);
            }
    QList<QRectF> marks;
    for (const QPointF &p : std::as_const(points))
        marks.append(QRectF(p.x() - dot * 0.25, p.y() - dot * 0.25, dot * 0.5, dot * 0.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawRects(marks.constData(), int(marks.size()));
    if (style.pointValues && !r.total.isEmpty()) {
        QFont small = font;
        small.setPixelSize(std::max(std::max(6, style.smallestText), int(unit * 1.2)));
        const QFontMetricsF sm(small);
        const double cellW = r.grid.width / r.grid.cellsX * scale;
        const double cellH = r.grid.depth / r.grid.cellsY * scale;
        double widest = 0;
        for (double e : std::as_const(r.total))
            widest = std::max(widest, sm.horizontalAdvance(lx(e)));
        if (widest <= cellW * 0.92 && sm.height() * 2.2 <= cellH) {
            out.pointsShown += int(points.size());
            painter.setFont(small);
            painter.setPen(QColor(30, 30, 30));
            for (int k = 0; k < points.size(); ++k) {
                const QString text = lx(r.total[pointIndex[k]]);
                const double w = sm.horizontalAdvance(text) + 2, h = sm.height();
                const QPointF p = points[k];
                // Below the point, else above it, else beside it, else further off: never over a
                // marker, never left out.
                const QRectF tries[] = {{p.x() - w / 2, p.y() + dot * 0.4, w, h},        {p.x() - w / 2, p.y() - dot * 0.4 - h, w, h},
                                        {p.x() + dot * 0.6, p.y() - h / 2, w, h},        {p.x() - dot * 0.6 - w, p.y() - h / 2, w, h},
                                        {p.x() - w / 2, p.y() + dot * 1.6, w, h},        {p.x() - w / 2, p.y() - dot * 1.6 - h, w, h},
                                        {p.x() + dot * 1.6, p.y() - h / 2, w, h},        {p.x() - dot * 1.6 - w, p.y() - h / 2, w, h},
                                        {p.x() + dot * 1.2, p.y() + dot * 0.8, w, h},   {p.x() - dot * 1.2 - w, p.y() - dot * 0.8 - h, w, h}};
                const QRectF *chosen = nullptr;
                for (const QRectF &box : tries)
                    if (plan.contains(box) && !collides(box, taken)) {
                        chosen = &box;
                        break;
                    }
                // Crowded: the first place clear of the markers, over another value if it must be.
                for (const QRectF &box : tries)
                    if (!chosen && plan.contains(box) && !collides(box, out.markers))
                        chosen = &box;
                if (!chosen)
                    continue;
                painter.drawText(*chosen, Qt::AlignCenter, text);
                taken.append(*chosen);
                out.texts.append({*chosen, text, sm.horizontalAdvance(text)});
                ++out.pointValues;
            }
            painter.setFont(font);
        }
    }
    // The observers of the glare rating: a green eye pointing the way it looks, its value beside it
    // on the room's side, clear of the other texts and the markers.
    for (const Style::Observer &o : style.observers) {
        if (!inWindow(o.at.x()))
            continue;
        const QPointF eye = at(o.at);
        const double a = o.view * M_PI / 180;
        const QPointF ahead(std::cos(a), -std::sin(a)), side(std::sin(a), std::cos(a));
        const double size = dot * 1.6;
        const QPointF tri[3] = {eye + ahead * size, eye - ahead * size * 0.6 + side * size * 0.7, eye - ahead * size * 0.6 - side * size * 0.7};
        painter.setPen(QPen(QColor(0, 120, 60), std::max(0.6, unit * 0.1)));
        painter.setBrush(QColor(0, 150, 80));
        painter.drawPolygon(tri, 3);
        out.markers.append(QRectF(eye - QPointF(size, size), QSizeF(2 * size, 2 * size)));
        taken.append(out.markers.last());
        const double w = metrics.horizontalAdvance(o.text) + unit * 0.4, h = unit * 1.6;
        const QPointF c = eye + ahead * (size + h);
        const QRectF tries[] = {QRectF(c.x() - w / 2, c.y() - h / 2, w, h),
                                QRectF(eye.x() + size * 1.2, eye.y() - h / 2, w, h), QRectF(eye.x() - size * 1.2 - w, eye.y() - h / 2, w, h),
                                QRectF(eye.x() - w / 2, eye.y() + size * 1.2, w, h), QRectF(eye.x() - w / 2, eye.y() - size * 1.2 - h, w, h)};
        for (const QRectF &box : tries) {
            if (!plan.contains(box) || collides(box, taken))
                continue;
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, 215));
            painter.drawRect(box);
            painter.setPen(QColor(0, 100, 50));
            painter.drawText(box, Qt::AlignCenter, o.text);
            taken.append(box);
            out.texts.append({box, o.text, metrics.horizontalAdvance(o.text)});
            break;
        }
    }
    // Each isolux line's value once, near the plan's middle row, where no other text or marker is.
    for (int n = 0; n < lines.size(); ++n) {
        QList<QPointF> places;
        for (const QLineF &s : std::as_const(segmentsOf[n]))
            places.append(s.center());
        std::stable_sort(places.begin(), places.end(), [&plan](const QPointF &a, const QPointF &b) {
            return std::fabs(a.y() - plan.center().y()) < std::fabs(b.y() - plan.center().y());
        });
        const QString text = lx(lines[n]);
        const double w = metrics.horizontalAdvance(text) + unit * 0.6;
        for (const QPointF &place : std::as_const(places)) {
            const QRectF box(place.x() - w / 2, place.y() - unit * 0.9, w, unit * 1.8);
            if (!plan.contains(box) || collides(box.adjusted(-unit * 0.3, 0, unit * 0.3, 0), taken))
                continue;
            taken.append(box);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, 215));
            painter.drawRect(box);
            painter.setPen(QColor(20, 30, 110));
            painter.drawText(box, Qt::AlignCenter, text);
            out.texts.append({box, text, metrics.horizontalAdvance(text)});
            break;
        }
    }
    // The luminaires, each kind with its marker.
    painter.setPen(QPen(QColor(200, 40, 40), std::max(0.8, unit * 0.15)));
    for (int k = 0; k < r.luminaires.size(); ++k)
        for (const QPointF &l : r.luminaires[k])
            if (inWindow(l.x()))
                drawMarker(painter, k, at(l), dot);
    // Dimensions, whole even where the plan is narrower than their text.
    painter.setPen(Qt::black);
    const QString xText = whole ? QStringLiteral("間口 %1 m（x）").arg(NumberText::format(room.width, QStringLiteral("0.0")))
                                : QStringLiteral("x %1～%2 m（間口 %3 m）")
                                      .arg(NumberText::format(x0, QStringLiteral("0.0")), NumberText::format(x1, QStringLiteral("0.0")),
                                           NumberText::format(room.width, QStringLiteral("0.0")));
    const double xw = std::min(area.width(), std::max(plan.width(), metrics.horizontalAdvance(xText) + unit));
    const double xLeft = std::clamp(plan.center().x() - xw / 2, area.left(), area.right() - xw);
    const QRectF xBox(xLeft, plan.bottom() + unit * 0.5 + dot * 1.5, xw, unit * 2);
    painter.drawText(xBox, Qt::AlignCenter, xText);
    out.texts.append({xBox, xText, metrics.horizontalAdvance(xText)});
    const QString yText = QStringLiteral("奥行 %1 m（y）").arg(NumberText::format(room.depth, QStringLiteral("0.0")));
    const double yw = std::min(area.height(), std::max(plan.height(), metrics.horizontalAdvance(yText) + unit));
    const double yCentre = std::clamp(plan.center().y(), area.top() + yw / 2, area.bottom() - yw / 2);
    painter.save();
    // Clear of a marker on the wall (a strip may begin at a luminaire).
    const double aside = unit * 0.6 + dot * 1.5;
    painter.translate(plan.left() - aside, yCentre);
    painter.rotate(-90);
    const QRectF yBox(-yw / 2, -unit * 2, yw, unit * 2);
    painter.drawText(yBox, Qt::AlignCenter, yText);
    // Upright on the page: as tall as the text is long.
    const QRectF upright = QTransform().translate(plan.left() - aside, yCentre).rotate(-90).mapRect(yBox);
    out.texts.append({upright, yText, metrics.horizontalAdvance(yText), true});
    painter.restore();
    painter.restore();
}

} // namespace

QList<QList<QPointF>> strokes(const QList<QLineF> &pieces, double resolution)
{
    return joinPieces(pieces, resolution);
}

QList<QPolygonF> isolux(const Samples &samples, double width, double depth, double level)
{
    QList<QPolygonF> out;
    if (samples.gx < 2 || samples.gy < 2)
        return out;
    // Joined in the samples' steps (a piece's ends there are exact), then in metres.
    for (const QList<QPointF> &stroke : joinPieces(cuts(samples, level), 4096)) {
        QPolygonF line;
        for (const QPointF &p : stroke)
            line.append(QPointF(width * p.x() / (samples.gx - 1), depth * p.y() / (samples.gy - 1)));
        out.append(line);
    }
    return out;
}

int strips(const QRectF &area, double width, double depth)
{
    if (!(width > 0) || !(depth > 0) || area.isEmpty())
        return 1;
    // The scale of n strips stacked (each its share of the height, the dimensions' margins kept).
    const double margin = std::min(area.width(), area.height()) / 60 * 4;
    const auto scaleOf = [&](int n) {
        const double w = area.width() - margin, h = area.height() / n - margin;
        return h > 0 ? std::min(w / (width / n), h / depth) : 0.0;
    };
    // More strips only where they show the room half as large again.
    int best = 1;
    for (int n = 2; n <= 3; ++n)
        if (scaleOf(n) > 1.5 * scaleOf(best))
            best = n;
    return best;
}

void draw(QPainter &painter, const QRectF &area, const Distribution::Room &room, const Distribution::Result &r,
          const Samples &samples, const Style &style, Drawn *drawn)
{
    Drawn record;
    Drawn &out = drawn ? *drawn : record;
    out = Drawn();
    if (samples.gx < 2 || samples.gy < 2 || !(room.width > 0) || !(room.depth > 0))
        return;
    // A long, narrow room in strips one above the other, x from the left in each; the texts as
    // large as for the whole drawing.
    const double unit = std::min(area.width(), area.height()) / 60; // a text line's height
    const int n = strips(area, room.width, room.depth);
    for (int k = 0; k < n; ++k) {
        const QRectF part(area.left(), area.top() + area.height() * k / n, area.width(), area.height() / n);
        drawWindow(painter, part, room, r, samples, style, out, room.width * k / n, room.width * (k + 1) / n, unit);
    }
}

void drawLegendMarker(QPainter &painter, int k, QPointF centre, double radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 40, 40), std::max(0.8, radius * 0.3)));
    drawMarker(painter, k, centre, radius);
    painter.restore();
}

} // namespace DistributionPlot
