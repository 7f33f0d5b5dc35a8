#include "beil/FBEILOP.h"

#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/BeilSheet.h"
#include "beil/StandardValues.h"
#include "ui/Dialogs.h"
#include "ui_F_BEIL_OP.h"

#include <QPushButton>

FBEILOP::FBEILOP(RecordGrid &grid, QWidget *parent) : QDialog(parent), m_ui(new Ui::F_BEIL_OP), m_grid(grid)
{
    m_ui->setupUi(this);
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
    const QString use = m_ui->Cmb_Tatemono->currentText();
    m_grid.setText(BeilRecord::kHeadingsRow, BeilRecord::kDefaultBuildingUse, use);
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
