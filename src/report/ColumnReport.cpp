#include "report/ColumnReport.h"

#include "report/ReportFont.h"

#include <QSqlRecord>

namespace ColumnReport {

namespace {

struct Placed {
    const Column *column;
    double x;
    double w;
};

} // namespace

BandedReport definition(const QString &title, double titleWidth, std::span<const Column> columns, int rowsPerPage)
{
    BandedReport report;
    report.pageSize = QPageSize(QPageSize::JisB4);
    report.orientation = QPageLayout::Landscape;
    report.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    report.headerHeight = kTitleBand + kHeadingBand;
    report.detailHeight = kRowHeight;
    report.rowsPerPage = rowsPerPage;
    report.font = ReportFont::font();

    const BandedReport::Page frame = report.pageFrame();
    double total = 0;
    for (const Column &c : columns)
        total += c.width;
    const double scale = (frame.right - frame.left) / total;
    QList<Placed> placed;
    double x = frame.left;
    for (const Column &c : columns) {
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

    report.drawPageHeader = [placed, title, titleWidth](BandedReport::Pen &pen, const BandedReport::Page &page,
                                                        const QSqlRecord &first) {
        const double left = page.left;
        const double right = page.right;
        double y = page.top;
        pen.text(left, y, right - left, 520, title, Qt::AlignHCenter | Qt::AlignVCenter, 16, true);
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
        // The heading: symbol, caption of up to two lines, unit; a caption alone takes the band.
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
            const QString caption = QString::fromUtf8(p.column->caption);
            if (symbol.isEmpty() && unit.isEmpty()) {
                pen.text(p.x, top, p.w, kHeadingBand, caption, Qt::AlignCenter, kPoints);
                continue;
            }
            pen.text(p.x, top, p.w, symbolBand, symbol, Qt::AlignCenter, kPoints);
            pen.text(p.x, top + symbolBand, p.w, captionBand, caption, Qt::AlignCenter, kPoints);
            pen.text(p.x, top + symbolBand + captionBand, p.w, symbolBand, unit, Qt::AlignCenter, kPoints);
        }
    };
    return report;
}

void addColumns(XlsxOutput::Sheet &sheet, std::span<const Column> columns)
{
    for (const Column &c : columns)
        sheet.columns.append({QString::fromUtf8(c.field),
                              {QString::fromUtf8(c.symbol), QString::fromUtf8(c.caption), QString::fromUtf8(c.unit)},
                              c.width,
                              QString::fromLatin1(c.format)});
    sheet.marginsTwips = QMarginsF(kLeft, kMargin, kMargin, kMargin);
    sheet.points = kPoints;
}

} // namespace ColumnReport
