#include "photometry/RoomGlare.h"

#include <algorithm>
#include <cmath>

namespace RoomGlare {

namespace {

constexpr double kDeg = M_PI / 180;

// The candela of the file times this for one of the source's luminaires at its lamps' initial flux.
double initialScale(const Distribution::Source &s)
{
    return s.photometry.absolute ? 1.0 : s.fluxPerLuminaire / s.photometry.lampFlux;
}

// Lb by the standard's rule, each kind of luminaire for itself; none without reflectances.
std::optional<double> ruleBackground(const Distribution::Room &room, const Observer &o)
{
    if (!room.reflectances)
        return std::nullopt;
    const int set = Glare::nearestSet((*room.reflectances)[0], (*room.reflectances)[1]);
    const bool alongX = std::fabs(std::cos(o.view * kDeg)) > 0.5;
    const double across = alongX ? room.depth : room.width, along = alongX ? room.width : room.depth;
    double e = 0;
    for (const Distribution::Source &s : room.sources) {
        const double h = room.workPlane + s.height - o.eye;
        if (!(h > 0))
            continue;
        const double flux = initialScale(s) * Glare::lampFlux(s.photometry);
        e += Glare::wallIlluminance(Glare::zones(s.photometry), across / h, along / h, set, flux, s.layout.count(),
                                    2 * (across + along) * h);
    }
    return e / M_PI;
}

// Lb from the radiosity's surfaces, at the initial flux: the solution is for the maintained one.
double radiosityBackground(const Distribution::Room &room, const Distribution::Result &r, const Observer &o)
{
    const std::array<double, 3> eye{o.x, o.y, o.eye};
    const std::array<double, 3> n{std::cos(o.view * kDeg), std::sin(o.view * kDeg), 0};
    double e = 0;
    for (const Radiosity::Patch &patch : r.surfaces->patches)
        if (patch.m > 0)
            e += patch.m * Radiosity::pointToPatch(eye, n, patch);
    double initial = 0, maintained = 0;
    for (const Distribution::Source &s : room.sources) {
        initial += s.layout.count() * initialScale(s);
        maintained += s.layout.count() * initialScale(s) * s.maintenance;
    }
    return maintained > 0 ? e / M_PI * initial / maintained : 0;
}

// The table's value for the room: its one kind of luminaire, the nearest set, the larger of the
// views along 間口 (crosswise) and along 奥行 (endwise), for the room's flux.
void tableValue(const Distribution::Room &room, double eye, Result *out)
{
    if (room.sources.size() != 1) {
        out->tableWhat = QStringLiteral("器具が 2 種類以上のため、表の値はありません。");
        return;
    }
    if (!room.reflectances) {
        out->tableWhat = QStringLiteral("反射率がないため、表の値はありません。");
        return;
    }
    const Distribution::Source &s = room.sources.first();
    Glare::Table t;
    QString error;
    if (!Glare::table(s.photometry, 0.25, &t, &error)) {
        out->tableWhat = error;
        return;
    }
    const double h = room.workPlane + s.height - eye;
    const int set = Glare::nearestSet((*room.reflectances)[0], (*room.reflectances)[1]);
    const auto cross = h > 0 ? Glare::tableAt(t, set, room.depth / h, room.width / h) : std::nullopt;
    const auto end = h > 0 ? Glare::tableAt(t, 5 + set, room.width / h, room.depth / h) : std::nullopt;
    const QString sets = QStringLiteral("%1/%2/%3").arg(Glare::kSets[set][0]).arg(Glare::kSets[set][1]).arg(Glare::kSets[set][2]);
    if (!cross || !end) {
        out->tableWhat = QStringLiteral("室の大きさ（X/H %1、Y/H %2）が表の範囲（2～12）の外です。")
                             .arg(h > 0 ? room.width / h : 0, 0, 'f', 1)
                             .arg(h > 0 ? room.depth / h : 0, 0, 'f', 1);
        return;
    }
    out->table = std::max(*cross, *end) + 8 * std::log10(initialScale(s) * Glare::lampFlux(s.photometry) / t.flux);
    out->tableWhat = QStringLiteral("UGR 表（SHR 0.25、反射率 %1）による値").arg(sets);
}

} // namespace

QList<Observer> observers(double width, double depth, double eye)
{
    // A side under twice the distance from the wall has its observers at its middle.
    const double inX = std::min(kFromWall, width / 2), inY = std::min(kFromWall, depth / 2);
    QList<Observer> list;
    const struct {
        double x, y, view;
    } at[] = {{width / 2, inY, 90}, {width - inX, depth / 2, 180}, {width / 2, depth - inY, 270}, {inX, depth / 2, 0}};
    for (int k = 0; k < 4; ++k) {
        Observer o;
        o.number = k + 1;
        o.x = at[k].x;
        o.y = at[k].y;
        o.view = at[k].view;
        o.eye = eye;
        list.append(o);
    }
    return list;
}

Result compute(const Distribution::Room &room, const Distribution::Result &r, double eye)
{
    Result out;
    for (const Distribution::Source &s : room.sources)
        if (!s.photometry.opening.present()) {
            out.why = Glare::noOpeningText();
            out.tableWhat = out.why;
            return out;
        }
    if (room.sources.size() != r.luminaires.size() || room.sources.size() != r.intensities.size()) {
        out.why = QStringLiteral("照度分布がないため UGR を計算できません。");
        return out;
    }
    tableValue(room, eye, &out);
    out.observers = observers(room.width, room.depth, eye);
    for (Observer &o : out.observers) {
        const double cv = std::cos(o.view * kDeg), sv = std::sin(o.view * kDeg);
        double sum = 0;
        for (qsizetype k = 0; k < room.sources.size(); ++k) {
            const Distribution::Source &s = room.sources[k];
            const double scale = initialScale(s);
            const double z = room.workPlane + s.height;
            for (const QPointF &at : r.luminaires[k]) {
                const double dx = at.x() - o.x, dy = at.y() - o.y;
                const Glare::Sight sight{-dx * sv + dy * cv, dx * cv + dy * sv, z - o.eye};
                if (!Glare::counts(sight))
                    continue;
                // From the luminaire towards the eye, in its own frame (C0 along +x).
                const double c = std::atan2(-dy, -dx) / kDeg;
                const double g = sight.gamma();
                const double i = r.intensities[k]->at(c < 0 ? c + 360 : c, g) * scale;
                const double t = Glare::term(i, s.photometry.opening.projected(c, g), sight);
                if (t > 0) {
                    sum += t;
                    ++o.counted;
                }
            }
        }
        const std::optional<double> lb = r.surfaces ? std::optional<double>(radiosityBackground(room, r, o)) : ruleBackground(room, o);
        if (!lb) {
            out.why = QStringLiteral("反射率がないため、UGR の背景輝度を求められません。");
            out.observers.clear();
            return out;
        }
        o.background = *lb;
        o.ugr = Glare::rating(sum, *lb);
        if (o.ugr && (!out.largest || *o.ugr > *out.largest))
            out.largest = o.ugr;
    }
    if (!out.largest)
        out.why = QStringLiteral("視野に入る器具がないため UGR はありません。");
    return out;
}

} // namespace RoomGlare
