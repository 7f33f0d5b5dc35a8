#pragma once

#include "grid/RecordGrid.h"
#include "illuminance/Requirements.h"
#include "illuminance/RoomDistribution.h"
#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

#include <QByteArray>
#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

class MasterTables;

// Every room of the illuminance sheet against its room requirement (照明要件チェック): the
// requirement its rows name (column 139, the first row's; none named: the one its 室名１
// proposes), the lumen method's 照度, the point grid's mean and uniformity, the room's UGR and its
// luminaires' Ra; a verdict per figure and per room. The list, the report (B4 landscape), its
// workbook and the CSV file are made here.
namespace RequirementsCheck {

constexpr int kColumn = 139; // the room's requirement: the master's 領域・作業又は活動
inline const QString kNoRequirement = QStringLiteral("—"); // recorded: the room has none

struct Room {
    QList<int> rows;
    QString floor, name;
    QString task;       // the requirement's name as the room names or proposes it
    bool proposed = false;
    std::optional<Requirements::Requirement> requirement;
    Requirements::Figures figures;
    Requirements::Check check;
    QString rowsText() const;
    // "事務室" or "事務室（提案）".
    QString taskText() const;
};

// The rooms of the sheet with their figures from the distribution worked out for them.
QList<Room> rooms(const RecordGrid &grid, const QList<RoomDistribution::Outcome> &outcomes,
                  const QList<Requirements::Requirement> &master, const MasterTables &masters);
// The figures of one room (the window's panel): its distribution outcome and luminaires.
Requirements::Figures figuresOf(const RoomDistribution::Outcome &o, const MasterTables &masters);

// The CSV file: row, floor, name, requirement, em_required, em_lumen, em_grid, uo_required, uo,
// ugr_l, ugr, ra_required, ra, verdict (UTF-8, figures as printed).
QByteArray csv(const QList<Room> &rooms);

// The print table: its file, its table and its lines (30 a page, blank lines to the page's end).
inline const QString kDatabase = QStringLiteral("t_youken.mdb");
extern const QString kCreateStatement;
enum Column : int { Title1, Title2, Date, Company, FileName, Floor, RoomName, Task, EmRequired, EmLumen, EmGrid, EmVerdict,
                    UoRequired, Uo, UoVerdict, UgrLimit, Ugr, UgrVerdict, RaRequired, Ra, RaVerdict, Verdict, Remark,
                    ColumnCount };
constexpr int kLinesPerPage = 30;
QList<QVariantList> lines(const QList<Room> &rooms, const QStringList &headings, const QString &company, const QString &fileName);

const QString &title(); // "照明要件チェック表"
BandedReport definition(const QString &company);
XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows);

} // namespace RequirementsCheck
