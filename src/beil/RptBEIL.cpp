#include "beil/RptBEIL.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilPrintTable.h"
#include "beil/BeilRooms.h"
#include "report/ColumnReport.h"

#include <QSqlRecord>
#include <QVariant>

namespace {

constexpr double kFooterBand = 1000;

const ColumnReport::Column kColumns[] = {
    {"階", "", "階", "", 480, "", Qt::AlignHCenter},
    {"室名", "", "室    名", "", 1950, "", Qt::AlignLeft},
    {"建物用途", "", "建物用途", "", 950, "", Qt::AlignLeft},
    {"室用途", "", "室用途", "", 1400, "", Qt::AlignLeft},
    {"床面積", "A", "床面積", "㎡", 760, "#,##0.0#", Qt::AlignRight},
    {"室指数", "K", "室指数", "", 640, "", Qt::AlignRight},
    {"室形状係数", "C_L", "室形状\n係数", "", 560, "0.00", Qt::AlignRight},
    {"年間点灯時間", "T_L", "年間点灯\n時間", "h/年", 700, "#,##0", Qt::AlignRight},
    {"機器名称", "", "機器名称", "", 2190, "", Qt::AlignLeft},
    {"消費電力", "W", "消費電力\n/1台", "W", 680, "#,##0.0", Qt::AlignRight},
    {"台数", "N", "台数", "", 480, "#,##0", Qt::AlignRight},
    {"在室検知", "F1", "在室\n検知", "", 700, "", Qt::AlignHCenter},
    {"明るさ検知", "F2", "明るさ\n検知", "", 700, "", Qt::AlignHCenter},
    {"タイムスケジュール", "F3", "ｽｹｼﾞｭｰﾙ", "", 700, "", Qt::AlignHCenter},
    {"初期照度補正", "F4", "初期照度\n補正", "", 760, "", Qt::AlignHCenter},
    {"制御係数", "F", "制御\n係数", "", 900, BeilCalculation::kFactorPattern, Qt::AlignRight},
    {"補正電力", "W×N×F", "補正電力", "W", 820, "#,##0.0", Qt::AlignRight},
    {"設計一次エネルギー", "E_L", "設計一次\nエネルギー", "MJ/年", 1100, "#,##0.0", Qt::AlignRight},
    {"基準一次エネルギー", "E_SL", "基準一次\nエネルギー", "MJ/年", 1100, "#,##0.0", Qt::AlignRight},
    {"BEIL", "BEI/L", "E_L\n/E_SL", "", 600, "0.00", Qt::AlignRight},
    {"備考", "", "備    考", "", 1700, "", Qt::AlignLeft},
};

QString totalsText(const RptBEIL::Totals &t, bool designSide)
{
    const double mj = designSide ? t.designMJ : t.standardMJ;
    return QStringLiteral("%1 MJ/年（%2 GJ/年）").arg(BeilCalculation::mjText(mj), BeilCalculation::gjText(mj));
}

QString beiOf(const RptBEIL::Totals &t)
{
    const auto bei = BeilRooms::ratio(t.designMJ, t.standardMJ);
    return bei ? BeilCalculation::beiText(*bei) : QStringLiteral("－");
}

} // namespace

const QString &RptBEIL::title()
{
    static const QString t = QStringLiteral("照明設備の一次エネルギー消費量（BEI/L）の計算");
    return t;
}

const QString &RptBEIL::footerNote()
{
    static const QString t = QStringLiteral("照明設備のみの試算です。省エネ基準への適合は建築物全体の BEI で判定されます。");
    return t;
}

XlsxOutput::Sheet RptBEIL::workbook(const QList<QSqlRecord> &rows, const Totals &totals)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("BEI／L計算書"), title(), rows);
    const QSqlRecord first = rows.value(0);
    ColumnReport::addColumns(sheet, kColumns);
    // The room index as the number it is (cut to two decimals where computed).
    for (XlsxOutput::Column &c : sheet.columns)
        if (c.field == u"室指数")
            c.format = QStringLiteral("0.00");
    const auto bei = BeilRooms::ratio(totals.designMJ, totals.standardMJ);
    // The totals as printed: the figure the page shows, in the page's pattern.
    const auto number = [](QString shown) { return QVariant(shown.remove(u',').toDouble()); };
    const QString company = first.value(QStringLiteral("会社名")).toString();
    if (!company.trimmed().isEmpty())
        sheet.footer.append({QStringLiteral("会社名"), company});
    sheet.footer += {
        {QStringLiteral("設計一次エネルギー消費量 E_L (MJ/年)"), number(BeilCalculation::mjText(totals.designMJ)), QStringLiteral("#,##0.0")},
        {QStringLiteral("設計一次エネルギー消費量 E_L (GJ/年)"), number(BeilCalculation::gjText(totals.designMJ)), QStringLiteral("#,##0.00")},
        {QStringLiteral("基準一次エネルギー消費量 E_SL (MJ/年)"), number(BeilCalculation::mjText(totals.standardMJ)), QStringLiteral("#,##0.0")},
        {QStringLiteral("基準一次エネルギー消費量 E_SL (GJ/年)"), number(BeilCalculation::gjText(totals.standardMJ)), QStringLiteral("#,##0.00")},
        {QStringLiteral("BEI/L"), bei ? number(BeilCalculation::beiText(*bei)) : QVariant(), QStringLiteral("0.00")},
        {footerNote(), QVariant()},
    };
    return sheet;
}

BandedReport RptBEIL::definition(const Totals &totals)
{
    BandedReport report = ColumnReport::definition(title(), 8400, kColumns, BeilPrintTable::kLinesPerPage);
    report.drawPageFooter = [totals](BandedReport::Pen &pen, const BandedReport::Page &page, const QSqlRecord &first) {
        const double h = 300;
        double y = page.bottom - kFooterBand + 80;
        // The building's totals belong to its last page.
        if (page.number == page.count) {
            pen.text(page.left, y, 3000, h, QStringLiteral("設計一次エネルギー消費量 E_L"), Qt::AlignLeft | Qt::AlignVCenter, 9);
            pen.text(page.left + 3000, y, 3600, h, totalsText(totals, true), Qt::AlignLeft | Qt::AlignVCenter, 9, false);
            pen.text(page.left + 6800, y, 3000, h, QStringLiteral("基準一次エネルギー消費量 E_SL"),
                     Qt::AlignLeft | Qt::AlignVCenter, 9);
            pen.text(page.left + 9800, y, 3600, h, totalsText(totals, false), Qt::AlignLeft | Qt::AlignVCenter, 9, false);
            pen.text(page.left + 13600, y, 1200, h, QStringLiteral("BEI/L"), Qt::AlignLeft | Qt::AlignVCenter, 9, true);
            pen.text(page.left + 14800, y, 1000, h, beiOf(totals), Qt::AlignLeft | Qt::AlignVCenter, 9, true);
        }
        y += h + 40;
        pen.text(page.left, y, 14000, h, footerNote(), Qt::AlignLeft | Qt::AlignVCenter, 9);
        y += h + 40;
        pen.text(page.left, y, 6000, h, first.value(QStringLiteral("会社名")).toString(), Qt::AlignLeft | Qt::AlignVCenter, 9,
                 false, false, BandedReport::kSmallestLinePoints);
        const double px = page.right - 1500;
        pen.text(px, y, 700, h, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
        pen.text(px + 700, y, 300, h, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
        pen.text(px + 1000, y, 500, h, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
    };
    return report;
}
