#include "cecl/ZoneSheet.h"

#include "cecl/CeclCalculation.h"
#include "cecl/CeclPrintTable.h"
#include "cecl/RptCECL.h"
#include "cecl/ZoneRecord.h"
#include "grid/TextPanel.h"
#include "text/NumberText.h"

namespace ZoneSheet {

namespace {

struct ControlChoice {
    const char *caption;
    const char *content;
    const char *factor;
};

// Control contents and their correction factors (制御内容 / 制御補正係数).
constexpr ControlChoice kControls[] = {
    {"カード，センサー等による在室検知制御", "在室検知", "0.80"},
    {"明るさ感知による自動点滅制御", "自動点滅", "0.80"},
    {"適正照度調整", "適性照度", "0.85"},
    {"タイムスケジュール制御", "ﾀｲﾑｽｹｼﾞｭｰﾙ", "0.90"},
    {"昼光利用照明制御", "昼光利用", "0.90"},
    {"ゾーニング制御", "ゾーニング", "0.90"},
    {"局所制御", "局所制御", "0.90"},
    {"その他", "", "1.00"},
};

} // namespace

void Screen_Clear(Panel &panel)
{
    for (const auto &f : ZoneRecord::kLoadOrder)
        panel.setText(QLatin1String(f.box), QString());
}

void Screen_Set(const RecordGrid &grid, int row, Panel &panel)
{
    if (grid.text(row, ZoneRecord::InUse) != u"1") {
        Screen_Clear(panel);
        return;
    }
    for (const auto &f : ZoneRecord::kLoadOrder)
        panel.setText(QLatin1String(f.box), grid.text(row, f.column));
    CeclCalculation::ZoneCalculation(panel);
}

void confirm(RecordGrid &grid, int row, const Panel &panel)
{
    const bool inUse = grid.text(row, ZoneRecord::InUse) == u"1";
    for (const auto &f : ZoneRecord::kConfirmOrder)
        grid.setText(row, f.column, inUse ? panel.text(QLatin1String(f.box)) : QString());
}

QString zoneLine(RecordGrid grid, int row)
{
    CeclPrintTable::Result r;
    const bool made = CeclPrintTable::makeLines(grid, QString(), QString(), &r);
    for (const CeclPrintTable::PrintedZone &z : std::as_const(r.zones)) {
        if (!z.rows.contains(row))
            continue;
        if (z.rows.size() < 2)
            return QString();
        QStringList rows;
        for (int r : z.rows)
            rows.append(QString::number(r));
        const QString head = QStringLiteral("区画「%1」（%2 行目）").arg(grid.text(z.rows.first(), ZoneRecord::RoomName1),
                                                                    rows.join(QStringLiteral("・")));
        if (!made)
            return head + QStringLiteral("：") + r.error;
        // The values in the report's own formats.
        const BandedReport report = RptCECL::definition(0, QString(), QString());
        const CeclPrintTable::Line &line = r.lines[z.line];
        const auto shown = [&](int column, const char *field) {
            const BandedReport::Field *f = report.field(QString::fromUtf8(field));
            const QString value = line[column].toString();
            return f && !f->format.isEmpty() ? NumberText::format(NumberText::leading(value), f->format) : value;
        };
        using C = CeclPrintTable;
        return head + QStringLiteral("の計算書の値：トータル入力 %1 W、照明消費電力 %2 W/㎡、照明消費電力量 %3 kWh、"
                                     "照明エネルギー消費係数 %4")
                          .arg(shown(C::TotalInput, "トータル入力"), shown(C::PlannedPowerDensity, "計画照明消費電力"),
                               shown(C::LightingEnergy, "照明消費電力量"), shown(C::Cecl, "照明エネルギー消費係数"));
    }
    return QString();
}

QStringList seigyoCaptions()
{
    QStringList out;
    for (const ControlChoice &c : kControls)
        out.append(QString::fromUtf8(c.caption));
    return out;
}

QString Btn_Seigyo_Click(int index, Panel &panel)
{
    if (index >= 0 && index < int(std::size(kControls))) {
        panel.setText(QStringLiteral("Txt_Seigyo"), QString::fromUtf8(kControls[index].content));
        panel.setText(QStringLiteral("Txt_SeigyoHosei"), QString::fromUtf8(kControls[index].factor));
    }
    return QStringLiteral("Txt_SyuHosei");
}

QString Btn_Syuho_Click(int index, Panel &panel)
{
    QString factor;
    if (index == 0)
        factor = QStringLiteral("1.3");
    else if (index == 1)
        factor = QStringLiteral("1.0");
    panel.setText(QStringLiteral("Txt_SyuHosei"), factor);
    return QStringLiteral("Txt_SyouHosei");
}

QString Btn_Syoho_Click(int index, Panel &panel)
{
    if (index == 0 || index == 1) {
        // The design illuminance over the standard one of the room use; a design illuminance
        // that is empty or no number leaves the factor empty.
        const auto e = CeclCalculation::number(panel.text(QStringLiteral("Txt_Syoudo")));
        panel.setText(QStringLiteral("Txt_SyouHosei"), e ? NumberText::plain(*e / (index == 0 ? 750 : 500)) : QString());
    } else if (index == 2) {
        panel.setText(QStringLiteral("Txt_SyouHosei"), QStringLiteral("1.0"));
    }
    return QStringLiteral("Btn_Adv");
}

} // namespace ZoneSheet
