#include "cecl/RptCECL.h"

#include "cecl/CeclOptions.h"
#include "cecl/CeclPrintTable.h"
#include "report/ReportFont.h"
#include "text/NumberText.h"

#include <QSqlRecord>
#include <QVariant>

namespace {

// Paper and frame, in twips.
constexpr double kLeft = 950; // binding margin
constexpr double kMargin = 540;
constexpr double kTitleBand = 1220;
constexpr double kHeadingBand = 1000;
constexpr double kRowHeight = 290;
constexpr double kFooterBand = 560;
constexpr double kPoints = 7.5; // the lines' text

const QString kTitle = QStringLiteral("照明エネルギー消費係数（ＣＥＣ／Ｌ）の計算");

struct Column {
    const char *field;
    const char *symbol;  // upper line of the heading
    const char *caption;
    const char *unit;    // lower line
    double width;
    const char *format;
    Qt::Alignment align;
};

const Column kColumns[] = {
    {"階", "", "階", "", 560, "", Qt::AlignHCenter},
    {"区画", "", "室        名", "", 2000, "", Qt::AlignLeft},
    {"標準照明消費", "Ws", "標準照明\n消費力", "W/㎡", 860, "0", Qt::AlignRight},
    {"標準点灯時間", "T", "年間点灯\n時間", "h/年", 860, "0", Qt::AlignRight},
    {"床面積", "A", "床面積", "㎡", 820, "0.0", Qt::AlignRight},
    {"照明器具番号", "", "照明器具\n番号", "", 940, "", Qt::AlignLeft},
    {"照明器具形式", "", "照明器具形式", "", 2200, "", Qt::AlignLeft},
    {"入力電力", "W", "入力電力\n/1台", "W", 860, "0.0", Qt::AlignRight},
    {"台数", "N", "台数", "", 560, "0", Qt::AlignRight},
    {"トータル入力", "W x N", "トータル\n入力", "W", 900, "0", Qt::AlignRight},
    {"計画照明消費電力", "WT", "照明消費\n電力", "W/㎡", 900, "0.00", Qt::AlignRight},
    {"年間電力量", "", "年間電力量", "kWh/年", 1000, "0.0", Qt::AlignRight},
    {"制御内容", "", "制御内容", "", 1050, "", Qt::AlignLeft},
    {"制御補正係数", "F", "制御補正\n係数", "", 760, "0.00", Qt::AlignRight},
    {"種類補正係数", "Q1", "種類補正\n係数", "", 760, "0.00", Qt::AlignRight},
    {"照度補正係数", "Q2", "照明補正\n係数", "", 760, "0.00", Qt::AlignRight},
    {"照明消費電力量", "ET", "照明消費\n電力量", "kWh", 1080, "0.000", Qt::AlignRight},
    {"仮想照明消費電力量", "ES", "仮想照明\n消費電力量", "kWh", 1080, "0.000", Qt::AlignRight},
    {"照明エネルギー消費係数", "CEC/L", "照明エネルギー\n消費係数", "", 1120, "0.00", Qt::AlignRight},
};

struct Placed {
    const Column *column;
    double x;
    double w;
};

} // namespace

XlsxOutput::Sheet RptCECL::workbook(const QList<QSqlRecord> &rows, int method, const QString &primaryET,
                                    const QString &primaryES)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("CEC／L計算書"), kTitle, rows);
    const QSqlRecord first = rows.value(0);
    for (const Column &c : kColumns)
        sheet.columns.append({QString::fromUtf8(c.field),
                              {QString::fromUtf8(c.symbol), QString::fromUtf8(c.caption), QString::fromUtf8(c.unit)},
                              c.width,
                              QString::fromLatin1(c.format)});
    const auto number = [](const QString &t) {
        const auto v = NumberText::strict(t);
        return v ? QVariant(*v) : QVariant(t);
    };
    sheet.footer = {{QStringLiteral("会社名"), first.value(QStringLiteral("会社名")).toString()},
                    {QStringLiteral("計算の簡略化タイプ"), CeclOptions::methodLabel(method)},
                    {QStringLiteral("１次エネルギー換算値(Mj) ET"), number(primaryET)},
                    {QStringLiteral("１次エネルギー換算値(Mj) ES"), number(primaryES)}};
    sheet.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    sheet.points = kPoints;
    return sheet;
}

BandedReport RptCECL::definition(int method, const QString &primaryET, const QString &primaryES)
{
    BandedReport report;
    report.pageSize = QPageSize(QPageSize::JisB4);
    report.orientation = QPageLayout::Landscape;
    report.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    report.headerHeight = kTitleBand + kHeadingBand;
    report.detailHeight = kRowHeight;
    report.rowsPerPage = CeclPrintTable::kLinesPerPage;
    report.font = ReportFont::font();

    // The columns across the frame, scaled to its width.
    const BandedReport::Page frame = report.pageFrame();
    const double frameWidth = frame.right - frame.left;
    double total = 0;
    for (const Column &c : kColumns)
        total += c.width;
    const double scale = frameWidth / total;
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
        // The title, underlined twice.
        pen.text(left, y, right - left, 520, kTitle, Qt::AlignHCenter | Qt::AlignVCenter, 16, true);
        const double titleWidth = 7600;
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
        // The two-level column header: symbol, caption, unit.
        const double top = page.top + kTitleBand;
        const double symbolBand = 250; // symbol, caption of up to two lines, unit
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

    const QString label = CeclOptions::methodLabel(method);
    report.drawPageFooter = [label, primaryET, primaryES](BandedReport::Pen &pen, const BandedReport::Page &page,
                                                          const QSqlRecord &first) {
        const double y = page.bottom - kFooterBand + 120;
        const double h = 320;
        // A long company name is cut with "…" at a readable size.
        pen.text(page.left, y, 4200, h, first.value(QStringLiteral("会社名")).toString(), Qt::AlignLeft | Qt::AlignVCenter, 9,
                 false, false, BandedReport::kSmallestLinePoints);
        pen.text(page.left + 4200, y, 4600, h, QStringLiteral("計算の簡略化タイプ：") + label,
                 Qt::AlignLeft | Qt::AlignVCenter, 9);
        const double energyX = page.left + 8800;
        pen.text(energyX, y, 3000, h, QStringLiteral("１次エネルギー換算値(Mj)"), Qt::AlignLeft | Qt::AlignVCenter, 9);
        // The primary-energy values belong to the building total: on the last page only.
        if (page.number == page.count) {
            pen.text(energyX + 3000, y, 700, h, QStringLiteral("ET"), Qt::AlignRight | Qt::AlignVCenter, 9);
            pen.text(energyX + 3700, y, 1500, h, primaryET, Qt::AlignRight | Qt::AlignVCenter, 9, false, true);
            pen.text(energyX + 5200, y, 700, h, QStringLiteral("ES"), Qt::AlignRight | Qt::AlignVCenter, 9);
            pen.text(energyX + 5900, y, 1500, h, primaryES, Qt::AlignRight | Qt::AlignVCenter, 9, false, true);
        }
        const double px = page.right - 1500;
        // The page of the count: "3 / 10", the slash in a box of its own.
        pen.text(px, y, 700, h, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
        pen.text(px + 700, y, 300, h, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
        pen.text(px + 1000, y, 500, h, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
    };
    return report;
}
