#include "illuminance/RoomDistribution.h"

#include "io/FileSet.h"
#include "text/CsvText.h"
#include "text/NumberText.h"

#include <functional>

// The distribution's CSV files, one set in their folder.
namespace RoomDistribution {

namespace {

QString plain(double v)
{
    return NumberText::plain(v);
}

QString twoDecimals(double v)
{
    return NumberText::format(v, QStringLiteral("0.00"));
}

QString csvLine(const QStringList &fields)
{
    return CsvText::line(fields, QStringLiteral("\r\n"), CsvText::Guard::Formulas);
}

} // namespace

bool writeCsv(const QList<Outcome> &rooms, const QString &folder, QString *error, QString *notice)
{
    QString roomsCsv = csvLine({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("slot"), QStringLiteral("nx"),
                                QStringLiteral("ny"), QStringLiteral("fittings"), QStringLiteral("h"), QStringLiteral("cells_x"),
                                QStringLiteral("cells_y"), QStringLiteral("e_direct_floor"), QStringLiteral("e_indirect"),
                                QStringLiteral("e_avg"), QStringLiteral("e_min"), QStringLiteral("e_max"), QStringLiteral("u0"),
                                QStringLiteral("ud"), QStringLiteral("uf_sheet"), QStringLiteral("uf_photometry"),
                                QStringLiteral("method"), QStringLiteral("e_wall_avg"), QStringLiteral("e_ceiling_avg"),
                                QStringLiteral("l_wall_avg"), QStringLiteral("l_ceiling_avg"), QStringLiteral("note"),
                                QStringLiteral("ugr_max"), QStringLiteral("ugr_table")});
    QString ugr = csvLine({QStringLiteral("row"), QStringLiteral("observer"), QStringLiteral("x"), QStringLiteral("y"),
                           QStringLiteral("eye_height_m"), QStringLiteral("view_deg"), QStringLiteral("lb"), QStringLiteral("ugr"),
                           QStringLiteral("counted")});
    const auto one = [](const std::optional<double> &v) { return v ? NumberText::format(*v, QStringLiteral("0.0")) : QString(); };
    const QString pointsHead = csvLine({QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("e_direct"),
                                        QStringLiteral("e"), QStringLiteral("e_indirect")});
    QString surfaces = csvLine({QStringLiteral("row"), QStringLiteral("surface"), QStringLiteral("x0"), QStringLiteral("y0"),
                                QStringLiteral("z0"), QStringLiteral("x1"), QStringLiteral("y1"), QStringLiteral("z1"),
                                QStringLiteral("e_direct"), QStringLiteral("e"), QStringLiteral("m")});
    QString luminaires = csvLine({QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("source_row")});
    // A figure of each row of the room, in the order of its rows ("58+23").
    const auto each = [](const Outcome &o, const std::function<QString(qsizetype)> &f) {
        QStringList out;
        for (qsizetype k = 0; k < o.parts.size(); ++k)
            out.append(f(k));
        return out.join(u'+');
    };
    for (const Outcome &o : rooms) {
        const QString row = o.rowsText();
        const QString slotNumbers = each(o, [&o](qsizetype k) { return o.parts[k].slot > 0 ? QString::number(o.parts[k].slot) : QString(); });
        // A count beyond the bound is not shown cut to another number.
        const QString fittings = each(o, [&o](qsizetype k) {
            const int n = o.parts[k].fittings;
            return std::abs(n) <= Distribution::kMaxFittings ? QString::number(n) : QString();
        });
        const QString ufSheet = each(o, [&o](qsizetype k) { return twoDecimals(o.parts[k].utilization); });
        if (!o.ok) {
            roomsCsv += csvLine({row, o.name, slotNumbers, {}, {}, fittings, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, ufSheet, {},
                                 {}, {}, {}, {}, {}, o.reason, {}, {}});
            continue;
        }
        const Distribution::Result &r = o.result;
        const auto layout = [&o](qsizetype k) { return o.room.sources[k].layout; };
        roomsCsv += csvLine({row, o.name, slotNumbers, each(o, [&](qsizetype k) { return QString::number(layout(k).longest()); }),
                             each(o, [&](qsizetype k) { return QString::number(layout(k).rows.size()); }), fittings,
                             each(o, [&o](qsizetype k) { return plain(o.parts[k].height); }), QString::number(r.grid.cellsX),
                             QString::number(r.grid.cellsY), plain(r.directFloor), plain(r.indirect), plain(r.average),
                             plain(r.minimum), plain(r.maximum), plain(r.u0), plain(r.ud), ufSheet,
                             each(o, [&o](qsizetype k) {
                                 return o.parts[k].utilizationOfFile ? twoDecimals(*o.parts[k].utilizationOfFile) : QString();
                             }),
                             Distribution::methodName(r.method),
                             r.surfaces ? plain(r.surfaces->wallIlluminance()) : QString(),
                             r.surfaces ? plain(r.surfaces->ceilingIlluminance()) : QString(),
                             r.surfaces ? plain(r.surfaces->wallLuminance()) : QString(),
                             r.surfaces ? plain(r.surfaces->ceilingLuminance()) : QString(),
                             (o.notes + (o.glare.largest ? QStringList() : QStringList{QStringLiteral("UGR: ") + o.glare.why}))
                                 .join(QStringLiteral(" ")),
                             one(o.glare.largest), one(o.glare.table)});
        const QString first = QString::number(o.row);
        for (const RoomGlare::Observer &g : o.glare.observers)
            ugr += csvLine({row, QString::number(g.number), plain(g.x), plain(g.y), plain(g.eye), plain(g.view), plain(g.background),
                            one(g.ugr), QString::number(g.counted)});
        if (r.surfaces)
            for (const Radiosity::Patch &patch : r.surfaces->patches)
                surfaces += csvLine({first, QString::fromLatin1(Radiosity::surfaceName(patch.surface)), plain(patch.lo[0]),
                                     plain(patch.lo[1]), plain(patch.lo[2]), plain(patch.hi[0]), plain(patch.hi[1]),
                                     plain(patch.hi[2]), plain(patch.e0), plain(patch.e), plain(patch.m)});
        for (qsizetype k = 0; k < r.luminaires.size(); ++k)
            for (const QPointF &l : r.luminaires[k])
                luminaires += csvLine({first, plain(l.x()), plain(l.y()), QString::number(o.parts[k].row)});
    }
    // The files as one set under the folder's lock: a failure, a stop or a second run into
    // the same folder leaves one run's set whole, never one file of each.
    // points.csv, the large one, written room by room, never whole in memory.
    FileSet::File points;
    points.path = QStringLiteral("points.csv");
    points.produce = [&](FileSet::Sink &sink, QString *) {
        if (!sink.write(pointsHead.toUtf8()))
            return false;
        for (const Outcome &o : rooms) {
            if (!o.ok)
                continue;
            const Distribution::Result &r = o.result;
            const QString first = QString::number(o.row);
            QString piece;
            for (int j = 0; j < r.grid.cellsY; ++j)
                for (int i = 0; i < r.grid.cellsX; ++i) {
                    const QPointF p = r.grid.point(i, j);
                    const int k = j * r.grid.cellsX + i;
                    piece += csvLine({first, plain(p.x()), plain(p.y()), plain(r.direct[k]), plain(r.total[k]), plain(r.reflected[k])});
                }
            if (!sink.write(piece.toUtf8()))
                return false;
        }
        return true;
    };
    const auto named = [](const QString &name, const QByteArray &bytes) {
        FileSet::File f;
        f.path = name;
        f.bytes = bytes;
        return f;
    };
    return FileSet::writeOutputFiles(folder,
                                     {named(QStringLiteral("rooms.csv"), roomsCsv.toUtf8()), points,
                                      named(QStringLiteral("luminaires.csv"), luminaires.toUtf8()),
                                      named(QStringLiteral("surfaces.csv"), surfaces.toUtf8()),
                                      named(QStringLiteral("ugr.csv"), ugr.toUtf8())},
                                     error, notice);
}

} // namespace RoomDistribution
