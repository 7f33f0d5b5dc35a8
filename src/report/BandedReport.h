#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSqlRecord>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// A small banded report engine: a page header, fixed-height detail rows read from a table, and a
// page footer, drawn with QPainter in twips (1/1440 inch) from the paper's top-left corner. The
// same drawing goes to the preview, the printer and PDF files.
class BandedReport
{
public:
    // Where the page is being drawn: page number, page count and the printable frame in twips.
    struct Page {
        int number = 1;
        int count = 1;
        double left = 0, top = 0, right = 0, bottom = 0;
    };

    // Draws in twips with the report's font.
    class Pen
    {
    public:
        Pen(QPainter &painter, const QFont &baseFont) : m_painter(painter), m_baseFont(baseFont) {}
        // Text in the box; size in points; several lines when the text holds "\n" or "\r".
        // Nothing is drawn outside the box: a text too wide is drawn smaller, down to `smallest`
        // points, then cut with "…"; a number too wide is drawn smaller, then as "###".
        void text(double x, double y, double w, double h, const QString &text, Qt::Alignment align,
                  double points, bool bold = false, bool numeric = false, double smallest = kSmallestPoints);
        // The size in points at which `text` fits the box (`points` when it fits as it is), or 0
        // when not even the smallest readable size fits.
        double fittingPoints(double w, double h, const QString &text, double points, bool bold) const;
        void line(double x1, double y1, double x2, double y2, double widthTwips = 10);
        void rect(double x, double y, double w, double h, double widthTwips = 10);
        QPainter &painter() { return m_painter; }
        // The report's font, for what is drawn on the painter itself.
        const QFont &baseFont() const { return m_baseFont; }

    private:
        QPainter &m_painter;
        QFont m_baseFont;
    };

    // One bound field of the detail band. `line` places it in the row: 0 the whole height,
    // 1 the upper half, 2 the lower half.
    struct Field {
        QString name;
        double x = 0;
        double width = 0;
        QString format;       // display pattern for numbers; "" shows the value as it is
        Qt::Alignment align = Qt::AlignLeft;
        int line = 0;
        double points = 8;
    };

    QPageSize pageSize = QPageSize(QPageSize::JisB4);
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    QMarginsF marginsTwips;        // left, top, right, bottom
    double headerHeight = 0;       // twips
    double detailHeight = 0;       // twips
    int rowsPerPage = 0;
    QList<Field> fields;
    QList<double> detailRules;     // x positions of the vertical rules between detail columns
    QFont font;
    double ruleWidth = 10;

    std::function<void(Pen &, const Page &, const QSqlRecord &first)> drawPageHeader;
    std::function<void(Pen &, const Page &, const QSqlRecord &first)> drawPageFooter;
    // Lets the report change the shown texts of a row before it is drawn (a detail format event).
    std::function<void(const QSqlRecord &, QHash<QString, QString> &shown)> formatDetail;
    // Pages drawn after the detail pages (each draws all of itself); the page numbers and the count
    // run on through them. A report with no rows and such pages has only them.
    QList<std::function<void(Pen &, const Page &)>> extraPages;

    // The text a field shows: Null and empty give "", numbers go through the field's pattern.
    static QString shownText(const QSqlRecord &record, const Field &field);
    static QString shownValue(const QVariant &value, const Field &field);
    // The field of that name, nullptr when the report has none.
    const Field *field(const QString &name) const;
    // Whether the field shows the value whole: a number that does not fit its cell even at the
    // smallest size (it would print as "###"), or a text under a number format, does not.
    bool showsWhole(const Field &field, const QVariant &value) const;

    int pageCount(int rows) const;
    // The pages drawn in all: the detail pages and the extra ones.
    int totalPages(int rows) const;
    // The printable frame of a page in twips (the paper less the margins); number and count 1.
    Page pageFrame() const;
    // Draws every page onto the device (which must be set to this report's paper beforehand).
    void render(QPagedPaintDevice &device, const QList<QSqlRecord> &rows) const;
    // Sets the device's paper: size, orientation, no margins (the report keeps its own).
    void preparePaper(QPagedPaintDevice &device) const;

    static constexpr double kTwipsPerInch = 1440.0;
    // The smallest size a cell's text is shrunk to (points), and that of the page's own lines
    // (footers): below it a text is cut with "…".
    static constexpr double kSmallestPoints = 5.0;
    static constexpr double kSmallestLinePoints = 6.0;
};
