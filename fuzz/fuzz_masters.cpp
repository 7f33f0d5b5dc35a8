// The three master loaders: any bytes give a table of records; reading every field of every
// loaded slot, the slots around them and searching by name never fails.
#include "master/LampRecord.h"
#include "master/LuminaireRecord.h"
#include "master/MasterTables.h"
#include "master/RoomMasterRecord.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    static MasterTables tables; // 3 x 999 records: made once, the used slots emptied after each input
    qsizetype total = 0;
    int used = 0;
    if (kind == 0) {
        const auto records = MasterTables::splitRecords(bytes, LampRecord::kLength);
        used = int(records.size());
        for (int k = 0; k < used; ++k)
            tables.setLamp(k + 1, LampRecord::fromBytes(records[k]));
        for (int slot = 0; slot <= used + 1; ++slot) {
            const LampRecord &r = tables.lamp(slot);
            total += r.name.size() + r.flux.size() + r.present();
        }
        for (int k = 1; k <= used; ++k)
            tables.setLamp(k, LampRecord());
    } else if (kind == 1) {
        const auto records = MasterTables::splitRecords(bytes, LuminaireRecord::kLength);
        used = int(records.size());
        for (int k = 0; k < used; ++k)
            tables.setLuminaire(k + 1, LuminaireRecord::fromBytes(records[k]));
        for (int slot = 0; slot <= used + 1; ++slot) {
            const LuminaireRecord &r = tables.luminaire(slot);
            total += r.name.size() + r.present();
            for (int i = 0; i <= 4; ++i)
                total += r.maintenanceFactor(i).size();
        }
        for (int k = 1; k <= used; ++k)
            tables.setLuminaire(k, LuminaireRecord());
    } else {
        const auto records = MasterTables::splitRecords(bytes, RoomMasterRecord::kLength);
        used = int(records.size());
        for (int k = 0; k < used; ++k)
            tables.setRoom(k + 1, RoomMasterRecord::fromBytes(records[k]));
        for (int slot = 1; slot <= std::min(used + 1, 101); ++slot)
            total += tables.findRoomByName(tables.room(slot).name);
        for (int k = 1; k <= used; ++k)
            tables.setRoom(k, RoomMasterRecord());
    }
    return total < 0 ? 1 : 0;
}
