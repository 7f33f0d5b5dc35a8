#pragma once

#include <QString>

// prx5m --pdf cecl INPUT.syw OUTPUT.pdf: the CEC/L report of a work file as a PDF, through the
// same print table and report as the sheet, with no window.
namespace CeclBatch {

// An exit status of BatchStatus; *error says why when it is not 0.
int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error);
// The same report as an Excel workbook (prx5m --xlsx cecl).
int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error);

} // namespace CeclBatch
