#include "illuminance/FSyoudo.h"

#include "illuminance/FSyoudoRMenu.h"
#include "illuminance/IlluminanceCalculation.h"
#include "illuminance/PickLists.h"
#include "illuminance/RoomFigures.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/RoomSheet.h"
#include "master/MasterTables.h"
#include "rows/SharedFields.h"
#include "text/NumberText.h"
#include "ui/ListGrid.h"
#include "ui/UpDownButtons.h"
#include "ui_F_Syoudo.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The tab each field brings up with the common entry rule.
const QHash<QString, int> kCommonEntryTabs = {
    {QStringLiteral("Txt_Shitsu"), 1},    {QStringLiteral("Txt_Shitsu2"), 1},  {QStringLiteral("Txt_Kousoku"), 0},
    {QStringLiteral("Txt_Syoudo1"), 0},   {QStringLiteral("Txt_Maguchi"), 0},  {QStringLiteral("Txt_Okuyuki"), 0},
    {QStringLiteral("Txt_Takasa"), 0},    {QStringLiteral("Txt_Stakasa"), 0},  {QStringLiteral("Txt_Kudari"), 0},
    {QStringLiteral("Txt_Syouritsu"), 0}, {QStringLiteral("Txt_Tousu2"), 6},   {QStringLiteral("Txt_Daisu"), 6},
    {QStringLiteral("Txt_Biko1"), 6},
};

// Fields whose tab comes up only after their name is stored (the luminaire and lamp-name fields
// show tab 0 first).
const QHash<QString, int> kLateEntryTabs = {
    {QStringLiteral("Txt_Kigu"), 2},  {QStringLiteral("Txt_WKougen"), 3}, {QStringLiteral("Txt_WTousu"), 3},
    {QStringLiteral("Txt_Hrten"), 4}, {QStringLiteral("Txt_Hrkabe"), 4},  {QStringLiteral("Txt_Hryuka"), 4},
};

SheetFrame::Tables sheetTables()
{
    SheetFrame::Tables t;
    t.title = QStringLiteral("照度計算書");
    t.workDatabaseName = QStringLiteral("t_syou.mdb");
    t.helpSection = QStringLiteral("syoudo");
    t.columns = RoomRecord::kColumns;
    t.freeTextBoxes = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"), QStringLiteral("Txt_Shitsu2"),
                       QStringLiteral("Txt_Kigu"), QStringLiteral("Txt_WKougen")};
    t.leavingPatterns = {
        {QStringLiteral("Txt_Kousoku"), QStringLiteral("####0")}, {QStringLiteral("Txt_Syoudo1"), QStringLiteral("##0")},
        {QStringLiteral("Txt_Okuyuki"), QStringLiteral("##0.0")}, {QStringLiteral("Txt_Takasa"), QStringLiteral("##0.0")},
        {QStringLiteral("Txt_Stakasa"), QStringLiteral("0.00")},  {QStringLiteral("Txt_Kudari"), QStringLiteral("#0.0")},
    };
    t.reportName = QStringLiteral("照度計算書");
    return t;
}

void setListColumns(ListGrid *list)
{
    const int widths[] = {56, 150, 120, 170, 130};
    for (int c = 0; c < 5; ++c)
        list->setColumnWidth(c, widths[c]);
}

} // namespace

