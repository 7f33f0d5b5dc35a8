#include "illuminance/FMidashi.h"

#include "ui_F_Midashi.h"

#include "grid/RecordGrid.h"
#include "illuminance/RoomRecord.h"
#include "text/JapaneseDate.h"
#include "ui/Cp932Validator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FMidashi::FMidashi(RecordGrid &grid, const QDate &today, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Midashi), m_grid(grid)
{
    m_ui->setupUi(this);
    for (QLineEdit *e : {m_ui->Txt_Title1, m_ui->Txt_Title2, m_ui->Txt_YYMMDD})
        e->setValidator(new Cp932Validator(e));
    const int h = RoomRecord::kHeadingsRow;
    m_ui->Txt_Title1->setText(grid.text(h, RoomRecord::kTitle1));
    m_ui->Txt_Title2->setText(grid.text(h, RoomRecord::kTitle2));
    const QString date = grid.text(h, RoomRecord::kDate);
    m_ui->Txt_YYMMDD->setText(date.isEmpty() ? JapaneseDate::format(today) : date);
    connect(m_ui->OKButton, &QPushButton::clicked, this, &FMidashi::accept);
    connect(m_ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

FMidashi::~FMidashi()
{
    delete m_ui;
}

void FMidashi::accept()
{
    const int h = RoomRecord::kHeadingsRow;
    m_grid.setText(h, RoomRecord::kTitle1, m_ui->Txt_Title1->text());
    m_grid.setText(h, RoomRecord::kTitle2, m_ui->Txt_Title2->text());
    m_grid.setText(h, RoomRecord::kDate, m_ui->Txt_YYMMDD->text());
    QDialog::accept();
}
