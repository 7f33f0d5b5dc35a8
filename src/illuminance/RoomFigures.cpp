#include "illuminance/RoomFigures.h"

#include "grid/TextPanel.h"
#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RoomSheet.h"
#include "text/NumberText.h"

#include <cmath>

namespace RoomFigures {

using namespace RoomRecord;

namespace {

constexpr BoxColumn kFigures[] = {
    {"Txt_Tousu1", LampCountComputed}, {"Txt_Tousu2", LampCount}, {"Txt_Syoudo2", ResultIlluminance},
    {"Txt_Daisu", FittingCount},       {"Txt_Biko1", Remark1},
};

// The row on a panel of texts with its form integers, as the sheet would load it.
void load(const RecordGrid &grid, int row, TextPanel &panel, FormState &state, const MasterTables *masters)
{
    RoomSheet::Screen_Set(grid, row, panel, state);
    state.capacityMode = masters ? RoomSheet::capacityModeOf(grid, row, *masters) : 0;
}

bool differs(const RecordGrid &grid, int row, const TextPanel &panel)
{
    for (const BoxColumn &f : kFigures)
        if (grid.text(row, f.column) != panel.text(QString::fromLatin1(f.box)))
            return true;
    return false;
}

bool store(RecordGrid &grid, int row, const TextPanel &panel)
{
    bool changed = false;
    for (const BoxColumn &f : kFigures) {
        const QString now = panel.text(QString::fromLatin1(f.box));
        if (grid.text(row, f.column) != now) {
            grid.setText(row, f.column, now);
            changed = true;
        }
    }
    return changed;
}

} // namespace

bool holdsCalculation(const RecordGrid &grid, int row)
{
    return row >= 1 && row <= kRooms && grid.text(row, InUse) == u"1" && grid.text(row, RecordTag) == kRecordTag;
}

bool missingInputs(const RecordGrid &grid, int row)
{
    // The inputs the lamp count and the illuminance are worked out from, read as the calculation
    // reads them: any that reads 0 leaves the figures to what was stored.
    for (int c : {int(LampFlux), int(UtilizationFactor), int(MaintenanceFactor), int(DesignIlluminance), int(Area)})
        if (NumberText::leading(grid.text(row, c)) == 0)
            return true;
    return false;
}

namespace {

Outcome worked(const RecordGrid &grid, int row, const MasterTables *masters, TextPanel &panel)
{
    if (!holdsCalculation(grid, row))
        return Outcome::Unchanged;
    FormState state;
    load(grid, row, panel, state, masters);
    IlluminanceCalculation::recalculateFigures(panel, state, masters);
    if (!differs(grid, row, panel))
        return Outcome::Unchanged;
    return missingInputs(grid, row) ? Outcome::Unverifiable : Outcome::Updated;
}

} // namespace

Outcome examine(const RecordGrid &grid, int row, const MasterTables *masters)
{
    TextPanel panel;
    return worked(grid, row, masters, panel);
}

bool keptAsStored(const RecordGrid &grid, int row, const MasterTables *masters)
{
    return holdsCalculation(grid, row) && missingInputs(grid, row) && examine(grid, row, masters) == Outcome::Unverifiable;
}

Outcome recomputeRow(RecordGrid &grid, int row, const MasterTables *masters)
{
    TextPanel panel;
    const Outcome outcome = worked(grid, row, masters, panel);
    if (outcome == Outcome::Updated)
        store(grid, row, panel);
    return outcome;
}

bool recompute(RecordGrid &grid, int row, const MasterTables *masters)
{
    return recomputeRow(grid, row, masters) == Outcome::Updated;
}

QList<int> recomputeAll(RecordGrid &grid, const MasterTables *masters, QList<int> *unverifiable)
{
    QList<int> changed;
    for (int r = 1; r <= kRooms; ++r) {
        switch (recomputeRow(grid, r, masters)) {
        case Outcome::Updated:
            changed.append(r);
            break;
        case Outcome::Unverifiable:
            if (unverifiable)
                unverifiable->append(r);
            break;
        case Outcome::Unchanged:
            break;
        }
    }
    return changed;
}

QString unverifiedText(const QList<int> &rows)
{
    if (rows.isEmpty())
        return QString();
    QStringList numbers;
    for (int r : rows)
        numbers.append(QString::number(r));
    return QStringLiteral("%1 行目は入力が足りないため計算結果を確かめられません（保存された値のままです）").arg(numbers.join(QStringLiteral(", ")));
}

QString updatedText(const QList<int> &rows)
{
    if (rows.isEmpty())
        return QString();
    QStringList numbers;
    for (int r : rows)
        numbers.append(QString::number(r));
    return QStringLiteral("%1 行の計算結果を入力に合わせて更新しました（%2 行）").arg(rows.size()).arg(numbers.join(QStringLiteral(", ")));
}

std::optional<CountMismatch> countMismatch(const QString &fittings, const QString &perFitting, const QString &lamps)
{
    const auto n = NumberText::strict(fittings), w = NumberText::strict(perFitting), l = NumberText::strict(lamps);
    if (!n || !w || !l || !(*w > 0) || !std::isfinite(*n * *w) || !std::isfinite(*l))
        return std::nullopt;
    // Counts are whole numbers: a difference within binary noise is none.
    if (std::fabs(*n * *w - *l) <= 1e-9 * std::max(1.0, std::fabs(*l)))
        return std::nullopt;
    return CountMismatch{*n, *w, *l};
}

std::optional<CountMismatch> countMismatch(const RecordGrid &grid, int row)
{
    if (!holdsCalculation(grid, row))
        return std::nullopt;
    return countMismatch(grid.text(row, FittingCount), grid.text(row, LampsPerFitting), grid.text(row, LampCount));
}

QString mismatchNote(const CountMismatch &m)
{
    return QStringLiteral("台数 %1 × %2 灯 = %3 灯ですが、灯数は %4 灯です（照度は %4 灯で計算しています）")
        .arg(NumberText::plain(m.fittings), NumberText::plain(m.perFitting), NumberText::plain(m.fittings * m.perFitting),
             NumberText::plain(m.lamps));
}

QString mismatchProblem(const CountMismatch &m)
{
    return QStringLiteral("照度計算書の灯数 %1 と台数 %2 × 1 台あたり %3 灯が合いません")
        .arg(NumberText::plain(m.lamps), NumberText::plain(m.fittings), NumberText::plain(m.perFitting));
}

void giveFittingCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters)
{
    if (row < 1 || row > kRooms)
        return;
    const QString given = count.trimmed();
    // Without the inputs to work the lamps and the illuminance out, the count alone is given.
    if (!holdsCalculation(grid, row) || missingInputs(grid, row)) {
        grid.setText(row, FittingCount, given);
        return;
    }
    TextPanel panel;
    FormState state;
    load(grid, row, panel, state, masters);
    panel.setText(QStringLiteral("Chk_Daisu"), QStringLiteral("0"));
    panel.setText(QStringLiteral("Txt_Daisu"), given);
    // The lamps of the fittings given; without a number of lamps per fitting they stay as they are.
    const auto n = NumberText::strict(given);
    const auto w = NumberText::strict(panel.text(QStringLiteral("Txt_WTousu")));
    if (n && w && *w > 0 && std::isfinite(*n * *w)) {
        panel.setText(QStringLiteral("Chk_Tousu"), QStringLiteral("0"));
        panel.setText(QStringLiteral("Txt_Tousu2"), NumberText::plain(*n * *w));
    }
    IlluminanceCalculation::recalculateFigures(panel, state, masters);
    store(grid, row, panel);
    grid.setText(row, LampCountAuto, panel.text(QStringLiteral("Chk_Tousu")) == u"1" ? QStringLiteral("1") : QStringLiteral("0"));
    grid.setText(row, FittingCountAuto, QStringLiteral("0"));
}

} // namespace RoomFigures
