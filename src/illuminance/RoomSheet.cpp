#include "illuminance/RoomSheet.h"

#include "illuminance/RoomRecord.h"
#include "master/MasterTables.h"
#include "text/NumberText.h"

namespace RoomSheet {

using namespace RoomRecord;

void Record_Clear(RecordGrid &grid)
{
    grid.reset();
    grid.setSize(kRows, kColumns);
}

void Screen_Clear(IlluminancePanel &panel, FormState &state)
{
    for (const BoxColumn &bc : kBoxColumns)
        panel.setText(QString::fromLatin1(bc.box), QString());
    panel.setText(QStringLiteral("Chk_Tousu"), QStringLiteral("1"));
    panel.setText(QStringLiteral("Chk_Daisu"), QStringLiteral("1"));
    state.luminaireIndex = 0;
    state.lampIndex = 0;
    state.reflectanceChoice = 0;
    state.maintenanceChoice = 0;
}

void Screen_Set(const RecordGrid &grid, int row, IlluminancePanel &panel, FormState &state)
{
    if (grid.text(row, InUse) != u"1") {
        Screen_Clear(panel, state);
    } else {
        for (const BoxColumn &bc : kBoxColumns)
            panel.setText(QString::fromLatin1(bc.box), grid.text(row, bc.column));
        panel.setText(QStringLiteral("Chk_Tousu"), NumberText::toInt(grid.text(row, LampCountAuto)) == 1
                                                       ? QStringLiteral("1") : QStringLiteral("0"));
        panel.setText(QStringLiteral("Chk_Daisu"), NumberText::toInt(grid.text(row, FittingCountAuto)) == 1
                                                       ? QStringLiteral("1") : QStringLiteral("0"));
    }
    state.luminaireIndex = NumberText::toInt(grid.text(row, LuminaireIndex));
    state.lampIndex = NumberText::toInt(grid.text(row, LampIndex));
    state.reflectanceChoice = NumberText::toInt(grid.text(row, ReflectanceChoice));
    state.maintenanceChoice = NumberText::toInt(grid.text(row, MaintenanceChoice));
}

int capacityModeOf(const RecordGrid &grid, int row, const MasterTables &masters)
{
    const int mode = NumberText::toInt(grid.text(row, CapacityMode));
    if (mode != 0 && mode != 1)
        return mode; // typed by hand, or none
    // The mode was the sheet's when the row was written, not the row's: the capacity counts as
    // worked out exactly when it is the lamps' count times the lamp's capacity; any other was
    // typed and stays as it is.
    const int lamp = NumberText::toInt(grid.text(row, LampIndex));
    const QString capacity = grid.text(row, Remark1);
    const bool computed = lamp >= 1 && lamp <= 79 && !capacity.isEmpty()
                          && NumberText::plain(NumberText::leading(grid.text(row, LampCount)) * masters.lamp(lamp).lampCapacity)
                                 == capacity;
    if (computed)
        return 1;
    return mode == 1 ? 2 : 0;
}

void commit(RecordGrid &grid, int row, const IlluminancePanel &panel, const FormState &state)
{
    if (row < 1 || row > kRooms)
        return;
    if (panel.text(QStringLiteral("Txt_Shitsu")).isEmpty() && panel.text(QStringLiteral("Txt_Kigu")).isEmpty()) {
        for (int c = 1; c <= grid.colCount(); ++c)
            grid.setText(row, c, QString());
        return;
    }
    grid.setText(row, InUse, QStringLiteral("1"));
    grid.setText(row, RowNumber, panel.text(QStringLiteral("Txt_Gyou")));
    for (const BoxColumn &bc : kBoxColumns)
        grid.setText(row, bc.column, panel.text(QString::fromLatin1(bc.box)));
    grid.setText(row, LuminaireIndex, QString::number(state.luminaireIndex));
    grid.setText(row, LampIndex, QString::number(state.lampIndex));
    grid.setText(row, ReflectanceChoice, QString::number(state.reflectanceChoice));
    grid.setText(row, MaintenanceChoice, QString::number(state.maintenanceChoice));
    grid.setText(row, CapacityMode, QString::number(state.capacityMode));
    grid.setText(row, Reserved, QString::number(state.reserved));
    grid.setText(row, RecordTag, kRecordTag);
    grid.setText(row, LampCountAuto, panel.text(QStringLiteral("Chk_Tousu")) == u"1" ? QStringLiteral("1")
                                                                                      : QStringLiteral("0"));
    grid.setText(row, FittingCountAuto, panel.text(QStringLiteral("Chk_Daisu")) == u"1" ? QStringLiteral("1")
                                                                                        : QStringLiteral("0"));
}

void Line_Add(RecordGrid &grid, int activeRow)
{
    if (activeRow < 1 || activeRow > kRooms)
        return;
    // The whole headings row moves, so the options a wider (CEC/L) grid keeps there survive.
    grid.moveBlock(kHeadingsRow, 1, kHeadingsRow, grid.colCount(), kRooms, 1);
    grid.insertRow(activeRow);
}

void Line_Delete(RecordGrid &grid, int activeRow)
{
    if (activeRow < 1 || activeRow > kRooms)
        return;
    grid.deleteRow(activeRow);
    grid.moveBlock(kRooms, 1, kRooms, grid.colCount(), kHeadingsRow, 1);
}

bool anyRoomInUse(const RecordGrid &grid)
{
    for (int r = 1; r <= kRooms; ++r)
        if (grid.text(r, InUse) == u"1")
            return true;
    return false;
}

QString Btn_Youryou_Click(int index, IlluminancePanel &panel, FormState &state, const MasterTables &masters)
{
    switch (index) {
    case 0:
        if (state.lampIndex >= 1 && state.lampIndex <= 79) {
            state.capacityMode = 1;
            const double count = NumberText::leading(panel.text(QStringLiteral("Txt_Tousu2")));
            panel.setText(QStringLiteral("Txt_Biko1"),
                          NumberText::plain(count * masters.lamp(state.lampIndex).lampCapacity));
        }
        return QStringLiteral("Txt_Biko2");
    case 1:
        state.capacityMode = 2;
        return QStringLiteral("Txt_Biko1");
    case 2:
        state.capacityMode = 3;
        panel.setText(QStringLiteral("Txt_Biko1"), QString());
        panel.setText(QStringLiteral("Txt_Biko2"), QString());
        return QStringLiteral("Btn_Adv");
    default:
        return QString();
    }
}

void addTotalCapacity(RecordGrid &grid, const QList<int> &selectedRows, int panelRow, IlluminancePanel &panel)
{
    const double c = NumberText::leading(panel.text(QStringLiteral("Txt_Biko1")));
    for (int r = 1; r <= kRooms; ++r) {
        if (!selectedRows.contains(r))
            continue;
        if (grid.text(r, InUse) == u"1") {
            grid.setText(r, Remark2, NumberText::plain(NumberText::leading(grid.text(r, Remark2)) + c));
        } else if (r == panelRow) {
            const QString box = QStringLiteral("Txt_Biko2");
            panel.setText(box, NumberText::plain(NumberText::leading(panel.text(box)) + c));
        }
    }
}

Reflectance reflectancePattern(int pattern)
{
    switch (pattern) {
    case 1: return {70, 50, 10};
    case 2: return {50, 50, 10};
    case 3: return {30, 30, 10};
    default: return {0, 0, 0};
    }
}

} // namespace RoomSheet
