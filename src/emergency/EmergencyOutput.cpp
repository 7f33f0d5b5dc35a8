#include "emergency/EmergencyOutput.h"
#include "text/CsvText.h"

#include "emergency/EmergencyRecord.h"

#include "emergency/EmergencyPlot.h"
#include "grid/RoomFloors.h"
#include "io/FileSet.h"
#include "text/NumberText.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace EmergencyOutput {

const QString kCreateStatement = QStringLiteral(
    "Create Table W_Data ([タイトル１] Text, [タイトル２] Text, [日付] Text, [会社名] Text, [ファイル名] Text, [階] Text, "
    "[室名] Text, [床面積] Text, [器具形式] Text, [光源] Text, [台数] Text, [取付高さ] Text, [基準照度] Text, "
    "[最小照度] Text, [判定] Text, [備考] Text );");

namespace {

QString plain(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString line(const QStringList &fields)
{
    return CsvText::line(fields, QStringLiteral("\r\n"), CsvText::Guard::Formulas);
}

QString each(const EmergencyRooms::Room &room, const std::function<QString(const EmergencyRooms::Kind &)> &f)
{
    QStringList out;
    for (const EmergencyRooms::Kind &k : room.kinds)
        out.append(f(k));
    return out.join(u'+');
}

QString verdictWord(const EmergencyRooms::Room &room)
{
    return !room.checked ? QStringLiteral("skip") : room.result.ok() ? QStringLiteral("ok") : QStringLiteral("fail");
}

} // namespace

namespace {

const QStringList kRoomsHead = {QStringLiteral("row"), QStringLiteral("floor"), QStringLiteral("name"), QStringLiteral("area_m2"),
                                QStringLiteral("slot"), QStringLiteral("count"), QStringLiteral("height_m"),
                                QStringLiteral("threshold_lx"), QStringLiteral("e_min"), QStringLiteral("x_min"),
                                QStringLiteral("y_min"), QStringLiteral("points"), QStringLiteral("points_below"),
                                QStringLiteral("verdict")};
const QStringList kPointsHead = {QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("e")};
const QStringList kLuminairesHead = {QStringLiteral("row"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("source_row"),
                                     QStringLiteral("slot"), QStringLiteral("height_m")};

// A room's line of rooms.csv and its lines of luminaires.csv.
void roomLines(const EmergencyRooms::Room &room, QString *rooms, QString *luminaires)
{
    const QString row = room.rowsText();
    const QString slotNumbers = each(room, [](const EmergencyRooms::Kind &k) { return QString::number(k.slot); });
    const QString counts = each(room, [](const EmergencyRooms::Kind &k) { return QString::number(k.count); });
    const QString heights = each(room, [](const EmergencyRooms::Kind &k) { return plain(k.height); });
    if (!room.checked) {
        *rooms += line({row, room.floor, room.name, room.area.trimmed(), slotNumbers, counts, heights, {}, {}, {}, {}, {}, {},
                        verdictWord(room)});
        return;
    }
    const EmergencyCheck::Result &r = room.result;
    *rooms += line({row, room.floor, room.name, room.area.trimmed(), slotNumbers, counts, heights, plain(room.threshold),
                    plain(r.minimum), plain(r.at.x()), plain(r.at.y()), QString::number(r.grid.count()),
                    QString::number(r.below), verdictWord(room)});
    // The room as rooms.csv names it, so the three files join on it.
    for (const EmergencyRooms::Kind &k : room.kinds)
        for (const QPointF &p : k.positions)
            *luminaires += line({row, plain(p.x()), plain(p.y()), QString::number(k.row), QString::number(k.slot), plain(k.height)});
}

// A room's points into the sink, a piece at a time.
bool pointLines(const EmergencyRooms::Room &room, FileSet::Sink &sink)
{
    if (!room.checked)
        return true;
    const EmergencyCheck::Result &r = room.result;
    const QString row = room.rowsText();
    QString piece;
    for (int j = 0; j <= r.grid.ny; ++j) {
        for (int i = 0; i <= r.grid.nx; ++i) {
            const QPointF p = r.grid.point(i, j);
            piece += line({row, plain(p.x()), plain(p.y()), plain(r.e[j * (r.grid.nx + 1) + i])});
        }
        if (piece.size() > 256 * 1024) {
            if (!sink.write(piece.toUtf8()))
                return false;
            piece.clear();
        }
    }
    return sink.write(piece.toUtf8());
}

// The three files with rooms.csv and luminaires.csv gathered while points.csv is written.
bool writeSet(const QString &folder, const std::function<bool(FileSet::Sink &, QString *rooms, QString *luminaires, QString *why)> &points,
              QString *error, QString *notice)
{
    QString rooms = line(kRoomsHead), luminaires = line(kLuminairesHead);
    QList<FileSet::File> files;
    FileSet::File p;
    p.path = QStringLiteral("points.csv");
    p.produce = [&](FileSet::Sink &sink, QString *why) {
        return sink.write(line(kPointsHead).toUtf8()) && points(sink, &rooms, &luminaires, why);
    };
    FileSet::File r;
    r.path = QStringLiteral("rooms.csv");
    r.produce = [&](FileSet::Sink &sink, QString *) { return sink.write(rooms.toUtf8()); };
    FileSet::File l;
    l.path = QStringLiteral("luminaires.csv");
    l.produce = [&](FileSet::Sink &sink, QString *) { return sink.write(luminaires.toUtf8()); };
    return FileSet::writeOutputFiles(folder, {p, r, l}, error, notice);
}

} // namespace

bool writeCsv(const QList<EmergencyRooms::Room> &rooms, const QString &folder, QString *error, QString *notice)
{
    return writeSet(
        folder,
        [&](FileSet::Sink &sink, QString *roomsCsv, QString *luminaires, QString *) {
            for (const EmergencyRooms::Room &room : rooms) {
                roomLines(room, roomsCsv, luminaires);
                if (!pointLines(room, sink))
                    return false;
            }
            return true;
        },
        error, notice);
}

bool writeCsvWorking(const RecordGrid &grid, const EmergencyMaster::Master &master, EmergencyRooms::Lights *lights,
                     const QString &folder, QString *error, QString *notice, QStringList *refusals)
{
    refusals->clear();
    return writeSet(
        folder,
        [&](FileSet::Sink &sink, QString *roomsCsv, QString *luminaires, QString *why) {
            // One room worked out at a time, its points written and let go.
            for (const QList<int> &rows : RoomFloors::physicalRooms(grid)) {
                EmergencyRooms::Room room;
                QList<EmergencyRooms::Refusal> refused;
                if (!EmergencyRooms::evaluate(grid, rows, master, lights, &room, &refused)) {
                    for (const EmergencyRooms::Refusal &r : std::as_const(refused))
                        refusals->append(r.message());
                    *why = refusals->join(u'\n');
                    return false;
                }
                roomLines(room, roomsCsv, luminaires);
                if (!pointLines(room, sink))
                    return false;
            }
            return true;
        },
        error, notice);
}

QByteArray reachCsv(const QList<ReachTable::Line> &lines, const EmergencyMaster::Luminaire &luminaire)
{
    QStringList head{QStringLiteral("height_m"), QStringLiteral("threshold_lx")};
    for (int f = 0; f < 8; ++f)
        head.append(QString::fromLatin1(ReachTable::name(f)).toLower());
    for (int f = 0; f < 8; ++f)
        head.append(QStringLiteral("maker_") + QString::fromLatin1(ReachTable::name(f)).toLower());
    QString out = line(head);
    for (const ReachTable::Line &l : lines) {
        QStringList fields{NumberText::format(l.height, QStringLiteral("0.0")), plain(l.threshold)};
        // Not reached at all: no distance, not 0 m.
        for (double v : l.figures)
            fields.append(std::isfinite(v) && v > 0 ? NumberText::format(v, QStringLiteral("0.000")) : QString());
        // The maker's figures are for the threshold of the luminaire's light source.
        const EmergencyMaster::MakerLine *maker = nullptr;
        for (const EmergencyMaster::MakerLine &m : luminaire.maker)
            if (std::fabs(m.height - l.height) < 1e-9 && l.threshold == EmergencyMaster::threshold(luminaire.source))
                maker = &m;
        for (int f = 0; f < 8; ++f)
            fields.append(maker && maker->figures[size_t(f)] > 0 ? plain(maker->figures[size_t(f)]) : QString());
        out += line(fields);
    }
    return out.toUtf8();
}

QList<QVariantList> lines(const QList<EmergencyRooms::Room> &rooms, const QStringList &headings, const QString &company,
                          const QString &fileName)
{
    QList<QVariantList> out;
    const auto blank = [&] {
        QVariantList l(ColumnCount);
        l[Title1] = headings.value(0);
        l[Title2] = headings.value(1);
        l[Date] = headings.value(2);
        l[Company] = company;
        l[FileName] = fileName;
        return l;
    };
    QString floor;
    for (const EmergencyRooms::Room &room : rooms) {
        QVariantList l = blank();
        if (room.floor != floor || out.size() % kLinesPerPage == 0)
            l[Floor] = room.floor;
        floor = room.floor;
        l[Room] = room.name;
        l[Area] = room.area.trimmed();
        l[Verdict] = EmergencyPlot::verdict(room);
        if (room.checked) {
            l[Threshold] = NumberText::plain(room.threshold);
            l[Minimum] = NumberText::format(EmergencyCheck::printedMinimum(room.result.minimum), QStringLiteral("0.00"));
            if (room.kinds.isEmpty())
                l[Remark] = QStringLiteral("非常用照明器具なし");
            else if (!room.result.ok())
                l[Remark] = QStringLiteral("基準未満 %1 点").arg(room.result.below);
        } else {
            l[Remark] = room.remark.trimmed().isEmpty() ? QStringLiteral("判定対象外") : room.remark.trimmed();
        }
        for (qsizetype k = 0; k < room.kinds.size(); ++k) {
            const EmergencyRooms::Kind &kind = room.kinds[k];
            if (k > 0)
                l = blank();
            l[Luminaire] = kind.luminaire ? kind.luminaire->name : QString::number(kind.slot);
            l[Source] = kind.luminaire ? EmergencyMaster::sourceText(kind.luminaire->source) : QString();
            l[Count] = QString::number(kind.count);
            l[Height] = NumberText::format(kind.height, QStringLiteral("0.0#"));
            out.append(l);
        }
        if (room.kinds.isEmpty())
            out.append(l);
    }
    while (out.size() % kLinesPerPage != 0)
        out.append(blank());
    return out;
}

QStringList headingsOf(const RecordGrid &grid)
{
    const int h = EmergencyRecord::kHeadingsRow;
    return {grid.text(h, EmergencyRecord::kTitle1), grid.text(h, EmergencyRecord::kTitle2), grid.text(h, EmergencyRecord::kDate)};
}

} // namespace EmergencyOutput
