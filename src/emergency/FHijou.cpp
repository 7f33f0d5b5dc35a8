#include "emergency/FHijou.h"

#include "emergency/EmergencyOutput.h"
#include "emergency/EmergencyPlot.h"
#include "emergency/EmergencyRecord.h"
#include "emergency/HijouSheet.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/ListGrid.h"
#include "ui_F_Hijou.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

namespace {

SheetFrame::Tables sheetTables()
{
    using namespace HijouSheet;
    SheetFrame::Tables t;
    t.title = RptHijou::title();
    t.workDatabaseName = EmergencyOutput::kDatabase;
    t.columns = EmergencyRecord::kColumns;
    t.freeTextBoxes = {kRemark, kLayout};
    t.maxLengths = {{kRemark, 40}, {kLayout, 2000}};
    t.helpSection = QStringLiteral("hijou");
    t.reportName = QStringLiteral("非常用照明");
    t.openFilter = t.saveFilter = QStringLiteral("作業ファイル (*.syw)|*.syw");
    return t;
}

} // namespace

FHijou::FHijou(const MasterTables &, const QString &workFolder, QWidget *parent)
    : SheetFrame(sheetTables(), workFolder, parent), m_ui(new Ui::F_Hijou)
{
    m_ui->setupUi(this);
    attachForm();
    // The plan follows the panel a moment after each change: a large room takes a while.
    m_planTimer.setSingleShot(true);
    m_planTimer.setInterval(150);
    connect(&m_planTimer, &QTimer::timeout, this, &FHijou::Data_calculation);
    using namespace HijouSheet;
    for (QLineEdit *edit : {m_ui->Txt_Kigu, m_ui->Txt_Daisu, m_ui->Txt_Toritsuke, m_ui->Txt_Haichi, m_ui->Txt_Bikou})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_loading)
                schedule();
        });
    connect(m_ui->Txt_Kigu, &QLineEdit::textChanged, this, [this](const QString &slot) {
        setText(kLuminaire, luminaireText(m_master, slot));
        // The 配置表 follows the row's luminaire until another is chosen there.
        bool number = false;
        const int n = slot.trimmed().toInt(&number);
        if (number)
            showReachOf(n);
    });
    connect(m_ui->Chk_Hantei, &QCheckBox::clicked, this, [this] {
        if (rowFieldInvalid())
            return;
        panelEdited();
        Data_calculation();
    });
    m_ui->Spd_Kigu->installEventFilter(this);
    // A click only looks: the row takes a luminaire by この行に使う or Enter.
    connect(m_ui->Spd_Kigu, &QTableWidget::currentCellChanged, this, [this](int r, int) {
        if (r >= 0)
            showReachOf(m_ui->Spd_Kigu->cellText(r + 1, 1).toInt());
    });
    connect(m_ui->Btn_UseKigu, &QPushButton::clicked, this, [this] { pickSlot(m_ui->Spd_Kigu->activeRow()); });
    connect(m_ui->Cmb_HaichiKigu, &QComboBox::currentIndexChanged, this, [this] {
        if (tabs()->currentIndex() == kReachTab)
            paintReachTable();
    });
    connect(m_ui->Btn_Import, &QPushButton::clicked, this, &FHijou::Btn_Import_Click);
    connect(m_ui->Option_Menu_Import, &QAction::triggered, this, &FHijou::Btn_Import_Click);
    connect(m_ui->Option_Menu_Midashi, &QAction::triggered, this, &FHijou::Option_Menu_Midashi_Click);
    connect(m_ui->Menu_File_Csv, &QAction::triggered, this, &FHijou::Menu_File_Csv_Click);
    connect(m_ui->Menu_File_Dxf, &QAction::triggered, this, [this] { Menu_File_Dxf_Click(true); });
    connect(m_ui->Menu_File_DxfRoom, &QAction::triggered, this, [this] { Menu_File_Dxf_Click(false); });
    connect(m_ui->STab_Main, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == kReachTab)
            paintReachTable();
    });
    // The luminaires and the 配置表 are read by their own first column, not by a line number.
    m_ui->Spd_Kigu->verticalHeader()->hide();
    m_ui->Spd_Haichi->verticalHeader()->hide();
    for (ListGrid *list : {m_ui->SPD_Data, m_ui->Spd_Kigu, m_ui->Spd_Haichi}) {
        list->horizontalHeader()->setMinimumSectionSize(30);
        list->viewport()->installEventFilter(this);
    }
    loadMaster();
    setTab(0);
    Screen_Clear();
    Data_List_Set();
}

