#include "beil/FBEILOP.h"

#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/BeilSheet.h"
#include "beil/StandardValues.h"
#include "text/JapaneseDate.h"
#include "ui/Cp932Validator.h"
#include "ui/Dialogs.h"
#include "ui_F_BEIL_OP.h"

#include <QLineEdit>
#include <QPushButton>

FBEILOP::FBEILOP(RecordGrid &grid, const QDate &today, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_BEIL_OP), m_grid(grid)
{
    m_ui->setupUi(this);
    const int h = BeilRecord::kHeadingsRow;
    for (QLineEdit *e : {m_ui->Txt_Title1, m_ui->Txt_Title2, m_ui->Txt_YYMMDD})
        e->setValidator(new Cp932Validator(e));
    m_ui->Txt_Title1->setText(grid.text(h, BeilRecord::kTitle1));
    m_ui->Txt_Title2->setText(grid.text(h, BeilRecord::kTitle2));
    const QString date = grid.text(h, BeilRecord::kDate);
    m_ui->Txt_YYMMDD->setText(date.isEmpty() ? JapaneseDate::format(today) : date);
    m_ui->Cmb_Tatemono->addItem(QString());
    m_ui->Cmb_Tatemono->addItems(StandardValues::shipped().buildingUses());
    m_ui->Cmb_Tatemono->setCurrentText(grid.text(BeilRecord::kHeadingsRow, BeilRecord::kDefaultBuildingUse));
    m_ui->Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(m_ui->Buttons, &QDialogButtonBox::accepted, this, &FBEILOP::accept);
    connect(m_ui->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

FBEILOP::~FBEILOP()
{
    delete m_ui;
}

void FBEILOP::accept()
{
    const int h = BeilRecord::kHeadingsRow;
    m_grid.setText(h, BeilRecord::kTitle1, m_ui->Txt_Title1->text());
    m_grid.setText(h, BeilRecord::kTitle2, m_ui->Txt_Title2->text());
    m_grid.setText(h, BeilRecord::kDate, m_ui->Txt_YYMMDD->text());
    const QString use = m_ui->Cmb_Tatemono->currentText();
    m_grid.setText(h, BeilRecord::kDefaultBuildingUse, use);
    m_applied = 0;
    const QList<int> rows = BeilSheet::roomsWithoutBuildingUse(m_grid);
    if (!use.isEmpty() && !rows.isEmpty()) {
        int rooms = 0;
        for (int r : rows)
            rooms += BeilRooms::roomRows(m_grid, r).first() == r ? 1 : 0;
        if (Dialogs::ask(this, QStringLiteral("建物用途が設定されていない %1 室に「%2」を設定しますか？").arg(rooms).arg(use))) {
            BeilSheet::applyDefaultBuildingUse(m_grid, use);
            m_applied = rooms;
        }
    }
    QDialog::accept();
}
