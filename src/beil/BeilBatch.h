#pragma once

#include <QString>
#include <QStringList>

// The BEI/L sheet without a window: prx5m --pdf beil, --xlsx beil, --beil-csv, --form4-csv and
// --official-xlsx, each over one work file or several taken as one building (the building's
// totals over all of them); and --import-official, the official input sheets into work files.
// Each gives an exit status of BatchStatus and, when it is not 0, the reason. Every problem of
// every room is named, a line each in *error (errors, status 5) or in *warnings (what the figures
// should be read with; the output is written).
namespace BeilBatch {

int writePdf(const QStringList &workFiles, const QString &pdfPath, const QString &workFolder, QString *error,
             QStringList *warnings = nullptr);
int writeXlsx(const QStringList &workFiles, const QString &xlsxPath, const QString &workFolder, QString *error,
              QStringList *warnings = nullptr);
int writeFiguresCsv(const QStringList &workFiles, const QString &csvPath, QString *error, QStringList *warnings = nullptr);
int writeForm4Csv(const QStringList &workFiles, const QString &csvPath, QString *error, QStringList *warnings = nullptr);
// The official workbook: of the two sheets alone, or (`into` not empty) written into the
// building's own workbook at `into`; *said what was written.
int writeOfficialXlsx(const QStringList &workFiles, const QString &xlsxPath, QString *error,
                      QStringList *warnings = nullptr, QStringList *said = nullptr);
// --into BUILDING.xlsx of the command line, for writeOfficialXlsx.
void setInto(const QString &building);
// The official workbook or 様式4 CSV at `input` as work files: `output`, or OUTPUT_1.syw … when
// the building needs several; nothing is written unless all of them can be. *said: "様式4 136 行
// → out.syw（122 室）".
int importOfficial(const QString &input, const QString &output, QString *error, QStringList *warnings = nullptr,
                   QStringList *said = nullptr);

} // namespace BeilBatch
