#pragma once

#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/ReachTable.h"
#include "grid/RecordGrid.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// What the emergency check hands on: the CSV files of a run (UTF-8, metres and lux, full
// precision) and the lines of its report's print table.
namespace EmergencyOutput {

// rooms.csv, points.csv and luminaires.csv into `folder` as one set under the folder's lock.
bool writeCsv(const QList<EmergencyRooms::Room> &rooms, const QString &folder, QString *error, QString *notice = nullptr);
// The same, the rooms worked out one at a time as points.csv is written (its lines never all in
// memory): what a check of any size needs. A room that cannot be worked out stops it, nothing
// written, its refusals in *refusals.
bool writeCsvWorking(const RecordGrid &grid, const EmergencyMaster::Master &master, EmergencyRooms::Lights *lights,
                     const QString &folder, QString *error, QString *notice, QStringList *refusals);
// The reach table of a luminaire: height_m,threshold_lx,a1,…,b0 (3 decimals), and the maker's
// figures (maker_a1, …) at the heights the master has them for.
QByteArray reachCsv(const QList<ReachTable::Line> &lines, const EmergencyMaster::Luminaire &luminaire);

// The print table "t_hijou.mdb": a line per room (its first kind), a line per further kind.
inline const QString kDatabase = QStringLiteral("t_hijou.mdb");
extern const QString kCreateStatement;
enum Column : int { Title1, Title2, Date, Company, FileName, Floor, Room, Area, Luminaire, Source, Count, Height, Threshold,
                    Minimum, Verdict, Remark, ColumnCount };
constexpr int kLinesPerPage = 30;
// The report's headings of a work file: 件名, 件名２, 日付.
QStringList headingsOf(const RecordGrid &grid);
QList<QVariantList> lines(const QList<EmergencyRooms::Room> &rooms, const QStringList &headings, const QString &company,
                          const QString &fileName);

} // namespace EmergencyOutput
