#pragma once

#include "grid/RecordGrid.h"
#include "report/PrintTableFile.h"

#include <QString>

class MasterTables;

// The print table of the illuminance report: the database "t_syou.mdb" with its one table
// W_Data, one record per printed row, padded to whole pages of 22 rows.
class IlluminancePrintTable
{
public:
    static constexpr int kRowsPerPage = 22;
    static inline const QString kFileName = QStringLiteral("t_syou.mdb");
    static const QString kCreateStatement;
    static constexpr int kColumns = 32;

    // Builds the table at `databasePath` from the record grid and gives its records as the report
    // reads them. The figures printed are those the rows' inputs give (RoomFigures), whatever the
    // grid stores; the masters give the capacity of 自動計算 (left as stored without them). Returns the number of printed rows (a multiple of 22), 0 when no room is in use
    // (nothing is written then), or -1 when the table cannot be made: *status says whether a value
    // is too large for its column or the database cannot be written, *error says why, and the
    // previous database, if any, is left as it was.
    static int build(const RecordGrid &grid, const QString &companyName, const QString &fileName,
                     const QString &databasePath, QString *error, QList<QSqlRecord> *records = nullptr,
                     PrintTableFile::Status *status = nullptr, const MasterTables *masters = nullptr);

    // The last room in use (0 when none) and the rows printed for it.
    static int lastRoom(const RecordGrid &grid);
    static int paddedRows(int lastRoom);
    // The room-index letter of a room index text ("" for an empty text).
    static QString roomIndexLetter(const QString &roomIndex);
};
