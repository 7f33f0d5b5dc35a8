#include "beil/FBEIL.h"

#include "beil/BeilExport.h"
#include "beil/BeilRecord.h"
#include "beil/BeilRooms.h"
#include "beil/BeilSheet.h"
#include "beil/Controls.h"
#include "beil/BeilCalculation.h"
#include "beil/FBEILOP.h"
#include "beil/FMondai.h"
#include "beil/OfficialSheets.h"
#include "grid/WorkFile.h"
#include "beil/StandardValues.h"
#include "io/CheckedFile.h"
#include "rows/SharedFields.h"
#include "settings/SettingsStore.h"
#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/ListGrid.h"
#include "ui_F_BEIL.h"

#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

SheetFrame::Tables sheetTables()
{
    using namespace BeilSheet;
    SheetFrame::Tables t;
    t.title = QStringLiteral("一次エネルギー（照明）計算書");
    t.workDatabaseName = BeilPrintTable::kFileName;
    t.columns = BeilRecord::kColumns;
    t.freeTextBoxes = {kFloor, kRoomName, kRoomName2, kBuildingUse, kRoomUse, kEquipment,
                       kControls[0], kControls[1], kControls[2], kControls[3]};
    t.maxLengths = {{kEquipment, 40}};
    t.helpSection = QStringLiteral("beil");
    t.reportName = QStringLiteral("BEIL");
    t.openFilter = t.saveFilter = QStringLiteral("作業ファイル (*.syw)|*.syw");
    return t;
}

QString choiceCaption(const Controls::Choice &c)
{
    return QStringLiteral("%1　%2").arg(c.text, NumberText::format(c.factor, QStringLiteral("0.00")));
}

} // namespace

FBEIL::FBEIL(const MasterTables &masters, const QString &workFolder, QWidget *parent)
    : SheetFrame(sheetTables(), workFolder, parent), m_ui(new Ui::F_BEIL), m_masters(masters)
{
    m_ui->setupUi(this);
    makeChoiceButtons();
    attachForm();
    m_ui->Spd_Youto->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_ui->Spd_Youto->installEventFilter(this);
    connect(m_ui->Spd_Youto, &QTableWidget::cellClicked, this, [this](int r, int) { pickRoomUse(r + 1); });
    // The figures follow every keystroke in the boxes they depend on.
    for (QLineEdit *edit : {m_ui->Txt_Shisu, m_ui->Txt_Kaidaka, m_ui->Txt_InDenryoku, m_ui->Txt_Daisu, m_ui->Txt_Kiki})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_loading)
                Data_calculation();
        });
    connect(m_ui->Txt_Madomenseki, &QLineEdit::textChanged, this, [this] {
        if (!m_loading)
            Data_calculation();
    });
    // 非居室 ticked or not is an edit of the room, confirmed with the row.
    connect(m_ui->Chk_Hikyoshitsu, &QCheckBox::clicked, this, [this] {
        if (rowFieldInvalid())
            return;
        panelEdited();
        Data_calculation();
    });
    setUpList();
    connect(m_ui->Btn_Form4, &QPushButton::clicked, this, &FBEIL::Btn_Form4_Click);
    connect(m_ui->Menu_File_Form4, &QAction::triggered, this, &FBEIL::Btn_Form4_Click);
    connect(m_ui->Menu_File_Official, &QAction::triggered, this, &FBEIL::Menu_File_Official_Click);
    connect(m_ui->Menu_File_OfficialInto, &QAction::triggered, this, &FBEIL::Menu_File_OfficialInto_Click);
    connect(m_ui->Menu_File_Import, &QAction::triggered, this, &FBEIL::Menu_File_Import_Click);
    connect(m_ui->Menu_Option, &QAction::triggered, this, &FBEIL::Menu_Option_Click);

    setTab(0);
    Screen_Clear();
    Data_List_Set();
}

FBEIL::~FBEIL()
{
    delete m_ui;
}

