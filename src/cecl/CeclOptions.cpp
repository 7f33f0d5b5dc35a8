#include "cecl/CeclOptions.h"

#include "cecl/ZoneRecord.h"
#include "master/MasterTables.h"
#include "text/NumberText.h"

using namespace ZoneRecord;

CeclOptions CeclOptions::load(RecordGrid &grid)
{
    CeclOptions o;
    const int h = kHeadingsRow;
    const QString type = grid.text(h, BuildingType);
    if (!type.isEmpty()) {
        bool ok = false;
        const int position = type.toInt(&ok);
        if (ok && position >= 0 && position < kBuildingTypeCount)
            o.buildingType = position;
    }
    if (grid.text(h, SimplifiedMethod).isEmpty())
        grid.setText(h, SimplifiedMethod, QStringLiteral("0"));
    const QString method = grid.text(h, SimplifiedMethod);
    if (method == u"0") {
        o.simplified = false;
    } else if (method == u"1" || method == u"2" || method == u"3") {
        o.simplified = true;
        o.method = method.toInt();
    }
    const QString power = grid.text(h, LinkStandardPower);
    const QString hours = grid.text(h, LinkStandardHours);
    o.linkPower = power.isEmpty() || power == u"1";
    o.linkHours = hours.isEmpty() || hours == u"1";
    return o;
}

CeclOptions::Copied CeclOptions::apply(RecordGrid &grid, const MasterTables &masters) const
{
    Copied copied;
    const int h = kHeadingsRow;
    grid.setText(h, BuildingType, QString::number(buildingType));
    grid.setText(h, SimplifiedMethod, QString::number(simplified ? method : 0));
    grid.setText(h, LinkStandardPower, linkPower ? QStringLiteral("1") : QStringLiteral("0"));
    grid.setText(h, LinkStandardHours, linkHours ? QStringLiteral("1") : QStringLiteral("0"));
    if (!(linkPower || linkHours) || buildingType < 0 || buildingType >= kBuildingTypeCount)
        return copied;
    const auto t = size_t(buildingType);
    for (int r = 1; r <= kRooms; ++r) {
        if (grid.text(r, InUse) != u"1")
            continue;
        const QString name = grid.text(r, RoomName1);
        int found = 0;
        if (linkPower) {
            found = masters.findRoomByName(name);
            if (found != 0) {
                grid.setText(r, StandardPower, QString::number(masters.room(found).standardPowerByType[t]));
                copied.power.insert(r);
            }
        }
        if (linkHours) {
            if (found != 0) {
                grid.setText(r, StandardHours, QString::number(masters.room(found).standardHoursByType[t]));
                copied.hours.insert(r);
            } else {
                // Every record of that name up to the first empty one: the last found wins.
                for (int slot = 1; slot <= MasterTables::kRoomSearchSlots; ++slot) {
                    const RoomMasterRecord &room = masters.room(slot);
                    if (room.name.isEmpty())
                        break;
                    if (room.name == name) {
                        grid.setText(r, StandardHours, QString::number(room.standardHoursByType[t]));
                        copied.hours.insert(r);
                    }
                }
            }
        }
    }
    return copied;
}

int CeclOptions::simplifiedMethod(const RecordGrid &grid)
{
    return NumberText::toInt(grid.text(kHeadingsRow, SimplifiedMethod));
}

QString CeclOptions::methodLabel(int method)
{
    switch (method) {
    case 1: return QStringLiteral("簡略化の方法Ⅰ");
    case 2: return QStringLiteral("簡略化の方法Ⅱ");
    case 3: return QStringLiteral("簡略化の方法Ⅲ");
    default: return QStringLiteral("なし");
    }
}