FSyoudo::FSyoudo(MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetFrame(sheetTables(), workFolder, parent), m_ui(new Ui::F_Syoudo), m_masters(masters)
{
    m_ui->setupUi(this);
    attachForm();
    setListColumns(m_ui->Spd_Sentaku);
    m_ui->Spd_Sentaku->setup(RoomRecord::kRooms);
    setUpPickLists();
    connectPickers();
    connect(m_ui->Txt_WKougen, &QLineEdit::textChanged, this, &FSyoudo::lampEntryChanged);
    // 台数 and 灯数 that disagree are said under them while they do.
    for (QLineEdit *box : {m_ui->Txt_Daisu, m_ui->Txt_Tousu2, m_ui->Txt_WTousu})
        connect(box, &QLineEdit::textChanged, this, [this] {
            const auto m = RoomFigures::countMismatch(text(QStringLiteral("Txt_Daisu")), text(QStringLiteral("Txt_WTousu")),
                                                      text(QStringLiteral("Txt_Tousu2")));
            m_ui->Lbl_TousuNote->setText(m ? RoomFigures::mismatchNote(*m) : QString());
        });
    // A capacity typed by the user is theirs: it no longer follows the lamps.
    connect(m_ui->Txt_Biko1, &QLineEdit::textEdited, this, [this] { m_state.capacityMode = 2; });
    connect(m_ui->UpDown2, &UpDownButtons::downClicked, this, [this] { UpDown2_Step(+1); });
    connect(m_ui->UpDown2, &UpDownButtons::upClicked, this, [this] { UpDown2_Step(-1); });
    connect(m_ui->Option_Menu_Midashi, &QAction::triggered, this, &FSyoudo::Option_Menu_Midashi_Click);
    connect(m_ui->Menu_Option_Photometry, &QAction::triggered, this, &FSyoudo::Menu_Option_Photometry_Click);
    connect(m_ui->Menu_Option_Bunpu, &QAction::triggered, this, &FSyoudo::Menu_Option_Bunpu_Click);
    connect(m_ui->Menu_Option_Youken, &QAction::triggered, this, &FSyoudo::Menu_Option_Youken_Click);

    // Form load.
    setTab(0);
    m_lampPage = m_luminairePage = m_roomPage = 1;
    Syoumei_Paint(m_luminairePage);
    Kougen_Paint(m_lampPage);
    Room_Paint(m_roomPage);
    Screen_Clear();
    m_state.reflectanceChoice = 0;
    m_state.capacityMode = 0;
    m_state.reserved = 0;
    m_previousFieldName.clear();
    SPD_Paint(m_ui->SPD_Data);
    m_ui->Txt_WKougen->hide();
    m_ui->Txt_WTousu->hide();
}

FSyoudo::~FSyoudo()
{
    delete m_ui;
}

int FSyoudo::Data_calculation(const QString &fieldName)
{
    const int result = IlluminanceCalculation::Data_calculation(*this, m_state, m_masters, fieldName);
    // A refused value says why until the next entry that passes.
    setStatusMessage(IlluminanceCalculation::refusalText(result, fieldName));
    return result;
}

// ---------------------------------------------------------------- records, lists and the panel

void FSyoudo::Data_List_Clear()
{
    m_ui->SPD_Data->clearTexts();
}

void FSyoudo::Sentaku_List_Clear()
{
    ListGrid *list = m_ui->Spd_Sentaku;
    list->setUpdatesEnabled(false);
    list->clearTexts();
    list->clearSelection();
    list->setUpdatesEnabled(true);
}

void FSyoudo::SPD_Paint(ListGrid *list)
{
    using namespace RoomRecord;
    const RecordGrid &g = recordGrid();
    list->setUpdatesEnabled(false);
    for (int r = 1; r <= kRooms; ++r) {
        // A free row shows blank, so a room deleted by a commit leaves the list at once.
        const bool inUse = g.text(r, InUse) == u"1";
        const int columns[] = {Floor, RoomName1, RoomName2, LuminaireType, LampName};
        for (int c = 0; c < 5; ++c)
            list->setCellText(r, c + 1, inUse ? g.text(r, columns[c]) : QString());
    }
    list->setUpdatesEnabled(true);
}

void FSyoudo::paintList()
{
    SPD_Paint(m_ui->SPD_Data);
}

void FSyoudo::sheetCleared()
{
    Sentaku_List_Clear();
    SPD_Paint(m_ui->Spd_Sentaku);
    Set_Spdtop(m_ui->Spd_Sentaku);
}

void FSyoudo::Set_Spd_Sentaku()
{
    const int tab = tabs()->currentIndex();
    if (tab == 0) {
        SPD_Paint(m_ui->SPD_Data);
    } else if (tab == 6) {
        const int row = rowNumber();
        const QString boxes[] = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"),
                                 QStringLiteral("Txt_Shitsu2"), QStringLiteral("Txt_Kigu"),
                                 QStringLiteral("Txt_Kougen")};
        for (int c = 0; c < 5; ++c)
            m_ui->Spd_Sentaku->setCellText(row, c + 1, text(boxes[c]));
    }
    m_ui->Spd_Sentaku->viewport()->update();
}

void FSyoudo::Screen_Set(int row)
{
    RoomSheet::Screen_Set(recordGrid(), row, *this, m_state);
    m_state.capacityMode = RoomSheet::capacityModeOf(recordGrid(), row, m_masters);
    closeLampEntry();
    updateFluxBox();
    updateMaintenanceChoices();
}

void FSyoudo::Screen_Clear()
{
    RoomSheet::Screen_Clear(*this, m_state);
    closeLampEntry();
    updateFluxBox();
    updateMaintenanceChoices();
}

void FSyoudo::closeLampEntry()
{
    m_ui->Txt_WKougen->hide();
    m_ui->Txt_WTousu->hide();
}

void FSyoudo::updateFluxBox()
{
    m_ui->Txt_Kousoku->setEnabled(m_state.lampIndex == 0);
}

