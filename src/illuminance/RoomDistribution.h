#pragma once

#include "grid/RecordGrid.h"
#include "photometry/Distribution.h"
#include "photometry/LuminaireImport.h"
#include "photometry/Photometry.h"
#include "report/BandedReport.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class MasterTables;

// The illuminance distribution of the rooms of the illuminance sheet: a room's figures from its
// texts, its luminaire's photometric file kept beside the masters, the result; the report's pages
// (two rooms a page), the CSV files of the batch mode.
namespace RoomDistribution {

struct Outcome {
    int row = 0;
    QString name;            // 室名１ 室名２
    int slot = 0;
    Distribution::Room room;
    double lumenResult = 0;  // the sheet's 照度 (lumen method)
    bool ok = false;
    QString reason;          // why there is none ("" when ok)
    Photometry photometry;
    Distribution::Result result;
};

using Texts = std::function<QString(int column)>;

// A room from its texts (the record grid's columns, or the panel's boxes by those columns).
Distribution::Room roomOf(const Texts &text);
// Why the room's texts give no distribution before any is tried ("" when they may): a side beyond
// Distribution::kMaxSide or not finite, a count of fittings beyond Distribution::kMaxFittings, a
// negative or infinite factor; the message names the field and the value as typed.
QString refusal(const Texts &text);
// The room worked out; its luminaire's file looked up beside the masters. `layout` replaces the
// default one (the window lets the user try others).
// `files`, when given, keeps the files read for the next rooms; `index`, the index of the kept files
// read once for all rooms.
Outcome compute(const Texts &text, int row, const MasterTables &masters, const QString &masterDir,
                std::optional<Distribution::Layout> layout = std::nullopt, QHash<QString, Photometry> *files = nullptr,
                const QList<LuminaireImport::Kept> *index = nullptr);
// Every room in use.
QList<Outcome> computeAll(const RecordGrid &grid, const MasterTables &masters, const QString &masterDir);

// The pages of the report: two rooms a page, drawing and figures; rooms without a distribution
// are left out (none: no page).
QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>> pages(const QList<Outcome> &rooms,
                                                                                  const RecordGrid &grid,
                                                                                  const QString &companyName);

// rooms.csv, points.csv and luminaires.csv into `folder` (UTF-8, a header line each), through the
// checked write; false with the reason.
bool writeCsv(const QList<Outcome> &rooms, const QString &folder, QString *error);

} // namespace RoomDistribution
