#include "illuminance/FHaikou.h"

#include "photometry/Glare.h"

#include "io/FileSet.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "illuminance/RoomRecord.h"
#include "photometry/PhotometryPlot.h"
#include "settings/SettingsStore.h"
#include "text/Cp932.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui_F_Haikou.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QPixmap>

namespace {

QString percent(double fraction)
{
    return NumberText::format(fraction * 100, QStringLiteral("0.0")) + QStringLiteral(" %");
}

// The free slots of the pick list, as ranges ("15, 20, 53～80").
QString freeSlots(const MasterTables &masters)
{
    QStringList ranges;
    int from = 0;
    for (int s = LuminaireImport::kFirstSlot; s <= LuminaireImport::kLastSlot + 1; ++s) {
        const bool free = s <= LuminaireImport::kLastSlot && !masters.luminaire(s).present();
        if (free && from == 0)
            from = s;
        if (!free && from != 0) {
            ranges.append(from == s - 1 ? QString::number(from) : QStringLiteral("%1～%2").arg(from).arg(s - 1));
            from = 0;
        }
    }
    return ranges.isEmpty() ? QStringLiteral("なし") : ranges.join(QStringLiteral(", "));
}

} // namespace

FHaikou::FHaikou(const MasterTables &masters, const QString &masterDir, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Haikou), m_masters(masters), m_masterDir(masterDir)
{
    m_ui->setupUi(this);
    connect(m_ui->Btn_File, &QPushButton::clicked, this, &FHaikou::Btn_File_Click);
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &FHaikou::accept);
    connect(m_ui->Btn_Cancel, &QPushButton::clicked, this, &FHaikou::reject);
    connect(m_ui->Txt_Slot, &QLineEdit::textChanged, this, &FHaikou::slotChanged);
    connect(m_ui->Txt_Name, &QLineEdit::textEdited, this, &FHaikou::nameEdited);
    auto *table = m_ui->Tbl_Table;
    table->setRowCount(3);
    table->setColumnCount(12);
    table->setVerticalHeaderLabels({QStringLiteral("70/50/10"), QStringLiteral("50/50/10"), QStringLiteral("30/30/10")});
    QStringList classes;
    for (double k : PhotometryMath::kClassIndex)
        classes.append(NumberText::plain(k));
    table->setHorizontalHeaderLabels(classes);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setToolTip(QStringLiteral("行: 反射率（天井/壁/床 %）、列: 室指数"));
    auto *ugr = m_ui->Tbl_Ugr;
    ugr->setColumnCount(12);
    ugr->setHorizontalHeaderLabels(QStringList{QStringLiteral("X"), QStringLiteral("Y")} + Glare::columnLabels());
    ugr->verticalHeader()->hide();
    ugr->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ugr->setToolTip(Glare::viewsText());
    connect(m_ui->Cmb_UgrSpacing, &QComboBox::currentIndexChanged, this, &FHaikou::showUgrTable);
    // The first free slot of the pick list.
    int first = 0;
    for (int s = LuminaireImport::kFirstSlot; s <= LuminaireImport::kLastSlot && first == 0; ++s)
        if (!m_masters.luminaire(s).present())
            first = s;
    m_ui->Txt_Slot->setText(QString::number(first == 0 ? LuminaireImport::kLastSlot : first));
    slotChanged();
    m_ui->Lbl_Curve->installEventFilter(this);
}

