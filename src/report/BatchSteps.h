#pragma once

#include "report/BandedReport.h"
#include "report/BatchStatus.h"
#include "report/XlsxOutput.h"

#include <QList>
#include <QSqlRecord>
#include <QString>

#include <functional>

class RecordGrid;

// The steps every batch run shares, each giving its exit status and, on a failure, the reason.
namespace BatchSteps {

// The work file into `grid` (BadInput with why it cannot be read).
int loadWorkFile(RecordGrid &grid, const QString &path, QString *error);
// Ok when `written`; otherwise CannotWritePdf, saying which output (`what`: "PDF", "CSV", ...)
// could not be written and why.
int written(bool written, const QString &what, const QString &why, QString *error);
// NothingToPrint: the work file has no `what` ("室", "区画") in use.
int nothingToPrint(const QString &workFile, const QString &what, QString *error);
// `status` with why the print table could not be made.
int noPrintTable(int status, const QString &why, QString *error);
// The print table's records as an Excel workbook at `path` when `excel`, else as the PDF named
// `title`; only the one asked for is laid out.
int writeReport(const QString &path, bool excel, const QString &title, const QList<QSqlRecord> &rows,
                const std::function<XlsxOutput::Sheet()> &workbook, const std::function<BandedReport()> &report,
                QString *error);

} // namespace BatchSteps
