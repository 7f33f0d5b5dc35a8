#pragma once

#include <QDate>
#include <QDialog>

class QLineEdit;
class RecordGrid;

// The headings dialog (見出し設定): the report's two title lines and its date, kept in the
// record grid's headings row.
class FMidashi : public QDialog
{
    Q_OBJECT
public:
    // `today` fills an empty date (in the Japanese era form).
    FMidashi(RecordGrid &grid, const QDate &today, QWidget *parent = nullptr);

private:
    void accept() override;

    RecordGrid &m_grid;
    QLineEdit *m_title1;
    QLineEdit *m_title2;
    QLineEdit *m_date;
};