void FSyoudo::updateMaintenanceChoices()
{
    const bool picked = m_state.luminaireIndex != 0;
    const LuminaireRecord &lum = m_masters.luminaire(m_state.luminaireIndex);
    QPushButton *buttons[] = {m_ui->Btn_Hosyu_0, m_ui->Btn_Hosyu_1, m_ui->Btn_Hosyu_2};
    for (int i = 0; i < 3; ++i) {
        setText(QStringLiteral("Lbl_Hosyu_%1").arg(i), picked ? lum.maintenanceFactor(i + 1) : QString());
        // Without a luminaire there is no factor to choose.
        buttons[i]->setEnabled(picked);
    }
}

void FSyoudo::Line_Add()
{
    RoomSheet::Line_Add(recordGrid(), m_ui->SPD_Data->activeRow());
    linesMoved();
}

void FSyoudo::Line_Delete()
{
    RoomSheet::Line_Delete(recordGrid(), m_ui->SPD_Data->activeRow());
    linesMoved();
}

// Rows below the cursor moved: both grids are drawn again from the records.
void FSyoudo::linesMoved()
{
    Data_List_Clear();
    SPD_Paint(m_ui->SPD_Data);
    Sentaku_List_Clear();
    SPD_Paint(m_ui->Spd_Sentaku);
    forgetShownRow();
    gridChanged();
}

void FSyoudo::commitRow(int row)
{
    RoomSheet::commit(recordGrid(), row, *this, m_state);
    // The CEC/L figures of the row follow its 台数.
    SharedFields::follow(recordGrid(), row);
}

QString FSyoudo::erasureQuestion(int row) const
{
    const bool empties = text(QStringLiteral("Txt_Shitsu")).isEmpty() && text(QStringLiteral("Txt_Kigu")).isEmpty();
    return SharedFields::erasureQuestion(recordGrid(), row, SharedFields::Sheet::Illuminance, text(QStringLiteral("Txt_Daisu")),
                                         recordGrid().text(row, SharedFields::kInputPower), empties);
}

void FSyoudo::fileLoaded()
{
    setStatusMessage(SharedFields::updatedText(SharedFields::bringUpToDate(recordGrid(), &m_masters)));
}

void FSyoudo::rowNavigated(int)
{
    m_ui->Spd_Sentaku->clearSelection();
}

void FSyoudo::UpDown2_Step(int delta)
{
    const QString floor = text(QStringLiteral("Txt_Kai"));
    const auto value = NumberText::strict(floor);
    if (floor.isEmpty() || !value)
        return;
    if (delta > 0 && *value < 9999)
        setText(QStringLiteral("Txt_Kai"), NumberText::plain(*value + 1));
    else if (delta < 0 && *value > 1)
        setText(QStringLiteral("Txt_Kai"), NumberText::plain(*value - 1));
    else
        return;
    panelEdited();
}

bool FSyoudo::beforeConfirm()
{
    // The field left last is checked as the next entry would check it.
    return Data_calculation(m_previousFieldName) == 0;
}

void FSyoudo::listMouseReleased(Qt::MouseButton button, QPoint position)
{
    if (button == Qt::RightButton)
        showRowMenu(position);
}

void FSyoudo::showRowMenu(QPoint position)
{
    if (m_rowMenu)
        m_rowMenu->close();
    auto *menu = new FSyoudoRMenu(this);
    connect(menu, &FSyoudoRMenu::insertRequested, this, &FSyoudo::Line_Add);
    connect(menu, &FSyoudoRMenu::deleteRequested, this, &FSyoudo::Line_Delete);
    menu->move(m_ui->SPD_Data->viewport()->mapToGlobal(position));
    menu->show();
    m_rowMenu = menu;
}

// ---------------------------------------------------------------- entry and leaving rules, keys

void FSyoudo::commonEntry(const QString &name, int tab)
{
    Data_calculation(m_previousFieldName);
    setTab(tab);
    selectAll(name);
    m_previousFieldName = focusedControlName();
}

