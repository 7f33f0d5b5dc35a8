#include "illuminance/PickLists.h"

#include "master/MasterTables.h"
#include "text/NumberText.h"

namespace PickLists {

int slotAt(int page, int column, int row)
{
    return (page - 1) * kRows * kColumns + (column - 1) * kRows + row;
}

int nextPage(int page)
{
    return page + 1 == kPages + 1 ? 1 : page + 1;
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
