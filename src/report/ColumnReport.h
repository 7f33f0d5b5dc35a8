#pragma once

#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

#include <QString>

#include <span>

// The B4 landscape sheet of lines under a title block and a three-line column heading (symbol,
// caption, unit) that the CEC/L and BEI/L reports share; each adds its own footer.
namespace ColumnReport {

struct Column {
    const char *field;
    const char *symbol;  // upper line of the heading
    const char *caption; // up to two lines
    const char *unit;    // lower line
    double width;        // relative; the columns are scaled to the frame
    const char *format;
    Qt::Alignment align;
};

// Both sheets are printed alike: the binding margin on the left, the lines' text at 7.5 points.
inline constexpr double kLeft = 950;
inline constexpr double kMargin = 540;
inline constexpr double kTitleBand = 1220;
inline constexpr double kHeadingBand = 1000;
inline constexpr double kRowHeight = 290;
inline constexpr double kPoints = 7.5;

// The frame, the fields across it, the rules between them and the page header: the title
// underlined twice over titleWidth, 件名 on two lines, 日付 and the heading of the columns.
BandedReport definition(const QString &title, double titleWidth, std::span<const Column> columns, int rowsPerPage);

// The same columns, margins and size of text for the workbook's sheet.
void addColumns(XlsxOutput::Sheet &sheet, std::span<const Column> columns);

} // namespace ColumnReport