void FSyoudo::entryRule(const QString &name, Qt::FocusReason reason)
{
    if (name == u"Txt_Gyou") {
        setTab(0);
        selectAll(name);
        return;
    }
    if (name == u"Txt_Kai") {
        Data_calculation(m_previousFieldName);
        setTab(0);
        selectAll(name);
        return;
    }
    if (name == u"Txt_Kougen") {
        // Going backwards through the lamp name leads on to the field before it, not round again.
        if (reason == Qt::BacktabFocusReason) {
            focusPreviousChild();
            return;
        }
        m_ui->Txt_WKougen->show();
        m_ui->Txt_WKougen->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (kCommonEntryTabs.contains(name)) {
        commonEntry(name, kCommonEntryTabs.value(name));
        return;
    }
    const auto late = kLateEntryTabs.constFind(name);
    if (late != kLateEntryTabs.constEnd()) {
        Data_calculation(m_previousFieldName);
        if (name == u"Txt_Kigu" || name == u"Txt_WKougen")
            setTab(0);
        selectAll(name);
        m_previousFieldName = focusedControlName();
        setTab(*late);
        return;
    }
    if (name == u"Txt_Horitsu") {
        Data_calculation(m_previousFieldName);
        selectAll(name);
        if (m_state.luminaireIndex != 0) {
            updateMaintenanceChoices();
            setTab(5);
        }
        m_previousFieldName = focusedControlName();
        return;
    }
    if (name == u"Txt_Biko2") {
        Data_calculation(m_previousFieldName);
        setTab(7);
        Set_Spd_Sentaku();
        selectAll(name);
        m_previousFieldName = focusedControlName();
    }
}

bool FSyoudo::listKey(QObject *watched, QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return false;
    const struct {
        ListGrid *list;
        int *page;
        void (FSyoudo::*paint)(int &);
    } lists[] = {{m_ui->Spd_Room, &m_roomPage, &FSyoudo::Room_Paint},
                 {m_ui->Spd_Syoumei, &m_luminairePage, &FSyoudo::Syoumei_Paint},
                 {m_ui->Spd_Kougen, &m_lampPage, &FSyoudo::Kougen_Paint}};
    for (const auto &l : lists) {
        if (watched != l.list)
            continue;
        // The page variable names the page painted next: the other one is showing.
        const int shown = PickLists::nextPage(*l.page);
        const int slot = PickLists::slotAt(shown, std::max(l.list->currentColumn(), 0) + 1,
                                           std::max(l.list->currentRow(), 0) + 1);
        const int to = PickLists::slotAfterKey(slot, event->key());
        if (to == 0)
            return false;
        const PickLists::Cell cell = PickLists::cellOf(to);
        if (cell.page != shown)
            (this->*l.paint)(*l.page);
        l.list->setActiveCell(cell.row, cell.column);
        return true;
    }
    return false;
}

void FSyoudo::leavingRule(const QString &name)
{
    if (name == u"Txt_WKougen") {
        setText(QStringLiteral("Txt_Kougen"), text(name));
        updateFluxBox();
        // Left for anything but the lamps per fitting (a click elsewhere): the entry closes and
        // the lamp name shows again.
        if (!m_openingPerFitting)
            m_ui->Txt_WKougen->hide();
        return;
    }
    SheetFrame::leavingRule(name);
}

int FSyoudo::choiceTab(const QString &box) const
{
    // The boxes the pick lists and pickers fill.
    static const QHash<QString, int> tabs = {
        {QStringLiteral("Txt_Gyou"), 0},    {QStringLiteral("Txt_Shitsu"), 1},  {QStringLiteral("Txt_Kigu"), 2},
        {QStringLiteral("Txt_Kougen"), 3},  {QStringLiteral("Txt_WKougen"), 3}, {QStringLiteral("Txt_Hrten"), 4},
        {QStringLiteral("Txt_Hrkabe"), 4},  {QStringLiteral("Txt_Hryuka"), 4},  {QStringLiteral("Txt_Horitsu"), 5},
        {QStringLiteral("Txt_Biko1"), 6},   {QStringLiteral("Txt_Biko2"), 7},
    };
    return tabs.value(box, -1);
}

bool FSyoudo::moveOnKey(QObject *watched, int key)
{
    // Enter in a pick list picks its current cell, as a click would; Tab leaves it, picking nothing.
    const QPair<ListGrid *, void (FSyoudo::*)(int, int)> picks[] = {
        {m_ui->Spd_Room, &FSyoudo::pickRoom}, {m_ui->Spd_Syoumei, &FSyoudo::pickLuminaire}, {m_ui->Spd_Kougen, &FSyoudo::pickLamp}};
    for (const auto &[list, pick] : picks) {
        if (watched == list) {
            if (key == Qt::Key_Tab)
                return false;
            if (list->currentRow() >= 0 && list->currentColumn() >= 0)
                (this->*pick)(list->currentColumn() + 1, list->currentRow() + 1);
            return true;
        }
    }
    if (watched != m_ui->Txt_WKougen)
        return false;
    // Enter and Tab both go on to the lamps per fitting.
    m_openingPerFitting = true;
    m_ui->Txt_WTousu->show();
    m_ui->Txt_WTousu->setFocus(Qt::TabFocusReason);
    m_ui->Txt_WKougen->hide();
    m_openingPerFitting = false;
    return true;
}
