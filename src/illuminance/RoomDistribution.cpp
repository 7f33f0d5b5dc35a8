#include "illuminance/RoomDistribution.h"

#include "illuminance/RoomRecord.h"
#include "io/FileSet.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "photometry/DistributionPlot.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryReader.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace RoomDistribution {

namespace {

using namespace RoomRecord;

double number(const Texts &text, int column)
{
    return NumberText::leading(text(column));
}

QString plain(double v)
{
    return NumberText::plain(v);
}

QString csvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted.append(f.contains(u',') || f.contains(u'"') || f.contains(u'\n')
                          ? QStringLiteral("\"") + QString(f).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\"")
                          : f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

// The value as typed, for a message (a text of 400 digits is cut).
QString shown(const QString &text)
{
    const QString t = text.trimmed();
    return t.size() > 24 ? t.left(24) + QStringLiteral("…") : t;
}

} // namespace

QString refusal(const Texts &text)
{
    struct Field {
        int column;
        const char *name;
    };
    // Factors and figures that scale the light: a negative or infinite one gives no answer.
    static const Field factors[] = {{LampFlux, "光束"},          {LampsPerFitting, "1台あたりの灯数"},
                                    {UtilizationFactor, "照明率"}, {MaintenanceFactor, "保守率"},
                                    {CeilingHeight, "高さ"},       {Suspension, "器具下り"},
                                    {WorkPlaneHeight, "作業面の高さ"}, {Area, "面積"}};
    // What the room asks of the calculation: its sides set the number of points, its fittings
    // the work at each point.
    static const Field sides[] = {{Width, "間口"}, {Depth, "奥行"}};
    const auto value = [&](int column) { return number(text, column); };
    for (const Field &f : sides) {
        const double v = value(f.column);
        if (!std::isfinite(v))
            return QStringLiteral("%1「%2」は大きすぎて計算できません。").arg(QString::fromUtf8(f.name), shown(text(f.column)));
        if (v > Distribution::kMaxSide)
            return QStringLiteral("%1「%2」は %3 m までです（照度分布を求められる室の大きさ）。")
                .arg(QString::fromUtf8(f.name), shown(text(f.column)))
                .arg(Distribution::kMaxSide);
        if (v < 0)
            return QStringLiteral("%1「%2」が負の数です。").arg(QString::fromUtf8(f.name), shown(text(f.column)));
    }
    for (const Field &f : factors) {
        const double v = value(f.column);
        if (!std::isfinite(v))
            return QStringLiteral("%1「%2」は大きすぎて計算できません。").arg(QString::fromUtf8(f.name), shown(text(f.column)));
        if (v < 0)
            return QStringLiteral("%1「%2」が負の数です。").arg(QString::fromUtf8(f.name), shown(text(f.column)));
    }
    const double fittings = value(FittingCount);
    if (!std::isfinite(fittings) || fittings > Distribution::kMaxFittings)
        return QStringLiteral("台数「%1」は %2 台までです（照度分布で計算できる器具の数）。")
            .arg(shown(text(FittingCount)))
            .arg(Distribution::kMaxFittings);
    if (fittings < 0)
        return QStringLiteral("台数「%1」が負の数です。").arg(shown(text(FittingCount)));
    return QString();
}

Distribution::Room roomOf(const Texts &text)
{
    Distribution::Room r;
    r.width = number(text, Width);
    r.depth = number(text, Depth);
    r.area = number(text, Area);
    r.height = number(text, CeilingHeight) - number(text, Suspension) - number(text, WorkPlaneHeight);
    const double perFitting = number(text, LampsPerFitting);
    r.fluxPerLuminaire = number(text, LampFlux) * (perFitting > 0 ? perFitting : 1);
    r.utilization = number(text, UtilizationFactor);
    r.maintenance = number(text, MaintenanceFactor);
    // Within the int's range whatever was typed: refusal() names a count beyond the bound.
    const double fittings = number(text, FittingCount);
    r.fittings = std::isfinite(fittings) ? int(std::clamp(fittings, -1e9, 1e9)) : 0;
    return r;
}

