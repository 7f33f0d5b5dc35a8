#include "master/LuminaireRecord.h"

#include "master/FixedField.h"

LuminaireRecord::LuminaireRecord()
{
    for (auto &table : utilizationFactors)
        table.fill(QString(2, u' '));
}

QString LuminaireRecord::utilizationFactor(int pattern, int cls) const
{
    if (pattern < 1 || pattern > kPatterns || cls < 1 || cls > kClasses)
        return QString();
    return utilizationFactors[size_t(pattern - 1)][size_t(cls - 1)];
}

QString LuminaireRecord::maintenanceFactor(int choice) const
{
    if (choice < 1 || choice > 3)
        return QString();
    return maintenanceFactors[size_t(choice - 1)];
}

LuminaireRecord LuminaireRecord::fromBytes(const QByteArray &record)
{
    LuminaireRecord r;
    r.number = FixedField::text(record, 0, 2);
    r.name = FixedField::text(record, 2, 18);
    for (int p = 0; p < kPatterns; ++p)
        for (int c = 0; c < kClasses; ++c)
            r.utilizationFactors[size_t(p)][size_t(c)] = FixedField::text(record, 20 + p * 30 + c * 2, 2);
    r.spare = FixedField::text(record, 110, 12);
    for (int m = 0; m < 3; ++m)
        r.maintenanceFactors[size_t(m)] = FixedField::text(record, 122 + m * 4, 4);
    r.inUse = FixedField::text(record, 134, 1);
    return r;
}

bool LuminaireRecord::toBytes(QByteArray *out) const
{
    QByteArray b;
    bool ok = FixedField::appendText(b, number, 2) && FixedField::appendText(b, name, 18);
    for (const auto &table : utilizationFactors)
        for (const QString &entry : table)
            ok = ok && FixedField::appendText(b, entry, 2);
    ok = ok && FixedField::appendText(b, spare, 12);
    for (const QString &mf : maintenanceFactors)
        ok = ok && FixedField::appendText(b, mf, 4);
    ok = ok && FixedField::appendText(b, inUse, 1);
    if (!ok)
        return false;
    b.append(QByteArray(kLength - b.size(), ' '));
    out->append(b);
    return true;
}
