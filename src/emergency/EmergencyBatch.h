#pragma once

#include <QString>

// The emergency-lighting check without a window: prx5m --pdf emergency, --xlsx emergency,
// --emergency-csv (rooms.csv, points.csv, luminaires.csv as one set) and --reach-table SLOT.
// The master of emergency luminaires is read beside the program (programDir). Each gives an exit
// status of BatchStatus and, when it is not 0, the reason: every refused room a line of its own.
namespace EmergencyBatch {

int writePdf(const QString &workFile, const QString &pdfPath, const QString &programDir, const QString &workFolder,
             QString *error);
int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &programDir, const QString &workFolder,
              QString *error);
int writeCsv(const QString &workFile, const QString &folder, const QString &programDir, QString *error,
             QStringList *warnings = nullptr);
// Every room's plan as one DXF drawing.
int writeDxf(const QString &workFile, const QString &dxfPath, const QString &programDir, QString *error);
int writeReachTable(const QString &slot, const QString &csvPath, const QString &programDir, QString *error);

} // namespace EmergencyBatch
