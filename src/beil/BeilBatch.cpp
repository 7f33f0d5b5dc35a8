#include "beil/BeilBatch.h"

#include "beil/BeilExport.h"
#include "beil/BeilPrintTable.h"
#include "beil/BeilRecord.h"
#include "beil/RptBEIL.h"
#include "grid/RecordGrid.h"
#include "io/CheckedFile.h"
#include "report/BatchSteps.h"
#include "report/ReportOutput.h"
#include "report/XlsxOutput.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace BeilBatch {

namespace {

void warnOf(const QList<BeilRooms::Problem> &problems, QStringList *warnings)
{
    if (!warnings)
        return;
    for (const BeilRooms::Problem &p : problems)
        if (p.warning)
            warnings->append(p.message());
}

// Every problem, a line each, and the status that stops the run.
int refused(const QList<BeilRooms::Problem> &problems, QString *error)
{
    QStringList lines{QStringLiteral("計算できません（%1 件）:").arg(problems.size())};
    lines += BeilRooms::messages(problems);
    *error = lines.join(u'\n');
    return BatchStatus::ValueTooLarge;
}

// The rooms of the work file, or the status that stops the run.
int loadRooms(const QString &workFile, RecordGrid &grid, QList<BeilRooms::Room> *rooms, QString *error,
              QStringList *warnings, bool form4)
{
    if (const int status = BatchSteps::loadWorkFile(grid, workFile, error); status != BatchStatus::Ok)
        return status;
    QList<BeilRooms::Problem> problems;
    bool ok = BeilRooms::evaluateBuilding(grid, StandardValues::shipped(), rooms, &problems);
    if (form4 && ok) {
        const QList<BeilRooms::Problem> more = BeilExport::form4Problems(*rooms);
        problems += more;
        ok = more.isEmpty();
    }
    if (!ok)
        return refused(problems, error);
    warnOf(problems, warnings);
    if (rooms->isEmpty())
        return BatchSteps::nothingToPrint(workFile, QStringLiteral("室"), error);
    return BatchStatus::Ok;
}

int writeReport(const QString &workFile, const QString &outPath, const QString &workFolder, QString *error, bool excel,
                QStringList *warnings)
{
    RecordGrid grid(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
    if (const int status = BatchSteps::loadWorkFile(grid, workFile, error); status != BatchStatus::Ok)
        return status;
    BeilPrintTable::Result result;
    if (!BeilPrintTable::makeLines(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                   QFileInfo(workFile).absoluteFilePath(), &result)) {
        if (BeilRooms::hasErrors(result.problems))
            return refused(result.problems, error);
        return result.error.isEmpty() ? BatchSteps::nothingToPrint(workFile, QStringLiteral("室"), error)
                                      : BatchSteps::noPrintTable(BatchStatus::ValueTooLarge, result.error, error);
    }
    warnOf(result.problems, warnings);
    QList<QSqlRecord> records;
    QString buildError;
    const QString database = QDir(workFolder).filePath(BeilPrintTable::kFileName);
    if (BeilPrintTable::write(result, database, &records, &buildError) != PrintTableFile::Status::Ok)
        return BatchSteps::noPrintTable(BatchStatus::CannotBuildTable, buildError, error);
    const RptBEIL::Totals totals{result.designMJ, result.standardMJ};
    return BatchSteps::writeReport(
        outPath, excel, QStringLiteral("BEI/L計算書"), records, [&] { return RptBEIL::workbook(records, totals); },
        [&] { return RptBEIL::definition(totals); }, error);
}

} // namespace

int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error,
             QStringList *warnings)
{
    return writeReport(workFile, pdfPath, workFolder, error, false, warnings);
}

int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error,
              QStringList *warnings)
{
    return writeReport(workFile, xlsxPath, workFolder, error, true, warnings);
}

int writeFiguresCsv(const QString &workFile, const QString &csvPath, QString *error, QStringList *warnings)
{
    RecordGrid grid(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
    QList<BeilRooms::Room> rooms;
    if (const int status = loadRooms(workFile, grid, &rooms, error, warnings, false); status != BatchStatus::Ok)
        return status;
    QString why;
    const bool written = CheckedFile::write(csvPath, BeilExport::figuresCsv(rooms), &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

int writeForm4Csv(const QString &workFile, const QString &csvPath, QString *error, QStringList *warnings)
{
    RecordGrid grid(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
    QList<BeilRooms::Room> rooms;
    if (const int status = loadRooms(workFile, grid, &rooms, error, warnings, true); status != BatchStatus::Ok)
        return status;
    QByteArray bytes;
    QString why;
    if (!BeilExport::form4Csv(rooms, &bytes, &why)) {
        *error = QStringLiteral("様式4の行を作成できません: %1").arg(why);
        return BatchStatus::ValueTooLarge;
    }
    const bool written = CheckedFile::write(csvPath, bytes, &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

} // namespace BeilBatch