QString FHaikou::replaceQuestion(int slot) const
{
    const LuminaireRecord &old = m_masters.luminaire(slot);
    if (!old.present())
        return QString();
    QString text = QStringLiteral("スロット %1 には「%2」が登録されています。置き換えますか？")
                       .arg(slot)
                       .arg(FixedField::trimmedRight(old.name));
    int rows = 0;
    for (int r = 1; m_sheet && r <= RoomRecord::kRooms; ++r)
        rows += m_sheet->text(r, RoomRecord::InUse) == u"1" && NumberText::toInt(m_sheet->text(r, RoomRecord::LuminaireIndex)) == slot;
    if (m_sheet)
        text += rows > 0 ? QStringLiteral("\n\n開いている照度計算書の %1 行がこの照明器具を使っています。").arg(rows)
                         : QStringLiteral("\n\n開いている照度計算書にはこの照明器具を使っている行はありません。");
    if (!m_analysis.warnings.isEmpty())
        text += QStringLiteral("\n\n読み込んだ配光データの警告:\n・") + m_analysis.warnings.join(QStringLiteral("\n・"));
    return text;
}

FHaikou::~FHaikou()
{
    delete m_ui;
}

void FHaikou::Btn_File_Click()
{
    const QString folder = SettingsStore::readPath(QStringLiteral("PhotometryFolder"));
    const QString start = folder.isEmpty() ? QStringLiteral("*.ies") : QDir(folder).filePath(QStringLiteral("*.ies"));
    const QString path = Dialogs::instance().openFile(
        this, start, QStringLiteral("配光データ (*.ies *.ldt)|*.ies;*.ldt|IES (*.ies)|*.ies|EULUMDAT (*.ldt)|*.ldt"), 1);
    if (path.isEmpty())
        return;
    SettingsStore::writePath(QStringLiteral("PhotometryFolder"), QFileInfo(path).absolutePath());
    LuminaireImport::Analysis analysis;
    QString error;
    if (!LuminaireImport::analyse(path, &analysis, &error)) {
        Dialogs::inform(this, QStringLiteral("配光データを読み込めません。"),
                        QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(path), error));
        return;
    }
    m_file = path;
    m_analysis = analysis;
    m_loaded = true;
    showAnalysis();
}

void FHaikou::drawCurve()
{
    if (!m_loaded)
        return;
    // The curve, as the master tool draws it, as large as its place in the window.
    const int side = std::max(200, std::min(m_ui->Lbl_Curve->width(), m_ui->Lbl_Curve->height()) - 4);
    const qreal ratio = devicePixelRatioF();
    QPixmap curve(QSize(side, side) * ratio);
    curve.setDevicePixelRatio(ratio);
    {
        QPainter painter(&curve);
        PhotometryPlot::draw(painter, m_analysis.photometry, side);
    }
    m_ui->Lbl_Curve->setPixmap(curve);
}

bool FHaikou::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->Lbl_Curve && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, &FHaikou::drawCurve);
    return QDialog::eventFilter(watched, event);
}

void FHaikou::showEvent(QShowEvent *event)
{
    // The curve grows with the window: it opens at most of the screen, not at its least size.
    if (!m_sized) {
        m_sized = true;
        if (const QScreen *s = screen()) {
            const QRect free = s->availableGeometry();
            resize(std::max(width(), std::min(free.width() * 2 / 3, 1200)), std::max(height(), free.height() * 85 / 100));
        }
    }
    QDialog::showEvent(event);
}

