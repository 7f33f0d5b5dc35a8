#pragma once

#include "beil/BeilRooms.h"

#include <QDialog>

namespace Ui {
class F_Mondai;
}

// Every problem of the building at once (入力の確認): what stops the report or the export, and what
// its figures should be read with, a line each with its row, room, field and value. 行へ移動 (or a
// double click, or Enter) closes the list on the row to show.
class FMondai : public QDialog
{
    Q_OBJECT
public:
    FMondai(const QList<BeilRooms::Problem> &problems, const QString &what, QWidget *parent = nullptr);
    ~FMondai() override;

    // The row chosen to be shown (0 when the list was closed without one).
    int chosenRow() const { return m_row; }
    // The row of the list's line `line` (0-based), as 行へ移動 would take it.
    void choose(int line);

private:
    Ui::F_Mondai *m_ui;
    QList<BeilRooms::Problem> m_problems;
    int m_row = 0;
};
