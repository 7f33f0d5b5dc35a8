#include "report/BandedReport.h"

#include "text/NumberText.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QVariant>

#include <cmath>

void BandedReport::Pen::text(double x, double y, double w, double h, const QString &text, Qt::Alignment align,
                             double points, bool bold)
{
    if (text.isEmpty())
        return;
    QFont f = m_baseFont;
    f.setPixelSize(int(std::lround(points * 20))); // 1 point = 20 twips
    f.setBold(bold);
    m_painter.setFont(f);
    QString shown = text;
    shown.replace(u'\r', u'\n');
    // A little air between the text and the rules.
    const double pad = 40;
    m_painter.drawText(QRectF(x + pad, y, std::max(0.0, w - 2 * pad), h), int(align) | Qt::TextDontClip, shown);
}

void BandedReport::Pen::line(double x1, double y1, double x2, double y2, double widthTwips)
{
    QPen pen(Qt::black);
    pen.setWidthF(widthTwips);
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void BandedReport::Pen::rect(double x, double y, double w, double h, double widthTwips)
{
    QPen pen(Qt::black);
    pen.setWidthF(widthTwips);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(x, y, w, h));
}

QString BandedReport::shownText(const QSqlRecord &record, const Field &field)
{
    const QVariant v = record.value(field.name);
    if (v.isNull() || !v.isValid())
        return QString();
    if (field.format.isEmpty()) {
        if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            return NumberText::plain(v.toDouble());
        return v.toString();
    }
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? NumberText::format(d, field.format) : v.toString();
}

int BandedReport::pageCount(int rows) const
{
    if (rowsPerPage <= 0 || rows <= 0)
        return 1;
    return (rows + rowsPerPage - 1) / rowsPerPage;
}

BandedReport::Page BandedReport::pageFrame() const
{
    // From millimetres: the page size in inches is rounded to hundredths.
    const QSizeF paper = pageSize.size(QPageSize::Millimeter) / 25.4;
    const double paperW = (orientation == QPageLayout::Landscape ? paper.height() : paper.width()) * kTwipsPerInch;
    const double paperH = (orientation == QPageLayout::Landscape ? paper.width() : paper.height()) * kTwipsPerInch;
    Page page;
    page.left = marginsTwips.left();
    page.top = marginsTwips.top();
    page.right = paperW - marginsTwips.right();
    page.bottom = paperH - marginsTwips.bottom();
    return page;
}

void BandedReport::preparePaper(QPagedPaintDevice &device) const
{
    device.setPageLayout(QPageLayout(pageSize, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void BandedReport::render(QPagedPaintDevice &device, const QList<QSqlRecord> &rows) const
{
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const double scale = device.logicalDpiX() / kTwipsPerInch;
    Page page = pageFrame();
    page.count = pageCount(int(rows.size()));
    const QSqlRecord empty;
    Pen pen(painter, font);

    for (int p = 0; p < page.count; ++p) {
        if (p > 0)
            device.newPage();
        page.number = p + 1;
        painter.resetTransform();
        painter.scale(scale, scale);
        const qsizetype firstRow = qsizetype(p) * rowsPerPage;
        const QSqlRecord &first = firstRow < rows.size() ? rows[firstRow] : empty;
        if (drawPageHeader)
            drawPageHeader(pen, page, first);
        const double top = page.top + headerHeight;
        int drawn = 0;
        for (qsizetype i = firstRow; i < rows.size() && drawn < rowsPerPage; ++i, ++drawn) {
            const double y = top + drawn * detailHeight;
            QHash<QString, QString> shown;
            for (const Field &f : fields)
                shown.insert(f.name, shownText(rows[i], f));
            if (formatDetail)
                formatDetail(rows[i], shown);
            for (const Field &f : fields) {
                double fy = y;
                double fh = detailHeight;
                if (f.line != 0) {
                    fh = detailHeight / 2;
                    fy = f.line == 1 ? y : y + fh;
                }
                pen.text(f.x, fy, f.width, fh, shown.value(f.name), f.align | Qt::AlignVCenter, f.points);
            }
            pen.line(page.left, y + detailHeight, page.right, y + detailHeight, ruleWidth);
        }
        // The frame and the vertical rules of the detail rows.
        const double bottom = top + drawn * detailHeight;
        if (drawn > 0) {
            for (double x : detailRules)
                pen.line(x, top, x, bottom, ruleWidth);
            pen.rect(page.left, top, page.right - page.left, bottom - top, ruleWidth * 2);
        }
        if (drawPageFooter)
            drawPageFooter(pen, page, first);
    }
}
