#include "cecl/RptCECL.h"

#include "cecl/CeclOptions.h"
#include "cecl/CeclPrintTable.h"
#include "report/ColumnReport.h"
#include "text/NumberText.h"

#include <QSqlRecord>
#include <QVariant>

namespace {

constexpr double kFooterBand = 560;

const QString kTitle = QStringLiteral("照明エネルギー消費係数（ＣＥＣ／Ｌ）の計算");

const ColumnReport::Column kColumns[] = {
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

} // namespace

XlsxOutput::Sheet RptCECL::workbook(const QList<QSqlRecord> &rows, int method, const QString &primaryET,
                                    const QString &primaryES)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("CEC／L計算書"), kTitle, rows);
    ColumnReport::addColumns(sheet, kColumns);
    const QSqlRecord first = rows.value(0);
    const auto number = [](const QString &t) {
        const auto v = NumberText::strict(t);
        return v ? QVariant(*v) : QVariant(t);
    };
    sheet.footer = {{QStringLiteral("会社名"), first.value(QStringLiteral("会社名")).toString()},
                    {QStringLiteral("計算の簡略化タイプ"), CeclOptions::methodLabel(method)},
                    {QStringLiteral("１次エネルギー換算値(Mj) ET"), number(primaryET)},
                    {QStringLiteral("１次エネルギー換算値(Mj) ES"), number(primaryES)}};
    return sheet;
}

BandedReport RptCECL::definition(int method, const QString &primaryET, const QString &primaryES)
{
    BandedReport report = ColumnReport::definition(kTitle, 7600, kColumns, CeclPrintTable::kLinesPerPage);
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
