#pragma once

#include "report/BandedReport.h"
#include "report/XlsxOutput.h"

// The illuminance report (照 度 計 算 書): B4 landscape, 22 rooms a page, bound to W_Data.
class RptSyoudo
{
public:
    static BandedReport definition();
    // The same report as an Excel worksheet: every field a column (the two of a stacked column side
    // by side), the headings with their group above, the footer's names below.
    static XlsxOutput::Sheet workbook(const QList<QSqlRecord> &rows);
    static inline const QString kTitle = QStringLiteral("照 度 計 算 書");
};
