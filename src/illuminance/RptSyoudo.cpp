#include "illuminance/RptSyoudo.h"

#include "illuminance/IlluminancePrintTable.h"
#include "report/ReportFont.h"

#include <QSizeF>
#include <QSqlRecord>
#include <QVariant>

namespace {

// Paper and frame, in twips.
constexpr double kLeft = 1000;  // binding margin
constexpr double kMargin = 540;
constexpr double kTitleBand = 1500;
constexpr double kHeadingBand = 900;
constexpr double kGroupBand = 300;
constexpr double kRowHeight = 450;

struct Column {
    const char *heading;  // lines separated by "\r"
    double width;
    const char *group;    // group heading over the column, or nullptr
    QList<BandedReport::Field> fields;
};

QList<Column> columns()
{
    using F = BandedReport::Field;
    const auto right = Qt::AlignRight;
    const auto left = Qt::AlignLeft;
    const auto centre = Qt::AlignHCenter;
    return {
        {"行\r№", 420, nullptr, {F{"行№", 0, 0, "", right}}},
        {"階数", 560, nullptr, {F{"階数", 0, 0, "", centre}}},
        // A stacked field's width is its share when the workbook sets the two side by side.
        {"室        名", 2800, nullptr, {F{"室名１", 0, 1400, "", left, 1}, F{"室名２", 0, 1400, "", left, 2}}},
        {"照明器具種類", 2400, nullptr, {F{"照明器具種類", 0, 0, "", left}}},
        {"ランプ\r光 束\rF(lm)", 1700, nullptr, {F{"光源名称", 0, 1100, "", left, 1}, F{"光束", 0, 600, "", right, 2}}},
        {"照度\rE･lx", 560, nullptr, {F{"照度１", 0, 0, "", right}}},
        {"間 口\rXY(m)", 620, "室の大きさ", {F{"間口", 0, 0, "#,##0.0", right}}},
        {"奥 行\rXY(m)", 620, "室の大きさ", {F{"奥行", 0, 0, "#,##0.0", right}}},
        {"面 積\rA(㎡)", 720, "室の大きさ", {F{"面積", 0, 0, "#,##0.0", right}}},
        {"高 さ\rZ(m)", 560, "室の大きさ", {F{"高さ", 0, 0, "#,##0.0", right}}},
        {"作業\r面の\r高さ", 560, nullptr, {F{"作業面の高さ", 0, 0, "#,##0.00", right}}},
        {"器具\r下り\rh2･m", 560, nullptr, {F{"器具下り", 0, 0, "#,##0.0", right}}},
        {"室\r指数", 560, nullptr, {F{"室指数", 0, 0, "#,##0.00", right}}},
        {"記号", 440, nullptr, {F{"室指数記号", 0, 0, "", centre}}},
        {"天\r井\r%", 380, "反射率", {F{"天井", 0, 0, "#,##0", right}}},
        {"壁\r%", 380, "反射率", {F{"壁", 0, 0, "#,##0", right}}},
        {"床\r%", 380, "反射率", {F{"床", 0, 0, "#,##0", right}}},
        {"照明\r率\r%", 560, nullptr, {F{"照明率", 0, 0, "#,##0.00", right}}},
        {"保守\r率\r%", 560, nullptr, {F{"保守率", 0, 0, "#,##0.00", right}}},
        {"灯数\rN 本", 660, nullptr, {F{"灯数１", 0, 0, "#,##0.0", right}}},
        {"灯数\rN 本", 620, "設      計", {F{"灯数２", 0, 0, "#,##0", right}}},
        {"照 度\rE(lx)", 640, "設      計", {F{"照度２", 0, 0, "#,##0", right}}},
        {"台数\r台", 540, "設      計", {F{"台数", 0, 0, "#,##0", right}}},
        {"", 800, "備   考", {F{"備考１", 0, 0, "#,##0", right}}},
        {"", 800, "備   考", {F{"備考２", 0, 0, "#,##0", right}}},
    };
}

} // namespace

XlsxOutput::Sheet RptSyoudo::workbook(const QList<QSqlRecord> &rows)
{
    XlsxOutput::Sheet sheet = XlsxOutput::sheetOf(QStringLiteral("照度計算書"), kTitle, rows);
    const QSqlRecord first = rows.value(0);
    for (const Column &c : columns()) {
        QString heading = QString::fromUtf8(c.heading);
        heading.replace(u'\r', u'\n');
        // A stacked column's two fields go side by side, each under its own name and both under
        // the report's heading.
        const bool stacked = c.fields.size() > 1;
        const QString group = c.group ? QString::fromUtf8(c.group) : (stacked ? heading : QString());
        for (const BandedReport::Field &f : c.fields) {
            const QString own = stacked ? f.name : (heading.isEmpty() ? f.name : heading);
            sheet.columns.append({f.name, {group, own}, f.width > 0 ? f.width : c.width, f.format});
        }
    }
    sheet.formatDetail = definition().formatDetail;
    sheet.footer = {{QStringLiteral("会社名"), first.value(QStringLiteral("会社名")).toString()},
                    {QStringLiteral("ファイル名"), first.value(QStringLiteral("ファイル名")).toString()}};
    sheet.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    return sheet;
}

