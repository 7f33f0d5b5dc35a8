#include "illuminance/IlluminancePrintTable.h"

#include "illuminance/RoomFigures.h"

#include "illuminance/RoomRecord.h"
#include "illuminance/RptSyoudo.h"
#include "text/NumberText.h"

#include <QVariant>

#include <cmath>
#include <limits>

const QString IlluminancePrintTable::kCreateStatement = QStringLiteral(
    "Create Table W_Data ([タイトル１] Text, [タイトル２] Text, [日付] Text, [会社名] Text, [ファイル名] Text, "
    "[行№] Long, [階数] Text, [室名１] Text, [室名２] Text, [照明器具種類] Text, [光源名称] Text, [光束] Long, "
    "[照度１] Long, [間口] Single, [奥行] Single, [面積] Single,[高さ] Single, [作業面の高さ] Single, "
    "[器具下り] Single, [室指数] Single, [天井] Integer, [壁] Integer, [床] Integer, [照明率] Single, "
    "[保守率] Single, [灯数１] Single, [灯数２] Integer, [照度２] Long, [台数] Integer, [備考１] Long, "
    "[備考２] Long, [室指数記号] Text);");

namespace {

enum class Kind { Text, Long, Integer, Single };

struct Source {
    int column;
    Kind kind;
};

// Fields 6 to 30 of W_Data, in field order, and their record columns.
const Source kSources[] = {
    {RoomRecord::Floor, Kind::Text},
    {RoomRecord::RoomName1, Kind::Text},
    {RoomRecord::RoomName2, Kind::Text},
    {RoomRecord::LuminaireType, Kind::Text},
    {RoomRecord::LampName, Kind::Text},
    {RoomRecord::LampFlux, Kind::Long},
    {RoomRecord::DesignIlluminance, Kind::Long},
    {RoomRecord::Width, Kind::Single},
    {RoomRecord::Depth, Kind::Single},
    {RoomRecord::Area, Kind::Single},
    {RoomRecord::CeilingHeight, Kind::Single},
    {RoomRecord::WorkPlaneHeight, Kind::Single},
    {RoomRecord::Suspension, Kind::Single},
    {RoomRecord::RoomIndex, Kind::Single},
    {RoomRecord::CeilingReflectance, Kind::Integer},
    {RoomRecord::WallReflectance, Kind::Integer},
    {RoomRecord::FloorReflectance, Kind::Integer},
    {RoomRecord::UtilizationFactor, Kind::Single},
    {RoomRecord::MaintenanceFactor, Kind::Single},
    {RoomRecord::LampCountComputed, Kind::Single},
    {RoomRecord::LampCount, Kind::Integer},
    {RoomRecord::ResultIlluminance, Kind::Long},
    {RoomRecord::FittingCount, Kind::Integer},
    {RoomRecord::Remark1, Kind::Long},
    {RoomRecord::Remark2, Kind::Long},
};

// The field value of a cell: zero and empty numbers are Null; a value its column cannot hold
// gives no value and *overflow.
QVariant fieldValue(const QString &text, Kind kind, bool *overflow)
{
    if (kind == Kind::Text)
        return PrintTableFile::text(text);
    const double v = NumberText::leading(text);
    if (v == 0)
        return QVariant();
    switch (kind) {
    case Kind::Long: {
        const double r = std::round(v);
        if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max()) {
            *overflow = true;
            return QVariant();
        }
        return QVariant(qint32(r));
    }
    case Kind::Integer: {
        const double r = std::round(v);
        if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max()) {
            *overflow = true;
            return QVariant();
        }
        return QVariant(int(r));
    }
    case Kind::Single: {
        const float f = static_cast<float>(v);
        if (!std::isfinite(f)) {
            *overflow = true;
            return QVariant();
        }
        return QVariant(double(f));
    }
    case Kind::Text:
        break;
    }
    return QVariant();
}

