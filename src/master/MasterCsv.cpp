#include "master/MasterCsv.h"
#include "text/CsvText.h"

#include "grid/WorkFile.h"
#include "master/FixedField.h"
#include "master/LampRecord.h"
#include "master/LuminaireRecord.h"
#include "master/MasterTables.h"
#include "master/RoomMasterRecord.h"

#include <limits>

namespace {

QString csvLine(const QStringList &fields)
{
    return CsvText::line(fields, QStringLiteral("\n"), CsvText::Guard::None);
}

QString two(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

QStringList lampFields(int slot, const LampRecord &r)
{
    using FixedField::trimmedRight;
    return {QString::number(slot), trimmedRight(r.name), QString::number(r.lampCapacity), trimmedRight(r.spare),
            trimmedRight(r.flux), trimmedRight(r.inUse)};
}

QStringList luminaireFields(int slot, const LuminaireRecord &r)
{
    using FixedField::trimmedRight;
    QStringList f{QString::number(slot), trimmedRight(r.number), trimmedRight(r.name)};
    for (const auto &table : r.utilizationFactors)
        for (const QString &entry : table)
            f.append(trimmedRight(entry));
    f.append(trimmedRight(r.spare));
    for (const QString &mf : r.maintenanceFactors)
        f.append(trimmedRight(mf));
    f.append(trimmedRight(r.inUse));
    return f;
}

QStringList roomFields(int slot, const RoomMasterRecord &r)
{
    QStringList f{QString::number(slot), r.name};
    for (qint16 v : r.standardPowerByType)
        f.append(QString::number(v));
    for (qint16 v : r.standardHoursByType)
        f.append(QString::number(v));
    return f;
}

bool readInt16(const QString &text, qint16 *value)
{
    if (text.isEmpty()) {
        *value = 0;
        return true;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return false;
    *value = qint16(v);
    return true;
}

} // namespace

QStringList MasterCsv::header(Kind kind)
{
    switch (kind) {
    case Kind::Lamp:
        return {"Slot", "Name", "LampCapacity", "Spare", "Flux", "InUse"};
    case Kind::Luminaire: {
        QStringList h{"Slot", "Number", "Name"};
        for (int p = 1; p <= 3; ++p)
            for (int c = 1; c <= 15; ++c)
                h.append(QStringLiteral("UtilizationFactors%1_%2").arg(p).arg(two(c)));
        h << "Spare" << "MaintenanceFactors1" << "MaintenanceFactors2" << "MaintenanceFactors3" << "InUse";
        return h;
    }
    case Kind::Room: {
        QStringList h{"Slot", "Name"};
        for (int t = 0; t <= 5; ++t)
            h.append(QStringLiteral("StandardPowerByType%1").arg(t));
        for (int t = 0; t <= 5; ++t)
            h.append(QStringLiteral("StandardHoursByType%1").arg(t));
        return h;
    }
    }
    return {};
}

QString MasterCsv::line(const QStringList &fields)
{
    return csvLine(fields);
}

int MasterCsv::recordLength(Kind kind)
{
    switch (kind) {
    case Kind::Lamp: return LampRecord::kLength;
    case Kind::Luminaire: return LuminaireRecord::kLength;
    case Kind::Room: return RoomMasterRecord::kLength;
    }
    return 1;
}

QString MasterCsv::toCsv(Kind kind, const QByteArray &mst)
{
    QString out = csvLine(header(kind));
    const QVector<QByteArray> records = MasterTables::splitRecords(mst, recordLength(kind),
                                                                   std::numeric_limits<int>::max());
    for (int k = 0; k < records.size(); ++k) {
        const int slot = k + 1;
        switch (kind) {
        case Kind::Lamp: out += csvLine(lampFields(slot, LampRecord::fromBytes(records[k]))); break;
        case Kind::Luminaire: out += csvLine(luminaireFields(slot, LuminaireRecord::fromBytes(records[k]))); break;
        case Kind::Room: out += csvLine(roomFields(slot, RoomMasterRecord::fromBytes(records[k]))); break;
        }
    }
    return out;
}

bool MasterCsv::toMst(Kind kind, const QString &csv, QByteArray *mst, QString *error)
{
    QVector<QStringList> rows;
    WorkFile::Error parseError = WorkFile::Error::None;
    if (!WorkFile::fromCsv(csv, MasterTables::kSlots + 1, &rows, &parseError)) {
        *error = parseError == WorkFile::Error::TooManyRows ? QStringLiteral("more than 999 slots")
                                                            : QStringLiteral("the CSV text is malformed");
        return false;
    }
    const QStringList expected = header(kind);
    if (rows.isEmpty() || rows.first() != expected) {
        *error = QStringLiteral("line 1: the header must be: %1").arg(expected.join(u','));
        return false;
    }
    // Blank lines at the end (an editor may leave some) hold no slot.
    while (rows.size() > 1 && rows.last().size() == 1 && rows.last().first().isEmpty())
        rows.removeLast();
    if (rows.size() > MasterTables::kSlots + 1) {
        *error = QStringLiteral("more than 999 slots");
        return false;
    }
    mst->clear();
    for (int i = 1; i < rows.size(); ++i) {
        QStringList f = rows[i];
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        // An unused slot may be written as its slot number alone.
        if (f.size() == 1 && f[0] == QString::number(i)) {
            while (f.size() < expected.size())
                f.append(QString());
        }
        if (f.size() != expected.size()) {
            *error = where + QStringLiteral("%1 fields, expected %2").arg(f.size()).arg(expected.size());
            return false;
        }
        if (f[0] != QString::number(i)) {
            *error = where + QStringLiteral("Slot must be %1").arg(i);
            return false;
        }
        bool ok = true;
        switch (kind) {
        case Kind::Lamp: {
            LampRecord r;
            r.name = f[1];
            ok = readInt16(f[2], &r.lampCapacity);
            r.spare = f[3];
            r.flux = f[4];
            r.inUse = f[5];
            ok = ok && r.toBytes(mst);
            break;
        }
        case Kind::Luminaire: {
            LuminaireRecord r;
            r.number = f[1];
            r.name = f[2];
            int col = 3;
            for (auto &table : r.utilizationFactors)
                for (QString &entry : table)
                    entry = f[col++];
            r.spare = f[col++];
            for (QString &mf : r.maintenanceFactors)
                mf = f[col++];
            r.inUse = f[col];
            ok = r.toBytes(mst);
            break;
        }
        case Kind::Room: {
            RoomMasterRecord r;
            r.name = f[1];
            for (int t = 0; t < 6; ++t) {
                ok = ok && readInt16(f[2 + t], &r.standardPowerByType[size_t(t)]);
                ok = ok && readInt16(f[8 + t], &r.standardHoursByType[size_t(t)]);
            }
            ok = ok && r.toBytes(mst);
            break;
        }
        }
        if (!ok) {
            *error = where + QStringLiteral("a field does not fit its width, is not CP932, or is not a 16-bit integer");
            return false;
        }
    }
    return true;
}
