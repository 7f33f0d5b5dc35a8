#include "master/RoomMasterRecord.h"

#include "master/FixedField.h"
#include "text/Cp932.h"

RoomMasterRecord RoomMasterRecord::fromBytes(const QByteArray &record)
{
    RoomMasterRecord r;
    if (record.size() < kLength)
        return r;
    const int n = FixedField::int16(record, 0);
    if (n < 0 || n > kMaxNameBytes)
        return r;
    r.name = Cp932::decodeLossy(record.mid(2, n));
    r.name.replace(QChar(0), QChar(u' '));
    for (int i = 0; i < 6; ++i) {
        r.standardPowerByType[size_t(i)] = FixedField::int16(record, 2 + n + i * 2);
        r.standardHoursByType[size_t(i)] = FixedField::int16(record, 14 + n + i * 2);
    }
    return r;
}

bool RoomMasterRecord::toBytes(QByteArray *out) const
{
    bool ok = false;
    const QByteArray nameBytes = Cp932::encode(name, &ok);
    if (!ok || nameBytes.size() > kMaxNameBytes)
        return false;
    QByteArray b;
    FixedField::appendInt16(b, qint16(nameBytes.size()));
    b.append(nameBytes);
    for (qint16 v : standardPowerByType)
        FixedField::appendInt16(b, v);
    for (qint16 v : standardHoursByType)
        FixedField::appendInt16(b, v);
    b.append(QByteArray(kLength - b.size(), '\0'));
    out->append(b);
    return true;
}
