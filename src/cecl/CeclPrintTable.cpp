#include "cecl/CeclPrintTable.h"
#include "illuminance/RoomFigures.h"

#include "cecl/CeclCalculation.h"
#include "cecl/CeclOptions.h"
#include "cecl/RptCECL.h"
#include "cecl/ZoneRecord.h"
#include "text/NumberText.h"

#include <cmath>
#include <functional>
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

// The inputs a zone line prints: the report's field and the caption the user knows.
struct Input {
    int column;
    const char *field;
    const char *caption;
};

constexpr Input kInputs[] = {
    {InputPower, "入力電力", "入力電力"},
    {FittingCount, "台数", "台数"},
    {Area, "床面積", "床面積"},
    {StandardPower, "標準照明消費", "標準照明消費力"},
    {StandardHours, "標準点灯時間", "年間点灯時間"},
    {ControlFactor, "制御補正係数", "制御補正係数"},
    {TypeFactor, "種類補正係数", "種類補正係数"},
    {IlluminanceFactor, "照度補正係数", "照明補正係数"},
};

const Input &inputOf(int column)
{
    for (const Input &in : kInputs)
        if (in.column == column)
            return in;
    Q_UNREACHABLE();
}

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
        : m_grid(grid), m_result(result), m_report(RptCECL::definition(0, QString(), QString()))
    {
        m_fits = [this](const QString &field, const QString &value) {
            const BandedReport::Field *f = m_report.field(field);
            return !f || m_report.showsWhole(*f, value);
        };
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
    QString zoneName(int row) const { return text(row, RoomName1); }

    [[noreturn]] void refuse(int row, const QString &field, const QString &value, const QString &why) const
    {
        throw Failure{QStringLiteral("%1 行目（%2）の%3「%4」%5").arg(row).arg(zoneName(row), field, value, why)};
    }

    // An input printed on a line: a number, not negative, finite, and shown whole in its column.
    // An empty fitting count is a room without fittings yet.
    double input(int row, int column) const
    {
        const Input &in = inputOf(column);
        const QString t = text(row, column);
        if (column == FittingCount && t.trimmed().isEmpty())
            return 0;
        const auto v = CeclCalculation::number(t);
        if (!v || std::isnan(*v))
            refuse(row, QString::fromUtf8(in.caption), t, QStringLiteral("は数値ではありません。"));
        if (*v < 0)
            refuse(row, QString::fromUtf8(in.caption), t, QStringLiteral("は負の値です。"));
        if (!std::isfinite(*v) || !m_fits(QString::fromUtf8(in.field), t)) {
            // Too many digits after the point is a value too small to print, not too large.
            const bool small = std::isfinite(*v) && std::fabs(*v) < 1;
            refuse(row, QString::fromUtf8(in.caption), t,
                   small ? QStringLiteral("は小さすぎて印刷できません（桁が多すぎます）。") : QStringLiteral("は大きすぎて印刷できません。"));
        }
        return *v == 0 ? 0.0 : *v;
    }

    // A figure worked out for the zone line at `row`, or for the total line `name` (row 0).
    double computed(std::optional<double> v, int row, const QString &name, const char *field, const char *caption) const
    {
        if (v && std::isfinite(*v) && m_fits(QString::fromUtf8(field), NumberText::plain(*v)))
            return *v;
        const QString why = v && std::isfinite(*v)
                                ? QStringLiteral("「%1」は大きすぎて印刷できません。").arg(NumberText::plain(*v))
                                : QStringLiteral("を計算できません（値が大きすぎます）。");
        const QString c = QString::fromUtf8(caption);
        if (row == 0)
            throw Failure{QStringLiteral("「%1」の%2%3").arg(name, c, why)};
        throw Failure{QStringLiteral("%1 行目（%2）の%3%4").arg(row).arg(zoneName(row), c, why)};
    }

    // The 32-bit whole number the rules take of a value (halves to even).
    qint32 whole(double v, int row, const char *caption) const
    {
        const double r = std::nearbyint(v);
        if (!(r <= std::numeric_limits<qint32>::max()))
            refuse(row, QString::fromUtf8(caption), NumberText::plain(v), QStringLiteral("は大きすぎて計算できません。"));
        return qint32(r);
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

    void blank()
    {
        m_result.lines.append(newLine());
    }

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

    // Writes the zone starting at `row`; returns its last row. Every figure of its lines is
    // worked out from the inputs printed on them, so no line contradicts itself.
    int zone(int row)
    {
        const QList<int> rows = members(row);
        noteJoin(rows);
        Line line = newLine();
        if (m_result.lines.size() == m_groupFirstLine)
            line[C::Floor] = m_groups.last().floor;
        // Under methods Ⅱ and Ⅲ every zone is printed with 2000 h.
        const bool fixedHours = m_method == 2 || m_method == 3;
        const double area = input(row, Area);
        const double power = input(row, StandardPower);
        const double hours = fixedHours ? 2000 : input(row, StandardHours);
        const double control = input(row, ControlFactor);
        const double typeFactor = input(row, TypeFactor);
        const double illuminanceFactor = input(row, IlluminanceFactor);
        line[C::Zone] = zoneName(row);
        line[C::StandardPower] = text(row, StandardPower);
        line[C::StandardHours] = fixedHours ? QStringLiteral("2000") : text(row, StandardHours);
        line[C::Area] = text(row, Area);
        line[C::ControlContent] = text(row, ControlContent);
        line[C::ControlFactor] = text(row, ControlFactor);
        line[C::TypeFactor] = text(row, TypeFactor);
        line[C::IlluminanceFactor] = text(row, IlluminanceFactor);

        // Each luminaire's total input: its input power times its fittings, as a whole number.
        QList<qint32> totals;
        qint64 sum = 0;
        for (int r : rows) {
            const double w = input(r, InputPower);
            const double n = input(r, FittingCount);
            totals.append(whole(computed(w * n, r, {}, "トータル入力", "トータル入力"), r, "トータル入力"));
            sum += totals.last();
        }
        const qint32 total = whole(double(sum), row, "トータル入力の合計");

        Totals zone;
        zone.area = area;
        zone.totalInput = total;
        const double density = computed(plannedDensity(total, area), row, {}, "計画照明消費電力", "照明消費電力");
        zone.annual = computed(CeclCalculation::Keisan_Nendenryoku(total, whole(hours, row, "年間点灯時間")), row, {},
                               "年間電力量", "年間電力量");
        zone.lighting = computed(CeclCalculation::Keisan_Syoumeisyouhi(control, zone.annual), row, {}, "照明消費電力量",
                                 "照明消費電力量");
        zone.virtualEnergy = computed(CeclCalculation::Keisan_Vsyoden(power, hours, area, typeFactor, illuminanceFactor),
                                      row, {}, "仮想照明消費電力量", "仮想照明消費電力量");
        const double cecl = computed(CeclCalculation::Keisan_CECL(zone.lighting, zone.virtualEnergy), row, {},
                                     "照明エネルギー消費係数", "照明エネルギー消費係数");
        line[C::TotalInput] = NumberText::plain(double(total));
        line[C::PlannedPowerDensity] = NumberText::plain(density);
        line[C::AnnualEnergy] = NumberText::plain(zone.annual);
        line[C::LightingEnergy] = NumberText::plain(zone.lighting);
        line[C::VirtualEnergy] = NumberText::plain(zone.virtualEnergy);
        line[C::Cecl] = NumberText::plain(cecl);
        if (rows.size() == 1)
            luminaireColumns(line, row);
        m_result.zones.append({rows, int(m_result.lines.size())});
        m_result.lines.append(line);
        // A zone of several luminaires: one breakdown line for each of them.
        for (qsizetype i = 0; rows.size() > 1 && i < rows.size(); ++i) {
            Line part = newLine();
            part[C::Zone] = i == 0 ? QStringLiteral("（内訳）") : QString();
            luminaireColumns(part, rows[i]);
            part[C::TotalInput] = NumberText::plain(double(totals[i]));
            m_result.lines.append(part);
        }
        m_groups.last().add(zone);
        return rows.last();
    }

    void luminaireColumns(Line &line, int row) const
    {
        line[C::LuminaireNumber] = text(row, LuminaireNumber);
        line[C::LuminaireType] = luminaireType(row);
        line[C::InputPower] = text(row, InputPower);
        const QString n = text(row, FittingCount);
        line[C::FittingCount] = n.trimmed().isEmpty() ? QStringLiteral("0") : n;
    }

    // Rows joined into one zone by their name although they look like different rooms.
    void noteJoin(const QList<int> &rows)
    {
        const int first = rows.first();
        bool differ = false;
        for (int r : rows) {
            differ = differ || text(r, RoomName2) != text(first, RoomName2)
                     || CeclCalculation::number(text(r, Area)) != CeclCalculation::number(text(first, Area));
        }
        if (!differ)
            return;
        QStringList numbers;
        for (int r : rows)
            numbers.append(QString::number(r));
        m_result.notices.append(QStringLiteral("%1 行目（%2）は室名２または床面積が異なりますが、室名１が同じため"
                                               "一つの区画として計算しました（床面積は %3 行目の値）。")
                                    .arg(numbers.join(QStringLiteral("・")), zoneName(first))
                                    .arg(first));
    }

    QString luminaireType(int row) const
    {
        const QString lamp = text(row, LampName);
        return text(row, LuminaireType) + (lamp.isEmpty() ? QString() : QStringLiteral("(") + lamp + QStringLiteral(") "));
    }

    // A zone or floor with input but no area has no power density: it prints 0.
    static std::optional<double> plannedDensity(qint32 total, double area)
    {
        if (area == 0)
            return 0.0;
        return CeclCalculation::Keisan_Ksyoumei(total, area);
    }

    // A total line: the sums of the zone lines as they are printed.
    void totalLine(const Totals &t, const QString &name)
    {
        if (t.totalInput > std::numeric_limits<qint32>::max())
            throw Failure{QStringLiteral("「%1」のトータル入力の合計が大きすぎます。").arg(name)};
        const auto put = [&](Line &line, int column, std::optional<double> v, const char *field, const char *caption) {
            line[column] = NumberText::plain(computed(v, 0, name, field, caption));
        };
        Line line = newLine();
        line[C::Zone] = name;
        put(line, C::Area, t.area, "床面積", "床面積");
        put(line, C::TotalInput, double(t.totalInput), "トータル入力", "トータル入力");
        put(line, C::PlannedPowerDensity, plannedDensity(qint32(t.totalInput), t.area), "計画照明消費電力", "照明消費電力");
        put(line, C::AnnualEnergy, t.annual, "年間電力量", "年間電力量");
        put(line, C::LightingEnergy, t.lighting, "照明消費電力量", "照明消費電力量");
        put(line, C::VirtualEnergy, t.virtualEnergy, "仮想照明消費電力量", "仮想照明消費電力量");
        put(line, C::Cecl, CeclCalculation::Keisan_CECL(t.lighting, t.virtualEnergy), "照明エネルギー消費係数",
            "照明エネルギー消費係数");
        m_result.lines.append(line);
    }

    RecordGrid &m_grid;
    CeclPrintTable::Result &m_result;
    BandedReport m_report; // what a value must fit to be printed
    std::function<bool(const QString &field, const QString &value)> m_fits;
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
        result->notices.clear();
        result->error = failure.reason;
        return false;
    }
    // Lamps of the illuminance sheet that no longer agree with the fittings counted here; figures
    // it cannot work out, taken as stored.
    for (int r = 1; r <= kRooms; ++r) {
        if (RoomFigures::keptAsStored(grid, r, nullptr))
            result->notices.append(QStringLiteral("%1（%2）。").arg(RoomFigures::unverifiedText({r}), grid.text(r, RoomName1)));
        if (const auto m = RoomFigures::countMismatch(grid, r))
            result->notices.append(QStringLiteral("%1 行目（%2）: %3（CEC/L は台数 %4 台で計算しました）。")
                                       .arg(r)
                                       .arg(grid.text(r, RoomName1), RoomFigures::mismatchProblem(*m), NumberText::plain(m->fittings)));
    }
    result->primaryET = NumberText::plain(primaryEnergy(result->totalET));
    result->primaryES = NumberText::plain(primaryEnergy(result->totalES));
    return true;
}

QList<QSqlRecord> CeclPrintTable::printedRows(const QList<QSqlRecord> &rows)
{
    // The table's fill counts 35 lines a page: it can reach one line into a page of its own, or
    // leave the last page short. The report stops with the page that holds the last printed line,
    // filled to its 36 lines with blank lines.
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
    QList<QSqlRecord> out = rows.mid(0, std::min(rows.size(), pages * kLinesPerPage));
    if (!out.isEmpty()) {
        QSqlRecord blank = out.first(); // the headings of every line, nothing else
        for (int c = RowNumber; c < blank.count(); ++c)
            blank.setValue(c, QVariant());
        while (out.size() < pages * kLinesPerPage)
            out.append(blank);
    }
    return out;
}

PrintTableFile::Status CeclPrintTable::write(const Result &result, const QString &databasePath, QList<QSqlRecord> *rows,
                                             QString *error)
{
    return PrintTableFile::buildLines(databasePath, kCreateStatement, QStringLiteral("W_Data"), kColumns, result.lines, rows,
                                      error);
}
