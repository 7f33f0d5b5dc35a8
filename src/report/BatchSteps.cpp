#include "report/BatchSteps.h"

#include "grid/WorkFile.h"
#include "report/ReportOutput.h"

namespace BatchSteps {

int loadWorkFile(RecordGrid &grid, const QString &path, QString *error)
{
    WorkFile::Error loadError = WorkFile::Error::None;
    if (WorkFile::load(grid, path, &loadError))
        return BatchStatus::Ok;
    *error = QStringLiteral("作業ファイルを読み込めません: %1（%2）").arg(path, WorkFile::errorText(loadError));
    return BatchStatus::BadInput;
}

int written(bool written, const QString &what, const QString &why, QString *error)
{
    if (written)
        return BatchStatus::Ok;
    *error = QStringLiteral("%1を書き込めません: %2").arg(what, why);
    return BatchStatus::CannotWritePdf;
}

int nothingToPrint(const QString &workFile, const QString &what, QString *error)
{
    *error = QStringLiteral("データがありません。（使用中の%1がありません）: %2").arg(what, workFile);
    return BatchStatus::NothingToPrint;
}

int noPrintTable(int status, const QString &why, QString *error)
{
    *error = QStringLiteral("印刷用データを作成できません: %1").arg(why);
    return status;
}

int writeReport(const QString &path, bool excel, const QString &title, const QList<QSqlRecord> &rows,
                const std::function<XlsxOutput::Sheet()> &workbook, const std::function<BandedReport()> &report,
                QString *error)
{
    QString why;
    const bool done = excel ? XlsxOutput::write(workbook(), path, &why) : ReportOutput::writePdf(report(), rows, path, title, &why);
    return written(done, excel ? QStringLiteral("Excelのファイル") : QStringLiteral("PDF"), why, error);
}

} // namespace BatchSteps
