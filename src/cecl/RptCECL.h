#pragma once

#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

#include <QString>

// The CEC/L report "照明エネルギー消費係数（ＣＥＣ／Ｌ）の計算": B4 landscape, the lines of the
// print table under a two-level column header, the simplified method in the page footer and the
// primary-energy values on the last page.
namespace RptCECL {

BandedReport definition(int method, const QString &primaryET, const QString &primaryES);
// The same report as an Excel worksheet: the printed rows (blank lines too), the headings with
// their symbols and units, the footer's values below.
XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows, int method, const QString &primaryET, const QString &primaryES);

} // namespace RptCECL
