#pragma once

#include "grid/RecordGrid.h"
#include "photometry/Distribution.h"
#include "photometry/DistributionPlot.h"
#include "photometry/LuminaireImport.h"
#include "photometry/Photometry.h"
#include "photometry/RoomGlare.h"
#include "report/BandedReport.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class MasterTables;

// The illuminance distribution of the rooms of the illuminance sheet. A room is a room of the
// building as RoomFloors::physicalRooms has it (the BEI/L sheet's room); each row is one kind of
// luminaire in it, with its own
// photometric file (kept beside the masters), count, height and factors. The report's pages (two
// rooms a page), the window's page and the CSV files of the batch mode are made here.
namespace RoomDistribution {

// One row's luminaires in the room.
struct Part {
    int row = 0;
    int slot = 0;
    QString luminaire;           // 照明器具種類
    QString lamp;                // 光源名称
    double lampFlux = 0;         // 光束 of a lamp, lm
    double lampsPerFitting = 1;  // 灯数/台
    double maintenance = 0;      // 保守率
    double utilization = 0;      // 照明率 of the sheet
    std::optional<double> utilizationOfFile; // the photometric file's, at the room's index and reflectances
    double height = 0;           // above the work plane, m
    int fittings = 0;            // 台数 of the design
};

struct Outcome {
    int row = 0;                 // the room's first row
    QList<int> rows;
    QString name;                // 室名１ 室名２
    QList<Part> parts;
    Distribution::Room room;
    double lumenResult = 0;      // the sheet's 照度 (lumen method), of all the rows
    double designIlluminance = 0; // the sheet's 設計照度 (the first row's)
    bool ok = false;
    QString reason;              // why there is none ("" when ok)
    bool refused = false;        // a stored value is refused (not only missing photometry or a layout)
    QStringList notes;           // what the figures should be read with (a 照明率 that differs from the file's)
    Distribution::Result result;
    RoomGlare::Result glare;     // the room's UGR (worked out with the distribution)

    // "1+2": the rows, as the CSV files and the pages name the room.
    QString rowsText() const;
};

using Texts = std::function<QString(int column)>;

// The rows of every room of the sheet, and of the room that holds `row` (none for a free row).
QList<QList<int>> rooms(const RecordGrid &grid);
QList<int> roomRows(const RecordGrid &grid, int row);

// A stored figure of the row that is no plain decimal number as the panel stores them ("1e1",
// "2.8abc", "nan"): the field, the value and what is wrong ("" when every one reads).
QString unreadable(const Texts &text);
// Why a row's texts give no distribution before any is tried ("" when they may): a side beyond
// Distribution::kMaxSide or not finite, a count of fittings beyond Distribution::kMaxFittings, a
// negative or infinite factor; the message names the field and the value as typed.
QString refusal(const Texts &text);

// The room of these rows worked out (`texts` one for each row of `rows`); each row's luminaire
// file looked up beside the masters. `tried` replaces the default layout of a row (the window lets
// the user try others). `files` keeps the files read for the next rooms; `index`, the index of the
// kept files read once for all rooms.
// The inter-reflected part by `method` (radiosity: the room's height, work plane and reflectances
// of its first row, as the sheet uses them).
Outcome compute(const QList<Texts> &texts, const QList<int> &rows, const MasterTables &masters, const QString &masterDir,
                const QHash<int, Distribution::Layout> &tried = {}, QHash<QString, Photometry> *files = nullptr,
                const QList<LuminaireImport::Kept> *index = nullptr,
                Distribution::InterReflection method = Distribution::InterReflection::Radiosity);
// Every room of the sheet.
QList<Outcome> computeAll(const RecordGrid &grid, const MasterTables &masters, const QString &masterDir,
                          Distribution::InterReflection method = Distribution::InterReflection::Radiosity);
// The same, saying on the calling thread how many rooms are done of how many (`progress`, called
// every few moments); none once it answers false (the rooms under way finish, no more begin).
using Progress = std::function<bool(int done, int total)>;
std::optional<QList<Outcome>> computeAll(const RecordGrid &grid, const MasterTables &masters, const QString &masterDir,
                                         Distribution::InterReflection method, const Progress &progress);

// The inter-reflection the user chose last (radiosity unless uniform was chosen), and keeping a choice.
Distribution::InterReflection savedMethod();
void saveMethod(Distribution::InterReflection method);
// The glare observers' eye height as the user chose it last: seated 1.2 m unless standing 1.5 m.
double savedEyeHeight();
void saveEyeHeight(double metres);
// The observers on the plan with their ratings.
QList<DistributionPlot::Style::Observer> observerMarks(const Outcome &o);
// "ラジオシティ", "一様（光束法）".
QString methodText(Distribution::InterReflection method);

// The ceiling, wall and floor reflectances of a row (0 … 1): its pattern's or as typed; none when
// neither is there.
std::optional<std::array<double, 3>> reflectancesOf(const Texts &text);

// The lines beside a room's drawing: the design illuminance, the work plane and the reflectances;
// each kind of luminaire (its marker, row, 形式, 光源, 光束, 灯数/台, 保守率, count, spacing,
// height); the grid; Eavg / Emin / Emax, U0 / Ud; the inter-reflection used with the lumen
// method's value; with radiosity the walls' and the ceiling's mean illuminance and luminance.
QStringList figures(const Outcome &o);
// What the figures must be read with (a 照明率 the file does not give, a flux balance that does
// not close, the inter-reflection made uniform): shown first, in red.
QStringList warnings(const Outcome &o);

// The pages of the report: two rooms a page (one room fills a page of its own), each with its
// drawing and figures, under the sheet's 件名 and 日付; rooms without a distribution are left out.
struct Headings {
    QString title;   // 件名
    QString date;    // 日付
    QString company; // the footer's company name
};
Headings headingsOf(const RecordGrid &grid, const QString &company);
QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>>
pages(const QList<Outcome> &rooms, const Headings &headings, const DistributionPlot::Style &style, int roomsPerPage = 2);

// rooms.csv, points.csv, luminaires.csv, surfaces.csv and ugr.csv into `folder` (UTF-8, a header line each), as one set
// under the folder's lock; false with the reason.
bool writeCsv(const QList<Outcome> &rooms, const QString &folder, QString *error, QString *notice = nullptr);

} // namespace RoomDistribution
