#include "beil/BeilSheet.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/Controls.h"
#include "rows/SharedFields.h"
#include "text/NumberText.h"

#include <algorithm>

namespace BeilSheet {

using namespace BeilRecord;

namespace {

const QString kOutputs[] = {kFactor, kCorrected, kDesign, kStandard, kBei, kIndexUsed, kStandardValues, kMessage, kShared, kSharedWarning};

QString storedControl(int category, const QString &shown)
{
    const Controls::Choice *c = Controls::find(category, shown);
    return c ? Controls::stored(*c) : shown.trimmed();
}

} // namespace

void Screen_Clear(Panel &panel)
{
    for (const QString &box : {kFloor, kRoomName, kRoomName2, kBuildingUse, kRoomUse, kArea, kWidth, kDepth, kHeight,
                               kRoomIndex, kStoryHeight, kWindowRatio, kEquipment, kWatts, kCount, kEquipmentDerived})
        panel.setText(box, QString());
    panel.setText(kNonHabitable, QStringLiteral("0"));
    for (const QString &box : kControls)
        panel.setText(box, QString());
    for (const QString &box : kOutputs)
        panel.setText(box, QString());
}

QList<int> currentSpellings(RecordGrid &grid)
{
    QList<int> changed;
    if (grid.colCount() < InitialCorrection)
        return changed;
    for (int r = 1; r <= kRooms; ++r) {
        if (grid.text(r, InUse) != u"1")
            continue;
        bool any = false;
        for (int c = 0; c < Controls::kCategories; ++c) {
            const QString now = Controls::currentSpelling(c, grid.text(r, Occupancy + c));
            if (now != grid.text(r, Occupancy + c)) {
                grid.setText(r, Occupancy + c, now);
                any = true;
            }
        }
        if (any)
            changed.append(r);
    }
    return changed;
}

QString shownControl(int category, const QString &stored)
{
    const Controls::Choice *c = Controls::find(category, stored);
    return c ? c->text : stored;
}

void Screen_Set(const RecordGrid &grid, int row, Panel &panel, const MasterTables *masters)
{
    const QList<int> rows = BeilRooms::roomRows(grid, row);
    if (rows.isEmpty()) {
        Screen_Clear(panel);
        return;
    }
    const int first = rows.first();
    panel.setText(kFloor, grid.text(first, Floor));
    panel.setText(kRoomName, grid.text(first, RoomName1));
    panel.setText(kRoomName2, grid.text(row, RoomName2));
    // A room without a building use is proposed the building's default, to be confirmed.
    QString building = grid.text(first, BuildingUse);
    if (building.isEmpty())
        building = grid.text(kHeadingsRow, kDefaultBuildingUse);
    panel.setText(kBuildingUse, building);
    QString use = grid.text(first, RoomUse);
    if (use.isEmpty())
        use = proposedRoomUse(building, grid.text(first, RoomName1));
    panel.setText(kRoomUse, use);
    panel.setText(kArea, grid.text(first, Area));
    panel.setText(kWidth, grid.text(first, Width));
    panel.setText(kDepth, grid.text(first, Depth));
    panel.setText(kHeight, grid.text(first, CeilingHeight));
    panel.setText(kRoomIndex, grid.text(first, RoomIndex));
    panel.setText(kStoryHeight, grid.text(first, StoryHeight));
    panel.setText(kWindowRatio, grid.text(first, WindowRatio));
    // Not decided yet: proposed from the room's names, for the user to confirm.
    panel.setText(kNonHabitable, BeilRooms::isNonHabitable(BeilRooms::textsOf(grid, rows)) ? QStringLiteral("1")
                                                                                         : QStringLiteral("0"));
    panel.setText(kEquipment, grid.text(row, EquipmentName));
    panel.setText(kWatts, grid.text(row, InputPower));
    panel.setText(kCount, grid.text(row, FittingCount));
    for (int c = 0; c < Controls::kCategories; ++c)
        panel.setText(kControls[c], shownControl(c, grid.text(row, Occupancy + c)));
    calculate(grid, row, panel, masters);
}

void calculate(const RecordGrid &grid, int row, Panel &panel, const MasterTables *masters,
               QList<BeilRooms::Problem> *problems)
{
    if (problems)
        problems->clear();
    const QList<int> rows = BeilRooms::roomRows(grid, row);
    for (const QString &box : kOutputs)
        panel.setText(box, QString());
    if (rows.isEmpty())
        return;
    panel.setText(kShared, SharedFields::note(grid, row, SharedFields::Sheet::Beil, panel.text(kCount), panel.text(kWatts),
                                              masters));
    panel.setText(kSharedWarning, SharedFields::shortfall(grid, row, SharedFields::Sheet::Beil, panel.text(kCount), masters));
    // The room as the grid holds it, with what the panel shows in place of its fields and of
    // this row's luminaire.
    BeilRooms::RoomTexts t = BeilRooms::textsOf(grid, rows);
    t.building = panel.text(kBuildingUse);
    t.roomUse = panel.text(kRoomUse);
    t.roomIndex = panel.text(kRoomIndex);
    t.storyHeight = panel.text(kStoryHeight);
    t.nonHabitable = panel.text(kNonHabitable) == u"1" ? QStringLiteral("1") : QStringLiteral("0");
    t.windowRatio = panel.text(kWindowRatio);
    const qsizetype at = rows.indexOf(row);
    BeilRooms::LuminaireTexts &mine = t.luminaires[at];
    const QString derived = BeilRooms::derivedEquipmentName(grid, row);
    panel.setText(kEquipmentDerived, panel.text(kEquipment).trimmed().isEmpty() ? derived : QString());
    mine.name = panel.text(kEquipment).trimmed().isEmpty() ? derived : panel.text(kEquipment);
    mine.watts = panel.text(kWatts);
    mine.count = panel.text(kCount);
    // A count given here makes the illuminance row agree with it on 確認.
    if (mine.count.trimmed() != grid.text(row, FittingCount).trimmed())
        mine.countNote.clear();
    for (int c = 0; c < Controls::kCategories; ++c)
        mine.controls[c] = panel.text(kControls[c]);

    // The row's factor needs none of the room's values.
    double factor = 1;
    bool known = true;
    for (int c = 0; c < Controls::kCategories; ++c) {
        const Controls::Choice *choice = Controls::find(c, mine.controls[c]);
        known = known && choice;
        factor *= choice ? choice->factor : 1;
    }
    if (known)
        panel.setText(kFactor, BeilCalculation::factorText(factor));

    BeilRooms::Room room;
    QList<BeilRooms::Problem> found;
    const bool worked = BeilRooms::evaluate(t, StandardValues::shipped(), &room, &found);
    // The room's problems, this row's first: what stops the figures, then what to read them with.
    std::stable_sort(found.begin(), found.end(), [row](const BeilRooms::Problem &a, const BeilRooms::Problem &b) {
        return (a.row == row) > (b.row == row) || ((a.row == row) == (b.row == row) && !a.warning && b.warning);
    });
    panel.setText(kMessage, BeilRooms::messages(found).join(u'\n'));
    if (problems)
        *problems = found;
    if (!worked)
        return;
    const BeilRooms::Luminaire &l = room.luminaires[at];
    panel.setText(kCorrected, NumberText::format(l.corrected, QStringLiteral("#,##0.0")));
    switch (room.indexSource) {
    case BeilRooms::IndexSource::Impossible:
        panel.setText(kIndexUsed, BeilRooms::impossibleIndexNote());
        break;
    case BeilRooms::IndexSource::NotGiven:
        panel.setText(kIndexUsed, QStringLiteral("室指数なし　C_L 1.00"));
        break;
    default:
        panel.setText(kIndexUsed, QStringLiteral("K %1（%2）　C_L %3")
                                      .arg(room.roomIndexText(),
                                           room.indexSource == BeilRooms::IndexSource::Typed ? QStringLiteral("入力")
                                                                                             : QStringLiteral("計算"),
                                           BeilCalculation::shapeFactorText(room.shapeFactor)));
    }
    panel.setText(kStandardValues, QStringLiteral("T_L %1 h/年　a_SL %2 MJ/(㎡·年)")
                                       .arg(NumberText::format(room.standard->hours, QStringLiteral("#,##0")),
                                            NumberText::plain(room.standard->energyPerArea)));
    panel.setText(kDesign, BeilCalculation::mjText(room.designMJ));
    panel.setText(kStandard, BeilCalculation::mjText(room.standardMJ));
    const auto bei = room.bei();
    panel.setText(kBei, bei ? BeilCalculation::beiText(*bei) : QString());
}

void confirm(RecordGrid &grid, int row, const Panel &panel, const MasterTables *masters)
{
    const QList<int> rows = BeilRooms::roomRows(grid, row);
    if (rows.isEmpty()) {
        grid.clearBlock(row, kFirstColumn, row, kLastColumn);
        return;
    }
    for (int r : rows) {
        grid.setText(r, BuildingUse, panel.text(kBuildingUse));
        grid.setText(r, RoomUse, panel.text(kRoomUse));
        grid.setText(r, NonHabitable, panel.text(kNonHabitable) == u"1" ? QStringLiteral("1") : QStringLiteral("0"));
        grid.setText(r, WindowRatio, panel.text(kWindowRatio).trimmed());
    }
    grid.setText(rows.first(), RoomIndex, panel.text(kRoomIndex).trimmed());
    grid.setText(rows.first(), StoryHeight, panel.text(kStoryHeight).trimmed());
    grid.setText(row, EquipmentName, panel.text(kEquipment));
    grid.setText(row, InputPower, panel.text(kWatts).trimmed());
    // A count changed here is a count typed: the illuminance row keeps it (its 自動 off) and its
    // lamps and illuminance follow it by that sheet's own rules.
    SharedFields::giveCount(grid, row, panel.text(kCount), masters);
    for (int c = 0; c < Controls::kCategories; ++c)
        grid.setText(row, Occupancy + c, storedControl(c, panel.text(kControls[c])));
    SharedFields::follow(grid, row);
}

QString proposedRoomUse(const QString &building, const QString &roomName)
{
    const StandardValues &table = StandardValues::shipped();
    const QString name = roomName.trimmed();
    if (table.find(building, name))
        return name;
    // Common room names and the uses they stand for, the first the building use has.
    static const QList<QPair<QStringList, QStringList>> kAliases = {
        {{QStringLiteral("男子便所"), QStringLiteral("女子便所"), QStringLiteral("多目的便所"), QStringLiteral("多目的トイレ"),
          QStringLiteral("トイレ"), QStringLiteral("男子トイレ"), QStringLiteral("女子トイレ"), QStringLiteral("身障者便所")},
         {QStringLiteral("便所")}},
        {{QStringLiteral("給湯室"), QStringLiteral("湯沸室"), QStringLiteral("湯沸コーナー")},
         {QStringLiteral("湯沸室等"), QStringLiteral("湯沸室")}},
        {{QStringLiteral("玄関ホール"), QStringLiteral("エントランスホール"), QStringLiteral("エントランス"), QStringLiteral("玄関"),
          QStringLiteral("ホール")},
         {QStringLiteral("ロビー")}},
        {{QStringLiteral("書庫"), QStringLiteral("倉庫"), QStringLiteral("物置"), QStringLiteral("納戸"), QStringLiteral("備品庫"),
          QStringLiteral("更衣室")},
         {QStringLiteral("倉庫"), QStringLiteral("更衣室又は倉庫")}},
        {{QStringLiteral("階段室"), QStringLiteral("階段"), QStringLiteral("通路"), QStringLiteral("風除室"), QStringLiteral("ＥＶホール"),
          QStringLiteral("エレベーターホール")},
         {QStringLiteral("廊下")}},
        {{QStringLiteral("食堂"), QStringLiteral("社員食堂")}, {QStringLiteral("社員食堂"), QStringLiteral("食堂")}},
        {{QStringLiteral("大会議室"), QStringLiteral("小会議室"), QStringLiteral("中会議室"), QStringLiteral("応接室")},
         {QStringLiteral("会議室")}},
        {{QStringLiteral("役員室"), QStringLiteral("所長室"), QStringLiteral("研究室"), QStringLiteral("事務所")},
         {QStringLiteral("事務室")}},
    };
    for (const auto &[names, uses] : kAliases) {
        if (!names.contains(name))
            continue;
        for (const QString &use : uses)
            if (table.find(building, use))
                return use;
    }
    return QString();
}

QList<int> roomsWithoutBuildingUse(const RecordGrid &grid)
{
    QList<int> out;
    for (const QList<int> &rows : BeilRooms::rooms(grid))
        if (grid.text(rows.first(), BuildingUse).isEmpty())
            out.append(rows);
    return out;
}

void applyDefaultBuildingUse(RecordGrid &grid, const QString &building)
{
    for (int r : roomsWithoutBuildingUse(grid))
        grid.setText(r, BuildingUse, building);
}

} // namespace BeilSheet
