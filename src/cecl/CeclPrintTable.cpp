#include "cecl/CeclPrintTable.h"

#include "cecl/CeclCalculation.h"
#include "cecl/CeclOptions.h"
#include "cecl/ZoneRecord.h"
#include "text/NumberText.h"

#include <cmath>
#include <limits>
#include <optional>

const QString CeclPrintTable::kCreateStatement = QStringLiteral(
    "Create Table W_Data ([タイトル１] Text, [タイトル２] Text, [日付] Text, [会社名] Text, [ファイル名] Text, "
    "[行№] Long, [階] Text, [区画] Text, [標準照明消費] Text, [標準点灯時間] Text, [床面積] Text, "
    "[照明器具番号] Text, [照明器具形式] Text, [入力電力] Text, [台数] Text, [トータル入力] Text, "
    "[計画照明消費電力] Text, [年間電力量] Text, [制御内容] Text, [制御補正係数] Text, [種類補正係数] Text, "
    "[照度補正係数] Text, [照明消費電力量] Text, [仮想照明消費電力量] Text, [照明エネルギー消費係数] Text );");

namespace {

using namespace ZoneRecord;
using Line = CeclPrintTable::Line;
using C = CeclPrintTable::Column;

// The cells empty cells of a zone get "0" in before printing; LuminaireNumber and
// ControlContent stay as they are.
constexpr int kZeroFilled[] = {Area,        StandardPower,  StandardHours,    InputPower, TotalInput,
                               PlannedPowerDensity, AnnualEnergy, ControlFactor, TypeFactor, IlluminanceFactor,
                               LightingEnergy, VirtualEnergy, ZoneCecl};

// The sums of a floor group or of the building.
struct Totals {
    QString floor;
    double area = 0;
    qint64 totalInput = 0;
    double annual = 0;
    double lighting = 0;
    double virtualEnergy = 0;

    void add(const Totals &o)
    {
        area += o.area;
        totalInput += o.totalInput;
        annual += o.annual;
        lighting += o.lighting;
        virtualEnergy += o.virtualEnergy;
    }
};

// A failed reading or calculation stops the table with the reason.
struct Failure {
    QString reason;
};

class Walk
{
public:
    Walk(RecordGrid &grid, const QString &company, const QString &fileName, CeclPrintTable::Result &result)
        : m_grid(grid), m_result(result)
    {
        const int h = kHeadingsRow;
        m_headings = {m_grid.text(h, 1), m_grid.text(h, 2), m_grid.text(h, 3), company, fileName};
        m_method = CeclOptions::simplifiedMethod(grid);
        result.method = m_method;
    }

    void run(int lastRow)
    {
        const int bound = (lastRow + 21) / 22 * 22; // whole pages of 22 rows are scanned
        for (int row = 1; row <= bound && row <= kRooms; ++row) {
            if (!taken(row))
                continue;
            enterFloor(row);
            row = zone(row);
        }
        if (!m_groups.isEmpty()) {
            blank();
            totalLine(m_groups.last(), label(m_groups.last().floor));
            blank();
        }
        Totals grand;
        for (const Totals &group : std::as_const(m_groups)) {
            totalLine(group, label(group.floor));
            grand.add(group);
        }
        QString grandLabel;
        if (!m_groups.isEmpty()) {
            const QString first = m_groups.first().floor;
            const QString last = m_groups.last().floor;
            grandLabel = first.isEmpty() && last.isEmpty() ? QStringLiteral("合計")
                                                           : first + QStringLiteral("～") + last + QStringLiteral(" 合計");
        }
        blank();
        blank();
        totalLine(grand, grandLabel);
        // Fill the last page with blank lines.
        const int c = int(m_result.lines.size());
        for (int i = 0; i < 36 - c % 35; ++i)
            blank();
        m_result.totalET = grand.lighting;
        m_result.totalES = grand.virtualEnergy;
    }

private:
    static QString label(const QString &floor)
    {
        return floor.isEmpty() ? QStringLiteral("合計") : floor + QStringLiteral(" 合計");
    }

    QString text(int row, int column) const { return m_grid.text(row, column); }

