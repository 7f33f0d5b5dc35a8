#pragma once

#include "master/LampRecord.h"
#include "master/LuminaireRecord.h"
#include "master/RoomMasterRecord.h"

#include <QString>
#include <QVector>

// The three master tables, 999 slots each, numbered 1 to 999. Filled once at start-up from the
// files in the program directory and only read afterwards.
class MasterTables
{
public:
    static constexpr int kSlots = 999;
    static constexpr int kRoomSearchSlots = 100;

    static inline const QString kLampFile = QStringLiteral("Kougen.mst");
    static inline const QString kLuminaireFile = QStringLiteral("syomei.mst");
    static inline const QString kRoomFile = QStringLiteral("room.mst");

    MasterTables();

    // Each fills its table from its file in `dir`; every slot is emptied first. A file that is
    // missing or unreadable gives false and a message for the user in *error. Records past slot
    // 999 and a trailing partial record are ignored.
    bool LoadLuminaireMaster(const QString &dir, QString *error);
    bool LoadLampMaster(const QString &dir, QString *error);
    bool LoadRoomMaster(const QString &dir, QString *error);
    // Luminaires, lamps, rooms, in that order; stops at the first failure.
    bool loadAll(const QString &dir, QString *error);

    // Slot access; a slot outside 1..999 reads as the empty record.
    const LampRecord &lamp(int slot) const;
    const LuminaireRecord &luminaire(int slot) const;
    const RoomMasterRecord &room(int slot) const;

    void setLamp(int slot, const LampRecord &record);
    void setLuminaire(int slot, const LuminaireRecord &record);
    void setRoom(int slot, const RoomMasterRecord &record);

    // Name search: slots 1 to 100 in order, ending at the first empty name; exact comparison.
    // Returns the first matching slot, 0 when none.
    int findRoomByName(const QString &name) const;

    // The records of one file, as the loader reads them (at most `maxRecords`).
    static QVector<QByteArray> splitRecords(const QByteArray &bytes, int length, int maxRecords = kSlots);

private:
    static bool readFile(const QString &dir, const QString &fileName, int length, QVector<QByteArray> *records,
                         QString *error);

    QVector<LampRecord> m_lamps;
    QVector<LuminaireRecord> m_luminaires;
    QVector<RoomMasterRecord> m_rooms;
};