void FBEIL::makeChoiceButtons()
{
    // Made from the tables before the frame attaches the form, so it treats them as the tabs'
    // choices.
    auto *buildingPage = m_ui->Tab_Tatemono->layout();
    const QStringList uses = StandardValues::shipped().buildingUses();
    for (int i = 0; i < uses.size(); ++i) {
        auto *b = new QPushButton(uses[i], m_ui->Tab_Tatemono);
        b->setObjectName(QStringLiteral("Btn_Tatemono_%1").arg(i));
        b->setMinimumHeight(30);
        connect(b, &QPushButton::clicked, this, [this, i] { Btn_Tatemono_Click(i); });
        buildingPage->addWidget(b);
    }
    static_cast<QVBoxLayout *>(buildingPage)->addStretch(1);
    QWidget *pages[] = {m_ui->Tab_Zaishitsu, m_ui->Tab_Akarusa, m_ui->Tab_Schedule, m_ui->Tab_Shoki};
    for (int c = 0; c < Controls::kCategories; ++c) {
        auto *layout = static_cast<QVBoxLayout *>(pages[c]->layout());
        auto *heading = new QLabel(Controls::categoryName(c), pages[c]);
        heading->setStyleSheet(QStringLiteral("font-weight: bold;"));
        layout->addWidget(heading);
        const QList<Controls::Choice> &choices = Controls::choices(c);
        for (int i = 0; i < choices.size(); ++i) {
            auto *b = new QPushButton(choiceCaption(choices[i]), pages[c]);
            b->setObjectName(QStringLiteral("Btn_Control_%1_%2").arg(c).arg(i));
            b->setMinimumHeight(30);
            b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 10px;"));
            b->setToolTip(choices[i].condition.isEmpty()
                              ? QStringLiteral("係数 %1").arg(NumberText::format(choices[i].factor, QStringLiteral("0.00")))
                              : QStringLiteral("係数 %1：%2")
                                    .arg(NumberText::format(choices[i].factor, QStringLiteral("0.00")), choices[i].condition));
            connect(b, &QPushButton::clicked, this, [this, c, i] { Btn_Control_Click(c, i); });
            layout->addWidget(b);
        }
        auto *note = new QLabel(QStringLiteral("自動制御のみが評価されます（手元スイッチ、ゾーニング、カードキー等は対象外）。"),
                                pages[c]);
        note->setWordWrap(true);
        note->setStyleSheet(QStringLiteral("color: #505050;"));
        layout->addWidget(note);
        layout->addStretch(1);
    }
}

// ---------------------------------------------------------------- rows and the list

int FBEIL::panelRow() const
{
    return shownRow() >= 1 ? shownRow() : rowNumber();
}

void FBEIL::Screen_Set(int row)
{
    m_loading = true;
    BeilSheet::Screen_Set(recordGrid(), row, *this, &m_masters);
    m_loading = false;
    paintRoomUses();
    const QList<int> rows = BeilRooms::roomRows(recordGrid(), row);
    if (!rows.isEmpty() && recordGrid().text(rows.first(), BeilRecord::RoomUse).isEmpty()
        && !text(BeilSheet::kRoomUse).isEmpty())
        setStatusMessage(QStringLiteral("室名から室用途「%1」を提案しました。「確認」で確定します。").arg(text(BeilSheet::kRoomUse)));
    else if (statusMessage().startsWith(QStringLiteral("室名から")))
        setStatusMessage(QString());
}

void FBEIL::Screen_Clear()
{
    m_loading = true;
    BeilSheet::Screen_Clear(*this);
    m_loading = false;
    paintRoomUses();
}

void FBEIL::commitRow(int row)
{
    BeilSheet::confirm(recordGrid(), row, *this, &m_masters);
}

namespace {

// The list's columns as the list is narrow (階数 … 状態); a wider list gives its room to the names.
constexpr int kListWidths[] = {44, 120, 50, 86, 56, 96, 170, 100};

} // namespace

void FBEIL::setUpList()
{
    m_ui->SPD_Data->horizontalHeader()->setMinimumSectionSize(36);
    m_ui->SPD_Data->viewport()->installEventFilter(this);
    fitListColumns();
}

void FBEIL::fitListColumns()
{
    // 室名, 機器名称 and 制御 take the room there is; narrow, the luminaire's columns give way.
    m_ui->SPD_Data->fitColumns(QList<int>(std::begin(kListWidths), std::end(kListWidths)), {1, 6, 7}, {6, 7});
}

bool FBEIL::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->SPD_Data->viewport() && event->type() == QEvent::Resize)
        fitListColumns();
    return SheetFrame::eventFilter(watched, event);
}

