#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The standard values of the lighting share, fixed per (建物用途, 室用途): the standard primary
// energy per floor area a_SL (MJ/(㎡·年)) and the annual lighting hours T_L (h/年). The table
// ships inside the program.
class StandardValues
{
public:
    struct Entry {
        QString key;        // "O-1"
        QString building;   // 建物用途
        QString room;       // 室用途
        double energyPerArea = 0; // a_SL, MJ/(㎡·年)
        double hours = 0;         // T_L, h/年
    };

    // The table shipped with the program (read once).
    static const StandardValues &shipped();
    // A table from its CSV text (header key,building_use,room_use,standard_energy_MJ_per_m2_year,
    // annual_hours); false with the line and the reason when a line is not such a row.
    static bool parse(const QString &csv, StandardValues *table, QString *error);

    const QList<Entry> &entries() const { return m_entries; }
    // The building uses in the table's order.
    QStringList buildingUses() const;
    // The room uses of a building use in the table's order.
    QStringList roomUses(const QString &building) const;
    // The entry of the pair; nullptr when the table has no such pair. The building use may be
    // spelt as the official input sheets spell it (百貨店等).
    const Entry *find(const QString &building, const QString &room) const;

    // The table's name of a building use spelt as an official input sheet spells it: 百貨店等,
    // 物販店舗等 and 物品販売業を営む店舗等 are the retail use; any other name as it is.
    static QString tableBuilding(const QString &building);
    // The building use as the official input sheets spell it (the retail use: 百貨店等).
    static QString officialBuilding(const QString &building);
    // The room use of another input method, which this sheet cannot work out.
    static inline const QString kOtherMethod = QStringLiteral("非主要室");

private:
    static const char *shippedCsv();
    QList<Entry> m_entries;
};
