#pragma once

#include <QTableWidget>

// A list of text cells with the notifications the sheets rely on: key release, mouse-button
// release and right click. A right click makes the clicked row the active row first. Tab and
// Shift+Tab leave the list; the arrow keys move inside it.
class ListGrid : public QTableWidget
{
    Q_OBJECT
public:
    ListGrid(const QString &name, int rows, int columns, QWidget *parent = nullptr);
    // As placed on a Designer form: the columns and their headings come from the form, the rows
    // from setup().
    explicit ListGrid(QWidget *parent = nullptr);

    // `rows` rows of empty cells under the form's columns.
    void setup(int rows);

    // Cell text by 1-based row and column; out of range reads "" and writes nothing.
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString &text);
    // Every cell empty, with repainting held off during the work.
    void clearTexts();
    // Cell (1,1) active and shown at the upper left.
    void scrollToTopLeft();
    // 1-based active row (0 when none).
    // The columns at `widths` (pixels), the viewport's room beyond them shared among the columns
    // named in `growing` (0-based); a narrower viewport takes it back from the `yielding` ones
    // (the growing ones when not given) down to a third of their width, so the columns at the
    // right stay in sight.
    void fitColumns(const QList<int> &widths, const QList<int> &growing, const QList<int> &yielding = {});

    int activeRow() const { return currentRow() + 1; }
    void setActiveCell(int row, int column);
    // 1-based selected rows, ascending.
    QList<int> selectedRowNumbers() const;

signals:
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void rightClicked(int column, int row, QPoint position);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Keys pressed while the list had the focus: only their release is the list's key release
    // (a Tab pressed in the box before lands its release here).
    QList<int> m_pressedKeys;
};