BandedReport RptSyoudo::definition()
{
    BandedReport report;
    report.pageSize = QPageSize(QPageSize::JisB4);
    report.orientation = QPageLayout::Landscape;
    report.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    report.headerHeight = kTitleBand + kHeadingBand;
    report.detailHeight = kRowHeight;
    report.rowsPerPage = IlluminancePrintTable::kRowsPerPage;
    report.font = ReportFont::font();

    // Lay the columns out across the frame, scaled to its width.
    const QSizeF paper = report.pageSize.size(QPageSize::Inch);
    const double frameWidth = paper.height() * 1440 - kLeft - kMargin;
    QList<Column> cols = columns();
    double total = 0;
    for (const Column &c : cols)
        total += c.width;
    const double scale = frameWidth / total;
    struct Placed {
        Column column;
        double x;
        double w;
    };
    QList<Placed> placed;
    double x = kLeft;
    for (Column &c : cols) {
        const double w = c.width * scale;
        for (BandedReport::Field f : c.fields) {
            f.x = x;
            f.width = w;
            report.fields.append(f);
        }
        placed.append({c, x, w});
        x += w;
        if (x < kLeft + frameWidth - 1)
            report.detailRules.append(x);
    }

    report.drawPageHeader = [placed](BandedReport::Pen &pen, const BandedReport::Page &page,
                                                  const QSqlRecord &first) {
        const double left = page.left;
        const double top = page.top;
        const double right = page.right;
        // Title, underlined twice.
        pen.text(left, top, right - left, 640, kTitle, Qt::AlignHCenter | Qt::AlignVCenter, 20, true);
        const double titleW = 4200;
        const double cx = left + (right - left) / 2;
        pen.line(cx - titleW / 2, top + 680, cx + titleW / 2, top + 680, 15);
        pen.line(cx - titleW / 2, top + 730, cx + titleW / 2, top + 730, 15);
        // 件名 with the two title lines, and the date.
        const double y = top + 820;
        pen.text(left, y, 700, 320, QStringLiteral("件名"), Qt::AlignLeft | Qt::AlignVCenter, 11, true);
        pen.text(left + 700, y, 9000, 320, first.value(QStringLiteral("タイトル１")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 11);
        pen.text(left + 700, y + 330, 9000, 320, first.value(QStringLiteral("タイトル２")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 11);
        pen.line(left + 700, y + 320, left + 9700, y + 320, 8);
        pen.line(left + 700, y + 650, left + 9700, y + 650, 8);
        pen.text(right - 4000, y, 4000, 320, first.value(QStringLiteral("日付")).toString(),
                 Qt::AlignRight | Qt::AlignVCenter, 11);

        // Column headings, with group headings over their columns.
        const double hy = top + kTitleBand;
        const double hb = hy + kHeadingBand;
        pen.rect(left, hy, right - left, kHeadingBand, 20);
        for (int i = 0; i < placed.size();) {
            const Placed &p = placed[i];
            if (!p.column.group) {
                pen.text(p.x, hy, p.w, kHeadingBand, QString::fromUtf8(p.column.heading), Qt::AlignCenter, 8);
                if (i > 0)
                    pen.line(p.x, hy, p.x, hb, 10);
                ++i;
                continue;
            }
            int j = i;
            double groupW = 0;
            while (j < placed.size() && placed[j].column.group && qstrcmp(placed[j].column.group, p.column.group) == 0)
                groupW += placed[j++].w;
            if (i > 0)
                pen.line(p.x, hy, p.x, hb, 10);
            pen.text(p.x, hy, groupW, kGroupBand, QString::fromUtf8(p.column.group), Qt::AlignCenter, 8);
            const bool headingsBelow = QString::fromUtf8(p.column.heading).size() > 0;
            if (headingsBelow)
                pen.line(p.x, hy + kGroupBand, p.x + groupW, hy + kGroupBand, 10);
            for (int k = i; k < j; ++k) {
                const Placed &q = placed[k];
                const QString heading = QString::fromUtf8(q.column.heading);
                if (k > i && headingsBelow)
                    pen.line(q.x, hy + kGroupBand, q.x, hb, 10);
                pen.text(q.x, hy + kGroupBand, q.w, kHeadingBand - kGroupBand, heading, Qt::AlignCenter, 8);
            }
            i = j;
        }
    };

    report.drawPageFooter = [](BandedReport::Pen &pen, const BandedReport::Page &page, const QSqlRecord &first) {
        const double y = page.bottom - 360;
        // Long names are cut with "…" at a readable size.
        pen.text(page.left, y, 6000, 360, first.value(QStringLiteral("会社名")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 9, false, false, BandedReport::kSmallestLinePoints);
        pen.text(page.left + 6000, y, 9000, 360, first.value(QStringLiteral("ファイル名")).toString(),
                 Qt::AlignLeft | Qt::AlignVCenter, 8, false, false, BandedReport::kSmallestLinePoints);
        const double px = page.right - 1500;
        // The page of the count: "3 / 10", the slash in a box of its own.
        pen.text(px, y, 700, 360, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
        pen.text(px + 700, y, 300, 360, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
        pen.text(px + 1000, y, 500, 360, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
    };

    report.formatDetail = [](const QSqlRecord &, QHash<QString, QString> &shown) {
        if (shown.value(QStringLiteral("灯数２")).isEmpty() && shown.value(QStringLiteral("備考１")).isEmpty())
            return;
        if (shown.value(QStringLiteral("作業面の高さ")).isEmpty())
            shown[QStringLiteral("作業面の高さ")] = QStringLiteral("0.00");
        if (shown.value(QStringLiteral("器具下り")).isEmpty())
            shown[QStringLiteral("器具下り")] = QStringLiteral("0.0");
    };
    return report;
}
