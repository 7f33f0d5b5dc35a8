#pragma once

#include <QString>

// The illuminance report without a window: work file in, PDF out.
namespace IlluminanceBatch {

// 0 on success; otherwise a status for the process and a message in *error
// (2 the work file cannot be read, 3 nothing to print, 4 the report cannot be written).
int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error);

} // namespace IlluminanceBatch
