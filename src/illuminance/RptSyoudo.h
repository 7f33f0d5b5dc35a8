#pragma once

#include "report/BandedReport.h"

// The illuminance report (照 度 計 算 書): B4 landscape, 22 rooms a page, bound to W_Data.
class RptSyoudo
{
public:
    static BandedReport definition();
    static inline const QString kTitle = QStringLiteral("照 度 計 算 書");
};