void FHaikou::showAnalysis()
{
    const LuminaireImport::Analysis &a = m_analysis;
    const Photometry &p = a.photometry;
    m_ui->Lbl_File->setText(QDir::toNativeSeparators(m_file));
    m_ui->Lbl_Name->setText(p.name);
    m_ui->Lbl_Format->setText(p.format);
    m_ui->Lbl_Flux->setText(
        p.absolute ? QStringLiteral("%1 lm（絶対測光）").arg(NumberText::format(a.luminaireFlux, QStringLiteral("0")))
                   : QStringLiteral("%1 lm（ランプ %2 lm × %3 本、器具効率 %4）")
                         .arg(NumberText::format(a.luminaireFlux, QStringLiteral("0")), NumberText::plain(p.lampFlux / std::max(1, p.lamps)))
                         .arg(p.lamps)
                         .arg(percent(a.fractions.total)));
    // As catalogues state them: shares of the luminaire's flux.
    m_ui->Lbl_Down->setText(percent(a.fractions.downwardShare()));
    m_ui->Lbl_Up->setText(percent(a.fractions.upwardShare()));
    m_ui->Lbl_Opening->setText(p.opening.present() ? p.opening.text() : QStringLiteral("なし（UGR 不可）"));
    m_ui->Lbl_Ra->setText(p.colourRendering ? NumberText::plain(*p.colourRendering) : QStringLiteral("なし"));
    showUgrTable();
    m_ui->Lbl_Warnings->setText(a.warnings.isEmpty() ? QString()
                                                     : QStringLiteral("警告: ") + a.warnings.join(QStringLiteral("\n警告: ")));
    drawCurve();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 12; ++c) {
            auto *cell = new QTableWidgetItem(QString::number(a.table.entries[size_t(r)][size_t(c)]).rightJustified(2, u'0'));
            cell->setTextAlignment(Qt::AlignCenter);
            m_ui->Tbl_Table->setItem(r, c, cell);
        }
    m_ui->Txt_Name->setText(LuminaireImport::storedName(p.name));
    nameEdited(m_ui->Txt_Name->text());
}

void FHaikou::showUgrTable()
{
    auto *table = m_ui->Tbl_Ugr;
    table->setRowCount(0);
    if (!m_loaded)
        return;
    Glare::Table t;
    QString error;
    if (!Glare::table(m_analysis.photometry, m_ui->Cmb_UgrSpacing->currentIndex() == 1 ? 1.0 : 0.25, &t, &error)) {
        m_ui->Lbl_UgrNote->setText(error);
        return;
    }
    m_ui->Lbl_UgrNote->setText(Glare::titleText(t));
    table->setRowCount(int(Glare::kRooms.size()));
    for (int room = 0; room < int(Glare::kRooms.size()); ++room) {
        QStringList texts = {QStringLiteral("%1H").arg(Glare::kRooms[room][0]), QStringLiteral("%1H").arg(Glare::kRooms[room][1])};
        for (double v : t.cells[room])
            texts.append(Glare::cellText(v));
        for (int c = 0; c < texts.size(); ++c) {
            auto *cell = new QTableWidgetItem(texts[c]);
            cell->setTextAlignment(Qt::AlignCenter);
            table->setItem(room, c, cell);
        }
    }
}

int FHaikou::slot() const
{
    bool ok = false;
    const int s = m_ui->Txt_Slot->text().trimmed().toInt(&ok);
    return ok && s >= LuminaireImport::kFirstSlot && s <= LuminaireImport::kLastSlot ? s : 0;
}

void FHaikou::slotChanged()
{
    const int s = slot();
    const QString free = QStringLiteral("空きスロット: %1").arg(freeSlots(m_masters));
    if (s == 0) {
        m_ui->Lbl_Slot->setText(QStringLiteral("1～80 を入力してください。") + free);
        return;
    }
    const LuminaireRecord &lum = m_masters.luminaire(s);
    if (!lum.present()) {
        m_ui->Lbl_Slot->setText(QStringLiteral("空き（保守率を入力してください）。") + free);
        for (QLineEdit *mf : {m_ui->Txt_MF1, m_ui->Txt_MF2, m_ui->Txt_MF3})
            mf->clear();
        m_ui->Lbl_MFNote->setText(QStringLiteral("空きスロットには必要です"));
        return;
    }
    // An occupied slot keeps its factors unless new ones are typed.
    m_ui->Lbl_Slot->setText(QStringLiteral("使用中: %1:%2（登録すると置き換えます）")
                                .arg(FixedField::trimmedRight(lum.number), FixedField::trimmedRight(lum.name)));
    QLineEdit *boxes[] = {m_ui->Txt_MF1, m_ui->Txt_MF2, m_ui->Txt_MF3};
    for (int i = 0; i < 3; ++i)
        boxes[i]->setText(lum.maintenanceFactor(i + 1).trimmed());
    m_ui->Lbl_MFNote->setText(QStringLiteral("スロットの保守率のままです"));
}

