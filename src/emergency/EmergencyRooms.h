#pragma once

#include "emergency/EmergencyCheck.h"
#include "emergency/EmergencyMaster.h"
#include "grid/RecordGrid.h"

#include <QHash>
#include <QList>

#include <functional>
#include <QPointF>
#include <QString>

// The rooms of the emergency-lighting sheet and their checks: a room is a room of the building
// (RoomFloors::physicalRooms, the BEI/L sheet's and the distribution's); each of its rows may
// name one kind of emergency luminaire (slot, 台数, 取付高さ, 配置). A room marked 判定対象 "0" is not
// checked (exempt); any other room of a file the sheet is used on is checked, a room without
// emergency luminaires failing with its reason.
namespace EmergencyRooms {

struct Kind {
    int row = 0;
    int slot = 0;
    const EmergencyMaster::Luminaire *luminaire = nullptr;
    int count = 0;
    double height = 0;          // above the floor, m
    bool typed = false;         // positions typed in 配置
    QList<QPointF> positions;
};

struct Room {
    QList<int> rows;
    QString floor, name, area;  // as the sheet holds them (the name 室名１ and 室名２)
    double width = 0, depth = 0;
    bool checked = true;
    QString remark;
    QList<Kind> kinds;
    double threshold = 2;       // 2 lx unless every light source is incandescent or halogen
    EmergencyCheck::Result result;
    // "1+2": the rows, as the CSV files name the room.
    QString rowsText() const;
    int luminaires() const;
};

// Why a room cannot be worked out: the row, the room, the field and the value.
struct Refusal {
    int row = 0;
    QString room, field, value, reason;
    QString message() const;
};

// The lights of the master's slots, each file read once.
using Lights = QHash<int, EmergencyMaster::Light>;

// Whether the sheet is used on the file: any row in use holds any of columns 132 to 137.
bool used(const RecordGrid &grid);
// The rows of the room that holds `row` (empty for a free row).
QList<int> roomRows(const RecordGrid &grid, int row);

// Every room of the sheet worked out; the rooms that could be in *rooms, every refusal in
// *refusals (false when there is one).
bool evaluateAll(const RecordGrid &grid, const EmergencyMaster::Master &master, Lights *lights, QList<Room> *rooms,
                 QList<Refusal> *refusals);
// The same, saying after each room how many are done of how many; false with *cancelled set
// once `progress` answers false (the rooms left are not worked out).
bool evaluateAll(const RecordGrid &grid, const EmergencyMaster::Master &master, Lights *lights, QList<Room> *rooms,
                 QList<Refusal> *refusals, const std::function<bool(int done, int total)> &progress, bool *cancelled);
// One room (its rows); false with its refusals.
// `inputsOnly`: the room's values read and checked, nothing worked out (its result left empty).
bool evaluate(const RecordGrid &grid, const QList<int> &rows, const EmergencyMaster::Master &master, Lights *lights,
              Room *room, QList<Refusal> *refusals, bool inputsOnly = false);

// The luminaires of a room as the check takes them (the lights must stay while they are used).
QList<EmergencyCheck::Luminaire> luminairesOf(const Room &room, const Lights &lights);

// "x,y;x,y": false with the reason for a text that is no such list.
bool parsePositions(const QString &text, QList<QPointF> *out, QString *error);
// The positions to the millimetre, as 配置 takes them.
QString positionsText(const QList<QPointF> &positions);

} // namespace EmergencyRooms
