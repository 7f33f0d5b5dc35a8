#pragma once

#include "report/BandedReport.h"

class QWidget;

// Where a report goes: a PDF file, the print preview window, or a printer after its dialog.
namespace ReportOutput {

// Writes the whole report as a PDF. Goes through a temporary file and a rename, so a failure
// leaves any earlier file as it was.
bool writePdf(const BandedReport &report, const QList<QSqlRecord> &rows, const QString &path,
              const QString &title, QString *error);

// The preview window, with printing and saving as PDF from its toolbar.
void preview(QWidget *parent, const BandedReport &report, const QList<QSqlRecord> &rows, const QString &title);

// The print dialog first, then the printer.
void print(QWidget *parent, const BandedReport &report, const QList<QSqlRecord> &rows, const QString &title);

} // namespace ReportOutput
