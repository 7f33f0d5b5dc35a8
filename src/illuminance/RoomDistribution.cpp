#include "illuminance/RoomDistribution.h"
#include "text/CsvText.h"

#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/RoomFigures.h"
#include "illuminance/RoomRecord.h"
#include "grid/RoomFloors.h"
#include "photometry/PhotometryMath.h"
#include "io/FileSet.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "photometry/DistributionPlot.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryReader.h"
#include "settings/SettingsStore.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>
#include <cmath>
#include <functional>
#include <memory>

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
    return CsvText::line(fields, QStringLiteral("\r\n"), CsvText::Guard::Formulas);
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

namespace {

QString twoDecimals(double v)
{
    return NumberText::format(v, QStringLiteral("0.00"));
}

} // namespace

std::optional<std::array<double, 3>> reflectancesOf(const Texts &text)
{
    const int pattern = NumberText::toInt(text(ReflectanceChoice));
    if (pattern >= 1 && pattern <= 3)
        return PhotometryMath::kPatterns[size_t(pattern - 1)];
    std::array<double, 3> reflectances{};
    const int columns[] = {CeilingReflectance, WallReflectance, FloorReflectance};
    for (int i = 0; i < 3; ++i) {
        if (text(columns[i]).trimmed().isEmpty())
            return std::nullopt;
        reflectances[size_t(i)] = number(text, columns[i]) / 100;
    }
    return reflectances;
}

Distribution::InterReflection savedMethod()
{
    return Distribution::methodOf(SettingsStore::ReadSetting(QStringLiteral("DistributionInterReflection")))
        .value_or(Distribution::InterReflection::Radiosity);
}

void saveMethod(Distribution::InterReflection method)
{
    SettingsStore::WriteSetting(QStringLiteral("DistributionInterReflection"), Distribution::methodName(method));
}

QString methodText(Distribution::InterReflection method)
{
    return method == Distribution::InterReflection::Radiosity ? QStringLiteral("ラジオシティ") : QStringLiteral("一様（光束法）");
}

namespace {

// The 照明率 the row's photometric file gives at the row's room index and reflectances, as the
// import writes it into the master's table (none without an index or reflectances).
std::optional<double> utilizationOfFile(const Photometry &p, const Texts &text)
{
    if (text(RoomIndex).trimmed().isEmpty())
        return std::nullopt;
    const int roomClass = IlluminanceCalculation::roomIndexClass(number(text, RoomIndex));
    const auto reflectances = reflectancesOf(text);
    if (!reflectances)
        return std::nullopt;
    return PhotometryMath::utilizationEntry(p, roomClass, (*reflectances)[0], (*reflectances)[1], (*reflectances)[2]) / 100.0;
}

// "x 0.89～1.00 m・y 0.86 m": the spacing along the rows (shortest and longest) and between them.
QString spacing(const Distribution::Layout &l, double width, double depth)
{
    if (l.rows.isEmpty() || l.shortest() < 1)
        return QString();
    const double near = width / l.longest(), far = width / l.shortest();
    const QString x = l.longest() == l.shortest() ? twoDecimals(near) : twoDecimals(near) + QStringLiteral("～") + twoDecimals(far);
    return QStringLiteral("間隔 x %1 m・y %2 m").arg(x, twoDecimals(depth / l.rows.size()));
}

// "9 台 × 2 列・8 台 × 5 列": the rows of a layout, longest first.
QString rowsOf(const Distribution::Layout &l)
{
    QStringList out;
    QList<int> counts = l.rows;
    std::sort(counts.begin(), counts.end(), std::greater<int>());
    for (qsizetype i = 0; i < counts.size();) {
        qsizetype j = i;
        while (j < counts.size() && counts[j] == counts[i])
            ++j;
        out.append(QStringLiteral("%1 台 × %2 列").arg(counts[i]).arg(j - i));
        i = j;
    }
    return out.join(QStringLiteral("・"));
}

} // namespace

QString Outcome::rowsText() const
{
    QStringList out;
    for (int r : rows)
        out.append(QString::number(r));
    return out.join(u'+');
}

QList<QList<int>> rooms(const RecordGrid &grid)
{
    return RoomFloors::physicalRooms(grid);
}

QList<int> roomRows(const RecordGrid &grid, int row)
{
    return RoomFloors::physicalRoomOf(grid, row);
}

