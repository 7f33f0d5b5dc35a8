// The CEC/L sheet's print table and report.
#include "cecl/CeclPrintTable.h"
#include "cecl/FCECL.h"
#include "cecl/RptCECL.h"
#include "report/XlsxOutput.h"
#include "cecl/ZoneFigures.h"
#include "cecl/ZoneSheet.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"

bool FCECL::Make_Print_File()
{
    m_printRows.clear();
    CeclPrintTable::Result result;
    const bool made = CeclPrintTable::makeLines(recordGrid(), SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                dialogFileName(), &result);
    // The zeros filled in are the sheet's from now on, with the figures that follow from them.
    ZoneFigures::recomputeAll(recordGrid());
    gridChanged();
    if (!made) {
        cannotMakePrintTable(result.error);
        return false;
    }
    QString error;
    if (CeclPrintTable::write(result, workDatabasePath(), &m_printRows, &error) != PrintTableFile::Status::Ok) {
        cannotMakePrintTable(error);
        m_printRows.clear();
        return false;
    }
    setReportNotice(result.notices.join(u'\n'));
    m_printMethod = result.method;
    m_primaryEnergyET = result.primaryET;
    m_primaryEnergyES = result.primaryES;
    return true;
}

bool FCECL::buildPrintTable(QList<QSqlRecord> *rows)
{
    if (!Make_Print_File())
        return false;
    *rows = CeclPrintTable::printedRows(m_printRows);
    return true;
}

BandedReport FCECL::report() const
{
    return RptCECL::definition(m_printMethod, m_primaryEnergyET, m_primaryEnergyES);
}

bool FCECL::writeExcel(const QString &path, QString *error)
{
    return XlsxOutput::write(RptCECL::workbook(CeclPrintTable::printedRows(m_printRows), m_printMethod, m_primaryEnergyET,
                                               m_primaryEnergyES),
                             path, error);
}
