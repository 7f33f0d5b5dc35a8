#include "illuminance/RoomDistribution.h"

#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/RoomFigures.h"
#include "illuminance/RoomRecord.h"
#include "grid/RoomFloors.h"
#include "photometry/PhotometryMath.h"
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
#include <chrono>
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

// The value as typed, for a message (a text of 400 digits is cut).
QString shown(const QString &text)
{
    const QString t = text.trimmed();
    return t.size() > 24 ? t.left(24) + QStringLiteral("…") : t;
}

} // namespace

namespace {

struct Named {
    int column;
    const char *name;
};

} // namespace

QString unreadable(const Texts &text)
{
    // Every stored figure the distribution reads, read as the panel would have stored it: a text
    // it never stores ("1e1", "2.8abc", "3,5", "nan") is refused, not read as a leading number.
    static const Named read[] = {
        {Width, "間口"},           {Depth, "奥行"},           {Area, "面積"},
        {DesignIlluminance, "設計照度"}, {CeilingHeight, "天井高"}, {WorkPlaneHeight, "作業面の高さ"},
        {Suspension, "器具下り"},   {LampFlux, "光束"},         {LampsPerFitting, "1台あたりの灯数"},
        {UtilizationFactor, "照明率"}, {MaintenanceFactor, "保守率"}, {FittingCount, "台数"},
        {ResultIlluminance, "照度"}, {CeilingReflectance, "天井の反射率"}, {WallReflectance, "壁の反射率"},
        {FloorReflectance, "床の反射率"}, {RoomIndex, "室指数"},
    };
    for (const Named &f : read) {
        const NumberText::Field v = NumberText::field(text(f.column));
        if (!v.ok() && v.problem != NumberText::Field::Problem::Blank)
            return QStringLiteral("%1「%2」%3").arg(QString::fromUtf8(f.name), shown(text(f.column)), v.reason());
    }
    return QString();
}

