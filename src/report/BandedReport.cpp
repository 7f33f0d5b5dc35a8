#include "report/BandedReport.h"

#include "text/NumberText.h"

#include <QPagedPaintDevice>
#include <QFontMetricsF>
#include <QPainter>
#include <QVariant>

#include <cmath>
#include <unordered_map>

namespace {

// Air between the text and the rules (3.5 pt), so no cell's text touches its lines.
constexpr double kPad = 70;

QFont sized(const QFont &base, double points, bool bold)
{
    QFont f = base;
    f.setPixelSize(std::max(1, int(std::lround(points * 20)))); // 1 point = 20 twips
    f.setBold(bold);
    return f;
}

// Every cell's text is measured at each size tried, and a sheet repeats the same few hundred
// texts ("0.85", "事務室") on every page: each measure is kept for the run (most of the time of a
// report went into shaping the same texts again).
QSizeF textSize(const QFont &font, const QString &text)
{
    struct Key {
        QString family, text;
        int pixels;
        bool bold;
        bool operator==(const Key &o) const
        {
            return pixels == o.pixels && bold == o.bold && text == o.text && family == o.family;
        }
    };
    struct Hash {
        size_t operator()(const Key &k) const { return qHashMulti(0, k.family, k.text, k.pixels, k.bold); }
    };
    thread_local std::unordered_map<Key, QSizeF, Hash> measured;
    Key key{font.family(), text, font.pixelSize(), font.bold()};
    if (const auto it = measured.find(key); it != measured.end())
        return it->second;
    const QFontMetricsF metrics(font);
    double width = 0;
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const QSizeF size(width, metrics.height() * lines.size());
    if (measured.size() > 50000)
        measured.clear();
    measured.emplace(std::move(key), size);
    return size;
}

double fittingSize(const QFont &base, double w, double h, const QString &text, double points, bool bold,
                   double smallest = BandedReport::kSmallestPoints)
{
    smallest = std::min(points, smallest);
    for (double p = points; p >= smallest - 1e-9; p -= 0.5) {
        const QSizeF size = textSize(sized(base, p, bold), text);
        if (size.width() <= w - 2 * kPad && size.height() <= h + 1)
            return p;
    }
    return 0;
}

} // namespace

double BandedReport::Pen::fittingPoints(double w, double h, const QString &text, double points, bool bold) const
{
    return fittingSize(m_baseFont, w, h, text, points, bold);
}

void BandedReport::Pen::text(double x, double y, double w, double h, const QString &text, Qt::Alignment align,
                             double points, bool bold, bool numeric, double smallest)
{
    if (text.isEmpty())
        return;
    QString shown = text;
    shown.replace(u'\r', u'\n');
    const QRectF box(x + kPad, y, std::max(0.0, w - 2 * kPad), h);
    double size = fittingSize(m_baseFont, w, h, shown, points, bold, smallest);
    const bool fits = size > 0;
    if (size == 0) {
        size = std::min(points, smallest);
        const QFontMetricsF metrics(sized(m_baseFont, size, bold));
        if (numeric) {
            // A number that cannot be shown whole is not shown at all, as a spreadsheet does.
            shown = QStringLiteral("###");
        } else {
            QStringList lines = shown.split(u'\n');
            for (QString &line : lines)
                line = metrics.elidedText(line, Qt::ElideRight, box.width());
            shown = lines.join(u'\n');
        }
    }
    if (fits) {
        // Measured to fit its box: no clip (each one a saved and restored state in the PDF).
        const QFont before = m_painter.font();
        m_painter.setFont(sized(m_baseFont, size, bold));
        m_painter.drawText(box, int(align), shown);
        m_painter.setFont(before);
        return;
    }
    m_painter.save();
    m_painter.setClipRect(QRectF(x, y, w, h), Qt::IntersectClip);
    m_painter.setFont(sized(m_baseFont, size, bold));
    m_painter.drawText(box, int(align), shown);
    m_painter.restore();
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
    return shownValue(record.value(field.name), field);
}

QString BandedReport::shownValue(const QVariant &v, const Field &field)
{
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

const BandedReport::Field *BandedReport::field(const QString &name) const
{
    for (const Field &f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

bool BandedReport::showsWhole(const Field &field, const QVariant &value) const
{
    if (field.format.isEmpty())
        return true; // texts are cut with "…", never refused
    const QString shown = shownValue(value, field);
    if (shown.isEmpty())
        return true;
    bool number = false;
    value.toDouble(&number);
    if (!number)
        return false;
    const double h = field.line == 0 ? detailHeight : detailHeight / 2;
    return fittingSize(font, field.width, h, shown, field.points, false) > 0;
}

int BandedReport::pageCount(int rows) const
{
    if (rowsPerPage <= 0 || rows <= 0)
        return 1;
    return (rows + rowsPerPage - 1) / rowsPerPage;
}

int BandedReport::totalPages(int rows) const
{
    const int detail = rows <= 0 && !extraPages.isEmpty() ? 0 : pageCount(rows);
    return detail + int(extraPages.size());
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
    page.count = totalPages(int(rows.size()));
    const int detailPages = page.count - int(extraPages.size());
    const QSqlRecord empty;
    Pen pen(painter, font);

    for (int p = 0; p < detailPages; ++p) {
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
                pen.text(f.x, fy, f.width, fh, shown.value(f.name), f.align | Qt::AlignVCenter, f.points, false,
                         !f.format.isEmpty());
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
    for (int e = 0; e < extraPages.size(); ++e) {
        if (detailPages + e > 0)
            device.newPage();
        page.number = detailPages + e + 1;
        painter.resetTransform();
        painter.scale(scale, scale);
        extraPages[e](pen, page);
    }
}
