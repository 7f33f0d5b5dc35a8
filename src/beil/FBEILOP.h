#pragma once

#include <QDate>
#include <QDialog>

class RecordGrid;
namespace Ui {
class F_BEIL_OP;
}

// The BEI/L options (一次エネルギー（照明）ｵﾌﾟｼｮﾝ): the report's headings (件名, 件名２, 日付, as
// the other sheets' 見出し設定 keeps them) and the building's default 建物用途, all in the headings
// row. OK writes them and, after a question, gives the default to the rooms that have none.
class FBEILOP : public QDialog
{
    Q_OBJECT
public:
    // `today` fills an empty date (in the Japanese era form).
    FBEILOP(RecordGrid &grid, const QDate &today = QDate::currentDate(), QWidget *parent = nullptr);
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