FHijou::~FHijou()
{
    delete m_ui;
}

QString FHijou::programDir() const
{
    return m_programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_programDir;
}

void FHijou::setProgramDir(const QString &dir)
{
    m_programDir = dir;
    loadMaster();
    Data_List_Set();
    const int row = panelRow();
    if (row >= 1 && !isPanelEdited())
        Screen_Set(row);
}

void FHijou::loadMaster()
{
    m_master = EmergencyMaster::Master();
    m_lights.clear();
    m_reach.clear();
    m_masterError.clear();
    QString why;
    if (!EmergencyMaster::load(programDir(), &m_master, &why))
        m_masterError = QStringLiteral("非常用照明器具のマスタを読み込めません: %1").arg(why);
    else if (m_master.luminaires.isEmpty())
        m_masterError = QStringLiteral("非常用照明器具がまだありません（「器具」タブの「器具を取り込む...」で登録します）。");
    paintSlots();
}

void FHijou::paintSlots()
{
    ListGrid *list = m_ui->Spd_Kigu;
    list->clearContents();
    list->setup(int(m_master.luminaires.size()));
    for (int i = 0; i < m_master.luminaires.size(); ++i) {
        const EmergencyMaster::Luminaire &l = m_master.luminaires[i];
        list->setCellText(i + 1, 1, QString::number(l.slot));
        list->setCellText(i + 1, 2, l.name);
        list->setCellText(i + 1, 3, EmergencyMaster::sourceText(l.source));
        list->setCellText(i + 1, 4, NumberText::plain(l.flux));
        list->setCellText(i + 1, 5, QFileInfo(l.file).fileName());
        list->setCellText(i + 1, 6, l.note);
        list->item(i, 0)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list->item(i, 3)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    QComboBox *pick = m_ui->Cmb_HaichiKigu;
    const int shown = pick->currentData().toInt();
    const QSignalBlocker quiet(pick);
    pick->clear();
    for (const EmergencyMaster::Luminaire &l : std::as_const(m_master.luminaires))
        pick->addItem(QStringLiteral("%1 番　%2").arg(l.slot).arg(l.name), l.slot);
    pick->setCurrentIndex(std::max(0, pick->findData(shown)));
}

void FHijou::showReachOf(int slot)
{
    const int at = m_ui->Cmb_HaichiKigu->findData(slot);
    if (at < 0 || at == m_ui->Cmb_HaichiKigu->currentIndex())
        return;
    m_ui->Cmb_HaichiKigu->setCurrentIndex(at); // repaints the table when it is in sight
}

bool FHijou::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_ui->SPD_Data->viewport())
            m_ui->SPD_Data->fitColumns({34, 80, 86, 34, 46, 50, 46}, {1, 2});
        else if (watched == m_ui->Spd_Kigu->viewport())
            m_ui->Spd_Kigu->fitColumns({40, 120, 56, 90, 90, 100}, {1, 5});
        else if (watched == m_ui->Spd_Haichi->viewport())
            m_ui->Spd_Haichi->fitColumns({40, 36, 34, 34, 34, 34, 34, 34, 34, 34}, {2, 3, 4, 5, 6, 7, 8, 9});
    }
    return SheetFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------- rows and the list

int FHijou::panelRow() const
{
    return shownRow() >= 1 ? shownRow() : rowNumber();
}

void FHijou::Screen_Set(int row)
{
    m_loading = true;
    HijouSheet::Screen_Set(recordGrid(), row, *this, m_master);
    m_loading = false;
    // The room of the row just loaded, whatever the frame holds as the panel's row meanwhile.
    showRoom(row);
}

void FHijou::Screen_Clear()
{
    m_loading = true;
    HijouSheet::Screen_Clear(*this);
    m_loading = false;
    m_planTimer.stop();
    m_ui->Pic_Heimen->clear();
}

void FHijou::commitRow(int row)
{
    HijouSheet::confirm(recordGrid(), row, *this);
}

void FHijou::schedule()
{
    m_planTimer.start();
}

