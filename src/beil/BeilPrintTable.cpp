#include "beil/BeilPrintTable.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilRecord.h"
#include "beil/RptBEIL.h"

const QString BeilPrintTable::kCreateStatement = QStringLiteral(
    "Create Table W_Data ([タイトル１] Text, [タイトル２] Text, [日付] Text, [会社名] Text, [ファイル名] Text, "
    "[階] Text, [室名] Text, [建物用途] Text, [室用途] Text, [床面積] Text, [室指数] Text, [室形状係数] Text, "
    "[年間点灯時間] Text, [機器名称] Text, [消費電力] Text, [台数] Text, [在室検知] Text, [明るさ検知] Text, "
    "[タイムスケジュール] Text, [初期照度補正] Text, [制御係数] Text, [補正電力] Text, "
    "[設計一次エネルギー] Text, [基準一次エネルギー] Text, [BEIL] Text, [備考] Text );");

namespace {

using C = BeilPrintTable::Column;
using BeilCalculation::shortest;

// A run of lines that is printed on one page where it can be: a room with its luminaires, a
// floor's total, the building's.
struct Block {
    enum Kind { Room, FloorTotal, BuildingTotal } kind = Room;
    QString floor; // a room's floor, printed again at the top of a page
    QList<BeilPrintTable::Line> lines;
    QList<int> rows;
    QStringList names;
};

class Lines
{
public:
    Lines(const RecordGrid &grid, const QString &company, const QString &fileName, BeilPrintTable::Result &result)
        : m_result(result)
    {
        const int h = BeilRecord::kHeadingsRow;
        m_headings = {grid.text(h, 1), grid.text(h, 2), grid.text(h, 3), company, fileName};
    }

    void run()
    {
        QList<Block> blocks;
        Totals floor;
        bool first = true;
        for (const BeilRooms::Room &room : std::as_const(m_result.rooms)) {
            const bool newFloor = first || room.texts.floor != floor.floor;
            if (newFloor) {
                if (!first)
                    blocks.append(totalBlock(floor, Block::FloorTotal));
                floor = Totals();
                floor.label = room.texts.floor.isEmpty() ? QStringLiteral("合計") : room.texts.floor + QStringLiteral(" 合計");
                floor.floor = room.texts.floor;
                first = false;
            }
            blocks.append(roomBlock(room, newFloor));
            floor.area += room.area;
            floor.designMJ += room.designMJ;
            floor.standardMJ += room.standardMJ;
        }
        blocks.append(totalBlock(floor, Block::FloorTotal));
        Totals building;
        building.label = QStringLiteral("建物合計");
        const BeilRooms::Sums all = BeilRooms::sums(m_result.rooms);
        building.area = all.area;
        building.designMJ = all.designMJ;
        building.standardMJ = all.standardMJ;
        blocks.append(totalBlock(building, Block::BuildingTotal));
        layOut(blocks);
        m_result.designMJ = building.designMJ;
        m_result.standardMJ = building.standardMJ;
    }

private:
    struct Totals {
        QString label;
        double area = 0;
        double designMJ = 0;
        double standardMJ = 0;
        QString floor;
    };

    static constexpr int kPage = BeilPrintTable::kLinesPerPage;

    int room() const { return kPage - int(m_result.lines.size() % kPage); }

    // Blocks onto pages: a room is not split where it fits on a page; a floor's total stays on
    // the page of the floor's last room (never alone at the top of a page); the building's total
    // goes under it where it fits.
    void layOut(const QList<Block> &blocks)
    {
        for (qsizetype i = 0; i < blocks.size(); ++i) {
            const Block &b = blocks[i];
            if (b.kind == Block::Room) {
                const bool lastOfFloor = i + 1 < blocks.size() && blocks[i + 1].kind == Block::FloorTotal;
                const int together = int(b.lines.size()) + (lastOfFloor ? int(blocks[i + 1].lines.size()) : 0);
                if (together > room() && together <= kPage)
                    toNextPage();
                else if (int(b.lines.size()) > room() && b.lines.size() <= kPage)
                    toNextPage();
            } else if (int(b.lines.size()) > room()) {
                toNextPage();
            }
            append(b);
        }
        while (m_result.lines.size() % kPage != 0)
            blank();
    }

    void toNextPage()
    {
        while (m_result.lines.size() % kPage != 0)
            blank();
    }

    BeilPrintTable::Line newLine() const
    {
        BeilPrintTable::Line line(C::ColumnCount);
        for (int i = 0; i < m_headings.size(); ++i)
            line[i] = m_headings[i];
        return line;
    }

    void blank() { append(newLine(), 0, QString()); }

    void append(const BeilPrintTable::Line &line, int row, const QString &name)
    {
        m_result.lines.append(line);
        m_result.lineRows.append(row);
        m_result.lineNames.append(name);
    }

    void append(Block b)
    {
        if (b.kind == Block::Room && m_result.lines.size() % kPage == 0)
            b.lines[0][C::Floor] = b.floor;
        for (qsizetype i = 0; i < b.lines.size(); ++i) {
            // A page does not begin with the blank line before a total.
            if (b.kind != Block::Room && i == 0 && m_result.lines.size() % kPage == 0 && b.rows[i] == 0
                && b.names[i].isEmpty())
                continue;
            append(b.lines[i], b.rows[i], b.names[i]);
        }
    }

    static void add(Block &b, const BeilPrintTable::Line &line, int row, const QString &name)
    {
        b.lines.append(line);
        b.rows.append(row);
        b.names.append(name);
    }

