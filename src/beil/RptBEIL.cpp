#include "beil/RptBEIL.h"

#include "beil/BeilCalculation.h"
#include "beil/BeilPrintTable.h"
#include "beil/BeilRooms.h"
#include "report/ReportFont.h"

#include <QSqlRecord>
#include <QVariant>

namespace {

constexpr double kLeft = 950; // binding margin
constexpr double kMargin = 540;
constexpr double kTitleBand = 1220;
constexpr double kHeadingBand = 1000;
constexpr double kRowHeight = 290;
constexpr double kFooterBand = 1000;
constexpr double kPoints = 7.5;

struct Column {
    const char *field;
    const char *symbol;
    const char *caption;
    const char *unit;
    double width;
    const char *format;
    Qt::Alignment align;
};

const Column kColumns[] = {
    {"階", "", "階", "", 480, "", Qt::AlignHCenter},
    {"室名", "", "室    名", "", 1400, "", Qt::AlignLeft},
    {"建物用途", "", "建物用途", "", 950, "", Qt::AlignLeft},
    {"室用途", "", "室用途", "", 1400, "", Qt::AlignLeft},
    {"床面積", "A", "床面積", "㎡", 760, "#,##0.0#", Qt::AlignRight},
    {"室指数", "K", "室指数", "", 640, "", Qt::AlignRight},
    {"室形状係数", "C_L", "室形状\n係数", "", 560, "0.00", Qt::AlignRight},
    {"年間点灯時間", "T_L", "年間点灯\n時間", "h/年", 700, "#,##0", Qt::AlignRight},
    {"機器名称", "", "機器名称", "", 2500, "", Qt::AlignLeft},
    {"消費電力", "W", "消費電力\n/1台", "W", 680, "#,##0.0", Qt::AlignRight},
    {"台数", "N", "台数", "", 480, "#,##0", Qt::AlignRight},
    {"在室検知", "F1", "在室\n検知", "", 700, "", Qt::AlignHCenter},
    {"明るさ検知", "F2", "明るさ\n検知", "", 700, "", Qt::AlignHCenter},
    {"タイムスケジュール", "F3", "ｽｹｼﾞｭｰﾙ", "", 700, "", Qt::AlignHCenter},
    {"初期照度補正", "F4", "初期照度\n補正", "", 760, "", Qt::AlignHCenter},
    {"制御係数", "F", "制御\n係数", "", 640, "0.00##", Qt::AlignRight},
    {"補正電力", "W×N×F", "補正電力", "W", 820, "#,##0.0", Qt::AlignRight},
    {"設計一次エネルギー", "E_L", "設計一次\nエネルギー", "MJ/年", 1100, "#,##0.0", Qt::AlignRight},
    {"基準一次エネルギー", "E_SL", "基準一次\nエネルギー", "MJ/年", 1100, "#,##0.0", Qt::AlignRight},
    {"BEIL", "BEI/L", "E_L\n/E_SL", "", 600, "0.00", Qt::AlignRight},
    {"備考", "", "備    考", "", 2200, "", Qt::AlignLeft},
};

struct Placed {
    const Column *column;
    double x;
    double w;
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
    for (const Column &c : kColumns)
        sheet.columns.append({QString::fromUtf8(c.field),
                              {QString::fromUtf8(c.symbol), QString::fromUtf8(c.caption), QString::fromUtf8(c.unit)},
                              c.width,
                              QString::fromLatin1(c.format)});
    const auto bei = BeilRooms::ratio(totals.designMJ, totals.standardMJ);
    const auto number = [](QString shown) { return QVariant(shown.remove(u',').toDouble()); };
    sheet.footer = {
        {QStringLiteral("会社名"), first.value(QStringLiteral("会社名")).toString()},
        {QStringLiteral("設計一次エネルギー消費量 E_L (MJ/年)"), number(BeilCalculation::mjText(totals.designMJ))},
        {QStringLiteral("設計一次エネルギー消費量 E_L (GJ/年)"), number(BeilCalculation::gjText(totals.designMJ))},
        {QStringLiteral("基準一次エネルギー消費量 E_SL (MJ/年)"), number(BeilCalculation::mjText(totals.standardMJ))},
        {QStringLiteral("基準一次エネルギー消費量 E_SL (GJ/年)"), number(BeilCalculation::gjText(totals.standardMJ))},
        {QStringLiteral("BEI/L"), bei ? number(BeilCalculation::beiText(*bei)) : QVariant()},
        {footerNote(), QVariant()},
    };
    sheet.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    sheet.points = kPoints;
    return sheet;
}

BandedReport RptBEIL::definition(const Totals &totals)
{
    BandedReport report;
    report.pageSize = QPageSize(QPageSize::JisB4);
    report.orientation = QPageLayout::Landscape;
    report.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    report.headerHeight = kTitleBand + kHeadingBand;
    report.detailHeight = kRowHeight;
    report.rowsPerPage = BeilPrintTable::kLinesPerPage;
    report.font = ReportFont::font();

    const BandedReport::Page frame = report.pageFrame();
    double total = 0;
    for (const Column &c : kColumns)
        total += c.width;
    const double scale = (frame.right - frame.left) / total;
    QList<Placed> placed;
    double x = frame.left;
    for (const Column &c : kColumns) {
        const double w = c.width * scale;
        BandedReport::Field f;
        f.name = QString::fromUtf8(c.field);
        f.x = x;
        f.width = w;
        f.format = QString::fromLatin1(c.format);
        f.align = c.align;
        f.points = kPoints;
        report.fields.append(f);
        placed.append({&c, x, w});
        x += w;
        if (x < frame.right - 1)
            report.detailRules.append(x);
    }

    report.drawPageHeader = [placed](BandedReport::Pen &pen, const BandedReport::Page &page, const QSqlRecord &first) {
        const double left = page.left;
        const double right = page.right;
        double y = page.top;
        pen.text(left, y, right - left, 520, title(), Qt::AlignHCenter | Qt::AlignVCenter, 16, true);
        const double titleWidth = 8400;
        const double mid = (left + right) / 2;
        pen.line(mid - titleWidth / 2, y + 540, mid + titleWidth / 2, y + 540, 12);
        pen.line(mid - titleWidth / 2, y + 580, mid + titleWidth / 2, y + 580, 12);
        y += 620;
        pen.text(left, y, 700, 280, QStringLiteral("件名"), Qt::AlignLeft | Qt::AlignVCenter, 10, true);
        pen.text(left + 700, y, 9000, 280, first.value(QStringLiteral("タイトル１")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 10);
        pen.text(left + 700, y + 290, 9000, 280, first.value(QStringLiteral("タイトル２")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 10);
        pen.line(left + 700, y + 280, left + 9700, y + 280, 8);
        pen.text(right - 4000, y, 4000, 280, first.value(QStringLiteral("日付")).toString(),
                 Qt::AlignRight | Qt::AlignVCenter, 10);
        const double top = page.top + kTitleBand;
        const double symbolBand = 250;
        const double captionBand = kHeadingBand - 2 * symbolBand;
        pen.rect(left, top, right - left, kHeadingBand, 20);
        for (int i = 0; i < placed.size(); ++i) {
            const Placed &p = placed[i];
            if (i > 0)
                pen.line(p.x, top, p.x, top + kHeadingBand);
            const QString symbol = QString::fromUtf8(p.column->symbol);
            const QString unit = QString::fromUtf8(p.column->unit);
            if (symbol.isEmpty() && unit.isEmpty()) {
                pen.text(p.x, top, p.w, kHeadingBand, QString::fromUtf8(p.column->caption), Qt::AlignCenter, 7.5);
                continue;
            }
            pen.text(p.x, top, p.w, symbolBand, symbol, Qt::AlignCenter, 7.5);
            pen.text(p.x, top + symbolBand, p.w, captionBand, QString::fromUtf8(p.column->caption), Qt::AlignCenter, 7.5);
            pen.text(p.x, top + symbolBand + captionBand, p.w, symbolBand, unit, Qt::AlignCenter, 7.5);
        }
    };

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