void FHijou::Data_calculation()
{
    showRoom(panelRow());
}

void FHijou::showRoom(int row)
{
    m_planTimer.stop();
    if (row < 1 || row > EmergencyRecord::kRooms) {
        m_ui->Pic_Heimen->clear();
        return;
    }
    const HijouSheet::Live live = HijouSheet::calculate(recordGrid(), row, *this, m_master, &m_lights);
    HijouSheet::show(live, *this);
    // A refusal shown in the status bar stays only while its cause does.
    forgetRefusal(live.refusals);
    if (!m_masterError.isEmpty() && !text(HijouSheet::kSlot).trimmed().isEmpty())
        setText(HijouSheet::kMessage, m_masterError);
    // The verdict in the colours of the plan: red where it fails.
    m_ui->Lbl_Hantei->setStyleSheet(live.ok && live.worked.checked && !live.worked.result.ok()
                                        ? QStringLiteral("font-size: 15pt; font-weight: bold; color: #b00000;")
                                        : QStringLiteral("font-size: 15pt; font-weight: bold; color: #1a3f7a;"));
    if (!live.room)
        m_ui->Pic_Heimen->clear();
    else if (!live.ok)
        m_ui->Pic_Heimen->clear(QStringLiteral("計算できません"));
    else
        m_ui->Pic_Heimen->setRoom(live.worked, EmergencyPlot::reaches(live.worked, m_lights));
}

