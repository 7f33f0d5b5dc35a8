#include "ui/ListGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

ListGrid::ListGrid(const QString &name, int rows, int columns, QWidget *parent) : ListGrid(parent)
{
    setObjectName(name);
    setColumnCount(columns);
    setup(rows);
}

ListGrid::ListGrid(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void ListGrid::setup(int rows)
{
    setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (!item(r, c))
                setItem(r, c, new QTableWidgetItem);
}

QString ListGrid::cellText(int row, int column) const
{
    const QTableWidgetItem *it = item(row - 1, column - 1);
    return it ? it->text() : QString();
}

void ListGrid::setCellText(int row, int column, const QString &text)
{
    if (row < 1 || row > rowCount() || column < 1 || column > columnCount())
        return;
    QTableWidgetItem *it = item(row - 1, column - 1);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row - 1, column - 1, it);
    }
    if (it->text() != text)
        it->setText(text);
}

void ListGrid::clearTexts()
{
    setUpdatesEnabled(false);
    for (int r = 1; r <= rowCount(); ++r)
        for (int c = 1; c <= columnCount(); ++c)
            setCellText(r, c, QString());
    setUpdatesEnabled(true);
}

void ListGrid::scrollToTopLeft()
{
    setActiveCell(1, 1);
    scrollToTop();
}

void ListGrid::setActiveCell(int row, int column)
{
    if (row < 1 || row > rowCount())
        return;
    // The active cell never changes which rows of a multi-select list are selected.
    QItemSelectionModel::SelectionFlags command = QItemSelectionModel::ClearAndSelect;
    if (selectionMode() == QAbstractItemView::MultiSelection)
        command = QItemSelectionModel::NoUpdate;
    else if (selectionBehavior() == QAbstractItemView::SelectRows)
        command |= QItemSelectionModel::Rows;
    setCurrentCell(row - 1, std::clamp(column, 1, columnCount()) - 1, command);
    scrollToItem(item(row - 1, std::clamp(column, 1, columnCount()) - 1));
}

QList<int> ListGrid::selectedRowNumbers() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.append(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListGrid::keyPressEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat() && !m_pressedKeys.contains(event->key()))
        m_pressedKeys.append(event->key());
    QTableWidget::keyPressEvent(event);
}

void ListGrid::keyReleaseEvent(QKeyEvent *event)
{
    QTableWidget::keyReleaseEvent(event);
    if (event->isAutoRepeat() || !m_pressedKeys.removeOne(event->key()))
        return;
    emit keyReleased(event->key(), event->modifiers());
}

void ListGrid::focusOutEvent(QFocusEvent *event)
{
    m_pressedKeys.clear();
    QTableWidget::focusOutEvent(event);
}

void ListGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            setActiveCell(index.row() + 1, index.column() + 1);
            emit rightClicked(index.column() + 1, index.row() + 1, event->position().toPoint());
        }
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void ListGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableWidget::mouseReleaseEvent(event);
    emit mouseReleased(event->button(), event->modifiers(), event->position().toPoint());
}

void ListGrid::fitColumns(const QList<int> &widths, const QList<int> &growing, const QList<int> &yielding)
{
    int sum = 0;
    for (int w : widths)
        sum += w;
    int give = viewport()->width() - sum - 2;
    const QList<int> &takers = give >= 0 || yielding.isEmpty() ? growing : yielding;
    // Shares by weight: equal when growing, by what a column can give back when narrowing (down
    // to a third of its width).
    const auto weight = [&](int c) { return give >= 0 ? 1 : widths.value(c) * 2 / 3; };
    int all = 0;
    for (int c : takers)
        all += weight(c);
    if (give < 0)
        give = std::max(give, -all);
    int given = 0, seen = 0;
    for (int c = 0; c < columnCount() && c < widths.size(); ++c) {
        int w = widths[c];
        if (takers.contains(c) && all > 0) {
            seen += weight(c);
            // Shares that add up exactly: the last one takes what is left.
            const int share = int(qint64(give) * seen / all) - given;
            w += share;
            given += share;
        }
        setColumnWidth(c, w);
    }
}
