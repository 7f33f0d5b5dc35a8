#include "cecl/FCECL.h"

#include "cecl/CeclCalculation.h"
#include "cecl/FCECLOP.h"
#include "cecl/ZoneRecord.h"
#include "cecl/ZoneFigures.h"
#include "cecl/ZoneSheet.h"
#include "rows/SharedFields.h"
#include "master/MasterTables.h"
#include "ui/Dialogs.h"
#include "ui/ListGrid.h"
#include "ui_F_CECL.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>

namespace {

// The tab each editable box brings up on entry.
const QHash<QString, int> kEntryTabs = {
    {QStringLiteral("Txt_Kiguban"), 0},     {QStringLiteral("Txt_HSyoumei"), 0}, {QStringLiteral("Txt_HTentou"), 0},
    {QStringLiteral("Txt_InDenryoku"), 0},  {QStringLiteral("Txt_Seigyo"), 1},   {QStringLiteral("Txt_SeigyoHosei"), 1},
    {QStringLiteral("Txt_SyuHosei"), 2},    {QStringLiteral("Txt_SyouHosei"), 3},
};

SheetFrame::Tables sheetTables()
{
    SheetFrame::Tables t;
    t.title = QStringLiteral("CEC/L計算書");
    t.workDatabaseName = QStringLiteral("t_cecl.mdb");
    t.columns = ZoneRecord::kColumns;
    t.freeTextBoxes = {QStringLiteral("Txt_Kai"), QStringLiteral("Txt_Shitsu"), QStringLiteral("Txt_Shitsu2"),
                       QStringLiteral("Txt_Kiguban"), QStringLiteral("Txt_Seigyo")};
    t.maxLengths = {{QStringLiteral("Txt_Kiguban"), 10}};
    t.helpSection = QStringLiteral("cecl");
    t.reportName = QStringLiteral("CECL");
    return t;
}

} // namespace

