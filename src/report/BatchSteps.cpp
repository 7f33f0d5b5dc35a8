#include "report/BatchSteps.h"

#include "grid/WorkFile.h"

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

} // namespace BatchSteps