    double number(int row, int column) const
    {
        if (const auto v = CeclCalculation::number(text(row, column)))
            return *v;
        throw Failure{QStringLiteral("%1 行目（%2）の値「%3」は数値ではありません。")
                          .arg(row)
                          .arg(text(row, RoomName1), text(row, column))};
    }

    qint32 integer(int row, int column) const
    {
        const double v = std::nearbyint(number(row, column)); // halves to even
        if (std::fabs(v) > std::numeric_limits<qint32>::max())
            throw Failure{QStringLiteral("%1 行目（%2）の値「%3」が大きすぎます。").arg(row).arg(text(row, RoomName1), text(row, column))};
        return qint32(v);
    }

    static double value(std::optional<double> v, int row, const QString &what)
    {
        if (v)
            return *v;
        throw Failure{QStringLiteral("%1 行目の%2を計算できません（値が大きすぎます）。").arg(row).arg(what)};
    }

    // In use, and not left out by the simplified method (methods Ⅰ and Ⅲ: less than 50 m2).
    bool taken(int row) const
    {
        if (row < 1 || row > kRooms || text(row, InUse) != u"1")
            return false;
        if (m_method == 1 || m_method == 3) {
            const auto area = CeclCalculation::number(text(row, Area));
            return std::nearbyint(area.value_or(0)) >= 50;
        }
        return true;
    }

    Line newLine() const
    {
        Line line(CeclPrintTable::kColumns);
        for (int i = 0; i < m_headings.size(); ++i)
            line[i] = m_headings[i];
        return line;
    }

    void blank() { m_result.lines.append(newLine()); }

    // A row whose floor differs from the current one opens a new floor group. Zones before the
    // first floor label join the first floor that is named.
    void enterFloor(int row)
    {
        const QString floor = text(row, ZoneRecord::Floor);
        if (m_groups.isEmpty()) {
            m_groups.append(Totals{floor});
            m_groupFirstLine = int(m_result.lines.size());
            m_currentFloor = floor;
            return;
        }
        if (floor.isEmpty() || floor == m_currentFloor)
            return;
        if (m_groups.last().floor.isEmpty()) {
            nameGroup(floor);
        } else {
            blank();
            totalLine(m_groups.last(), label(m_groups.last().floor));
            blank();
            m_groups.append(Totals{floor});
            m_groupFirstLine = int(m_result.lines.size());
        }
        m_currentFloor = floor;
    }

    // The first floor label names the group of the zones above it.
    void nameGroup(const QString &floor)
    {
        m_groups.last().floor = floor;
        if (m_groupFirstLine < m_result.lines.size())
            m_result.lines[m_groupFirstLine][C::Floor] = floor;
        m_currentFloor = floor;
    }

    // The rows of the zone that starts at `row`: the rows right below with the same name, taken,
    // and not opening another floor (a first label only names the group the zone is in).
    QList<int> members(int row)
    {
        QList<int> rows{row};
        const QString name = text(row, RoomName1);
        if (name.isEmpty())
            return rows;
        for (int next = row + 1; next <= kRooms; ++next) {
            const QString floor = text(next, ZoneRecord::Floor);
            if (text(next, RoomName1) != name || !taken(next))
                break;
            if (!floor.isEmpty() && floor != m_currentFloor) {
                if (!m_groups.last().floor.isEmpty())
                    break;
                nameGroup(floor);
            }
            rows.append(next);
        }
        return rows;
    }

