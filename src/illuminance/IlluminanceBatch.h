#pragma once

#include "photometry/Distribution.h"

#include <QString>
#include <QStringList>

// The illuminance report without a window: work file in, PDF out.
namespace IlluminanceBatch {

// 0 on success; otherwise a status for the process and a message in *error
// (2 the work file cannot be read, 3 nothing to print, 4 the report cannot be written).
int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error);
// The same report as an Excel workbook (same checks and statuses; 4: it cannot be written).
int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error);

// The illuminance distribution of every room whose luminaire has a photometric file kept beside
// the masters in `programDir`: its pages alone as a PDF, or rooms.csv, points.csv and
// luminaires.csv into a folder. Rooms without one are named in *warnings with the reason.
// Statuses as for writePdf (2 also when the luminaire master cannot be read).
int writeDistributionPdf(const QString &workFile, const QString &pdfPath, const QString &programDir, QString *error,
                         QStringList *warnings);
int writeDistributionCsv(const QString &workFile, const QString &folder, const QString &programDir, QString *error,
                         QStringList *warnings);
// Every room's distribution as one DXF drawing (rooms without one drawn as their outline, named in
// *warnings). Statuses as for the distribution's PDF.
int writeDistributionDxf(const QString &workFile, const QString &dxfPath, const QString &programDir, QString *error,
                         QStringList *warnings);
// Every room against its room requirement (kijun.csv beside the program): the report 照明要件チェック表
// as a PDF or a workbook, or the CSV file. Statuses as for the distribution (2 also when the
// requirements' master cannot be read).
int writeRequirementsPdf(const QString &workFile, const QString &pdfPath, const QString &programDir, const QString &workFolder,
                         QString *error, QStringList *warnings);
int writeRequirementsXlsx(const QString &workFile, const QString &xlsxPath, const QString &programDir, const QString &workFolder,
                          QString *error, QStringList *warnings);
int writeRequirementsCsv(const QString &workFile, const QString &csvPath, const QString &programDir, QString *error,
                         QStringList *warnings);
// The inter-reflection of the distribution modes (radiosity unless the command line says uniform).
void setInterReflection(Distribution::InterReflection method);

} // namespace IlluminanceBatch
