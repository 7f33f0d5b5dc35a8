#include "illuminance/PickLists.h"

#include "master/MasterTables.h"
#include "text/NumberText.h"

#include <Qt>

#include <algorithm>

namespace PickLists {

int slotAt(int page, int column, int row)
{
    return (page - 1) * kRows * kColumns + (column - 1) * kRows + row;
}

int nextPage(int page)
{
    return page + 1 == kPages + 1 ? 1 : page + 1;
}

int slotAfterKey(int slot, int key)
{
    const int page = kRows * kColumns;
    int to = 0;
    switch (key) {
    case Qt::Key_Down: to = slot + 1; break;
    case Qt::Key_Up: to = slot - 1; break;
    case Qt::Key_Right: to = slot + kRows <= kSlots ? slot + kRows : slot; break;
    case Qt::Key_Left: to = slot - kRows >= 1 ? slot - kRows : slot; break;
    case Qt::Key_PageDown: to = slot + page; break;
    case Qt::Key_PageUp: to = slot - page; break;
    case Qt::Key_Home: to = 1; break;
    case Qt::Key_End: to = kSlots; break;
    default: return 0;
    }
    return std::clamp(to, 1, kSlots);
}

Cell cellOf(int slot)
{
    const int i = slot - 1;
    return {i / (kRows * kColumns) + 1, i % (kRows * kColumns) / kRows + 1, i % kRows + 1};
}

static QString label(int number, const QString &name)
{
    return QString::number(number).rightJustified(2, u'0') + u':' + name;
}

QString lampCellText(const MasterTables &masters, int slot)
{
    const LampRecord &lamp = masters.lamp(slot);
    return lamp.present() ? label(slot, lamp.name) : QString();
}

QString luminaireCellText(const MasterTables &masters, int slot)
{
    const LuminaireRecord &lum = masters.luminaire(slot);
    if (!lum.present())
        return QString();
    const int number = NumberText::toInt(lum.number);
    // A negative Number addresses no slot: shown as an empty cell.
    if (number < 0)
        return QString();
    return label(number, lum.name);
}

QString roomCellText(const MasterTables &masters, int slot)
{
    return masters.room(slot).name;
}

int pickedNumber(const QString &cellText)
{
    const qsizetype colon = cellText.indexOf(u':');
    if (colon < 0)
        return 0;
    const int n = NumberText::toInt(cellText.left(colon + 1));
    return n >= 1 && n <= MasterTables::kSlots ? n : 0;
}

} // namespace PickLists
