#include "illuminance/IlluminanceBatch.h"

#include "grid/WorkFile.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RptSyoudo.h"
#include "report/ReportData.h"
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
        *error = loadError == WorkFile::Error::CannotOpen
                     ? QStringLiteral("作業ファイルを開けません: %1").arg(workFile)
                     : QStringLiteral("作業ファイルの読込に失敗しました（照度計算書の作業ファイルではありません）: %1")
                           .arg(workFile);
        return 2;
    }
    const QString database = QDir(workFolder).filePath(IlluminancePrintTable::kFileName);
    QString buildError;
    const int rows = IlluminancePrintTable::build(grid, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                  QFileInfo(workFile).absoluteFilePath(), database, &buildError);
    if (rows == 0) {
        *error = QStringLiteral("データがありません。（使用中の室がありません）: %1").arg(workFile);
        return 3;
    }
    if (rows < 0) {
        *error = QStringLiteral("印刷用データを作成できません: %1").arg(buildError);
        return 4;
    }
    QList<QSqlRecord> records;
    QString readError;
    if (!ReportData::readTable(database, QStringLiteral("W_Data"), &records, &readError)) {
        *error = QStringLiteral("印刷用データを読み込めません: %1").arg(readError);
        return 4;
    }
    QString writeError;
    if (!ReportOutput::writePdf(RptSyoudo::definition(), records, pdfPath, QStringLiteral("照度計算書"), &writeError)) {
        *error = QStringLiteral("PDFを書き込めません: %1 (%2)").arg(pdfPath, writeError);
        return 4;
    }
    return 0;
}

} // namespace IlluminanceBatch
