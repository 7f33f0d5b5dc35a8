#pragma once

#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

#include <QString>

// The BEI/L report "照明設備の一次エネルギー消費量（BEI/L）の計算": B4 landscape like the CEC/L
// report, the lines of the print table under a column header of symbols, captions and units, the
// note that it is the lighting share only on every page, and the building's totals on the last.
namespace RptBEIL {

struct Totals {
    double designMJ = 0;
    double standardMJ = 0;
};

const QString &title();
// "照明設備のみの試算です。…"
const QString &footerNote();

BandedReport definition(const Totals &totals);
XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows, const Totals &totals);

} // namespace RptBEIL