Outcome compute(const QList<Texts> &texts, const QList<int> &rows, const MasterTables &masters, const QString &masterDir,
                const QHash<int, Distribution::Layout> &tried, QHash<QString, Photometry> *files,
                const QList<LuminaireImport::Kept> *index, Distribution::InterReflection method)
{
    Outcome o;
    o.rows = rows;
    o.row = rows.value(0);
    if (texts.isEmpty() || texts.size() != rows.size()) {
        o.reason = QStringLiteral("室がありません。");
        return o;
    }
    const Texts &first = texts.first();
    o.name = (first(RoomName1) + QStringLiteral(" ") + first(RoomName2)).trimmed();
    o.room.width = number(first, Width);
    o.room.depth = number(first, Depth);
    o.room.area = number(first, Area);
    o.designIlluminance = number(first, DesignIlluminance);
    o.room.height = number(first, CeilingHeight);
    o.room.workPlane = number(first, WorkPlaneHeight);
    o.room.reflectances = reflectancesOf(first);
    o.room.method = method;
    // A room of several rows names the row each reason is about.
    const auto about = [&](int k, const QString &why) {
        return rows.size() > 1 ? QStringLiteral("%1 行目の").arg(rows[k]) + why : why;
    };
    for (qsizetype k = 0; k < texts.size(); ++k) {
        const Texts &text = texts[k];
        Part part;
        part.row = rows[k];
        part.slot = NumberText::toInt(text(LuminaireIndex));
        part.luminaire = text(LuminaireType);
        // The lamp as entered (the 光源名称 ends in "-" and the lamps per fitting).
        part.lamp = text(LampNameEntry).trimmed().isEmpty() ? text(LampName) : text(LampNameEntry);
        part.lampFlux = number(text, LampFlux);
        const double perFitting = number(text, LampsPerFitting);
        part.lampsPerFitting = perFitting > 0 ? perFitting : 1;
        part.maintenance = number(text, MaintenanceFactor);
        part.utilization = number(text, UtilizationFactor);
        part.height = number(text, CeilingHeight) - number(text, Suspension) - number(text, WorkPlaneHeight);
        // Within the int's range whatever was typed: refusal() names a count beyond the bound.
        const double fittings = number(text, FittingCount);
        part.fittings = std::isfinite(fittings) ? int(std::clamp(fittings, -1e9, 1e9)) : 0;
        o.lumenResult += number(text, ResultIlluminance);
        o.parts.append(part);
        if (!o.reason.isEmpty())
            continue; // the first reason is the room's; the parts are still listed
        if (const QString why = refusal(text); !why.isEmpty()) {
            o.reason = about(k, why);
            continue;
        }
        if (part.slot < 1 || !masters.luminaire(part.slot).present()) {
            o.reason = about(k, QStringLiteral("照明器具がマスタから選ばれていないため、配光データがありません。"));
            continue;
        }
        const QString lumName = FixedField::trimmedRight(masters.luminaire(part.slot).name);
        const QString file = index ? LuminaireImport::keptFile(*index, masterDir, part.slot, lumName)
                                   : LuminaireImport::keptFile(masterDir, part.slot, lumName);
        if (file.isEmpty()) {
            o.reason = about(k, QStringLiteral("照明器具「%1」（スロット %2）には配光データがありません。"
                                               "ｵﾌﾟｼｮﾝ → 配光データから照明器具を追加... で登録できます。")
                                    .arg(lumName)
                                    .arg(part.slot));
            continue;
        }
        Distribution::Source source;
        QString error;
        if (files && files->contains(file)) {
            source.photometry = files->value(file);
        } else if (!PhotometryReader::readFile(file, &source.photometry, &error, nullptr, true)) {
            o.reason = about(k, QStringLiteral("配光データ %1 を読み込めません: %2").arg(QDir::toNativeSeparators(file), error));
            continue;
        } else if (files) {
            files->insert(file, source.photometry);
        }
        source.fluxPerLuminaire = part.lampFlux * part.lampsPerFitting;
        source.utilization = part.utilization;
        source.maintenance = part.maintenance;
        source.height = part.height;
        source.fittings = part.fittings;
        source.layout = tried.contains(part.row) ? tried.value(part.row)
                                                 : Distribution::defaultLayout(part.fittings, o.room.width, o.room.depth);
        o.parts.last().utilizationOfFile = utilizationOfFile(source.photometry, text);
        o.room.sources.append(source);
    }
    if (!o.reason.isEmpty())
        return o;
    QString error;
    if (!Distribution::compute(o.room, &o.result, &error)) {
        o.reason = error;
        return o;
    }
    // What the inter-reflected light was worked out with, and a balance that does not close.
    if (!o.result.uniformWhy.isEmpty())
        o.notes.append(o.result.uniformWhy);
    if (o.result.surfaces && o.result.surfaces->imbalance() > 0.005)
        o.notes.append(QStringLiteral("光束の収支が合いません（%1 %）")
                           .arg(NumberText::format(100 * o.result.surfaces->imbalance(), QStringLiteral("0.0"))));
    // A 照明率 of the sheet that the file does not give: the lumen method's mean and the direct
    // light drawn here come from different luminaires.
    for (const Part &p : std::as_const(o.parts)) {
        if (!p.utilizationOfFile || !(p.utilization > 0) || std::fabs(*p.utilizationOfFile - p.utilization) <= 0.10 * p.utilization)
            continue;
        o.notes.append((rows.size() > 1 ? QStringLiteral("%1 行目の").arg(p.row) : QString())
                       + QStringLiteral("照明率が配光データと合っていません（計算書 %1、配光データ %2）")
                             .arg(twoDecimals(p.utilization), twoDecimals(*p.utilizationOfFile)));
    }
    o.ok = true;
    return o;
}

