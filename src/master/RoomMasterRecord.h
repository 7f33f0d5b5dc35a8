#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// One record of the room master (room.mst), 128 bytes: a length-prefixed name, then six standard
// powers (W/㎡) and six standard hours (h/年), indexed by the CEC/L building type 0..5.
struct RoomMasterRecord {
    static constexpr int kLength = 128;
    static constexpr int kMaxNameBytes = 102;

    QString name;
    std::array<qint16, 6> standardPowerByType{};
    std::array<qint16, 6> standardHoursByType{};

    bool present() const { return !name.isEmpty(); }

    // A NameLength that is negative or does not leave room for the integers gives the empty record:
    // nothing outside the record is ever read.
    static RoomMasterRecord fromBytes(const QByteArray &record);
    bool toBytes(QByteArray *out) const;
};
