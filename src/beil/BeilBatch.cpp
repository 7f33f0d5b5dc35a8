#include "beil/BeilBatch.h"

#include "beil/BeilExport.h"
#include "beil/BeilPrintTable.h"
#include "beil/BeilRecord.h"
#include "beil/OfficialSheets.h"
#include "beil/RptBEIL.h"
#include "grid/RecordGrid.h"
#include "grid/WorkFile.h"
#include "io/CheckedFile.h"
#include "report/BatchSteps.h"
#include "report/ReportOutput.h"
#include "report/XlsxOutput.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace BeilBatch {

namespace {

void warnOf(const QList<BeilRooms::Problem> &problems, QStringList *warnings)
{
    if (!warnings)
        return;
    for (const BeilRooms::Problem &p : problems)
        if (p.warning)
            warnings->append(p.message());
}

// Every problem, a line each, and the status that stops the run.
int refused(const QList<BeilRooms::Problem> &problems, QString *error)
{
    QStringList lines{QStringLiteral("計算できません（%1 件）:").arg(problems.size())};
    lines += BeilRooms::messages(problems);
    *error = lines.join(u'\n');
    return BatchStatus::ValueTooLarge;
}

// The work files of the building, each read whole.
int loadAll(const QStringList &workFiles, QList<RecordGrid> *grids, QStringList *names, QString *error)
{
    for (const QString &f : workFiles) {
        RecordGrid grid(BeilRecord::kHeadingsRow, BeilRecord::kColumns);
        if (const int status = BatchSteps::loadWorkFile(grid, f, error); status != BatchStatus::Ok)
            return status;
        grids->append(grid);
        names->append(QFileInfo(f).fileName());
    }
    return BatchStatus::Ok;
}

// The rooms of the building, or the status that stops the run.
int loadRooms(const QStringList &workFiles, QList<RecordGrid> *grids, QList<BeilRooms::Room> *rooms, QString *error,
              QStringList *warnings, bool form4)
{
    QStringList names;
    if (const int status = loadAll(workFiles, grids, &names, error); status != BatchStatus::Ok)
        return status;
    QList<BeilRooms::Problem> problems;
    bool ok = BeilRooms::evaluateBuilding(*grids, names, StandardValues::shipped(), rooms, &problems);
    if (form4 && ok) {
        const QList<BeilRooms::Problem> more = BeilExport::form4Problems(*rooms);
        problems += more;
        ok = more.isEmpty();
    }
    if (!ok)
        return refused(problems, error);
    warnOf(problems, warnings);
    if (rooms->isEmpty())
        return BatchSteps::nothingToPrint(workFiles.join(QStringLiteral(", ")), QStringLiteral("室"), error);
    return BatchStatus::Ok;
}

int writeReport(const QStringList &workFiles, const QString &outPath, const QString &workFolder, QString *error,
                bool excel, QStringList *warnings)
{
    QList<RecordGrid> grids;
    QStringList names;
    if (const int status = loadAll(workFiles, &grids, &names, error); status != BatchStatus::Ok)
        return status;
    BeilPrintTable::Result result;
    if (!BeilPrintTable::makeLines(grids, names, SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                   QFileInfo(workFiles.value(0)).absoluteFilePath(), &result)) {
        if (BeilRooms::hasErrors(result.problems))
            return refused(result.problems, error);
        return result.error.isEmpty()
                   ? BatchSteps::nothingToPrint(workFiles.join(QStringLiteral(", ")), QStringLiteral("室"), error)
                   : BatchSteps::noPrintTable(BatchStatus::ValueTooLarge, result.error, error);
    }
    warnOf(result.problems, warnings);
    QList<QSqlRecord> records;
    QString buildError;
    const QString database = QDir(workFolder).filePath(BeilPrintTable::kFileName);
    if (BeilPrintTable::write(result, database, &records, &buildError) != PrintTableFile::Status::Ok)
        return BatchSteps::noPrintTable(BatchStatus::CannotBuildTable, buildError, error);
    const RptBEIL::Totals totals{result.designMJ, result.standardMJ};
    return BatchSteps::writeReport(
        outPath, excel, QStringLiteral("BEI/L計算書"), records, [&] { return RptBEIL::workbook(records, totals); },
        [&] { return RptBEIL::definition(totals); }, error);
}

} // namespace

int writePdf(const QStringList &workFiles, const QString &pdfPath, const QString &workFolder, QString *error,
             QStringList *warnings)
{
    return writeReport(workFiles, pdfPath, workFolder, error, false, warnings);
}

int writeXlsx(const QStringList &workFiles, const QString &xlsxPath, const QString &workFolder, QString *error,
              QStringList *warnings)
{
    return writeReport(workFiles, xlsxPath, workFolder, error, true, warnings);
}

