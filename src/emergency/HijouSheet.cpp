#include "emergency/HijouSheet.h"

#include "emergency/EmergencyPlot.h"
#include "emergency/EmergencyRecord.h"
#include "text/NumberText.h"

namespace HijouSheet {

using namespace EmergencyRecord;

namespace {

const QString kBoxes[] = {kFloor, kRoomName, kRoomName2, kArea, kWidth, kDepth, kHeight, kRemark, kSlot, kCount, kMounting, kLayout};
const QString kLabels[] = {kLuminaire, kPlacing, kVerdict, kFigures, kMessage};

} // namespace

void Screen_Clear(Panel &panel)
{
    for (const QString &box : kBoxes)
        panel.setText(box, QString());
    for (const QString &label : kLabels)
        panel.setText(label, QString());
    panel.setText(kChecked, QStringLiteral("1"));
}

QString luminaireText(const EmergencyMaster::Master &master, const QString &slot)
{
    const QString s = slot.trimmed();
    if (s.isEmpty())
        return QString();
    bool ok = false;
    const EmergencyMaster::Luminaire *l = master.find(s.toInt(&ok));
    if (!ok || !l)
        return QStringLiteral("%1 番の器具はマスタにありません").arg(s);
    return QStringLiteral("%1　%2　%3 lm").arg(l->name, EmergencyMaster::sourceText(l->source), NumberText::plain(l->flux));
}

void Screen_Set(const RecordGrid &grid, int row, Panel &panel, const EmergencyMaster::Master &master)
{
    Screen_Clear(panel);
    const QList<int> rows = EmergencyRooms::roomRows(grid, row);
    if (rows.isEmpty()) {
        panel.setText(kMessage, QStringLiteral("この行には室がありません（室は照度計算書で入力します）。"));
        return;
    }
    const int first = rows.first();
    panel.setText(kFloor, grid.text(first, Floor));
    panel.setText(kRoomName, grid.text(first, RoomName1));
    panel.setText(kRoomName2, grid.text(first, RoomName2));
    panel.setText(kArea, grid.text(first, Area));
    panel.setText(kWidth, grid.text(first, Width));
    panel.setText(kDepth, grid.text(first, Depth));
    panel.setText(kHeight, grid.text(row, CeilingHeight));
    panel.setText(kChecked, grid.text(first, Checked).trimmed() == u"0" ? QStringLiteral("0") : QStringLiteral("1"));
    panel.setText(kRemark, grid.text(first, Remark));
    panel.setText(kSlot, grid.text(row, Slot));
    panel.setText(kCount, grid.text(row, Count));
    panel.setText(kMounting, grid.text(row, MountingHeight));
    panel.setText(kLayout, grid.text(row, Layout));
    panel.setText(kLuminaire, luminaireText(master, grid.text(row, Slot)));
}

void confirm(RecordGrid &grid, int row, const Panel &panel)
{
    if (grid.colCount() < kColumns)
        grid.setColCount(kColumns);
    const QList<int> rows = EmergencyRooms::roomRows(grid, row);
    if (rows.isEmpty()) {
        for (int c = kFirstColumn; c <= kLastColumn; ++c)
            grid.setText(row, c, QString());
        return;
    }
    grid.setText(row, Slot, panel.text(kSlot).trimmed());
    grid.setText(row, Count, panel.text(kCount).trimmed());
    grid.setText(row, MountingHeight, panel.text(kMounting).trimmed());
    grid.setText(row, Layout, panel.text(kLayout).simplified().remove(u' '));
    // The room's own: the same in each of its rows, whichever row is read.
    for (int r : rows) {
        grid.setText(r, Checked, panel.text(kChecked) == u"0" ? QStringLiteral("0") : QString());
        grid.setText(r, Remark, panel.text(kRemark));
    }
}

Live calculate(const RecordGrid &grid, int row, const Panel &panel, const EmergencyMaster::Master &master,
               EmergencyRooms::Lights *lights)
{
    Live live;
    const QList<int> rows = EmergencyRooms::roomRows(grid, row);
    if (rows.isEmpty())
        return live;
    live.room = true;
    live.row = row;
    RecordGrid with = grid;
    confirm(with, row, panel);
    live.ok = EmergencyRooms::evaluate(with, rows, master, lights, &live.worked, &live.refusals);
    return live;
}

void show(const Live &live, Panel &panel)
{
    if (!live.room) {
        for (const QString &label : {kVerdict, kFigures, kPlacing})
            panel.setText(label, QString());
        return;
    }
    QStringList problems;
    for (const EmergencyRooms::Refusal &r : live.refusals)
        problems.append(r.message());
    if (live.ok && !live.worked.checked && live.worked.remark.trimmed().isEmpty())
        problems.append(QStringLiteral("判定対象外とする理由を備考に入力してください。"));
    panel.setText(kMessage, problems.join(u'\n'));
    if (!live.ok) {
        panel.setText(kVerdict, QStringLiteral("計算できません"));
        panel.setText(kFigures, QString());
        panel.setText(kPlacing, QString());
        return;
    }
    panel.setText(kVerdict, EmergencyPlot::verdict(live.worked));
    panel.setText(kFigures, live.worked.checked ? EmergencyPlot::figures(live.worked).join(u'\n') : QString());
    // Where this row's luminaires stand when the count places them: to be copied into 配置 and moved.
    QString placing;
    for (const EmergencyRooms::Kind &k : live.worked.kinds)
        if (k.row == live.row && !k.typed && !k.positions.isEmpty())
            placing = QStringLiteral("自動配置: %1").arg(EmergencyRooms::positionsText(k.positions));
    panel.setText(kPlacing, placing);
}

} // namespace HijouSheet