void FBEIL::Data_List_Set()
{
    using namespace BeilRecord;
    const RecordGrid &g = recordGrid();
    QList<BeilRooms::Room> rooms;
    QList<BeilRooms::Problem> problems;
    BeilRooms::evaluateBuilding(g, StandardValues::shipped(), &rooms, &problems);
    QHash<int, const BeilRooms::Room *> byFirstRow;
    for (const BeilRooms::Room &r : std::as_const(rooms))
        byFirstRow.insert(r.texts.row, &r);
    const QList<int> incomplete = BeilRooms::rowsWithErrors(problems);
    ListGrid *list = m_ui->SPD_Data;
    list->setUpdatesEnabled(false);
    for (int r = 1; r <= kRooms; ++r) {
        const bool used = g.text(r, InUse) == u"1";
        QStringList controls;
        for (int c = 0; used && c < Controls::kCategories; ++c)
            if (const Controls::Choice *choice = Controls::find(c, g.text(r, Occupancy + c)); choice && choice->factor != 1.0)
                controls.append(choice->shortText);
        // The room and its BEI/L first, the luminaire last: a narrow list keeps the figures in sight.
        list->setCellText(r, 1, g.text(r, Floor));
        list->setCellText(r, 2, g.text(r, RoomName1));
        const BeilRooms::Room *room = byFirstRow.value(r);
        const auto bei = room ? room->bei() : std::nullopt;
        list->setCellText(r, 3, bei ? BeilCalculation::beiText(*bei) : QString());
        list->setCellText(r, 4, room ? BeilCalculation::mjText(room->designMJ) : QString());
        list->setCellText(r, 5, used && incomplete.contains(r) ? QStringLiteral("要入力") : QString());
        list->setCellText(r, 6, g.text(r, RoomUse));
        list->setCellText(r, 7, used ? BeilRooms::equipmentName(g, r) : QString());
        list->setCellText(r, 8, controls.join(QStringLiteral("・")));
        for (int c : {2, 3})
            list->item(r - 1, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list->item(r - 1, 4)->setForeground(QColor(0xb0, 0x00, 0x00));
    }
    list->setUpdatesEnabled(true);
    showBuilding(rooms, problems);
}

void FBEIL::showBuilding(const QList<BeilRooms::Room> &rooms, const QList<BeilRooms::Problem> &problems)
{
    if (rooms.isEmpty() && problems.isEmpty()) {
        m_ui->Lbl_Building->setText(QStringLiteral("建物合計　（室がありません）"));
        return;
    }
    const BeilRooms::Sums all = BeilRooms::sums(rooms);
    const auto bei = BeilRooms::ratio(all.designMJ, all.standardMJ);
    // Two lines that never break inside a figure, BEI/L at the end of the first.
    const auto figure = [](double mj) {
        return QStringLiteral("%1 MJ/年（%2 GJ/年）").arg(BeilCalculation::mjText(mj), BeilCalculation::gjText(mj));
    };
    QString text = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">"
                                  "<tr><td><b>建物合計</b>&nbsp;&nbsp;E_L&nbsp;</td><td align=\"right\">%1</td>"
                                  "<td>&nbsp;&nbsp;&nbsp;BEI/L&nbsp;<b>%3</b></td></tr>"
                                  "<tr><td align=\"right\">E_SL&nbsp;</td><td align=\"right\">%2</td><td></td></tr></table>")
                       .arg(figure(all.designMJ), figure(all.standardMJ), bei ? BeilCalculation::beiText(*bei) : QStringLiteral("－"));
    const QList<int> incomplete = BeilRooms::rowsWithErrors(problems);
    if (!incomplete.isEmpty())
        text += QStringLiteral("<font color=\"#b00000\">要入力の行が %1 行あります（その室を除いた値です）。</font>").arg(incomplete.size());
    m_ui->Lbl_Building->setText(text);
}

void FBEIL::paintList()
{
    Data_List_Set();
}