Outcome compute(const Texts &text, int row, const MasterTables &masters, const QString &masterDir,
                std::optional<Distribution::Layout> layout, QHash<QString, Photometry> *files,
                const QList<LuminaireImport::Kept> *index)
{
    Outcome o;
    o.row = row;
    o.name = (text(RoomName1) + QStringLiteral(" ") + text(RoomName2)).trimmed();
    o.slot = NumberText::toInt(text(LuminaireIndex));
    o.room = roomOf(text);
    o.lumenResult = number(text, ResultIlluminance);
    if (const QString why = refusal(text); !why.isEmpty()) {
        o.reason = why;
        return o;
    }
    if (o.slot < 1 || !masters.luminaire(o.slot).present()) {
        o.reason = QStringLiteral("照明器具がマスタから選ばれていないため、配光データがありません。");
        return o;
    }
    const QString lumName = FixedField::trimmedRight(masters.luminaire(o.slot).name);
    const QString file = index ? LuminaireImport::keptFile(*index, masterDir, o.slot, lumName)
                               : LuminaireImport::keptFile(masterDir, o.slot, lumName);
    if (file.isEmpty()) {
        o.reason = QStringLiteral("照明器具「%1」（スロット %2）には配光データがありません。"
                                  "ｵﾌﾟｼｮﾝ → 配光データから照明器具を追加... で登録できます。")
                       .arg(lumName)
                       .arg(o.slot);
        return o;
    }
    QString error;
    if (files && files->contains(file)) {
        o.photometry = files->value(file);
    } else if (!PhotometryReader::readFile(file, &o.photometry, &error, nullptr, true)) {
        o.reason = QStringLiteral("配光データ %1 を読み込めません: %2").arg(QDir::toNativeSeparators(file), error);
        return o;
    } else if (files) {
        files->insert(file, o.photometry);
    }
    const Distribution::Layout chosen = layout ? *layout : Distribution::defaultLayout(o.room.fittings, o.room.width, o.room.depth);
    if (!Distribution::compute(o.room, o.photometry, chosen, &o.result, &error)) {
        o.reason = error;
        return o;
    }
    o.ok = true;
    return o;
}

QList<Outcome> computeAll(const RecordGrid &grid, const MasterTables &masters, const QString &masterDir)
{
    QList<Outcome> out;
    // What an interrupted import left beside the masters is mended before they are read; the
    // index is read once, and each luminaire's file once, whatever the number of rooms.
    QString ignored;
    LuminaireImport::mend(masterDir, &ignored);
    QString indexError;
    const QList<LuminaireImport::Kept> index = LuminaireImport::kept(masterDir, &indexError);
    QHash<QString, Photometry> files;
    for (int r = 1; r <= kRooms; ++r) {
        if (grid.text(r, InUse) != u"1")
            continue;
        out.append(compute([&grid, r](int c) { return grid.text(r, c); }, r, masters, masterDir, std::nullopt, &files, &index));
        // An index that cannot be read (a FIFO, a link, too large) is the reason, not "no file".
        Outcome &o = out.last();
        if (!o.ok && !indexError.isEmpty() && o.slot >= 1 && masters.luminaire(o.slot).present()
            && o.reason.startsWith(QStringLiteral("照明器具「")))
            o.reason = QStringLiteral("配光データの一覧を読めません: %1").arg(indexError);
    }
    return out;
}

QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>> pages(const QList<Outcome> &rooms,
                                                                                  const RecordGrid &grid,
                                                                                  const QString &companyName)
{
    QList<const Outcome *> drawn;
    for (const Outcome &o : rooms)
        if (o.ok)
            drawn.append(&o);
    const QString title1 = grid.text(kHeadingsRow, kTitle1);
    const QString date = grid.text(kHeadingsRow, kDate);
    QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>> out;
    for (qsizetype i = 0; i < drawn.size(); i += 2) {
        QList<Outcome> pair{*drawn[i]};
        if (i + 1 < drawn.size())
            pair.append(*drawn[i + 1]);
        out.append([pair, title1, date, companyName](BandedReport::Pen &pen, const BandedReport::Page &page) {
            const double left = page.left, right = page.right, top = page.top, bottom = page.bottom;
            pen.text(left, top, right - left, 560, QStringLiteral("照 度 分 布"), Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
            pen.text(left, top + 600, 9000, 300, QStringLiteral("件名  ") + title1, Qt::AlignLeft | Qt::AlignVCenter, 10, false,
                     false, BandedReport::kSmallestLinePoints);
            pen.text(right - 4000, top + 600, 4000, 300, date, Qt::AlignRight | Qt::AlignVCenter, 10);
            const double bandTop = top + 1000;
            const double half = (right - left) / 2;
            for (int k = 0; k < pair.size(); ++k) {
                const Outcome &o = pair[k];
                const double x = left + k * half + (k == 0 ? 0 : 200);
                const double w = half - 200;
                pen.rect(x, bandTop, w, bottom - 600 - bandTop, 10);
                pen.text(x + 100, bandTop + 60, w - 200, 320,
                         QStringLiteral("行 %1　%2").arg(o.row).arg(o.name), Qt::AlignLeft | Qt::AlignVCenter, 11, true, false,
                         BandedReport::kSmallestLinePoints);
                const QStringList figures = DistributionPlot::figures(o.room, o.result, o.lumenResult);
                const double figuresTop = bottom - 600 - 100 - figures.size() * 280;
                const QRectF plot(x + 100, bandTop + 420, w - 200, figuresTop - bandTop - 520);
                Distribution::Room room = o.room;
                const Photometry photometry = o.photometry;
                const Distribution::Result result = o.result;
                DistributionPlot::draw(pen.painter(), plot, room, result,
                                       [&](QPointF p) { return Distribution::totalAt(room, photometry, result, p); }, true);
                for (int f = 0; f < figures.size(); ++f)
                    pen.text(x + 100, figuresTop + f * 280, w - 200, 280, figures[f], Qt::AlignLeft | Qt::AlignVCenter, 9,
                             false, false, BandedReport::kSmallestLinePoints);
            }
            const double y = bottom - 360;
            pen.text(left, y, 6000, 360, companyName, Qt::AlignLeft | Qt::AlignVCenter, 9, false, false,
                     BandedReport::kSmallestLinePoints);
            const double px = right - 1500;
            pen.text(px, y, 700, 360, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
            pen.text(px + 700, y, 300, 360, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
            pen.text(px + 1000, y, 500, 360, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
        });
    }
    return out;
}

bool writeCsv(const QList<Outcome> &rooms, const QString &folder, QString *error)
{
    QString roomsCsv = csvLine({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("slot"), QStringLiteral("nx"),
                                QStringLiteral("ny"), QStringLiteral("fittings"), QStringLiteral("h"), QStringLiteral("cells_x"),
                                QStringLiteral("cells_y"), QStringLiteral("e_direct_floor"), QStringLiteral("e_indirect"),
                                QStringLiteral("e_avg"), QStringLiteral("e_min"), QStringLiteral("e_max"), QStringLiteral("u0"),
                                QStringLiteral("ud")});
    QString points = csvLine({QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("e_direct"),
                              QStringLiteral("e")});
    QString luminaires = csvLine({QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y")});
    for (const Outcome &o : rooms) {
        const QString row = QString::number(o.row);
        if (!o.ok) {
            // A count beyond the bound is not shown cut to another number.
            const QString fittings = std::abs(o.room.fittings) <= Distribution::kMaxFittings ? QString::number(o.room.fittings) : QString();
            roomsCsv += csvLine({row, o.name, o.slot > 0 ? QString::number(o.slot) : QString(), {}, {}, fittings,
                                 {}, {}, {}, {}, {}, {}, {}, {}, {}, {}});
            continue;
        }
        const Distribution::Result &r = o.result;
        roomsCsv += csvLine({row, o.name, QString::number(o.slot), QString::number(r.layout.nx), QString::number(r.layout.ny),
                             QString::number(o.room.fittings), plain(r.height), QString::number(r.grid.cellsX),
                             QString::number(r.grid.cellsY), plain(r.directFloor), plain(r.indirect), plain(r.average),
                             plain(r.minimum), plain(r.maximum), plain(r.u0), plain(r.ud)});
        for (int j = 0; j < r.grid.cellsY; ++j)
            for (int i = 0; i < r.grid.cellsX; ++i) {
                const QPointF p = r.grid.point(i, j);
                const int k = j * r.grid.cellsX + i;
                points += csvLine({row, plain(p.x()), plain(p.y()), plain(r.direct[k]), plain(r.total[k])});
            }
        for (const QPointF &l : r.luminaires)
            luminaires += csvLine({row, plain(l.x()), plain(l.y())});
    }
    // The three files as one set under the folder's lock: a failure, a stop or a second run into
    // the same folder leaves one run's set whole, never one file of each.
    const QDir dir(folder);
    QList<FileSet::File> files(3);
    files[0].path = dir.filePath(QStringLiteral("rooms.csv"));
    files[0].bytes = roomsCsv.toUtf8();
    files[1].path = dir.filePath(QStringLiteral("points.csv"));
    files[1].bytes = points.toUtf8();
    files[2].path = dir.filePath(QStringLiteral("luminaires.csv"));
    files[2].bytes = luminaires.toUtf8();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        *error = QStringLiteral("フォルダを作成できません: %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    FileSet::Lock lock;
    return lock.acquire(folder, error) && FileSet::write(lock, files, error);
}

} // namespace RoomDistribution