QList<Outcome> computeAll(const RecordGrid &stored, const MasterTables &masters, const QString &masterDir,
                          Distribution::InterReflection method)
{
    // The counts the rows' inputs give, whatever the grid stores.
    RecordGrid grid = stored;
    RoomFigures::recomputeAll(grid, &masters);
    QList<Outcome> out;
    // What an interrupted import left beside the masters is mended before they are read; the
    // index is read once, and each luminaire's file once, whatever the number of rooms.
    QString ignored;
    LuminaireImport::mend(masterDir, &ignored);
    QString indexError;
    const QList<LuminaireImport::Kept> index = LuminaireImport::kept(masterDir, &indexError);
    // The rooms are independent: worked out side by side, each worker with the files it has read.
    const QList<QList<int>> all = rooms(grid);
    out.resize(all.size());
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        QHash<QString, Photometry> files;
        for (qsizetype k = next++; k < all.size(); k = next++) {
            QList<Texts> texts;
            for (int r : all[k])
                texts.append([&grid, r](int c) { return grid.text(r, c); });
            out[k] = compute(texts, all[k], masters, masterDir, {}, &files, &index, method);
        }
    };
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers && t < unsigned(all.size()); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    // An index that cannot be read (a FIFO, a link, too large) is the reason, not "no file".
    for (Outcome &o : out)
        if (!o.ok && !indexError.isEmpty() && o.reason.contains(QStringLiteral("には配光データがありません")))
            o.reason = QStringLiteral("配光データの一覧を読めません: %1").arg(indexError);
    return out;
}

