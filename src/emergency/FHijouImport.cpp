#include "emergency/FHijouImport.h"

#include "emergency/EmergencyImport.h"
#include "photometry/LuminaireImport.h"
#include "photometry/PhotometryPlot.h"
#include "settings/SettingsStore.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui_F_HijouImport.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <cmath>

namespace {

const QString kFolderSetting = QStringLiteral("PhotometryFolder");

} // namespace

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
    connect(m_ui->Txt_File, &QLineEdit::textChanged, this, &FHijouImport::preview);
    // The source is the user's choice: a proposal from the file never overrides it.
    connect(m_ui->Cmb_Source, &QComboBox::activated, this, [this] { m_sourceChosen = true; });
}

FHijouImport::~FHijouImport()
{
    delete m_ui;
}

void FHijouImport::chooseFile()
{
    QString start = m_ui->Txt_File->text().trimmed();
    if (start.isEmpty()) {
        const QString folder = SettingsStore::readPath(kFolderSetting);
        start = folder.isEmpty() ? QStringLiteral("*.ies") : QDir(folder).filePath(QStringLiteral("*.ies"));
    }
    const QString path = Dialogs::instance().openFile(this, start,
                                                      QStringLiteral("配光データ (*.ies *.ldt)|*.ies;*.IES;*.ldt;*.LDT"), 1);
    if (path.isEmpty())
        return;
    SettingsStore::writePath(kFolderSetting, QFileInfo(path).absolutePath());
    m_ui->Txt_File->setText(QDir::toNativeSeparators(path));
}

void FHijouImport::preview()
{
    const QString path = QDir::fromNativeSeparators(m_ui->Txt_File->text().trimmed());
    m_previewed.clear();
    m_ui->Lbl_Curve->clear();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_ui->Lbl_Preview->setText(QStringLiteral("配光データを選ぶと、登録する内容をここに示します。"));
        return;
    }
    LuminaireImport::Analysis a;
    QString why;
    if (!LuminaireImport::analyse(path, &a, &why)) {
        m_ui->Lbl_Preview->setText(QStringLiteral("<font color=\"#b00000\">読み込めません: %1</font>").arg(why.toHtmlEscaped()));
        return;
    }
    m_previewed = path;
    const double whole = PhotometryMath::flux(a.photometry);
    QStringList lines{QStringLiteral("<b>%1</b>").arg((a.photometry.name.isEmpty() ? QStringLiteral("（名前なし）") : a.photometry.name).toHtmlEscaped()),
                      QStringLiteral("%1").arg(a.photometry.format.toHtmlEscaped()),
                      QStringLiteral("配光データの全光束 %1 lm").arg(NumberText::format(whole, QStringLiteral("#,##0.0")))};
    if (a.photometry.lampFlux > 0 && !a.photometry.absolute)
        lines.append(QStringLiteral("ランプ光束 %1 lm").arg(NumberText::format(a.photometry.lampFlux, QStringLiteral("#,##0"))));
    lines.append(QStringLiteral("光度は非常時光束 ÷ 全光束 の倍率で換算します。"));
    if (const auto source = EmergencyImport::proposedSource(path, a.bytes); source && !m_sourceChosen) {
        m_ui->Cmb_Source->setCurrentText(EmergencyMaster::sourceText(*source));
        lines.append(QStringLiteral("ファイルの記載から光源を「%1」と推定しました。確かめてください。").arg(EmergencyMaster::sourceText(*source)));
    }
    m_ui->Lbl_Preview->setText(lines.join(QStringLiteral("<br>")));
    const int side = 160;
    const qreal ratio = devicePixelRatioF();
    QPixmap curve(QSize(side, side) * ratio);
    curve.setDevicePixelRatio(ratio);
    {
        QPainter painter(&curve);
        PhotometryPlot::draw(painter, a.photometry, side);
    }
    m_ui->Lbl_Curve->setPixmap(curve);
}

void FHijouImport::accept()
{
    EmergencyImport::Request r;
    r.file = QDir::fromNativeSeparators(m_ui->Txt_File->text().trimmed());
    r.csv = m_csv;
    r.slot = m_ui->Spn_Slot->value();
    r.name = m_ui->Txt_Name->text();
    const bool sourceGiven = m_ui->Cmb_Source->currentIndex() > 0
                             && EmergencyMaster::sourceOf(m_ui->Cmb_Source->currentText(), &r.source);
    const auto flux = NumberText::strict(m_ui->Txt_Flux->text());
    QString why;
    if (r.file.isEmpty())
        why = QStringLiteral("配光データのファイルを指定してください。");
    else if (m_previewed != r.file)
        why = QStringLiteral("配光データを読み込めません。ファイルを確かめてください。");
    else if (!sourceGiven)
        why = QStringLiteral("光源を選んでください（LED、蛍光灯、白熱灯、ハロゲン）。基準照度が光源で決まります。");
    else if (!flux || !(*flux > 0) || !std::isfinite(*flux))
        why = QStringLiteral("非常時光束は 0 より大きい数値（lm）で入力してください。");
    else if (const EmergencyMaster::Luminaire *taken = m_master.find(r.slot);
             taken && !Dialogs::ask(this, QStringLiteral("%1 番には「%2」が登録されています。置き換えますか？").arg(r.slot).arg(taken->name),
                                    Dialogs::Icon::Warning))
        return;
    if (why.isEmpty()) {
        r.flux = *flux;
        if (EmergencyImport::run(r, &m_said, &why)) {
            SettingsStore::writePath(kFolderSetting, QFileInfo(r.file).absolutePath());
            QDialog::accept();
            return;
        }
    }
    m_ui->Lbl_Error->setText(why);
}
