#pragma once

#include "report/BatchStatus.h"

#include <QString>

class RecordGrid;

// The steps every batch run shares, each giving its exit status and, on a failure, the reason.
namespace BatchSteps {

// The work file into `grid` (BadInput with why it cannot be read).
int loadWorkFile(RecordGrid &grid, const QString &path, QString *error);
// Ok when `written`; otherwise CannotWritePdf, saying which output (`what`: "PDF", "CSV", ...)
// could not be written and why.
int written(bool written, const QString &what, const QString &why, QString *error);

} // namespace BatchSteps