QStringList figures(const Outcome &o)
{
    QStringList out;
    const Distribution::Result &r = o.result;
    const auto lx = [](double v) { return NumberText::format(v, QStringLiteral("0")); };
    const auto percent = [](double v) { return NumberText::format(100 * v, QStringLiteral("0")); };
    QString room = QStringLiteral("設計照度 %1 lx　作業面の高さ %2 m").arg(lx(o.designIlluminance), twoDecimals(o.room.workPlane));
    if (o.room.reflectances)
        room += QStringLiteral("　反射率 天井 %1 %・壁 %2 %・床 %3 %")
                    .arg(percent((*o.room.reflectances)[0]), percent((*o.room.reflectances)[1]), percent((*o.room.reflectances)[2]));
    out.append(room);
    for (qsizetype k = 0; k < o.parts.size() && k < o.room.sources.size(); ++k) {
        const Part &p = o.parts[k];
        const Distribution::Layout &l = o.room.sources[k].layout;
        out.append(QStringLiteral("%1 %2 行目　%3　%4　%5 lm × %6 灯/台　保守率 %7")
                       .arg(DistributionPlot::markerText(int(k)))
                       .arg(p.row)
                       .arg(p.luminaire, p.lamp, NumberText::plain(p.lampFlux), NumberText::plain(p.lampsPerFitting),
                            twoDecimals(p.maintenance)));
        QString count = QStringLiteral("　%1 台（%2）　%3　h = %4 m")
                            .arg(l.count())
                            .arg(rowsOf(l), spacing(l, o.room.width, o.room.depth), twoDecimals(p.height));
        if (l.count() != p.fittings)
            count += QStringLiteral("　計算書の台数は %1 台：この図は %2 台の値").arg(p.fittings).arg(l.count());
        out.append(count);
    }
    // The points' spacing as it is: the area's sides over the number of cells.
    const bool band = r.grid.x0 > 0;
    out.append(QStringLiteral("計算点 %1 × %2（間隔 %3 × %4 m%5）")
                   .arg(r.grid.cellsX)
                   .arg(r.grid.cellsY)
                   .arg(twoDecimals(r.grid.width / std::max(1, r.grid.cellsX)), twoDecimals(r.grid.depth / std::max(1, r.grid.cellsY)),
                        band ? QStringLiteral("、壁から 0.5 m を除く") : QString()));
    out.append(QStringLiteral("平均 Eavg %1 lx　最小 Emin %2 lx　最大 Emax %3 lx").arg(lx(r.average), lx(r.minimum), lx(r.maximum)));
    out.append(QStringLiteral("均斉度 U0 = Emin/Eavg %1　Ud = Emin/Emax %2").arg(twoDecimals(r.u0), twoDecimals(r.ud)));
    if (r.surfaces) {
        out.append(QStringLiteral("相互反射 ラジオシティ：計算点の平均 直接 %1 + 相互反射 %2 lx　光束法 %3 lx（計算書）")
                       .arg(lx(r.average - r.indirect), lx(r.indirect), lx(o.lumenResult)));
        out.append(QStringLiteral("壁 平均照度 %1 lx・平均輝度 %2 cd/㎡　天井 平均照度 %3 lx・平均輝度 %4 cd/㎡")
                       .arg(lx(r.surfaces->wallIlluminance()), NumberText::format(r.surfaces->wallLuminance(), QStringLiteral("0.0")),
                            lx(r.surfaces->ceilingIlluminance()),
                            NumberText::format(r.surfaces->ceilingLuminance(), QStringLiteral("0.0"))));
        out.append(QStringLiteral("器具は点光源として計算（器具そのものの遮光・反射は含みません）"));
    } else {
        out.append(QStringLiteral("相互反射 一様（光束法）：床面平均 %1 lx = 直接 %2 + 相互反射 %3　光束法 %4 lx（計算書）")
                       .arg(lx(r.directFloor + r.indirect), lx(r.directFloor), lx(r.indirect), lx(o.lumenResult)));
    }
    return out;
}

QStringList warnings(const Outcome &o)
{
    return o.notes;
}

Headings headingsOf(const RecordGrid &grid, const QString &company)
{
    return {grid.text(kHeadingsRow, kTitle1), grid.text(kHeadingsRow, kDate), company};
}