PrintTableFile::Status writeRecords(PrintTableFile::Writer &writer, const RecordGrid &grid, int rows,
                                    const QString &companyName, const QString &fileName, QString *error)
{
    using Status = PrintTableFile::Status;
    const int h = RoomRecord::kHeadingsRow;
    const QVariantList headings = {PrintTableFile::text(grid.text(h, RoomRecord::kTitle1)),
                                   PrintTableFile::text(grid.text(h, RoomRecord::kTitle2)),
                                   PrintTableFile::text(grid.text(h, RoomRecord::kDate)),
                                   PrintTableFile::text(companyName), PrintTableFile::text(fileName)};
    for (int r = 1; r <= rows; ++r) {
        QVariantList values = headings;
        values.append(QVariant(qint32(r)));
        for (const Source &s : kSources) {
            bool overflow = false;
            const QVariant v = fieldValue(grid.text(r, s.column), s.kind, &overflow);
            if (overflow) {
                *error = QStringLiteral("オーバーフローしました。（%1 行目の値「%2」）").arg(r).arg(grid.text(r, s.column));
                return Status::ValueTooLarge;
            }
            values.append(v);
        }
        const QString roomIndex = grid.text(r, RoomRecord::RoomIndex);
        values.append(roomIndex.isEmpty() ? QVariant() : QVariant(IlluminancePrintTable::roomIndexLetter(roomIndex)));
        if (!writer.append(values, error))
            return Status::CannotWrite;
    }
    return Status::Ok;
}

// Every value of the table must show whole in its column of the report: a number too large would
// print as "###" beside the figures that follow from it.
PrintTableFile::Status checkPrintable(const QList<QSqlRecord> &records, QString *error)
{
    const BandedReport report = RptSyoudo::definition();
    for (const QSqlRecord &record : records) {
        for (const BandedReport::Field &field : report.fields) {
            const QVariant v = record.value(field.name);
            if (report.showsWhole(field, v))
                continue;
            bool number = false;
            const double d = v.toDouble(&number);
            *error = QStringLiteral("%1 行目（%2）の%3「%4」は大きすぎて印刷できません。")
                         .arg(record.value(QStringLiteral("行№")).toInt())
                         .arg(record.value(QStringLiteral("室名１")).toString(), field.name,
                              number ? NumberText::plain(d) : v.toString());
            return PrintTableFile::Status::ValueTooLarge;
        }
    }
    return PrintTableFile::Status::Ok;
}

} // namespace

int IlluminancePrintTable::lastRoom(const RecordGrid &grid)
{
    for (int r = RoomRecord::kRooms; r >= 1; --r)
        if (grid.text(r, RoomRecord::InUse) == u"1")
            return r;
    return 0;
}

int IlluminancePrintTable::paddedRows(int n)
{
    if (n <= 0)
        return 0;
    return n % kRowsPerPage == 0 ? n : n + kRowsPerPage - n % kRowsPerPage;
}

QString IlluminancePrintTable::roomIndexLetter(const QString &roomIndex)
{
    if (roomIndex.isEmpty())
        return QString();
    const float k = static_cast<float>(NumberText::leading(roomIndex));
    static const struct {
        float limit;
        const char *letter;
    } kLimits[] = {{0.7f, "J"}, {0.9f, "I"}, {1.12f, "H"}, {1.38f, "G"}, {1.75f, "F"},
                   {2.25f, "E"}, {2.75f, "D"}, {3.5f, "C"}, {4.5f, "B"}};
    for (const auto &l : kLimits)
        if (k < l.limit)
            return QString::fromLatin1(l.letter);
    return QStringLiteral("A");
}

int IlluminancePrintTable::build(const RecordGrid &stored, const QString &companyName, const QString &fileName,
                                 const QString &databasePath, QString *error, QList<QSqlRecord> *records,
                                 PrintTableFile::Status *status, const MasterTables *masters)
{
    RecordGrid grid = stored;
    RoomFigures::recomputeAll(grid, masters);
    const int rows = paddedRows(lastRoom(grid));
    if (status)
        *status = PrintTableFile::Status::Ok;
    if (rows == 0)
        return 0;
    QList<QSqlRecord> built;
    const PrintTableFile::Status result = PrintTableFile::build(
        databasePath, kCreateStatement, QStringLiteral("W_Data"), kColumns,
        [&](PrintTableFile::Writer &writer, QString *why) {
            return writeRecords(writer, grid, rows, companyName, fileName, why);
        },
        &built, error, &checkPrintable);
    if (status)
        *status = result;
    if (result != PrintTableFile::Status::Ok)
        return -1;
    if (records)
        *records = std::move(built);
    return rows;
}
