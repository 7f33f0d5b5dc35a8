#include "beil/StandardValues.h"

#include "text/NumberText.h"

#include <QStringList>

const StandardValues &StandardValues::shipped()
{
    static const StandardValues table = [] {
        StandardValues t;
        QString error;
        // The build checks nothing of the file's content: a broken table must not pass unseen.
        if (!parse(QString::fromUtf8(shippedCsv()), &t, &error))
            qFatal("standard values: %s", qPrintable(error));
        return t;
    }();
    return table;
}

bool StandardValues::parse(const QString &csv, StandardValues *table, QString *error)
{
    QStringList lines = csv.split(u'\n');
    StandardValues out;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList f = line.split(u',');
        if (i == 0) {
            if (f != QStringList{QStringLiteral("key"), QStringLiteral("building_use"), QStringLiteral("room_use"),
                                 QStringLiteral("standard_energy_MJ_per_m2_year"), QStringLiteral("annual_hours")}) {
                *error = QStringLiteral("1 行目: 見出しが違います");
                return false;
            }
            continue;
        }
        const auto a = f.size() == 5 ? NumberText::strict(f[3]) : std::nullopt;
        const auto t = f.size() == 5 ? NumberText::strict(f[4]) : std::nullopt;
        if (!a || !t || *a < 0 || *t <= 0 || f[1].isEmpty() || f[2].isEmpty()) {
            *error = QStringLiteral("%1 行目: %2").arg(i + 1).arg(line);
            return false;
        }
        if (out.find(f[1], f[2])) {
            *error = QStringLiteral("%1 行目: %2 / %3 が二度あります").arg(i + 1).arg(f[1], f[2]);
            return false;
        }
        out.m_entries.append({f[0], f[1], f[2], *a, *t});
    }
    *table = out;
    return true;
}

QStringList StandardValues::buildingUses() const
{
    QStringList out;
    for (const Entry &e : m_entries)
        if (!out.contains(e.building))
            out.append(e.building);
    return out;
}

QStringList StandardValues::roomUses(const QString &building) const
{
    QStringList out;
    for (const Entry &e : m_entries)
        if (e.building == building)
            out.append(e.room);
    return out;
}

const StandardValues::Entry *StandardValues::find(const QString &building, const QString &room) const
{
    const QString b = tableBuilding(building);
    for (const Entry &e : m_entries)
        if (e.building == b && e.room == room)
            return &e;
    return nullptr;
}

namespace {

const QString kRetail = QStringLiteral("物品販売業を営む店舗等");

} // namespace

QString StandardValues::tableBuilding(const QString &building)
{
    const QString b = building.trimmed();
    if (b == u"百貨店等" || b == u"物販店舗等")
        return kRetail;
    return b;
}

QString StandardValues::officialBuilding(const QString &building)
{
    return tableBuilding(building) == kRetail ? QStringLiteral("百貨店等") : building.trimmed();
}
