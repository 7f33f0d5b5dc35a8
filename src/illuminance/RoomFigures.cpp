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

bool recompute(RecordGrid &grid, int row, const MasterTables *masters)
{
    if (!holdsCalculation(grid, row))
        return false;
    TextPanel panel;
    FormState state;
    load(grid, row, panel, state, masters);
    IlluminanceCalculation::recalculateFigures(panel, state, masters);
    return store(grid, row, panel);
}

QList<int> recomputeAll(RecordGrid &grid, const MasterTables *masters)
{
    QList<int> changed;
    for (int r = 1; r <= kRooms; ++r)
        if (recompute(grid, r, masters))
            changed.append(r);
    return changed;
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

void giveFittingCount(RecordGrid &grid, int row, const QString &count, const MasterTables *masters)
{
    if (row < 1 || row > kRooms)
        return;
    const QString given = count.trimmed();
    if (!holdsCalculation(grid, row)) {
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
