#pragma once

#include "beil/BeilRooms.h"
#include "grid/RecordGrid.h"
#include "report/PrintTableFile.h"

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

// The print table of the BEI/L report: "t_beil.mdb" with its one table W_Data, one record per
// printed line: a line per room, a line per kind of luminaire under it, the floor totals and the
// building total, blank lines between them and to the end of the last page.
class BeilPrintTable
{
public:
    static inline const QString kFileName = QStringLiteral("t_beil.mdb");
    static const QString kCreateStatement;
    static constexpr int kLinesPerPage = 34;

    enum Column : int {
        Title1, Title2, Date, Company, FileName, Floor, Room, BuildingUse, RoomUse, Area, RoomIndex, ShapeFactor, Hours,
        Equipment, Watts, Count, Occupancy, Daylight, Schedule, InitialCorrection, Factor, Corrected, DesignMJ,
        StandardMJ, Bei, Remark,
        ColumnCount
    };

    using Line = QList<QVariant>; // ColumnCount values; Null where a line carries nothing

    struct Result {
        QList<Line> lines;
        QList<int> lineRows;      // the grid row a line stands for (0: totals and blank lines)
        QStringList lineNames;    // its room or total
        QList<BeilRooms::Room> rooms;
        QList<BeilRooms::Problem> problems; // every room's, errors and warnings
        double designMJ = 0;   // Σ E_L of the building
        double standardMJ = 0; // Σ E_SL
        QString error;         // why no table could be made, a line each ("" when there was nothing to print)
    };

    // The lines of every room in use; false when there is none (error empty), a room has an error
    // (error lists every problem of every room, a line each), or a figure is too wide for its
    // column (error names the row, the room, the field and the value). Warnings do not stop it.
    static bool makeLines(const RecordGrid &grid, const QString &companyName, const QString &fileName, Result *result);
    // The same for a building of several work files (their rooms in the files' order, the
    // headings of the first); `names` name the files in the problems.
    static bool makeLines(const QList<RecordGrid> &grids, const QStringList &names, const QString &companyName,
                          const QString &fileName, Result *result);
    // Writes the lines as the table at `databasePath` (built aside, renamed into place) and gives
    // its records as the report reads them.
    static PrintTableFile::Status write(const Result &result, const QString &databasePath, QList<QSqlRecord> *rows,
                                        QString *error);
};