void FBEIL::paintRoomUses()
{
    const StandardValues &table = StandardValues::shipped();
    const QString building = text(BeilSheet::kBuildingUse);
    const QStringList uses = table.roomUses(building);
    ListGrid *list = m_ui->Spd_Youto;
    list->clearContents();
    list->setup(int(uses.size()));
    for (int i = 0; i < uses.size(); ++i) {
        const StandardValues::Entry *e = table.find(building, uses[i]);
        list->setCellText(i + 1, 1, uses[i]);
        list->setCellText(i + 1, 2, NumberText::plain(e->energyPerArea));
        list->setCellText(i + 1, 3, NumberText::format(e->hours, QStringLiteral("#,##0")));
        if (uses[i] == text(BeilSheet::kRoomUse))
            list->setActiveCell(i + 1, 1);
    }
}

void FBEIL::Data_calculation()
{
    const int row = panelRow();
    if (row < 1 || row > BeilRecord::kRooms)
        return;
    QList<BeilRooms::Problem> problems;
    BeilSheet::calculate(recordGrid(), row, *this, &m_masters, &problems);
    // A choice that does not suit the room stands out in red, its reason in the message.
    for (int c = 0; c < Controls::kCategories; ++c) {
        bool unsuited = false;
        for (const BeilRooms::Problem &p : std::as_const(problems))
            unsuited = unsuited || (p.warning && p.row == row && p.field == Controls::categoryName(c));
        if (QLineEdit *b = box(BeilSheet::kControls[c]))
            b->setStyleSheet(unsuited ? QStringLiteral("QLineEdit { background: #ffe0e0; color: #b00000; }")
                                      : QStringLiteral("QLineEdit { background: #f4f7ff; color: #101010; }"));
    }
}

// ---------------------------------------------------------------- entry rules and choices

int FBEIL::choiceTab(const QString &box) const
{
    if (box == u"Txt_Gyou")
        return 0;
    if (box == BeilSheet::kBuildingUse)
        return kBuildingTab;
    if (box == BeilSheet::kRoomUse)
        return kRoomUseTab;
    for (int c = 0; c < Controls::kCategories; ++c)
        if (box == BeilSheet::kControls[c])
            return kFirstControlTab + c;
    return -1;
}

void FBEIL::entryRule(const QString &name, Qt::FocusReason)
{
    if (name == u"Txt_Gyou") {
        setTab(0);
        selectAll(name);
        return;
    }
    Data_calculation();
    if (name == u"Btn_Adv")
        return;
    const int tab = choiceTab(name);
    setTab(tab < 0 ? 0 : tab);
    selectAll(name);
}

bool FBEIL::moveOnKey(QObject *watched, int key)
{
    // Enter in the room uses takes the one under the cursor.
    if (watched == m_ui->Spd_Youto && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        pickRoomUse(m_ui->Spd_Youto->activeRow());
        return true;
    }
    return false;
}

void FBEIL::Btn_Tatemono_Click(int index)
{
    const QStringList uses = StandardValues::shipped().buildingUses();
    if (index < 0 || index >= uses.size() || rowFieldInvalid())
        return;
    panelEdited();
    setText(BeilSheet::kBuildingUse, uses[index]);
    // A room use of another building use does not stay: the room's name is proposed instead.
    if (!StandardValues::shipped().find(uses[index], text(BeilSheet::kRoomUse)))
        setText(BeilSheet::kRoomUse, BeilSheet::proposedRoomUse(uses[index], text(BeilSheet::kRoomName)));
    paintRoomUses();
    Data_calculation();
    focus(BeilSheet::kRoomUse);
}

void FBEIL::pickRoomUse(int listRow)
{
    const QString use = m_ui->Spd_Youto->cellText(listRow, 1);
    if (use.isEmpty() || rowFieldInvalid())
        return;
    panelEdited();
    setText(BeilSheet::kRoomUse, use);
    Data_calculation();
    focus(BeilSheet::kStoryHeight);
}

void FBEIL::Btn_Control_Click(int category, int index)
{
    const QList<Controls::Choice> &choices = Controls::choices(category);
    if (index < 0 || index >= choices.size() || rowFieldInvalid())
        return;
    panelEdited();
    setText(BeilSheet::kControls[category], choices[index].text);
    Data_calculation();
    focus(category + 1 < Controls::kCategories ? BeilSheet::kControls[category + 1] : QStringLiteral("Btn_Adv"));
}

