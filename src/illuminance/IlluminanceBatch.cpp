#include "illuminance/IlluminanceBatch.h"

#include "grid/WorkFile.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RptSyoudo.h"
#include "report/BatchStatus.h"
#include "report/ReportOutput.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace IlluminanceBatch {

int writePdf(const QString &workFile, const QString &pdfPath, const QString &workFolder, QString *error)
{
    RecordGrid grid(RoomRecord::kRows, RoomRecord::kColumns);
    WorkFile::Error loadError = WorkFile::Error::None;
    if (!WorkFile::load(grid, workFile, &loadError)) {
        *error = QStringLiteral("作業ファイルを読み込めません: %1（%2）").arg(workFile, WorkFile::errorText(loadError));
        return BatchStatus::BadInput;
    }
    const QString database = QDir(workFolder).filePath(IlluminancePrintTable::kFileName);
    QString buildError;
    QList<QSqlRecord> records;
    PrintTableFile::Status status = PrintTableFile::Status::Ok;
    const int rows = IlluminancePrintTable::build(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                  QFileInfo(workFile).absoluteFilePath(), database, &buildError,
                                                  &records, &status);
    if (rows == 0) {
        *error = QStringLiteral("データがありません。（使用中の室がありません）: %1").arg(workFile);
        return BatchStatus::NothingToPrint;
    }
    if (rows < 0) {
        *error = QStringLiteral("印刷用データを作成できません: %1").arg(buildError);
        return status == PrintTableFile::Status::ValueTooLarge ? BatchStatus::ValueTooLarge
                                                               : BatchStatus::CannotBuildTable;
    }
    QString writeError;
    if (!ReportOutput::writePdf(RptSyoudo::definition(), records, pdfPath, QStringLiteral("照度計算書"), &writeError)) {
        *error = QStringLiteral("PDFを書き込めません: %1").arg(writeError);
        return BatchStatus::CannotWritePdf;
    }
    return BatchStatus::Ok;
}

} // namespace IlluminanceBatch
