#pragma once

#include <QDialog>

class RecordGrid;
namespace Ui {
class F_BEIL_OP;
}

// The BEI/L options (一次エネルギー（照明）ｵﾌﾟｼｮﾝ): the building's default 建物用途, kept in the
// headings row. OK writes it and, after a question, gives it to the rooms that have none.
class FBEILOP : public QDialog
{
    Q_OBJECT
public:
    FBEILOP(RecordGrid &grid, QWidget *parent = nullptr);
    ~FBEILOP() override;

    // The rooms OK gave the default to.
    int applied() const { return m_applied; }

public slots:
    void accept() override;

private:
    Ui::F_BEIL_OP *m_ui;
    RecordGrid &m_grid;
    int m_applied = 0;
};
