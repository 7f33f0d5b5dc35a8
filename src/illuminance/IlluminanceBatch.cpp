#include "illuminance/IlluminanceBatch.h"

#include "grid/RecordGrid.h"
#include "illuminance/DistributionDxf.h"
#include "illuminance/IlluminancePrintTable.h"
#include "grid/RoomFloors.h"
#include "illuminance/RequirementsCheck.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RoomDistribution.h"
#include "illuminance/RptSyoudo.h"
#include "master/MasterTables.h"
#include "report/BatchSteps.h"
#include "report/PrintTableFile.h"
#include "io/CheckedFile.h"
#include "report/ReportOutput.h"
#include "report/XlsxOutput.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace IlluminanceBatch {

namespace {

int writeReport(const QString &workFile, const QString &outPath, const QString &workFolder, QString *error, bool excel)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    if (const int status = BatchSteps::loadWorkFile(grid, workFile, error); status != BatchStatus::Ok)
        return status;
    // The lamps' capacities for 備考１ of 自動計算, as the sheet has them beside the program.
    MasterTables masters;
    QString noLamps;
    const bool lamps = masters.LoadLampMaster(QCoreApplication::applicationDirPath(), &noLamps);
    const QString database = QDir(workFolder).filePath(IlluminancePrintTable::kFileName);
    QString buildError;
    QList<QSqlRecord> records;
    PrintTableFile::Status status = PrintTableFile::Status::Ok;
    const int rows = IlluminancePrintTable::build(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                  QFileInfo(workFile).absoluteFilePath(), database, &buildError,
                                                  &records, &status, lamps ? &masters : nullptr);
    if (rows == 0)
        return BatchSteps::nothingToPrint(workFile, QStringLiteral("室"), error);
    if (rows < 0)
        return BatchSteps::noPrintTable(status == PrintTableFile::Status::ValueTooLarge ? BatchStatus::ValueTooLarge
                                                                                        : BatchStatus::CannotBuildTable,
                                        buildError, error);
    return BatchSteps::writeReport(
        outPath, excel, QStringLiteral("照度計算書"), records, [&] { return RptSyoudo::workbook(records); },
        [] { return RptSyoudo::definition(); }, error);
}

} // namespace

int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error)
{
    return writeReport(workFile, pdfPath, workFolder, error, false);
}

int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error)
{
    return writeReport(workFile, xlsxPath, workFolder, error, true);
}

namespace {

Distribution::InterReflection g_method = Distribution::InterReflection::Radiosity;

// The sheet and its rooms' distributions; a status other than Ok when there is none to give.
int distributions(const QString &workFile, const QString &programDir, RecordGrid *grid,
                  QList<RoomDistribution::Outcome> *rooms, QString *error, QStringList *warnings)
{
    if (const int status = BatchSteps::loadWorkFile(*grid, workFile, error); status != BatchStatus::Ok)
        return status;
    MasterTables masters;
    if (!masters.LoadLuminaireMaster(programDir, error))
        return BatchStatus::BadInput;
    *rooms = RoomDistribution::computeAll(*grid, masters, programDir, g_method);
    if (rooms->isEmpty()) {
        *error = QStringLiteral("データがありません。（使用中の室がありません）: %1").arg(workFile);
        return BatchStatus::NothingToPrint;
    }
    // A stored value that is no number as the sheet stores them stops the output, every such room named.
    QStringList refused;
    for (const RoomDistribution::Outcome &o : std::as_const(*rooms))
        if (o.refused)
            refused.append(QStringLiteral("%1 行目（%2）: %3").arg(o.rowsText(), o.name, o.reason));
    if (!refused.isEmpty()) {
        *error = QStringLiteral("計算できない値があります（%1 件）:\n%2").arg(refused.size()).arg(refused.join(u'\n'));
        return BatchStatus::ValueTooLarge;
    }
    for (const RoomDistribution::Outcome &o : std::as_const(*rooms))
        if (!o.ok)
            warnings->append(QStringLiteral("%1 行目（%2）: %3").arg(o.rowsText(), o.name, o.reason));
    return BatchStatus::Ok;
}

} // namespace

void setInterReflection(Distribution::InterReflection method)
{
    g_method = method;
}

int writeDistributionPdf(const QString &workFile, const QString &pdfPath, const QString &programDir, QString *error,
                         QStringList *warnings)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    QList<RoomDistribution::Outcome> rooms;
    if (const int status = distributions(workFile, programDir, &grid, &rooms, error, warnings); status != BatchStatus::Ok)
        return status;
    BandedReport report = RptSyoudo::definition();
    const bool values = SettingsStore::ReadSetting(QStringLiteral("DistributionPointValues")) == u"1";
    report.extraPages = RoomDistribution::pages(
        rooms, RoomDistribution::headingsOf(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName"))), {true, values});
    if (report.extraPages.isEmpty()) {
        *error = QStringLiteral("照度分布を求められる室がありません（配光データのある照明器具の室がありません）。");
        return BatchStatus::NothingToPrint;
    }
    QString writeError;
    const bool written = ReportOutput::writePdf(report, {}, pdfPath, QStringLiteral("照度分布"), &writeError);
    return BatchSteps::written(written, QStringLiteral("PDF"), writeError, error);
}

int writeDistributionCsv(const QString &workFile, const QString &folder, const QString &programDir, QString *error,
                         QStringList *warnings)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    QList<RoomDistribution::Outcome> rooms;
    if (const int status = distributions(workFile, programDir, &grid, &rooms, error, warnings); status != BatchStatus::Ok)
        return status;
    QString writeError, notice;
    const bool written = RoomDistribution::writeCsv(rooms, folder, &writeError, &notice);
    if (written && !notice.isEmpty() && warnings)
        warnings->append(notice);
    return BatchSteps::written(written, QStringLiteral("CSV"), writeError, error);
}