    Block roomBlock(const BeilRooms::Room &room, bool firstOfFloor) const
    {
        Block b;
        b.floor = room.texts.floor;
        BeilPrintTable::Line line = newLine();
        if (firstOfFloor)
            line[C::Floor] = room.texts.floor;
        line[C::Room] = BeilRooms::fullName(room.texts);
        line[C::BuildingUse] = room.standard->building;
        line[C::RoomUse] = room.standard->room;
        line[C::Area] = shortest(room.area);
        if (room.indexSource == BeilRooms::IndexSource::Impossible) {
            line[C::RoomIndex] = QStringLiteral("－");
            line[C::Remark] = BeilRooms::impossibleIndexNote();
        } else {
            line[C::RoomIndex] = room.roomIndexText();
        }
        line[C::ShapeFactor] = shortest(room.shapeFactor);
        line[C::Hours] = shortest(room.standard->hours);
        line[C::DesignMJ] = shortest(room.designMJ);
        line[C::StandardMJ] = shortest(room.standardMJ);
        if (const auto bei = room.bei())
            line[C::Bei] = shortest(BeilCalculation::ceilHundredths(*bei));
        add(b, line, room.texts.row, BeilRooms::fullName(room.texts));
        for (const BeilRooms::Luminaire &l : room.luminaires) {
            BeilPrintTable::Line part = newLine();
            part[C::Equipment] = l.name;
            part[C::Watts] = shortest(l.watts);
            part[C::Count] = shortest(l.count);
            const int columns[] = {C::Occupancy, C::Daylight, C::Schedule, C::InitialCorrection};
            for (int c = 0; c < Controls::kCategories; ++c)
                part[columns[c]] = l.choices[c]->shortText;
            part[C::Factor] = shortest(l.factor);
            part[C::Corrected] = shortest(l.corrected);
            if (!l.notes.isEmpty())
                part[C::Remark] = l.notes.join(QStringLiteral("、"));
            add(b, part, l.row, BeilRooms::fullName(room.texts));
        }
        return b;
    }

    Block totalBlock(const Totals &t, Block::Kind kind) const
    {
        Block b;
        b.kind = kind;
        add(b, newLine(), 0, QString());
        BeilPrintTable::Line line = newLine();
        line[C::Room] = t.label;
        line[C::Area] = shortest(t.area);
        line[C::DesignMJ] = shortest(t.designMJ);
        line[C::StandardMJ] = shortest(t.standardMJ);
        if (const auto bei = BeilRooms::ratio(t.designMJ, t.standardMJ))
            line[C::Bei] = shortest(BeilCalculation::ceilHundredths(*bei));
        add(b, line, 0, t.label);
        if (kind == Block::FloorTotal)
            add(b, newLine(), 0, QString());
        return b;
    }

    BeilPrintTable::Result &m_result;
    QVariantList m_headings;
};

// The column of the table a report field shows (the report's fields carry the columns' names).
int columnOf(const QString &field)
{
    static const QStringList names = [] {
        QStringList n;
        QString statement = BeilPrintTable::kCreateStatement;
        qsizetype at = 0;
        while ((at = statement.indexOf(u'[', at)) >= 0) {
            const qsizetype end = statement.indexOf(u']', at);
            n.append(statement.mid(at + 1, end - at - 1));
            at = end;
        }
        return n;
    }();
    return int(names.indexOf(field));
}

} // namespace

bool BeilPrintTable::makeLines(const RecordGrid &grid, const QString &companyName, const QString &fileName,
                               Result *result)
{
    return makeLines(QList<RecordGrid>{grid}, {fileName}, companyName, fileName, result);
}

bool BeilPrintTable::makeLines(const QList<RecordGrid> &grids, const QStringList &names, const QString &companyName,
                               const QString &fileName, Result *result)
{
    *result = Result();
    if (grids.isEmpty())
        return false;
    const RecordGrid &grid = grids.first();
    if (!BeilRooms::evaluateBuilding(grids, names, StandardValues::shipped(), &result->rooms, &result->problems)) {
        result->error = BeilRooms::messages(result->problems).join(u'\n');
        result->rooms.clear();
        return false;
    }
    if (result->rooms.isEmpty())
        return false;
    Lines(grid, companyName, fileName, *result).run();
    // A figure too wide for its column would print as ###: refused like a value that is no number.
    const BandedReport report = RptBEIL::definition({});
    for (qsizetype i = 0; i < result->lines.size(); ++i) {
        for (const BandedReport::Field &f : report.fields) {
            const QVariant v = result->lines[i].value(columnOf(f.name));
            if (v.isNull() || report.showsWhole(f, v))
                continue;
            const QString shown = BandedReport::shownValue(v, f);
            const int row = result->lineRows[i];
            result->error = row > 0 ? QStringLiteral("%1 行目（%2）の%3「%4」は大きすぎて印刷できません。")
                                          .arg(row)
                                          .arg(result->lineNames[i], f.name, shown)
                                    : QStringLiteral("「%1」の%2「%3」は大きすぎて印刷できません。").arg(result->lineNames[i], f.name, shown);
            result->lines.clear();
            return false;
        }
    }
    return true;
}

PrintTableFile::Status BeilPrintTable::write(const Result &result, const QString &databasePath, QList<QSqlRecord> *rows,
                                             QString *error)
{
    return PrintTableFile::buildLines(databasePath, kCreateStatement, QStringLiteral("W_Data"), ColumnCount, result.lines, rows,
                                      error);
}
