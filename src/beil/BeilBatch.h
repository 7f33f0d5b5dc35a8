#pragma once

#include <QString>

// The BEI/L sheet without a window: prx5m --pdf beil, --xlsx beil, --beil-csv and --form4-csv.
// Each gives an exit status of BatchStatus and, when it is not 0, the reason.
namespace BeilBatch {

// Every problem of every room is named, a line each in *error (errors, status 5) or in *warnings
// (what the figures should be read with; the output is written).
int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error,
             QStringList *warnings = nullptr);
int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &workFolder, QString *error,
              QStringList *warnings = nullptr);
int writeFiguresCsv(const QString &workFile, const QString &csvPath, QString *error, QStringList *warnings = nullptr);
int writeForm4Csv(const QString &workFile, const QString &csvPath, QString *error, QStringList *warnings = nullptr);

} // namespace BeilBatch
