#pragma once

#include "beil/BeilRooms.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The figures and rows the BEI/L sheet hands to other programs.
namespace BeilExport {

// prx5m --beil-csv: UTF-8, CRLF, a header, one line per room (the row of its first line),
// unrounded figures as the shortest text that reads back the same double, BEI/L as shown; then
// the line "total" with the building's design_mj, standard_mj and bei_l.
QByteArray figuresCsv(const QList<BeilRooms::Room> &rooms);

// The rows for the official lighting input sheet (様式4): a line per kind of luminaire, 18 fields,
// the room's fields on its first line only, the controls spelt as the input sheet spells them
// (無 for none), 備考 last ("室指数なし（寸法未入力）" where no K is typed and no dimension is
// given; the choices that do not suit the room), no header.
QList<QStringList> form4Rows(const QList<BeilRooms::Room> &rooms);
// What the input sheet needs beyond the figures: a room without 階高.
QList<BeilRooms::Problem> form4Problems(const QList<BeilRooms::Room> &rooms);
// Those rows as the official CSV form of 様式4: its ten header rows, then the rows from line 11,
// CP932, CRLF; false when a text cannot be held in CP932.
bool form4Csv(const QList<BeilRooms::Room> &rooms, QByteArray *bytes, QString *error);

// RFC 4180 quoting of one line.
QString csvLine(const QStringList &fields);

} // namespace BeilExport
