#pragma once

#include <QString>

// The BEI/L sheet without a window: prx5m --pdf beil, --xlsx beil, --beil-csv and --form4-csv.
// Each gives an exit status of BatchStatus and, when it is not 0, the reason.
namespace BeilBatch {

int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error);
int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error);
int writeFiguresCsv(const QString &workFile, const QString &csvPath, QString *error);
int writeForm4Csv(const QString &workFile, const QString &csvPath, QString *error);

} // namespace BeilBatch