    // Writes the zone starting at `row`; returns its last row.
    int zone(int row)
    {
        const QList<int> rows = members(row);
        Line line = newLine();
        const bool firstOfGroup = m_result.lines.size() == m_groupFirstLine;
        if (firstOfGroup)
            line[C::Floor] = m_groups.last().floor;
        // Under methods Ⅱ and Ⅲ every zone is printed with 2000 h.
        const bool fixedHours = m_method == 2 || m_method == 3;
        const QString hoursText = fixedHours ? QStringLiteral("2000") : text(row, StandardHours);
        const double hoursUsed = fixedHours ? 2000 : number(row, StandardHours);
        const qint32 wholeHours = fixedHours ? 2000 : integer(row, StandardHours);
        line[C::Zone] = text(row, RoomName1);
        line[C::StandardPower] = text(row, StandardPower);
        line[C::StandardHours] = hoursText;
        line[C::Area] = text(row, Area);
        line[C::ControlContent] = text(row, ControlContent);
        line[C::ControlFactor] = text(row, ControlFactor);
        line[C::TypeFactor] = text(row, TypeFactor);
        line[C::IlluminanceFactor] = text(row, IlluminanceFactor);

        Totals zone;
        zone.area = number(row, Area);
        qint64 total = 0;
        for (int r : rows)
            total += integer(r, TotalInput);
        if (total > std::numeric_limits<qint32>::max())
            throw Failure{QStringLiteral("%1 行目（%2）のトータル入力の合計が大きすぎます。").arg(row).arg(text(row, RoomName1))};
        zone.totalInput = total;
        const double virtualEnergy =
            value(CeclCalculation::Keisan_Vsyoden(number(row, StandardPower), hoursUsed, zone.area, number(row, TypeFactor),
                                                  number(row, IlluminanceFactor)),
                  row, QStringLiteral("仮想照明消費電力量"));
        zone.annual = value(CeclCalculation::Keisan_Nendenryoku(qint32(total), wholeHours), row, QStringLiteral("年間電力量"));
        zone.virtualEnergy = virtualEnergy;
        line[C::AnnualEnergy] = NumberText::plain(zone.annual);
        line[C::VirtualEnergy] = NumberText::plain(virtualEnergy);
        line[C::TotalInput] = rows.size() == 1 ? QVariant(text(row, TotalInput)) : QVariant(NumberText::plain(double(total)));

        // The sheet's own values for a zone of one luminaire on its own hours; recomputed from
        // the printed values otherwise, so every line and total stands on the hours printed.
        const bool recompute = rows.size() > 1 || fixedHours;
        if (rows.size() == 1) {
            line[C::LuminaireNumber] = text(row, LuminaireNumber);
            line[C::LuminaireType] = luminaireType(row);
            line[C::InputPower] = text(row, InputPower);
            line[C::FittingCount] = text(row, FittingCount);
            line[C::PlannedPowerDensity] = text(row, PlannedPowerDensity);
        } else {
            line[C::PlannedPowerDensity] = NumberText::plain(plannedDensity(qint32(total), zone.area, row));
        }
        if (recompute) {
            zone.lighting = value(CeclCalculation::Keisan_Syoumeisyouhi(number(row, ControlFactor), zone.annual), row,
                                  QStringLiteral("照明消費電力量"));
            line[C::LightingEnergy] = NumberText::plain(zone.lighting);
            line[C::Cecl] = NumberText::plain(value(CeclCalculation::Keisan_CECL(zone.lighting, virtualEnergy), row,
                                                    QStringLiteral("照明エネルギー消費係数")));
        } else {
            zone.lighting = number(row, LightingEnergy);
            line[C::LightingEnergy] = text(row, LightingEnergy);
            line[C::Cecl] = text(row, ZoneCecl);
        }
        m_result.lines.append(line);
        if (rows.size() > 1) {
            for (int i = 0; i < rows.size(); ++i) {
                Line part = newLine();
                part[C::Zone] = i == 0 ? QStringLiteral("（内訳）") : QString();
                part[C::LuminaireNumber] = text(rows[i], LuminaireNumber);
                part[C::LuminaireType] = luminaireType(rows[i]);
                part[C::InputPower] = text(rows[i], InputPower);
                part[C::FittingCount] = text(rows[i], FittingCount);
                part[C::TotalInput] = text(rows[i], TotalInput);
                m_result.lines.append(part);
            }
        }
        m_groups.last().add(zone);
        return rows.last();
    }

    QString luminaireType(int row) const
    {
        const QString lamp = text(row, LampName);
        return text(row, LuminaireType) + (lamp.isEmpty() ? QString() : QStringLiteral("(") + lamp + QStringLiteral(") "));
    }

