// The CEC/L sheet's print table and report.
#include "cecl/FCECL.h"

#include "ui/Dialogs.h"

bool FCECL::Make_Print_File()
{
    Dialogs::inform(this, QStringLiteral("データがありません。"));
    return false;
}

bool FCECL::buildPrintTable(QList<QSqlRecord> *rows)
{
    if (!Make_Print_File())
        return false;
    *rows = m_printRows;
    return true;
}

BandedReport FCECL::report() const
{
    return BandedReport();
}