namespace {

// Every room against its requirement; a status other than Ok when there is none to give.
int requirementRooms(const QString &workFile, const QString &programDir, RecordGrid *grid,
                     QList<RequirementsCheck::Room> *rooms, QString *error, QStringList *warnings)
{
    QList<RoomDistribution::Outcome> outcomes;
    if (const int status = distributions(workFile, programDir, grid, &outcomes, error, warnings); status != BatchStatus::Ok)
        return status;
    QList<Requirements::Requirement> master;
    if (!Requirements::load(programDir, &master, error))
        return BatchStatus::BadInput;
    MasterTables masters;
    if (!masters.LoadLuminaireMaster(programDir, error))
        return BatchStatus::BadInput;
    *rooms = RequirementsCheck::rooms(*grid, outcomes, master, masters);
    // The reasons a room has no distribution are in the rows themselves: not said twice.
    if (warnings)
        warnings->clear();
    return BatchStatus::Ok;
}

int writeRequirementsReport(const QString &workFile, const QString &out, const QString &programDir, const QString &workFolder,
                            QString *error, QStringList *warnings, bool excel)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    QList<RequirementsCheck::Room> rooms;
    if (const int status = requirementRooms(workFile, programDir, &grid, &rooms, error, warnings); status != BatchStatus::Ok)
        return status;
    const QString company = SettingsStore::ReadSetting(QStringLiteral("CompanyName"));
    const QStringList headings = {grid.text(RoomRecord::kRows, 1), grid.text(RoomRecord::kRows, 2), grid.text(RoomRecord::kRows, 3)};
    const QList<QVariantList> lines = RequirementsCheck::lines(rooms, headings, company, QFileInfo(workFile).absoluteFilePath());
    QList<QSqlRecord> records;
    QString buildError;
    if (PrintTableFile::buildLines(QDir(workFolder).filePath(RequirementsCheck::kDatabase), RequirementsCheck::kCreateStatement,
                                   QStringLiteral("W_Data"), RequirementsCheck::ColumnCount, lines, &records, &buildError)
        != PrintTableFile::Status::Ok)
        return BatchSteps::noPrintTable(BatchStatus::CannotBuildTable, buildError, error);
    return BatchSteps::writeReport(
        out, excel, RequirementsCheck::title(), records, [&] { return RequirementsCheck::workbook(records); },
        [&] { return RequirementsCheck::definition(company); }, error);
}

} // namespace

int writeRequirementsPdf(const QString &workFile, const QString &pdfPath, const QString &programDir, const QString &workFolder,
                         QString *error, QStringList *warnings)
{
    return writeRequirementsReport(workFile, pdfPath, programDir, workFolder, error, warnings, false);
}

int writeRequirementsXlsx(const QString &workFile, const QString &xlsxPath, const QString &programDir, const QString &workFolder,
                          QString *error, QStringList *warnings)
{
    return writeRequirementsReport(workFile, xlsxPath, programDir, workFolder, error, warnings, true);
}

int writeRequirementsCsv(const QString &workFile, const QString &csvPath, const QString &programDir, QString *error,
                         QStringList *warnings)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    QList<RequirementsCheck::Room> rooms;
    if (const int status = requirementRooms(workFile, programDir, &grid, &rooms, error, warnings); status != BatchStatus::Ok)
        return status;
    QString why;
    const bool written = CheckedFile::write(csvPath, RequirementsCheck::csv(rooms), &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

int writeDistributionDxf(const QString &workFile, const QString &dxfPath, const QString &programDir, QString *error,
                         QStringList *warnings)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    QList<RoomDistribution::Outcome> rooms;
    if (const int status = distributions(workFile, programDir, &grid, &rooms, error, warnings); status != BatchStatus::Ok)
        return status;
    const QVector<QString> floors = RoomFloors::of(grid);
    QStringList floorOf;
    for (const RoomDistribution::Outcome &o : std::as_const(rooms))
        floorOf.append(floors.value(o.rows.value(0, o.row)));
    QString why;
    const bool written = CheckedFile::write(dxfPath, DistributionDxf::drawing(rooms, floorOf, true), &why);
    return BatchSteps::written(written, QStringLiteral("DXF"), why, error);
}

} // namespace IlluminanceBatch