void FHijou::Data_List_Set()
{
    using namespace EmergencyRecord;
    const RecordGrid &g = recordGrid();
    const bool used = EmergencyRooms::used(g);
    QList<EmergencyRooms::Room> rooms;
    QList<EmergencyRooms::Refusal> refusals;
    if (used)
        EmergencyRooms::evaluateAll(g, m_master, &m_lights, &rooms, &refusals);
    QHash<int, const EmergencyRooms::Room *> byRow;
    for (const EmergencyRooms::Room &r : std::as_const(rooms))
        for (int row : r.rows)
            byRow.insert(row, &r);
    QSet<int> refused;
    for (const EmergencyRooms::Refusal &r : std::as_const(refusals))
        for (int row : EmergencyRooms::roomRows(g, r.row))
            refused.insert(row);
    ListGrid *list = m_ui->SPD_Data;
    list->setUpdatesEnabled(false);
    int ok = 0, failed = 0, exempt = 0;
    for (const EmergencyRooms::Room &r : std::as_const(rooms))
        (r.checked ? (r.result.ok() ? ok : failed) : exempt) += 1;
    for (int r = 1; r <= kRooms; ++r) {
        const bool inUse = g.text(r, InUse) == u"1";
        const EmergencyRooms::Room *room = byRow.value(r);
        const bool first = room && room->rows.value(0) == r;
        const EmergencyMaster::Luminaire *l = m_master.find(g.text(r, Slot).toInt());
        list->setCellText(r, 1, g.text(r, Floor));
        list->setCellText(r, 2, g.text(r, RoomName1));
        list->setCellText(r, 3, inUse && l ? l->name : inUse ? g.text(r, Slot) : QString());
        list->setCellText(r, 4, inUse ? g.text(r, Count) : QString());
        // Blank 取付高さ: the ceiling height the check takes, in grey.
        const bool ceiling = inUse && !g.text(r, Slot).trimmed().isEmpty() && g.text(r, MountingHeight).trimmed().isEmpty();
        list->setCellText(r, 5, !inUse ? QString() : ceiling ? g.text(r, CeilingHeight).trimmed() : g.text(r, MountingHeight));
        list->item(r - 1, 4)->setForeground(ceiling ? QColor(0x80, 0x80, 0x80) : QColor(0x10, 0x10, 0x10));
        list->item(r - 1, 4)->setToolTip(ceiling ? QStringLiteral("取付高さが空欄のため天井高") : QString());
        list->setCellText(r, 6, first && room->checked
                                    ? NumberText::format(EmergencyCheck::printedMinimum(room->result.minimum), QStringLiteral("0.00"))
                                    : QString());
        list->setCellText(r, 7, inUse && refused.contains(r) ? QStringLiteral("要入力")
                                : first ? EmergencyPlot::verdict(*room)
                                        : QString());
        for (int c : {4, 5, 6})
            list->item(r - 1, c - 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list->item(r - 1, 6)->setForeground(first && room->checked && !room->result.ok() ? QColor(0xb0, 0, 0) : QColor(0x10, 0x10, 0x10));
    }
    list->setUpdatesEnabled(true);
    QString summary;
    if (!used)
        summary = QStringLiteral("非常用照明の入力はまだありません。行を選び、器具と台数を入力して「確認」します。");
    else
        summary = QStringLiteral("<b>判定</b>　適合 %1 室　<font color=\"#b00000\">不適合 %2 室</font>　対象外 %3 室")
                      .arg(ok)
                      .arg(failed)
                      .arg(exempt);
    if (used && !refusals.isEmpty())
        summary += QStringLiteral("　<font color=\"#b00000\">要入力 %1 件</font>").arg(refusals.size());
    if (!m_masterError.isEmpty())
        summary += QStringLiteral("<br>") + m_masterError.toHtmlEscaped();
    m_ui->Lbl_Building->setText(summary);
}

void FHijou::paintList()
{
    Data_List_Set();
}

// ---------------------------------------------------------------- entry rules and choices

int FHijou::choiceTab(const QString &box) const
{
    if (box == u"Txt_Gyou")
        return 0;
    if (box == HijouSheet::kSlot)
        return kSlotTab;
    return -1;
}

void FHijou::entryRule(const QString &name, Qt::FocusReason)
{
    if (name == u"Txt_Gyou") {
        setTab(0);
        selectAll(name);
        return;
    }
    if (name == u"Btn_Adv")
        return;
    // The 配置表 stays in sight while the luminaire's figures are typed.
    if (name == HijouSheet::kSlot)
        setTab(kSlotTab);
    else if (tabs()->currentIndex() != kReachTab)
        setTab(0);
    selectAll(name);
}

bool FHijou::moveOnKey(QObject *watched, int key)
{
    if (watched == m_ui->Spd_Kigu && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        pickSlot(m_ui->Spd_Kigu->activeRow());
        return true;
    }
    return false;
}

void FHijou::pickSlot(int listRow)
{
    const QString slot = m_ui->Spd_Kigu->cellText(listRow, 1);
    if (slot.isEmpty() || rowFieldInvalid())
        return;
    panelEdited();
    setText(HijouSheet::kSlot, slot);
    Data_calculation();
    focus(HijouSheet::kCount);
}

bool FHijou::beforeConfirm()
{
    const int row = panelRow();
    const HijouSheet::Live live = HijouSheet::calculate(recordGrid(), row, *this, m_master, &m_lights);
    HijouSheet::show(live, *this);
    // A value of this row that cannot be worked out is refused where it was typed.
    static const QHash<QString, QString> boxOf = {
        {QStringLiteral("非常用照明器具"), HijouSheet::kSlot}, {QStringLiteral("台数"), HijouSheet::kCount},
        {QStringLiteral("取付高さ"), HijouSheet::kMounting}, {QStringLiteral("高さ"), HijouSheet::kMounting},
        {QStringLiteral("配置"), HijouSheet::kLayout}};
    for (const EmergencyRooms::Refusal &r : live.refusals) {
        if (r.row != row || !boxOf.contains(r.field))
            continue;
        m_refusal = r.message();
        setStatusMessage(m_refusal);
        focus(boxOf.value(r.field));
        return false;
    }
    forgetRefusal();
    return true;
}

void FHijou::forgetRefusal(const QList<EmergencyRooms::Refusal> &still)
{
    if (m_refusal.isEmpty())
        return;
    for (const EmergencyRooms::Refusal &r : still)
        if (r.message() == m_refusal)
            return;
    if (statusMessage() == m_refusal)
        setStatusMessage(QString());
    m_refusal.clear();
}

void FHijou::clearPanel()
{
    // The room's fields are the illuminance sheet's: 編集クリア empties this row's luminaire only.
    const int row = panelRow();
    if (row < 1 || row > EmergencyRecord::kRooms) {
        Screen_Clear();
        return;
    }
    Screen_Set(row);
    for (const QString &box : {HijouSheet::kSlot, HijouSheet::kCount, HijouSheet::kMounting, HijouSheet::kLayout})
        setText(box, QString());
    Data_calculation();
}
