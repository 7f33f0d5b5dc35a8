#include "master/LampRecord.h"

#include "master/FixedField.h"

LampRecord LampRecord::fromBytes(const QByteArray &record)
{
    LampRecord r;
    r.name = FixedField::text(record, 0, 11);
    r.lampCapacity = FixedField::int16(record, 11);
    r.spare = FixedField::text(record, 13, 1);
    r.flux = FixedField::text(record, 14, 5);
    r.inUse = FixedField::text(record, 19, 1);
    return r;
}

bool LampRecord::toBytes(QByteArray *out) const
{
    QByteArray b;
    bool ok = FixedField::appendText(b, name, 11);
    FixedField::appendInt16(b, lampCapacity);
    ok = ok && FixedField::appendText(b, spare, 1) && FixedField::appendText(b, flux, 5)
         && FixedField::appendText(b, inUse, 1);
    if (ok)
        out->append(b);
    return ok;
}