int writeFiguresCsv(const QStringList &workFiles, const QString &csvPath, QString *error, QStringList *warnings)
{
    QList<RecordGrid> grids;
    QList<BeilRooms::Room> rooms;
    if (const int status = loadRooms(workFiles, &grids, &rooms, error, warnings, false); status != BatchStatus::Ok)
        return status;
    QString why;
    const bool written = CheckedFile::write(csvPath, BeilExport::figuresCsv(rooms), &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

int writeForm4Csv(const QStringList &workFiles, const QString &csvPath, QString *error, QStringList *warnings)
{
    QList<RecordGrid> grids;
    QList<BeilRooms::Room> rooms;
    if (const int status = loadRooms(workFiles, &grids, &rooms, error, warnings, true); status != BatchStatus::Ok)
        return status;
    QByteArray bytes;
    QString why;
    if (!BeilExport::form4Csv(rooms, &bytes, &why)) {
        *error = QStringLiteral("様式4の行を作成できません: %1").arg(why);
        return BatchStatus::ValueTooLarge;
    }
    const bool written = CheckedFile::write(csvPath, bytes, &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

namespace {

QString &into()
{
    static QString path;
    return path;
}

} // namespace

void setInto(const QString &building)
{
    into() = building;
}

int writeOfficialXlsx(const QStringList &workFiles, const QString &xlsxPath, QString *error, QStringList *warnings,
                      QStringList *said)
{
    QList<RecordGrid> grids;
    QList<BeilRooms::Room> rooms;
    if (const int status = loadRooms(workFiles, &grids, &rooms, error, warnings, true); status != BatchStatus::Ok)
        return status;
    QString why;
    if (!into().isEmpty()) {
        OfficialSheets::IntoResult result;
        if (!OfficialSheets::writeInto(rooms, into(), xlsxPath, &result, &why)) {
            // A workbook that is not the official one (or cannot be read) is refused as an input.
            if (result.refused) {
                *error = QStringLiteral("公式入力シートのブックを読み込めません: %1").arg(why);
                return BatchStatus::ValueTooLarge;
            }
            return BatchSteps::written(false, QStringLiteral("Excel"), why, error);
        }
        if (warnings)
            *warnings += result.warnings;
        if (said)
            said->append(OfficialSheets::intoText(result, xlsxPath));
        return BatchStatus::Ok;
    }
    const QString building = grids.first().text(BeilRecord::kHeadingsRow, BeilRecord::kTitle1);
    const bool written = OfficialSheets::writeWorkbook(rooms, building, xlsxPath, &why);
    if (written && said)
        said->append(QStringLiteral("様式1 %1 室・様式4 %2 行 → %3（%4）")
                         .arg(rooms.size())
                         .arg(BeilExport::form4Rows(rooms).size())
                         .arg(QFileInfo(xlsxPath).fileName(), OfficialSheets::kOnlyLighting));
    return BatchSteps::written(written, QStringLiteral("Excel"), why, error);
}

int importOfficial(const QString &input, const QString &output, QString *error, QStringList *warnings, QStringList *said)
{
    OfficialSheets::Read read;
    QString why;
    if (!OfficialSheets::read(input, &read, &why)) {
        *error = QStringLiteral("公式入力シートを読み込めません: %1").arg(why);
        return BatchStatus::ValueTooLarge;
    }
    QList<RecordGrid> files;
    QStringList notes;
    if (!OfficialSheets::toWorkFiles(read, &files, &notes, &why)) {
        *error = QStringLiteral("公式入力シートを読み込めません: %1").arg(why);
        return BatchStatus::ValueTooLarge;
    }
    // One set: all the files of this import, and none of an earlier longer one left beside them.
    QStringList names, removed;
    if (!OfficialSheets::writeWorkFiles(files, output, &names, &removed, &why))
        return BatchSteps::written(false, QStringLiteral("作業ファイル"), why, error);
    if (!removed.isEmpty() && warnings) {
        QStringList shown;
        for (const QString &r : std::as_const(removed))
            shown.append(QFileInfo(r).fileName());
        warnings->append(QStringLiteral("以前の読み込みの作業ファイルを削除しました: %1").arg(shown.join(QStringLiteral(", "))));
    }
    if (warnings) {
        *warnings += notes;
        if (names.size() > 1)
            warnings->append(QStringLiteral("作業ファイル: %1").arg(names.join(QStringLiteral(", "))));
    }
    if (said) {
        QStringList made;
        for (qsizetype i = 0; i < names.size(); ++i)
            made.append(QStringLiteral("%1（%2 室）").arg(QFileInfo(names[i]).fileName()).arg(BeilRooms::rooms(files[i]).size()));
        said->append(QStringLiteral("様式4 %1 行 → %2").arg(read.form4.size()).arg(made.join(QStringLiteral("、"))));
    }
    return BatchStatus::Ok;
}

} // namespace BeilBatch