    // A zone or floor with input but no area has no power density: it prints 0.
    static double plannedDensity(qint32 total, double area, int row)
    {
        if (area == 0)
            return 0;
        return value(CeclCalculation::Keisan_Ksyoumei(total, area), row, QStringLiteral("照明消費電力"));
    }

    void totalLine(const Totals &t, const QString &name)
    {
        if (t.totalInput > std::numeric_limits<qint32>::max())
            throw Failure{QStringLiteral("「%1」のトータル入力の合計が大きすぎます。").arg(name)};
        Line line = newLine();
        line[C::Zone] = name;
        line[C::Area] = NumberText::plain(t.area);
        line[C::TotalInput] = NumberText::plain(double(t.totalInput));
        line[C::PlannedPowerDensity] = NumberText::plain(plannedDensity(qint32(t.totalInput), t.area, 0));
        line[C::AnnualEnergy] = NumberText::plain(t.annual);
        line[C::LightingEnergy] = NumberText::plain(t.lighting);
        line[C::VirtualEnergy] = NumberText::plain(t.virtualEnergy);
        line[C::Cecl] = NumberText::plain(value(CeclCalculation::Keisan_CECL(t.lighting, t.virtualEnergy), 0, name));
        m_result.lines.append(line);
    }

    RecordGrid &m_grid;
    CeclPrintTable::Result &m_result;
    QVariantList m_headings;
    int m_method = 0;
    QList<Totals> m_groups;
    QString m_currentFloor;
    int m_groupFirstLine = 0;
};

} // namespace

int CeclPrintTable::lastZone(const RecordGrid &grid)
{
    for (int r = kRooms; r >= 1; --r)
        if (grid.text(r, InUse) == u"1")
            return r;
    return 0;
}

double CeclPrintTable::primaryEnergy(double kWh)
{
    return std::trunc(kWh * 10250 / 100) / 10;
}

bool CeclPrintTable::makeLines(RecordGrid &grid, const QString &companyName, const QString &fileName, Result *result)
{
    *result = Result();
    const int last = lastZone(grid);
    if (last == 0)
        return false;
    // Empty values of the zones are printed, and kept, as 0.
    for (int r = 1; r <= kRooms; ++r) {
        if (grid.text(r, InUse) != u"1")
            continue;
        for (int c : kZeroFilled)
            if (grid.text(r, c).isEmpty())
                grid.setText(r, c, QStringLiteral("0"));
    }
    try {
        Walk(grid, companyName, fileName, *result).run(last);
    } catch (const Failure &failure) {
        result->lines.clear();
        result->error = failure.reason;
        return false;
    }
    result->primaryET = NumberText::plain(primaryEnergy(result->totalET));
    result->primaryES = NumberText::plain(primaryEnergy(result->totalES));
    return true;
}

QList<QSqlRecord> CeclPrintTable::printedRows(const QList<QSqlRecord> &rows)
{
    // The filled page of blank lines can reach one line into a page of its own: the report stops
    // with the page that holds the last printed line, filled with blank lines.
    qsizetype last = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QSqlRecord &r = rows[i];
        for (int c = RowNumber; c < r.count(); ++c) {
            if (!r.value(c).isNull() && !r.value(c).toString().isEmpty()) {
                last = i;
                break;
            }
        }
    }
    const qsizetype pages = last / kLinesPerPage + 1;
    return rows.mid(0, std::min(rows.size(), pages * kLinesPerPage));
}

PrintTableFile::Status CeclPrintTable::write(const Result &result, const QString &databasePath, QList<QSqlRecord> *rows,
                                             QString *error)
{
    return PrintTableFile::build(
        databasePath, kCreateStatement, QStringLiteral("W_Data"), kColumns,
        [&result](PrintTableFile::Writer &writer, QString *why) {
            for (const Line &line : result.lines) {
                QVariantList values;
                for (const QVariant &v : line)
                    values.append(v.isNull() ? QVariant() : PrintTableFile::text(v.toString()));
                if (!writer.append(values, why))
                    return PrintTableFile::Status::CannotWrite;
            }
            return PrintTableFile::Status::Ok;
        },
        rows, error);
}