bool FBEIL::beforeConfirm()
{
    Data_calculation(); // the room's figures refuse nothing on the panel
    return true;
}

QString FBEIL::erasureQuestion(int row) const
{
    return SharedFields::erasureQuestion(recordGrid(), row, SharedFields::Sheet::Beil, text(BeilSheet::kCount),
                                         text(BeilSheet::kWatts), false);
}

void FBEIL::clearPanel()
{
    // The room's fields here are the other sheets' and read-only: an emptied panel could only
    // erase them. 編集クリア takes back what was typed instead.
    const int row = panelRow();
    if (row >= 1 && row <= BeilRecord::kRooms)
        Screen_Set(row);
    else
        Screen_Clear();
}

// ---------------------------------------------------------------- file, options, exports

void FBEIL::fileLoaded()
{
    RecordGrid &g = recordGrid();
    if (g.colCount() < BeilRecord::kColumns)
        g.setColCount(BeilRecord::kColumns);
    // 台数 as the illuminance sheet's rules give it; the controls as the current sheets spell them.
    QStringList said;
    if (const QString figures = SharedFields::updatedText(SharedFields::bringUpToDate(g, &m_masters)); !figures.isEmpty())
        said.append(figures);
    if (const QList<int> spelt = BeilSheet::currentSpellings(g); !spelt.isEmpty())
        said.append(QStringLiteral("%1 行の制御を現在の様式の書き方にしました（減光 → 減光方式、消灯 → 点滅方式）").arg(spelt.size()));
    setStatusMessage(said.join(QStringLiteral("　")));
}

void FBEIL::fileOpened()
{
    // Rooms without a building use: the options come up at once, to set the default and apply it
    // to them (after a question), also when the default was set before they were added.
    if (!BeilSheet::roomsWithoutBuildingUse(recordGrid()).isEmpty())
        showOptions();
}

void FBEIL::Menu_Option_Click()
{
    showOptions();
}

void FBEIL::showOptions()
{
    FBEILOP dialog(recordGrid(), QDate::currentDate(), this);
    if (Dialogs::instance().execute(dialog) == QDialog::Accepted) {
        // The room on the panel shows the default it got, or is proposed it; what was typed on
        // the panel stays.
        const int row = panelRow();
        if (!isPanelEdited() && row >= 1)
            Screen_Set(row);
        else if (dialog.applied() > 0 && text(BeilSheet::kBuildingUse).isEmpty() && row >= 1)
            setText(BeilSheet::kBuildingUse, recordGrid().text(row, BeilRecord::BuildingUse));
        paintRoomUses();
        Data_calculation();
        Data_List_Set();
    }
    gridChanged();
    focus(QStringLiteral("Txt_Gyou"));
}

bool FBEIL::Make_Print_File()
{
    m_printRows.clear();
    BeilPrintTable::Result result;
    if (!BeilPrintTable::makeLines(recordGrid(), SettingsStore::ReadSetting(QStringLiteral("CompanyName")), dialogFileName(), &result)) {
        if (BeilRooms::hasErrors(result.problems))
            showProblems(result.problems, QStringLiteral("計算書を作成"));
        else
            cannotMakePrintTable(result.error);
        return false;
    }
    // What the figures should be read with goes with the preview.
    QStringList notes;
    for (const BeilRooms::Problem &p : std::as_const(result.problems))
        notes.append(p.message());
    setReportNotice(notes.isEmpty() ? QString() : QStringLiteral("注意 %1 件: %2").arg(notes.size()).arg(notes.join(QStringLiteral(" "))));
    QString error;
    if (BeilPrintTable::write(result, workDatabasePath(), &m_printRows, &error) != PrintTableFile::Status::Ok) {
        cannotMakePrintTable(error);
        m_printRows.clear();
        return false;
    }
    m_totals = {result.designMJ, result.standardMJ};
    return true;
}

bool FBEIL::buildPrintTable(QList<QSqlRecord> *rows)
{
    if (!Make_Print_File())
        return false;
    *rows = m_printRows;
    return true;
}

BandedReport FBEIL::report() const
{
    return RptBEIL::definition(m_totals);
}

bool FBEIL::writeExcel(const QString &path, QString *error)
{
    return XlsxOutput::write(RptBEIL::workbook(m_printRows, m_totals), path, error);
}