namespace {

void footer(BandedReport::Pen &pen, const BandedReport::Page &page, const Headings &headings)
{
    const double y = page.bottom - 360;
    pen.text(page.left, y, 6000, 360, headings.company, Qt::AlignLeft | Qt::AlignVCenter, 9, false, false,
             BandedReport::kSmallestLinePoints);
    const double px = page.right - 1500;
    pen.text(px, y, 700, 360, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
    pen.text(px + 700, y, 300, 360, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
    pen.text(px + 1000, y, 500, 360, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
}

// A part of a room's table of point values: its columns i0..i1 and rows j0..j1 (of the grid).
struct TablePart {
    QString caption;
    QList<double> xs, ys;        // the columns' and rows' positions, m
    QList<QList<double>> values; // [row][column], the far wall's row first
};

constexpr double kTableFirst = 760, kTableColumn = 540, kTableRow = 235, kTableHead = 620; // twips
constexpr double kTableWidth = 9500, kTableHeight = 13000; // what half a page holds, about

QList<TablePart> tableParts(const Outcome &o)
{
    QList<TablePart> out;
    const Distribution::Grid &g = o.result.grid;
    if (!o.ok || g.count() == 0)
        return out;
    const int columns = std::max(1, int((kTableWidth - kTableFirst) / kTableColumn));
    const int rows = std::max(1, int((kTableHeight - kTableHead) / kTableRow));
    const int across = (g.cellsX + columns - 1) / columns, down = (g.cellsY + rows - 1) / rows;
    for (int b = 0; b < down; ++b)
        for (int a = 0; a < across; ++a) {
            TablePart part;
            part.caption = QStringLiteral("%1 行目　%2　計算点の照度 lx").arg(o.rowsText(), o.name);
            if (across * down > 1)
                part.caption += QStringLiteral("（%1/%2）").arg(b * across + a + 1).arg(across * down);
            const int i0 = a * columns, i1 = std::min(g.cellsX, i0 + columns);
            // Rows from the far wall down, as the plan shows them.
            const int j1 = g.cellsY - b * rows, j0 = std::max(0, j1 - rows);
            for (int i = i0; i < i1; ++i)
                part.xs.append(g.point(i, 0).x());
            for (int j = j1 - 1; j >= j0; --j) {
                part.ys.append(g.point(0, j).y());
                QList<double> line;
                for (int i = i0; i < i1; ++i)
                    line.append(o.result.total[j * g.cellsX + i]);
                part.values.append(line);
            }
            out.append(part);
        }
    return out;
}

// The table itself, its top left corner at (left, top): its numbers drawn straight in one font
// (a page holds hundreds of them).
void drawTableBody(BandedReport::Pen &pen, const TablePart &t, double left, double top)
{
    QPainter &painter = pen.painter();
    painter.save();
    QFont font = pen.baseFont();
    font.setPixelSize(7 * 20);
    painter.setFont(font);
    painter.setPen(Qt::black);
    constexpr double pad = 70;
    painter.drawText(QRectF(left, top, kTableFirst, kTableRow), Qt::AlignCenter, QStringLiteral("y＼x m"));
    for (qsizetype i = 0; i < t.xs.size(); ++i)
        painter.drawText(QRectF(left + kTableFirst + i * kTableColumn, top, kTableColumn - pad, kTableRow),
                         Qt::AlignRight | Qt::AlignVCenter, twoDecimals(t.xs[i]));
    for (qsizetype j = 0; j < t.ys.size(); ++j) {
        const double row = top + kTableRow * (j + 1);
        painter.drawText(QRectF(left, row, kTableFirst - pad, kTableRow), Qt::AlignRight | Qt::AlignVCenter, twoDecimals(t.ys[j]));
        for (qsizetype i = 0; i < t.values[j].size(); ++i)
            painter.drawText(QRectF(left + kTableFirst + i * kTableColumn, row, kTableColumn - pad, kTableRow),
                             Qt::AlignRight | Qt::AlignVCenter, NumberText::format(t.values[j][i], QStringLiteral("0")));
    }
    painter.restore();
    pen.line(left, top + kTableRow, left + kTableFirst + t.xs.size() * kTableColumn, top + kTableRow, 8);
    pen.line(left + kTableFirst, top, left + kTableFirst, top + kTableRow * (t.ys.size() + 1), 8);
}

void drawTable(BandedReport::Pen &pen, const TablePart &t, double x, double y, double w, double h)
{
    pen.rect(x, y, w, h, 10);
    pen.text(x + 100, y + 60, w - 200, 320, t.caption, Qt::AlignLeft | Qt::AlignVCenter, 11, true, false,
             BandedReport::kSmallestLinePoints);
    drawTableBody(pen, t, x + 100, y + 420);
}

// Whether a room's table goes under its plan (ten rows at most: the plan keeps most of the page).
bool fitsUnder(const QList<TablePart> &parts)
{
    return parts.size() == 1 && !parts.first().xs.isEmpty() && parts.first().ys.size() <= 10
           && kTableFirst + kTableColumn * parts.first().xs.size() <= kTableWidth;
}

} // namespace

QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>>
pages(const QList<Outcome> &rooms, const Headings &headings, const DistributionPlot::Style &style, int roomsPerPage)
{
    // Each room's values on the drawing's fine grid, worked out once, when its page is first drawn.
    struct Drawn {
        Outcome outcome;
        std::shared_ptr<DistributionPlot::Samples> samples = std::make_shared<DistributionPlot::Samples>();
    };
    QList<Drawn> drawn;
    for (const Outcome &o : rooms)
        if (o.ok)
            drawn.append({o});
    const int perPage = std::clamp(roomsPerPage, 1, 2);
    QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>> out;
    for (qsizetype i = 0; i < drawn.size(); i += perPage) {
        const QList<Drawn> group = drawn.mid(i, perPage);
        out.append([group, headings, style](BandedReport::Pen &pen, const BandedReport::Page &page) {
            const double left = page.left, right = page.right, top = page.top, bottom = page.bottom;
            pen.text(left, top, right - left, 560, QStringLiteral("照 度 分 布"), Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
            pen.text(left, top + 600, 9000, 300, QStringLiteral("件名  ") + headings.title, Qt::AlignLeft | Qt::AlignVCenter, 10,
                     false, false, BandedReport::kSmallestLinePoints);
            pen.text(right - 4000, top + 600, 4000, 300, headings.date, Qt::AlignRight | Qt::AlignVCenter, 10);
            const double bandTop = top + 1000;
            const double share = (right - left) / group.size();
            for (qsizetype k = 0; k < group.size(); ++k) {
                const Outcome &o = group[k].outcome;
                const double x = left + k * share + (k == 0 ? 0 : 200);
                const double w = share - (group.size() > 1 ? 200 : 0);
                pen.rect(x, bandTop, w, bottom - 600 - bandTop, 10);
                pen.text(x + 100, bandTop + 60, w - 200, 320, QStringLiteral("%1 行目　%2").arg(o.rowsText(), o.name),
                         Qt::AlignLeft | Qt::AlignVCenter, 11, true, false, BandedReport::kSmallestLinePoints);
                const QStringList lines = figures(o);
                const QStringList cautions = warnings(o);
                const double line = 250;
                // What the figures must be read with stands first, in red, under the room's name.
                for (int c = 0; c < cautions.size(); ++c) {
                    pen.painter().save();
                    pen.painter().setPen(QColor(0xb0, 0x00, 0x00));
                    pen.text(x + 100, bandTop + 400 + c * line, w - 200, line, cautions[c], Qt::AlignLeft | Qt::AlignVCenter, 8.5,
                             true, false, BandedReport::kSmallestLinePoints);
                    pen.painter().restore();
                }
                const double plotTop = bandTop + 420 + cautions.size() * line;
                const double figuresTop = bottom - 600 - 100 - lines.size() * line;
                // The points' values under the plan when their table is small; else on the pages after.
                const QList<TablePart> parts = tableParts(o);
                const bool under = fitsUnder(parts);
                const double tableTop = figuresTop - (under ? kTableRow * (parts.first().ys.size() + 1) + 200 : 0);
                if (under)
                    drawTableBody(pen, parts.first(), x + 100, tableTop);
                const QRectF plot(x + 100, plotTop, w - 200, tableTop - plotTop - 100);
                DistributionPlot::Samples &samples = *group[k].samples;
                if (samples.v.isEmpty())
                    samples = DistributionPlot::sample(o.room, o.result);
                DistributionPlot::draw(pen.painter(), plot, o.room, o.result, samples, style);
                for (int f = 0; f < lines.size(); ++f) {
                    // A kind's marker as the plan draws it, in its colours.
                    QString text = lines[f];
                    for (int k = 0; k < o.room.sources.size(); ++k)
                        if (text.startsWith(DistributionPlot::markerText(k))) {
                            DistributionPlot::drawLegendMarker(pen.painter(), k, QPointF(x + 100 + 70 + 80, figuresTop + f * line + line / 2), 60);
                            text = QStringLiteral("　") + text.mid(1);
                        }
                    pen.text(x + 100, figuresTop + f * line, w - 200, line, text, Qt::AlignLeft | Qt::AlignVCenter, 8.5, false, false,
                             BandedReport::kSmallestLinePoints);
                }
            }
            footer(pen, page, headings);
        });
        // Every point's value, as a table after the plans: two tables (or parts of one) a page.
        QList<TablePart> parts;
        for (const Drawn &d : group)
            if (const QList<TablePart> own = tableParts(d.outcome); !fitsUnder(own))
                parts += own;
        for (qsizetype t = 0; t < parts.size(); t += 2) {
            const QList<TablePart> two = parts.mid(t, 2);
            out.append([two, headings](BandedReport::Pen &pen, const BandedReport::Page &page) {
                const double left = page.left, right = page.right, top = page.top, bottom = page.bottom;
                pen.text(left, top, right - left, 560, QStringLiteral("照 度 分 布（計算点の値）"), Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
                pen.text(left, top + 600, 9000, 300, QStringLiteral("件名  ") + headings.title, Qt::AlignLeft | Qt::AlignVCenter, 10,
                         false, false, BandedReport::kSmallestLinePoints);
                pen.text(right - 4000, top + 600, 4000, 300, headings.date, Qt::AlignRight | Qt::AlignVCenter, 10);
                const double bandTop = top + 1000;
                const double share = (right - left) / 2;
                for (qsizetype k = 0; k < two.size(); ++k)
                    drawTable(pen, two[k], left + k * share + (k == 0 ? 0 : 200), bandTop, share - 200, bottom - 600 - bandTop);
                footer(pen, page, headings);
            });
        }
    }
    return out;
}

bool writeCsv(const QList<Outcome> &rooms, const QString &folder, QString *error, QString *notice)
{
    QString roomsCsv = csvLine({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("slot"), QStringLiteral("nx"),
                                QStringLiteral("ny"), QStringLiteral("fittings"), QStringLiteral("h"), QStringLiteral("cells_x"),
                                QStringLiteral("cells_y"), QStringLiteral("e_direct_floor"), QStringLiteral("e_indirect"),
                                QStringLiteral("e_avg"), QStringLiteral("e_min"), QStringLiteral("e_max"), QStringLiteral("u0"),
                                QStringLiteral("ud"), QStringLiteral("uf_sheet"), QStringLiteral("uf_photometry"),
                                QStringLiteral("method"), QStringLiteral("e_wall_avg"), QStringLiteral("e_ceiling_avg"),
                                QStringLiteral("l_wall_avg"), QStringLiteral("l_ceiling_avg"), QStringLiteral("note")});
    QString points = csvLine({QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("e_direct"),
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
                                 {}, {}, {}, {}, {}, o.reason});
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
                             r.surfaces ? plain(r.surfaces->ceilingLuminance()) : QString(), o.notes.join(QStringLiteral(" "))});
        const QString first = QString::number(o.row);
        for (int j = 0; j < r.grid.cellsY; ++j)
            for (int i = 0; i < r.grid.cellsX; ++i) {
                const QPointF p = r.grid.point(i, j);
                const int k = j * r.grid.cellsX + i;
                points += csvLine({first, plain(p.x()), plain(p.y()), plain(r.direct[k]), plain(r.total[k]), plain(r.reflected[k])});
            }
        if (r.surfaces)
            for (const Radiosity::Patch &patch : r.surfaces->patches)
                surfaces += csvLine({first, QString::fromLatin1(Radiosity::surfaceName(patch.surface)), plain(patch.lo[0]),
                                     plain(patch.lo[1]), plain(patch.lo[2]), plain(patch.hi[0]), plain(patch.hi[1]),
                                     plain(patch.hi[2]), plain(patch.e0), plain(patch.e), plain(patch.m)});
        for (qsizetype k = 0; k < r.luminaires.size(); ++k)
            for (const QPointF &l : r.luminaires[k])
                luminaires += csvLine({first, plain(l.x()), plain(l.y()), QString::number(o.parts[k].row)});
    }
    // The three files as one set under the folder's lock: a failure, a stop or a second run into
    // the same folder leaves one run's set whole, never one file of each.
    const QDir dir(folder);
    QList<FileSet::File> files(4);
    files[3].path = dir.filePath(QStringLiteral("surfaces.csv"));
    files[3].bytes = surfaces.toUtf8();
    files[0].path = dir.filePath(QStringLiteral("rooms.csv"));
    files[0].bytes = roomsCsv.toUtf8();
    files[1].path = dir.filePath(QStringLiteral("points.csv"));
    files[1].bytes = points.toUtf8();
    files[2].path = dir.filePath(QStringLiteral("luminaires.csv"));
    files[2].bytes = luminaires.toUtf8();
    return FileSet::writeOutputFolder(folder, files, FileSet::kOutputNames, error, notice);
}

} // namespace RoomDistribution
