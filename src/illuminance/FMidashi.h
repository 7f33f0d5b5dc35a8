#pragma once

#include <QDate>
#include <QDialog>

class RecordGrid;
namespace Ui {
class F_Midashi;
}

// The headings dialog (見出し設定): the report's two title lines and its date, kept in the
// record grid's headings row.
class FMidashi : public QDialog
{
    Q_OBJECT
public:
    // `today` fills an empty date (in the Japanese era form).
    FMidashi(RecordGrid &grid, const QDate &today, QWidget *parent = nullptr);
    ~FMidashi() override;

private:
    void accept() override;

    Ui::F_Midashi *m_ui;
    RecordGrid &m_grid;
};
