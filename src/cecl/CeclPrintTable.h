#pragma once

#include "grid/RecordGrid.h"
#include "report/PrintTableFile.h"

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

// The print table of the CEC/L report: "t_cecl.mdb" with its one table W_Data, one record per
// printed line: zone lines, breakdown lines of zones with several luminaires, floor totals, the
// summary of the floors, the building total and the blank lines between them, every value worded
// and computed already.
class CeclPrintTable
{
public:
    static inline const QString kFileName = QStringLiteral("t_cecl.mdb");
    static const QString kCreateStatement;
    static constexpr int kColumns = 25;
    // The report's lines a page; the last page is filled with blank lines.
    static constexpr int kLinesPerPage = 36;

    // Columns of W_Data, in table order.
    enum Column : int {
        Title1, Title2, Date, Company, FileName, RowNumber, Floor, Zone, StandardPower, StandardHours, Area,
        LuminaireNumber, LuminaireType, InputPower, FittingCount, TotalInput, PlannedPowerDensity, AnnualEnergy,
        ControlContent, ControlFactor, TypeFactor, IlluminanceFactor, LightingEnergy, VirtualEnergy, Cecl,
    };

    using Line = QList<QVariant>; // kColumns values; Null where a line carries nothing

    // A zone as printed: its rows and the index of its zone line.
    struct PrintedZone {
        QList<int> rows;
        int line = -1;
    };

    struct Result {
        QList<Line> lines;
        QList<PrintedZone> zones;
        QStringList notices;      // zones joined by name from rows that look like different rooms
        int method = 0;           // the simplified method of row 221
        double totalET = 0;       // the building's lighting energy (kWh)
        double totalES = 0;       // and its virtual lighting energy (kWh)
        QString primaryET;        // the two in MJ, cut to one decimal, as shortest text
        QString primaryES;
        QString error;            // why the lines could not be made ("" when they could)
    };

    // The last row in use, 0 when none.
    static int lastZone(const RecordGrid &grid);
    // Fills the empty CEC/L cells of the zones with "0" (the sheet keeps them) and works out every
    // line from the inputs printed on it. False with result->error naming the row, the zone, the
    // field and the value when an input is no number, negative, or too large for its column, or a
    // figure cannot be worked out or printed.
    static bool makeLines(RecordGrid &grid, const QString &companyName, const QString &fileName, Result *result);
    // Writes the lines as the table at `databasePath` (under its own name, renamed into place) and
    // gives its records as the report reads them.
    static PrintTableFile::Status write(const Result &result, const QString &databasePath, QList<QSqlRecord> *rows,
                                        QString *error);

    // The records the report prints: the table's, up to the end of the page with the last line
    // that is not blank (the fill of the last page may run one line over it).
    static QList<QSqlRecord> printedRows(const QList<QSqlRecord> &rows);

    // One primary-energy value: the whole-number part of kWh x 10250 / 100, divided by 10 (MJ).
    static double primaryEnergy(double kWh);
};
