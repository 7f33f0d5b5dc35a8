#include "emergency/EmergencyBatch.h"
#include "grid/RoomFloors.h"

#include "emergency/EmergencyDxf.h"
#include "emergency/EmergencyOutput.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/RptHijou.h"
#include "grid/RecordGrid.h"
#include "io/CheckedFile.h"
#include "report/BatchSteps.h"
#include "report/PrintTableFile.h"
#include "report/ReportOutput.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace EmergencyBatch {

namespace {

struct Checked {
    RecordGrid grid{EmergencyRecord::kHeadingsRow, EmergencyRecord::kColumns};
    EmergencyMaster::Master master;
    EmergencyRooms::Lights lights;
    QList<EmergencyRooms::Room> rooms;
};

// `inputsOnly`: every room's values read and checked, none worked out (c->rooms empty).
int checkAll(const QString &workFile, const QString &programDir, Checked *c, QString *error, bool inputsOnly = false)
{
    if (const int status = BatchSteps::loadWorkFile(c->grid, workFile, error); status != BatchStatus::Ok)
        return status;
    QString why;
    if (!EmergencyMaster::load(programDir, &c->master, &why)) {
        *error = why;
        return BatchStatus::BadInput;
    }
    if (!EmergencyRooms::used(c->grid)) {
        *error = QStringLiteral("データがありません。（非常用照明の入力がありません）: %1").arg(workFile);
        return BatchStatus::NothingToPrint;
    }
    QList<EmergencyRooms::Refusal> refusals;
    bool ok = true;
    if (inputsOnly) {
        for (const QList<int> &rows : RoomFloors::physicalRooms(c->grid)) {
            EmergencyRooms::Room room;
            ok = EmergencyRooms::evaluate(c->grid, rows, c->master, &c->lights, &room, &refusals, true) && ok;
        }
    } else {
        ok = EmergencyRooms::evaluateAll(c->grid, c->master, &c->lights, &c->rooms, &refusals);
    }
    if (!ok) {
        QStringList lines{QStringLiteral("計算できません（%1 件）:").arg(refusals.size())};
        for (const EmergencyRooms::Refusal &r : std::as_const(refusals))
            lines.append(r.message());
        *error = lines.join(u'\n');
        return BatchStatus::ValueTooLarge;
    }
    return BatchStatus::Ok;
}

int writeReport(const QString &workFile, const QString &out, const QString &programDir, const QString &workFolder,
                QString *error, bool excel)
{
    Checked c;
    if (const int status = checkAll(workFile, programDir, &c, error); status != BatchStatus::Ok)
        return status;
    const QString company = SettingsStore::ReadSetting(QStringLiteral("CompanyName"));
    const QStringList headings = EmergencyOutput::headingsOf(c.grid);
    const QList<QVariantList> lines =
        EmergencyOutput::lines(c.rooms, headings, company, QFileInfo(workFile).absoluteFilePath());
    QList<QSqlRecord> records;
    QString buildError;
    if (PrintTableFile::buildLines(QDir(workFolder).filePath(EmergencyOutput::kDatabase), EmergencyOutput::kCreateStatement,
                                   QStringLiteral("W_Data"), EmergencyOutput::ColumnCount, lines, &records, &buildError)
        != PrintTableFile::Status::Ok)
        return BatchSteps::noPrintTable(BatchStatus::CannotBuildTable, buildError, error);
    const RptHijou::Pages pages{c.rooms, c.lights, c.master, headings.value(0), headings.value(2), company};
    return BatchSteps::writeReport(
        out, excel, RptHijou::title(), records, [&] { return RptHijou::workbook(records); },
        [&] { return RptHijou::definition(pages); }, error);
}

} // namespace

int writePdf(const QString &workFile, const QString &pdfPath, const QString &programDir, const QString &workFolder,
             QString *error)
{
    return writeReport(workFile, pdfPath, programDir, workFolder, error, false);
}

int writeXlsx(const QString &workFile, const QString &xlsxPath, const QString &programDir, const QString &workFolder,
              QString *error)
{
    return writeReport(workFile, xlsxPath, programDir, workFolder, error, true);
}

int writeCsv(const QString &workFile, const QString &folder, const QString &programDir, QString *error,
             QStringList *warnings)
{
    // Every room's values checked first (every refusal named), then the rooms worked out one at
    // a time as their points are written: the memory does not grow with the points.
    Checked c;
    if (const int status = checkAll(workFile, programDir, &c, error, true); status != BatchStatus::Ok)
        return status;
    QString why, notice;
    QStringList refusals;
    const bool written = EmergencyOutput::writeCsvWorking(c.grid, c.master, &c.lights, folder, &why, &notice, &refusals);
    if (!written && !refusals.isEmpty()) {
        *error = (QStringList{QStringLiteral("計算できません（%1 件）:").arg(refusals.size())} + refusals).join(u'\n');
        return BatchStatus::ValueTooLarge;
    }
    if (written && !notice.isEmpty() && warnings)
        warnings->append(notice);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

int writeDxf(const QString &workFile, const QString &dxfPath, const QString &programDir, QString *error)
{
    Checked c;
    if (const int status = checkAll(workFile, programDir, &c, error); status != BatchStatus::Ok)
        return status;
    QString why;
    const bool written = CheckedFile::write(dxfPath, EmergencyDxf::drawing(c.rooms, c.lights), &why);
    return BatchSteps::written(written, QStringLiteral("DXF"), why, error);
}

int writeReachTable(const QString &slotText, const QString &csvPath, const QString &programDir, QString *error)
{
    bool ok = false;
    const int slot = slotText.toInt(&ok);
    EmergencyMaster::Master master;
    QString why;
    if (!EmergencyMaster::load(programDir, &master, &why)) {
        *error = why;
        return BatchStatus::BadInput;
    }
    EmergencyMaster::Light light;
    if (!ok || !EmergencyMaster::light(master, slot, &light, &why)) {
        *error = ok ? why : QStringLiteral("非常用照明器具の番号「%1」は 1～99 の番号ではありません。").arg(slotText);
        return BatchStatus::BadInput;
    }
    const QByteArray bytes = EmergencyOutput::reachCsv(ReachTable::table(*light.table, light.scale), *master.find(slot));
    const bool written = CheckedFile::write(csvPath, bytes, &why);
    return BatchSteps::written(written, QStringLiteral("CSV"), why, error);
}

} // namespace EmergencyBatch