QString refusal(const Texts &text)
{
    using Field = Named;
    if (const QString why = unreadable(text); !why.isEmpty())
        return why;
    // Factors and figures that scale the light: a negative or infinite one gives no answer.
    static const Field factors[] = {{LampFlux, "光束"},          {LampsPerFitting, "1台あたりの灯数"},
                                    {UtilizationFactor, "照明率"}, {MaintenanceFactor, "保守率"},
                                    {CeilingHeight, "天井高"},     {Suspension, "器具下り"},
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

double savedEyeHeight()
{
    return SettingsStore::ReadSetting(QStringLiteral("DistributionEyeHeight")) == u"1.5" ? RoomGlare::kStanding : RoomGlare::kSeated;
}

void saveEyeHeight(double metres)
{
    SettingsStore::WriteSetting(QStringLiteral("DistributionEyeHeight"), metres == RoomGlare::kStanding ? QStringLiteral("1.5")
                                                                                                       : QStringLiteral("1.2"));
}

QList<DistributionPlot::Style::Observer> observerMarks(const Outcome &o)
{
    QList<DistributionPlot::Style::Observer> marks;
    for (const RoomGlare::Observer &g : o.glare.observers)
        marks.append({QPointF(g.x, g.y), g.view,
                      g.ugr ? QStringLiteral("UGR %1").arg(NumberText::format(*g.ugr, QStringLiteral("0.0"))) : QStringLiteral("UGR —")});
    return marks;
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
            o.refused = !unreadable(text).isEmpty();
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
    o.glare = RoomGlare::compute(o.room, o.result, savedEyeHeight());
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
    return *computeAll(stored, masters, masterDir, method, {});
}

std::optional<QList<Outcome>> computeAll(const RecordGrid &stored, const MasterTables &masters, const QString &masterDir,
                                         Distribution::InterReflection method, const Progress &progress)
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
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    const auto work = [&] {
        QHash<QString, Photometry> files;
        for (qsizetype k = next++; k < all.size() && !stop; k = next++) {
            QList<Texts> texts;
            for (int r : all[k])
                texts.append([&grid, r](int c) { return grid.text(r, c); });
            out[k] = compute(texts, all[k], masters, masterDir, {}, &files, &index, method);
            ++done;
        }
    };
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    if (progress) {
        // The calling thread (the window's) says how far the workers are and takes a cancel.
        const int total = int(all.size());
        for (unsigned t = 0; t < workers && t < unsigned(all.size()); ++t)
            threads.emplace_back(work);
        while (done < total && !stop) {
            if (!progress(done, total))
                stop = true;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        for (std::thread &t : threads)
            t.join();
        if (stop)
            return std::nullopt;
        progress(total, total);
    } else {
        for (unsigned t = 1; t < workers && t < unsigned(all.size()); ++t)
            threads.emplace_back(work);
        work();
        for (std::thread &t : threads)
            t.join();
    }
    // An index that cannot be read (a FIFO, a link, too large) is the reason, not "no file".
    for (Outcome &o : out)
        if (!o.ok && !indexError.isEmpty() && o.reason.contains(QStringLiteral("には配光データがありません")))
            o.reason = QStringLiteral("配光データの一覧を読めません: %1").arg(indexError);
    return out;
}

namespace {

// The room's UGR beside its other figures: the largest, each observer's, and the table's value.
QStringList glareFigures(const Outcome &o)
{
    const RoomGlare::Result &g = o.glare;
    const auto one = [](double v) { return NumberText::format(v, QStringLiteral("0.0")); };
    if (g.observers.isEmpty() || !g.largest)
        return {QStringLiteral("UGR：") + g.why};
    QStringList each;
    int worst = 0;
    for (const RoomGlare::Observer &ob : g.observers) {
        each.append(ob.ugr ? one(*ob.ugr) : QStringLiteral("—"));
        if (ob.ugr && *ob.ugr == *g.largest && worst == 0)
            worst = ob.number;
    }
    const double eye = g.observers.first().eye;
    QStringList out;
    out.append(QStringLiteral("UGR %1（観測者 %2）　観測者 1～4：%3　%4")
                   .arg(one(*g.largest))
                   .arg(worst)
                   .arg(each.join(QStringLiteral("・")),
                        g.table ? QStringLiteral("%1 %2").arg(g.tableWhat, one(*g.table)) : QStringLiteral("UGR 表による値なし：") + g.tableWhat));
    out.append(QStringLiteral("UGR：壁から 0.5 m・目の高さ %1 m（%2）・初期光束・背景輝度 %3")
                   .arg(NumberText::format(eye, QStringLiteral("0.0")),
                        eye == RoomGlare::kStanding ? QStringLiteral("立位") : QStringLiteral("座位"),
                        o.result.surfaces ? QStringLiteral("ラジオシティ") : QStringLiteral("CIE 190")));
    return out;
}

} // namespace

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
        // The parts add up to the Eavg printed above: the direct part is what the printed whole
        // leaves beside the printed inter-reflection.
        const double indirect = NumberText::format(r.indirect, QStringLiteral("0")).toDouble();
        const double whole = NumberText::format(r.average, QStringLiteral("0")).toDouble();
        out.append(QStringLiteral("相互反射 ラジオシティ：直接（計算点の平均）%1 lx + 相互反射 %2 lx = Eavg %3 lx　光束法 %4 lx（計算書）")
                       .arg(lx(whole - indirect), lx(indirect), lx(whole), lx(o.lumenResult)));
        out.append(QStringLiteral("壁 平均照度 %1 lx・平均輝度 %2 cd/㎡　天井 平均照度 %3 lx・平均輝度 %4 cd/㎡")
                       .arg(lx(r.surfaces->wallIlluminance()), NumberText::format(r.surfaces->wallLuminance(), QStringLiteral("0.0")),
                            lx(r.surfaces->ceilingIlluminance()),
                            NumberText::format(r.surfaces->ceilingLuminance(), QStringLiteral("0.0"))));
        out.append(QStringLiteral("器具は点光源として計算（器具そのものの遮光・反射は含みません）"));
    } else {
        const double direct = NumberText::format(r.directFloor, QStringLiteral("0")).toDouble();
        const double indirect = NumberText::format(r.indirect, QStringLiteral("0")).toDouble();
        out.append(QStringLiteral("相互反射 一様（光束法）：直接（床面平均）%1 lx + 相互反射 %2 lx = 床面平均 %3 lx　光束法 %4 lx（計算書）")
                       .arg(lx(direct), lx(indirect), lx(direct + indirect), lx(o.lumenResult)));
    }
    out += glareFigures(o);
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

} // namespace RoomDistribution
