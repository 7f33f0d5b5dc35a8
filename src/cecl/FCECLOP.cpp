#include "cecl/FCECLOP.h"

#include "cecl/CeclOptions.h"
#include "grid/RecordGrid.h"
#include "ui/Dialogs.h"
#include "ui_F_CECL_OP.h"

#include <QRadioButton>

FCECLOP::FCECLOP(RecordGrid &grid, const MasterTables &masters, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_CECL_OP), m_grid(grid), m_masters(masters)
{
    m_ui->setupUi(this);
    connect(m_ui->OKButton, &QPushButton::clicked, this, &FCECLOP::accept);
    connect(m_ui->CancelButton, &QPushButton::clicked, this, &FCECLOP::CancelButton_Click);
    // The option buttons are usable only while the simplification is checked; their choice stays.
    connect(m_ui->Chk_Kani, &QCheckBox::toggled, this, [this](bool checked) {
        for (QRadioButton *op : {m_ui->Op_Kan1, m_ui->Op_Kan2, m_ui->Op_Kan3})
            op->setEnabled(checked);
    });

    // Load.
    const CeclOptions o = CeclOptions::load(m_grid);
    m_ui->Cmb_Tate->setCurrentIndex(o.buildingType);
    m_ui->Chk_Kani->setChecked(o.simplified);
    QRadioButton *ops[] = {m_ui->Op_Kan1, m_ui->Op_Kan2, m_ui->Op_Kan3};
    for (int i = 0; i < 3; ++i) {
        ops[i]->setChecked(o.method == i + 1);
        ops[i]->setEnabled(o.simplified);
    }
    m_ui->Chk_Ws->setChecked(o.linkPower);
    m_ui->Chk_T->setChecked(o.linkHours);
}

FCECLOP::~FCECLOP()
{
    delete m_ui;
}

bool FCECLOP::refusedWithoutBuildingType()
{
    if (!m_ui->Cmb_Tate->currentText().isEmpty())
        return false;
    Dialogs::inform(this, QStringLiteral("建物の種類を設定してください。"));
    m_ui->Cmb_Tate->setFocus(Qt::OtherFocusReason);
    return true;
}

void FCECLOP::accept()
{
    if (refusedWithoutBuildingType())
        return;
    CeclOptions o;
    o.buildingType = m_ui->Cmb_Tate->currentIndex();
    o.simplified = m_ui->Chk_Kani->isChecked();
    o.method = m_ui->Op_Kan1->isChecked() ? 1 : m_ui->Op_Kan2->isChecked() ? 2 : m_ui->Op_Kan3->isChecked() ? 3 : 0;
    o.linkPower = m_ui->Chk_Ws->isChecked();
    o.linkHours = m_ui->Chk_T->isChecked();
    m_copied = o.apply(m_grid, m_masters);
    QDialog::accept();
}

void FCECLOP::CancelButton_Click()
{
    // Not before a building type is chosen; Esc alone closes the dialog at once.
    if (refusedWithoutBuildingType())
        return;
    reject();
}
