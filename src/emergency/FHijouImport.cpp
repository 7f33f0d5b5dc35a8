#include "emergency/FHijouImport.h"

#include "emergency/EmergencyImport.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui_F_HijouImport.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <cmath>

FHijouImport::FHijouImport(const EmergencyMaster::Master &master, const QString &csv, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_HijouImport), m_master(master), m_csv(csv)
{
    m_ui->setupUi(this);
    // The first free number is proposed: a taken one would be replaced.
    int free = EmergencyMaster::kFirstSlot;
    while (free < EmergencyMaster::kLastSlot && master.find(free))
        ++free;
    m_ui->Spn_Slot->setValue(free);
    m_ui->Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("取り込む"));
    m_ui->Buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(m_ui->Buttons, &QDialogButtonBox::accepted, this, &FHijouImport::accept);
    connect(m_ui->Buttons, &QDialogButtonBox::rejected, this, &FHijouImport::reject);
    connect(m_ui->Btn_File, &QPushButton::clicked, this, &FHijouImport::chooseFile);
}

FHijouImport::~FHijouImport()
{
    delete m_ui;
}

void FHijouImport::chooseFile()
{
    const QString path = Dialogs::instance().openFile(this, m_ui->Txt_File->text(),
                                                      QStringLiteral("配光データ (*.ies *.ldt)|*.ies;*.IES;*.ldt;*.LDT"), 1);
    if (!path.isEmpty())
        m_ui->Txt_File->setText(QDir::toNativeSeparators(path));
}

void FHijouImport::accept()
{
    EmergencyImport::Request r;
    r.file = QDir::fromNativeSeparators(m_ui->Txt_File->text().trimmed());
    r.csv = m_csv;
    r.slot = m_ui->Spn_Slot->value();
    r.name = m_ui->Txt_Name->text();
    EmergencyMaster::sourceOf(m_ui->Cmb_Source->currentText(), &r.source);
    const auto flux = NumberText::strict(m_ui->Txt_Flux->text());
    QString why;
    if (r.file.isEmpty())
        why = QStringLiteral("配光データのファイルを指定してください。");
    else if (!flux || !(*flux > 0) || !std::isfinite(*flux))
        why = QStringLiteral("非常時光束は 0 より大きい数値（lm）で入力してください。");
    else if (const EmergencyMaster::Luminaire *taken = m_master.find(r.slot);
             taken && !Dialogs::ask(this, QStringLiteral("%1 番には「%2」が登録されています。置き換えますか？").arg(r.slot).arg(taken->name),
                                    Dialogs::Icon::Warning))
        return;
    if (why.isEmpty()) {
        r.flux = *flux;
        if (EmergencyImport::run(r, &m_said, &why)) {
            QDialog::accept();
            return;
        }
    }
    m_ui->Lbl_Error->setText(why);
}
