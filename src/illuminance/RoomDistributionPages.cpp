#include "illuminance/RoomDistribution.h"

#include "photometry/DistributionPlot.h"
#include "text/NumberText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>

namespace RoomDistribution {

// The pages of the distribution: a room's plan, its figures and the table of its points.
namespace {

void footer(BandedReport::Pen &pen, const BandedReport::Page &page, const Headings &headings)
{
    const double y = page.bottom - 360;
    pen.text(page.left, y, 6000, 360, headings.company, Qt::AlignLeft | Qt::AlignVCenter, 9, false, false,
             BandedReport::kSmallestLinePoints);
    const double px = page.right - 1500;
    pen.text(px, y, 700, 360, QString::number(page.number), Qt::AlignRight | Qt::AlignVCenter, 9);
    pen.text(px + 700, y, 300, 360, QStringLiteral("/"), Qt::AlignHCenter | Qt::AlignVCenter, 9);
    pen.text(px + 1000, y, 500, 360, QString::number(page.count), Qt::AlignLeft | Qt::AlignVCenter, 9);
}

// A part of a room's table of point values: its columns i0..i1 and rows j0..j1 (of the grid).
struct TablePart {
    QString caption;
    QList<double> xs, ys;        // the columns' and rows' positions, m
    QList<QList<double>> values; // [row][column], the far wall's row first
};

constexpr double kTableFirst = 760, kTableColumn = 540, kTableRow = 235, kTableHead = 620; // twips
constexpr double kTableWidth = 9500, kTableHeight = 13000; // what half a page holds, about

QList<TablePart> tableParts(const Outcome &o)
{
    QList<TablePart> out;
    const Distribution::Grid &g = o.result.grid;
    if (!o.ok || g.count() == 0)
        return out;
    const int columns = std::max(1, int((kTableWidth - kTableFirst) / kTableColumn));
    const int rows = std::max(1, int((kTableHeight - kTableHead) / kTableRow));
    const int across = (g.cellsX + columns - 1) / columns, down = (g.cellsY + rows - 1) / rows;
    for (int b = 0; b < down; ++b)
        for (int a = 0; a < across; ++a) {
            TablePart part;
            part.caption = QStringLiteral("%1 行目　%2　計算点の照度 lx").arg(o.rowsText(), o.name);
            if (across * down > 1)
                part.caption += QStringLiteral("（%1/%2）").arg(b * across + a + 1).arg(across * down);
            const int i0 = a * columns, i1 = std::min(g.cellsX, i0 + columns);
            // Rows from the far wall down, as the plan shows them.
            const int j1 = g.cellsY - b * rows, j0 = std::max(0, j1 - rows);
            for (int i = i0; i < i1; ++i)
                part.xs.append(g.point(i, 0).x());
            for (int j = j1 - 1; j >= j0; --j) {
                part.ys.append(g.point(0, j).y());
                QList<double> line;
                for (int i = i0; i < i1; ++i)
                    line.append(o.result.total[j * g.cellsX + i]);
                part.values.append(line);
            }
            out.append(part);
        }
    return out;
}

// The table itself, its top left corner at (left, top): its numbers drawn straight in one font
// (a page holds hundreds of them).
void drawTableBody(BandedReport::Pen &pen, const TablePart &t, double left, double top)
{
    QPainter &painter = pen.painter();
    painter.save();
    QFont font = pen.baseFont();
    font.setPixelSize(7 * 20);
    painter.setFont(font);
    painter.setPen(Qt::black);
    constexpr double pad = 70;
    painter.drawText(QRectF(left, top, kTableFirst, kTableRow), Qt::AlignCenter, QStringLiteral("y＼x m"));
    for (qsizetype i = 0; i < t.xs.size(); ++i)
        painter.drawText(QRectF(left + kTableFirst + i * kTableColumn, top, kTableColumn - pad, kTableRow),
                         Qt::AlignRight | Qt::AlignVCenter, NumberText::format(t.xs[i], QStringLiteral("0.00")));
    for (qsizetype j = 0; j < t.ys.size(); ++j) {
        const double row = top + kTableRow * (j + 1);
        painter.drawText(QRectF(left, row, kTableFirst - pad, kTableRow), Qt::AlignRight | Qt::AlignVCenter, NumberText::format(t.ys[j], QStringLiteral("0.00")));
        for (qsizetype i = 0; i < t.values[j].size(); ++i)
            painter.drawText(QRectF(left + kTableFirst + i * kTableColumn, row, kTableColumn - pad, kTableRow),
                             Qt::AlignRight | Qt::AlignVCenter, NumberText::format(t.values[j][i], QStringLiteral("0")));
    }
    painter.restore();
    pen.line(left, top + kTableRow, left + kTableFirst + t.xs.size() * kTableColumn, top + kTableRow, 8);
    pen.line(left + kTableFirst, top, left + kTableFirst, top + kTableRow * (t.ys.size() + 1), 8);
}

void drawTable(BandedReport::Pen &pen, const TablePart &t, double x, double y, double w, double h)
{
    pen.rect(x, y, w, h, 10);
    pen.text(x + 100, y + 60, w - 200, 320, t.caption, Qt::AlignLeft | Qt::AlignVCenter, 11, true, false,
             BandedReport::kSmallestLinePoints);
    drawTableBody(pen, t, x + 100, y + 420);
}

// Whether a room's table goes under its plan (ten rows at most: the plan keeps most of the page).
bool fitsUnder(const QList<TablePart> &parts)
{
    return parts.size() == 1 && !parts.first().xs.isEmpty() && parts.first().ys.size() <= 10
           && kTableFirst + kTableColumn * parts.first().xs.size() <= kTableWidth;
}

} // namespace

QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>>
pages(const QList<Outcome> &rooms, const Headings &headings, const DistributionPlot::Style &style, int roomsPerPage)
{
    // Each room's values on the drawing's fine grid, worked out once, when its page is first drawn.
    struct Drawn {
        Outcome outcome;
        std::shared_ptr<DistributionPlot::Samples> samples = std::make_shared<DistributionPlot::Samples>();
    };
    QList<Drawn> drawn;
    for (const Outcome &o : rooms)
        if (o.ok)
            drawn.append({o});
    const int perPage = std::clamp(roomsPerPage, 1, 2);
    QList<std::function<void(BandedReport::Pen &, const BandedReport::Page &)>> out;
    for (qsizetype i = 0; i < drawn.size(); i += perPage) {
        const QList<Drawn> group = drawn.mid(i, perPage);
        out.append([group, headings, style](BandedReport::Pen &pen, const BandedReport::Page &page) {
            const double left = page.left, right = page.right, top = page.top, bottom = page.bottom;
            pen.text(left, top, right - left, 560, QStringLiteral("照 度 分 布"), Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
            pen.text(left, top + 600, 9000, 300, QStringLiteral("件名  ") + headings.title, Qt::AlignLeft | Qt::AlignVCenter, 10,
                     false, false, BandedReport::kSmallestLinePoints);
            pen.text(right - 4000, top + 600, 4000, 300, headings.date, Qt::AlignRight | Qt::AlignVCenter, 10);
            const double bandTop = top + 1000;
            const double share = (right - left) / group.size();
            for (qsizetype k = 0; k < group.size(); ++k) {
                const Outcome &o = group[k].outcome;
                const double x = left + k * share + (k == 0 ? 0 : 200);
                const double w = share - (group.size() > 1 ? 200 : 0);
                pen.rect(x, bandTop, w, bottom - 600 - bandTop, 10);
                pen.text(x + 100, bandTop + 60, w - 200, 320, QStringLiteral("%1 行目　%2").arg(o.rowsText(), o.name),
                         Qt::AlignLeft | Qt::AlignVCenter, 11, true, false, BandedReport::kSmallestLinePoints);
                const QStringList lines = figures(o);
                const QStringList cautions = warnings(o);
                const double line = 250;
                // What the figures must be read with stands first, in red, under the room's name.
                for (int c = 0; c < cautions.size(); ++c) {
                    pen.painter().save();
                    pen.painter().setPen(QColor(0xb0, 0x00, 0x00));
                    pen.text(x + 100, bandTop + 400 + c * line, w - 200, line, cautions[c], Qt::AlignLeft | Qt::AlignVCenter, 8.5,
                             true, false, BandedReport::kSmallestLinePoints);
                    pen.painter().restore();
                }
                const double plotTop = bandTop + 420 + cautions.size() * line;
                const double figuresTop = bottom - 600 - 100 - lines.size() * line;
                // The points' values under the plan when their table is small; else on the pages after.
                const QList<TablePart> parts = tableParts(o);
                const bool under = fitsUnder(parts);
                const double tableTop = figuresTop - (under ? kTableRow * (parts.first().ys.size() + 1) + 200 : 0);
                if (under)
                    drawTableBody(pen, parts.first(), x + 100, tableTop);
                const QRectF plot(x + 100, plotTop, w - 200, tableTop - plotTop - 100);
                DistributionPlot::Samples &samples = *group[k].samples;
                if (samples.v.isEmpty())
                    samples = DistributionPlot::sample(o.room, o.result);
                DistributionPlot::Style own = style;
                own.observers = observerMarks(o);
                DistributionPlot::draw(pen.painter(), plot, o.room, o.result, samples, own);
                for (int f = 0; f < lines.size(); ++f) {
                    // A kind's marker as the plan draws it, in its colours.
                    QString text = lines[f];
                    for (int k = 0; k < o.room.sources.size(); ++k)
                        if (text.startsWith(DistributionPlot::markerText(k))) {
                            DistributionPlot::drawLegendMarker(pen.painter(), k, QPointF(x + 100 + 70 + 80, figuresTop + f * line + line / 2), 60);
                            text = QStringLiteral("　") + text.mid(1);
                        }
                    pen.text(x + 100, figuresTop + f * line, w - 200, line, text, Qt::AlignLeft | Qt::AlignVCenter, 8.5, false, false,
                             BandedReport::kSmallestLinePoints);
                }
            }
            footer(pen, page, headings);
        });
        // Every point's value, as a table after the plans: two tables (or parts of one) a page.
        QList<TablePart> parts;
        for (const Drawn &d : group)
            if (const QList<TablePart> own = tableParts(d.outcome); !fitsUnder(own))
                parts += own;
        for (qsizetype t = 0; t < parts.size(); t += 2) {
            const QList<TablePart> two = parts.mid(t, 2);
            out.append([two, headings](BandedReport::Pen &pen, const BandedReport::Page &page) {
                const double left = page.left, right = page.right, top = page.top, bottom = page.bottom;
                pen.text(left, top, right - left, 560, QStringLiteral("照 度 分 布（計算点の値）"), Qt::AlignHCenter | Qt::AlignVCenter, 18, true);
                pen.text(left, top + 600, 9000, 300, QStringLiteral("件名  ") + headings.title, Qt::AlignLeft | Qt::AlignVCenter, 10,
                         false, false, BandedReport::kSmallestLinePoints);
                pen.text(right - 4000, top + 600, 4000, 300, headings.date, Qt::AlignRight | Qt::AlignVCenter, 10);
                const double bandTop = top + 1000;
                const double share = (right - left) / 2;
                for (qsizetype k = 0; k < two.size(); ++k)
                    drawTable(pen, two[k], left + k * share + (k == 0 ? 0 : 200), bandTop, share - 200, bottom - 600 - bandTop);
                footer(pen, page, headings);
            });
        }
    }
    return out;
}

} // namespace RoomDistribution