FCECL::FCECL(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetFrame(sheetTables(), workFolder, parent), m_ui(new Ui::F_CECL), m_masters(masters)
{
    m_ui->setupUi(this);
    attachForm();
    const QList<QPushButton *> seigyo = {m_ui->Btn_Seigyo_0, m_ui->Btn_Seigyo_1, m_ui->Btn_Seigyo_2,
                                         m_ui->Btn_Seigyo_3, m_ui->Btn_Seigyo_4, m_ui->Btn_Seigyo_5,
                                         m_ui->Btn_Seigyo_6, m_ui->Btn_Seigyo_7};
    for (int i = 0; i < seigyo.size(); ++i)
        connect(seigyo[i], &QPushButton::clicked, this, [this, i] { Btn_Seigyo_Click(i); });
    const QList<QPushButton *> syuho = {m_ui->Btn_Syuho_0, m_ui->Btn_Syuho_1};
    for (int i = 0; i < syuho.size(); ++i)
        connect(syuho[i], &QPushButton::clicked, this, [this, i] { Btn_Syuho_Click(i); });
    const QList<QPushButton *> syoho = {m_ui->Btn_Syoho_0, m_ui->Btn_Syoho_1, m_ui->Btn_Syoho_2};
    for (int i = 0; i < syoho.size(); ++i)
        connect(syoho[i], &QPushButton::clicked, this, [this, i] { Btn_Syoho_Click(i); });
    connect(m_ui->Menu_Option, &QAction::triggered, this, &FCECL::Menu_Option_Click);

    // Form load.
    setTab(0);
    Screen_Clear();
    Data_List_Set();
}

FCECL::~FCECL()
{
    delete m_ui;
}

// ---------------------------------------------------------------- zones and the list

void FCECL::Screen_Set(int row)
{
    // A zone whose stored figures no longer follow its inputs is brought up to date in the grid
    // as it is shown.
    if (row >= 1 && row <= ZoneRecord::kRooms && ZoneFigures::recompute(recordGrid(), row))
        gridChanged();
    ZoneSheet::Screen_Set(recordGrid(), row, *this);
    showZone(row, false);
}

void FCECL::showZone(int row, bool withPanel)
{
    // A changed 入力電力 is the BEI/L sheet's too: the panel says so before it is confirmed.
    const bool zone = row >= 1 && row <= ZoneRecord::kRooms;
    const QString shared = zone && withPanel ? SharedFields::note(recordGrid(), row, SharedFields::Sheet::Cecl,
                                                                  recordGrid().text(row, ZoneRecord::FittingCount),
                                                                  text(QStringLiteral("Txt_InDenryoku")), &m_masters)
                                             : QString();
    m_ui->Lbl_Shared->setText(shared);
    m_ui->Lbl_Shared->setVisible(!shared.isEmpty());
    // The panel shows its own luminaire's figures; the zone it belongs to is printed as a whole.
    RecordGrid grid = recordGrid();
    if (withPanel && row >= 1 && row <= ZoneRecord::kRooms)
        ZoneSheet::confirm(grid, row, *this);
    const QString line = row >= 1 && row <= ZoneRecord::kRooms ? ZoneSheet::zoneLine(grid, row) : QString();
    m_ui->Lbl_Zone->setText(line);
    m_ui->Lbl_Zone->setVisible(!line.isEmpty());
}

void FCECL::Screen_Clear()
{
    ZoneSheet::Screen_Clear(*this);
    showZone(0, false);
}

void FCECL::commitRow(int row)
{
    // Zones are the illuminance sheet's rows: what was typed on a row it does not use is not kept,
    // and the user is told so rather than finding it gone.
    if (row >= 1 && row <= ZoneRecord::kRooms && recordGrid().text(row, ZoneRecord::InUse) != u"1") {
        bool typed = false;
        for (const auto &f : ZoneRecord::kConfirmOrder)
            typed = typed || !text(QLatin1String(f.box)).trimmed().isEmpty();
        if (typed)
            setStatusMessage(QStringLiteral("%1 行目は照度計算書で使われていない行のため、入力した値は保存されません"
                                            "（区画は照度計算書の行から作られます）。")
                                 .arg(row));
    }
    ZoneSheet::confirm(recordGrid(), row, *this);
}

void FCECL::Data_List_Set()
{
    using namespace ZoneRecord;
    const RecordGrid &g = recordGrid();
    ListGrid *list = m_ui->SPD_Data;
    list->setUpdatesEnabled(false);
    const int columns[] = {Floor, RoomName1, RoomName2, LuminaireType, LampName};
    for (int r = 1; r <= kRooms; ++r)
        for (int c = 0; c < 5; ++c)
            list->setCellText(r, c + 1, g.text(r, columns[c]));
    list->setUpdatesEnabled(true);
}

void FCECL::paintList()
{
    Data_List_Set();
}

void FCECL::Data_calculation()
{
    CeclCalculation::ZoneCalculation(*this);
    if (isPanelEdited())
        showZone(rowNumber(), true);
}

// ---------------------------------------------------------------- entry rules and choices

void FCECL::entryRule(const QString &name, Qt::FocusReason)
{
    if (name == u"Txt_Gyou") {
        setTab(0);
        selectAll(name);
        return;
    }
    // Confirm gets the focus: the values it writes are freshly computed.
    if (name == u"Btn_Adv") {
        Data_calculation();
        return;
    }
    const auto tab = kEntryTabs.constFind(name);
    if (tab == kEntryTabs.constEnd())
        return;
    Data_calculation();
    setTab(*tab);
    selectAll(name);
}

void FCECL::Btn_Seigyo_Click(int index)
{
    panelEdited();
    focus(ZoneSheet::Btn_Seigyo_Click(index, *this));
}

void FCECL::Btn_Syuho_Click(int index)
{
    panelEdited();
    focus(ZoneSheet::Btn_Syuho_Click(index, *this));
}

void FCECL::Btn_Syoho_Click(int index)
{
    panelEdited();
    focus(ZoneSheet::Btn_Syoho_Click(index, *this));
}

int FCECL::choiceTab(const QString &box) const
{
    if (box == u"Txt_Gyou")
        return 0; // the zone list
    const int tab = kEntryTabs.value(box, -1);
    return tab > 0 ? tab : -1;
}

bool FCECL::beforeConfirm()
{
    Data_calculation(); // the zone calculation refuses nothing
    return true;
}

QString FCECL::erasureQuestion(int row) const
{
    return SharedFields::erasureQuestion(recordGrid(), row, SharedFields::Sheet::Cecl,
                                         recordGrid().text(row, ZoneRecord::FittingCount),
                                         text(QStringLiteral("Txt_InDenryoku")), false);
}

// ---------------------------------------------------------------- file and options

void FCECL::fileLoaded()
{
    // An illuminance file has 38 columns: the CEC/L values need 140.
    RecordGrid &g = recordGrid();
    if (g.colCount() < ZoneRecord::kColumns)
        g.setColCount(ZoneRecord::kColumns);
    // 台数 as the illuminance sheet's rules give it, then the figures stored by an older Confirm
    // follow the inputs as they are now (hours copied from the room master, fittings changed on
    // the illuminance sheet); the sheet then counts as modified.
    setStatusMessage(SharedFields::updatedText(SharedFields::bringUpToDate(g, &m_masters)));
    ZoneFigures::recomputeAll(g);
}

void FCECL::fileOpened()
{
    // A file without a building type asks for the options at once.
    if (recordGrid().text(ZoneRecord::kHeadingsRow, ZoneRecord::BuildingType).isEmpty())
        showOptions();
}

void FCECL::Menu_Option_Click()
{
    if (currentFileName().isEmpty()) {
        Dialogs::inform(this, QStringLiteral("ファイルを指定してください。"));
        return;
    }
    showOptions();
}

void FCECL::showOptions()
{
    FCECLOP dialog(recordGrid(), m_masters, this);
    if (Dialogs::instance().execute(dialog) == QDialog::Accepted) {
        // Standard values copied into the zones reach the zone on the panel at once, so a Confirm
        // cannot write the old ones back over them; whatever else was typed there stays.
        const int row = shownRow();
        const RecordGrid &g = recordGrid();
        if (dialog.copied().power.contains(row))
            setText(QStringLiteral("Txt_HSyoumei"), g.text(row, ZoneRecord::StandardPower));
        if (dialog.copied().hours.contains(row))
            setText(QStringLiteral("Txt_HTentou"), g.text(row, ZoneRecord::StandardHours));
        if (row >= 1 && g.text(row, ZoneRecord::InUse) == u"1")
            Data_calculation();
        // Every zone's figures follow its new standard values.
        ZoneFigures::recomputeAll(recordGrid());
    }
    gridChanged();
    focus(QStringLiteral("Txt_Gyou"));
}