void FHaikou::nameEdited(const QString &text)
{
    // The name as the master will keep it: cut to 18 bytes as it is typed.
    bool changed = false;
    const QString kept = LuminaireImport::storedName(text, &changed);
    bool lost = false;
    for (QChar c : text) {
        bool ok = false;
        Cp932::encode(QString(c), &ok);
        lost = lost || !ok;
    }
    if (kept != text && !lost) {
        const int cursor = m_ui->Txt_Name->cursorPosition();
        m_ui->Txt_Name->setText(kept);
        m_ui->Txt_Name->setCursorPosition(std::min(cursor, int(kept.size())));
    }
    m_ui->Lbl_NameNote->setText(lost ? QStringLiteral("シフトJISで表せない文字は「?」として登録されます: %1").arg(kept)
                                     : QStringLiteral("18 バイトまで（全角 9 文字）: %1 バイト").arg(Cp932::byteLength(kept)));
}

QString FHaikou::factorsProblem(QStringList *factors) const
{
    factors->clear();
    for (const QLineEdit *box : {m_ui->Txt_MF1, m_ui->Txt_MF2, m_ui->Txt_MF3}) {
        const QString t = box->text().trimmed();
        const auto v = NumberText::strict(t);
        if (!v || *v <= 0 || *v > 1 || t.size() > 4)
            return QStringLiteral("保守率を 3 つ入力してください（0 より大きく 1 以下、4 文字まで。例: 0.81）。");
        factors->append(t);
    }
    return QString();
}

void FHaikou::accept()
{
    if (!m_loaded) {
        Dialogs::inform(this, QStringLiteral("配光データのファイルを選んでください。"));
        return;
    }
    const int s = slot();
    if (s == 0) {
        Dialogs::inform(this, QStringLiteral("スロットは 1～80 で指定してください。"));
        m_ui->Txt_Slot->setFocus();
        return;
    }
    const QString name = LuminaireImport::storedName(m_ui->Txt_Name->text());
    if (name.trimmed().isEmpty()) {
        Dialogs::inform(this, QStringLiteral("器具名を入力してください。"));
        m_ui->Txt_Name->setFocus();
        return;
    }
    QStringList factors;
    if (const QString problem = factorsProblem(&factors); !problem.isEmpty()) {
        Dialogs::inform(this, problem);
        m_ui->Txt_MF1->setFocus();
        return;
    }
    const LuminaireRecord &old = m_masters.luminaire(s);
    // Replacing changes every room that uses the slot: the warnings are repeated, いいえ is the default.
    if (const QString question = replaceQuestion(s); !question.isEmpty() && !Dialogs::ask(this, question, Dialogs::Icon::Warning))
        return;
    const LuminaireRecord record = LuminaireImport::record(old, s, name, m_analysis.table, factors);
    QList<LuminaireImport::Change> changes;
    LuminaireImport::Change master;
    QString error;
    // The master and the kept files are read and written under their folder's lock, so that an
    // import running beside this one (the master tool) loses nothing.
    FileSet::Lock lock;
    const bool planned = lock.acquire(m_masterDir, &error, LuminaireImport::ownFolders(m_masterDir), LuminaireImport::setNames())
                         && LuminaireImport::masterChange(QDir(m_masterDir).filePath(MasterTables::kLuminaireFile), s, record,
                                                       &master, &error)
                         && LuminaireImport::keepChanges(m_masterDir, s, name, m_file, m_analysis.bytes, &changes, &error);
    // The kept file first, the master last: a master written means everything is in place.
    changes.append(master);
    if (!planned || !LuminaireImport::apply(lock, changes, &error)) {
        Dialogs::instance().message(this, QStringLiteral("照明器具マスタに登録できません。何も変更していません。\n%1").arg(error),
                                    Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    m_writtenSlot = s;
    m_writtenRecord = record;
    QDialog::accept();
}
