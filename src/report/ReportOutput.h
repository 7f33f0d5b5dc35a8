#pragma once

#include "report/BandedReport.h"

#include <QRect>

#include <functional>
#include <optional>
#include <QSize>

class QPrinter;
class QWidget;

// Where a report goes: a PDF file, the print preview window, or a printer after its dialog.
namespace ReportOutput {

// Choices offered with the preview and the printer dialog that change the report (pages added,
// what they show): each with its caption, its state and what remembers it; the report they give.
struct Option {
    struct Choice {
        QString text;
        bool checked = false;
        std::function<void(bool)> remember;
    };
    QList<Choice> choices;
    // The report with the choices as they stand; none when its long work was cancelled.
    std::function<std::optional<BandedReport>(const QList<bool> &states)> report;

    QList<bool> states() const;
};

// Writes the whole report as a PDF. Goes through a temporary file and a rename, so a failure
// leaves any earlier file as it was.
bool writePdf(const BandedReport &report, const QList<QSqlRecord> &rows, const QString &path,
              const QString &title, QString *error);

// The same report as an Excel workbook, written to a path (false with the reason).
using ExcelWriter = std::function<bool(const QString &path, QString *error)>;

// The preview window, with printing and saving as PDF (and, given `excel`, as a workbook) from
// its toolbar (the save dialogs propose `pdfName`, and the same name as .xlsx). It opens sized to
// the screen's free area, maximised on a small screen. A notice (what the print table did that
// the user should know) shows as a line above the pages.

void preview(QWidget *parent, const BandedReport &report, const QList<QSqlRecord> &rows, const QString &title,
             const QString &pdfName, const QString &notice = {}, const Option *option = nullptr,
             const ExcelWriter &excel = {});

// The print dialog first, then the printer.
void print(QWidget *parent, const BandedReport &report, const QList<QSqlRecord> &rows, const QString &title,
           const QString &pdfName, const Option *option = nullptr);

// The report's paper on a printer: B4 landscape, drawn from the paper's corner, the report's margins
// shown in the page set-up, the job named by a valid file name.
void preparePrinter(QPrinter &printer, const BandedReport &report, const QString &title);

// Where the preview window goes on a screen's free area: maximised when the area is small.
struct Placement {
    QSize size;
    bool maximised = false;
};
Placement previewPlacement(const QRect &available);

} // namespace ReportOutput
