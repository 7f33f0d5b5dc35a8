#include "cecl/CeclBatch.h"

#include "cecl/CeclPrintTable.h"
#include "cecl/RptCECL.h"
#include "cecl/ZoneRecord.h"
#include "grid/RecordGrid.h"
#include "report/BatchSteps.h"
#include "report/ReportOutput.h"
#include "report/XlsxOutput.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace CeclBatch {

namespace {

int writeReport(const QString &workFile, const QString &outPath, const QString &workFolder, QString *error, bool excel)
{
    RecordGrid grid(ZoneRecord::kHeadingsRow, ZoneRecord::kColumns);
    if (const int status = BatchSteps::loadWorkFile(grid, workFile, error); status != BatchStatus::Ok)
        return status;
    CeclPrintTable::Result result;
    if (!CeclPrintTable::makeLines(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                   QFileInfo(workFile).absoluteFilePath(), &result)) {
        return result.error.isEmpty() ? BatchSteps::nothingToPrint(workFile, QStringLiteral("区画"), error)
                                      : BatchSteps::noPrintTable(BatchStatus::ValueTooLarge, result.error, error);
    }
    // Joined zones are printed as the rule has them; the user hears of them.
    for (const QString &notice : std::as_const(result.notices))
        std::fprintf(stderr, "prx5m: 警告: %s\n", notice.toLocal8Bit().constData());
    QList<QSqlRecord> records;
    QString buildError;
    const QString database = QDir(workFolder).filePath(CeclPrintTable::kFileName);
    if (CeclPrintTable::write(result, database, &records, &buildError) != PrintTableFile::Status::Ok)
        return BatchSteps::noPrintTable(BatchStatus::CannotBuildTable, buildError, error);
    const QList<QSqlRecord> printed = CeclPrintTable::printedRows(records);
    return BatchSteps::writeReport(
        outPath, excel, QStringLiteral("CEC/L計算書"), printed,
        [&] { return RptCECL::workbook(printed, result.method, result.primaryET, result.primaryES); },
        [&] { return RptCECL::definition(result.method, result.primaryET, result.primaryES); }, error);
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

} // namespace CeclBatch
