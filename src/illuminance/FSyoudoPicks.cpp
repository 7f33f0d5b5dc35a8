// The illuminance sheet's pick lists (tabs 1 to 3), pickers (tabs 4 to 7), print table and
// headings dialog.
#include "illuminance/FBunpu.h"
#include "illuminance/FYouken.h"
#include "illuminance/FHaikou.h"
#include "illuminance/RoomDistribution.h"
#include "illuminance/RoomRecord.h"
#include "illuminance/FMidashi.h"
#include "illuminance/FSyoudo.h"

#include "illuminance/RoomFigures.h"
#include "illuminance/IlluminancePrintTable.h"
#include "illuminance/PickLists.h"
#include "illuminance/RoomSheet.h"
#include "illuminance/RptSyoudo.h"
#include "report/XlsxOutput.h"
#include "master/FixedField.h"
#include "master/MasterTables.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui/ListGrid.h"
#include "ui/UpDownButtons.h"
#include "ui_F_Syoudo.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>

namespace {

// Paints one page of a pick list and advances its page variable.
void paintPickList(ListGrid *list, const MasterTables &masters, int &page,
                   QString (*cellText)(const MasterTables &, int))
{
    for (int r = 1; r <= PickLists::kRows; ++r)
        for (int c = 1; c <= PickLists::kColumns; ++c)
            list->setCellText(r, c, cellText(masters, PickLists::slotAt(page, c, r)));
    page = PickLists::nextPage(page);
}

} // namespace

void FSyoudo::setUpPickLists()
{
    for (ListGrid *grid : {m_ui->Spd_Room, m_ui->Spd_Syoumei, m_ui->Spd_Kougen}) {
        grid->setColumnCount(PickLists::kColumns);
        grid->setup(PickLists::kRows);
        grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        // Each cell is a slot: the highlight is the one cell the cursor is on.
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->installEventFilter(this);
    }
    m_ui->Spd_Sentaku->installEventFilter(this);
    // The reflectance patterns beside their buttons.
    for (int i = 0; i < 3; ++i) {
        const RoomSheet::Reflectance p = RoomSheet::reflectancePattern(i + 1);
        const int values[] = {p.ceiling, p.wall, p.floor};
        for (int c = 0; c < 3; ++c)
            setText(QStringLiteral("Lbl_Hansya_%1_%2").arg(i).arg(c), QStringLiteral("%1 %").arg(values[c]));
    }
}

void FSyoudo::connectPickers()
{
    connect(m_ui->UD_Room, &UpDownButtons::upClicked, this, [this] { Room_Paint(m_roomPage); });
    connect(m_ui->UD_Room, &UpDownButtons::downClicked, this, [this] { Room_Paint(m_roomPage); });
    connect(m_ui->UD_Syoumei, &UpDownButtons::upClicked, this, [this] { Syoumei_Paint(m_luminairePage); });
    connect(m_ui->UD_Syoumei, &UpDownButtons::downClicked, this, [this] { Syoumei_Paint(m_luminairePage); });
    connect(m_ui->UD_Kougen, &UpDownButtons::upClicked, this, [this] { Kougen_Paint(m_lampPage); });
    connect(m_ui->UD_Kougen, &UpDownButtons::downClicked, this, [this] { Kougen_Paint(m_lampPage); });
    connect(m_ui->Spd_Room, &QTableWidget::cellClicked, this, [this](int r, int c) { pickRoom(c + 1, r + 1); });
    connect(m_ui->Spd_Syoumei, &QTableWidget::cellClicked, this, [this](int r, int c) { pickLuminaire(c + 1, r + 1); });
    connect(m_ui->Spd_Kougen, &QTableWidget::cellClicked, this, [this](int r, int c) { pickLamp(c + 1, r + 1); });
    const QPushButton *hansya[] = {m_ui->Btn_Hansya_0, m_ui->Btn_Hansya_1, m_ui->Btn_Hansya_2};
    const QPushButton *hosyu[] = {m_ui->Btn_Hosyu_0, m_ui->Btn_Hosyu_1, m_ui->Btn_Hosyu_2};
    const QPushButton *youryou[] = {m_ui->Btn_Youryou_0, m_ui->Btn_Youryou_1, m_ui->Btn_Youryou_2};
    for (int i = 0; i < 3; ++i) {
        connect(hansya[i], &QPushButton::clicked, this, [this, i] { Btn_Hansya_Click(i); });
        connect(hosyu[i], &QPushButton::clicked, this, [this, i] { Btn_Hosyu_Click(i); });
        connect(youryou[i], &QPushButton::clicked, this, [this, i] { Btn_Youryou_Click(i); });
    }
    connect(m_ui->Btn_KeisanAdv, &QPushButton::clicked, this, &FSyoudo::Btn_KeisanAdv_Click);
}

// ---------------------------------------------------------------- pick lists

void FSyoudo::Kougen_Paint(int &page)
{
    paintPickList(m_ui->Spd_Kougen, m_masters, page, &PickLists::lampCellText);
}

void FSyoudo::Syoumei_Paint(int &page)
{
    paintPickList(m_ui->Spd_Syoumei, m_masters, page, &PickLists::luminaireCellText);
}

void FSyoudo::Room_Paint(int &page)
{
    paintPickList(m_ui->Spd_Room, m_masters, page, &PickLists::roomCellText);
}

void FSyoudo::pickLamp(int column, int row)
{
    if (rowFieldInvalid())
        return;
    const int number = PickLists::pickedNumber(m_ui->Spd_Kougen->cellText(row, column));
    if (number == 0)
        return;
    m_state.lampIndex = number;
    panelEdited();
    const QString name = FixedField::trimmedRight(m_masters.lamp(number).name);
    setText(QStringLiteral("Txt_WKougen"), name);
    setText(QStringLiteral("Txt_Kougen"), name);
    m_ui->Txt_WKougen->hide();
    updateFluxBox();
    // The pick stands for the lamp entry: the next calculation takes it as the field just
    // entered, so the lamps-per-fitting box stays open for its number.
    m_previousFieldName = QStringLiteral("Txt_WKougen");
    m_openingPerFitting = true;
    m_ui->Txt_WTousu->show();
    m_ui->Txt_WTousu->setFocus(Qt::OtherFocusReason);
    m_openingPerFitting = false;
}

void FSyoudo::pickLuminaire(int column, int row)
{
    if (rowFieldInvalid())
        return;
    const int number = PickLists::pickedNumber(m_ui->Spd_Syoumei->cellText(row, column));
    if (number != 0) {
        m_state.luminaireIndex = number;
        panelEdited();
        setText(QStringLiteral("Txt_Kigu"), FixedField::trimmedRight(m_masters.luminaire(number).name));
        updateMaintenanceChoices();
        m_ui->Txt_Kougen->setFocus(Qt::OtherFocusReason);
    }
    Data_calculation(m_previousFieldName);
}

void FSyoudo::pickRoom(int column, int row)
{
    if (rowFieldInvalid())
        return;
    const QString name = m_ui->Spd_Room->cellText(row, column);
    if (name.isEmpty())
        return;
    setText(QStringLiteral("Txt_Shitsu"), name);
    panelEdited();
    m_ui->Txt_Shitsu2->setFocus(Qt::OtherFocusReason);
}

void FSyoudo::lampEntryChanged(const QString &entry)
{
    if (m_state.lampIndex != 0 && entry != FixedField::trimmedRight(m_masters.lamp(m_state.lampIndex).name))
        m_state.lampIndex = 0;
}

// ---------------------------------------------------------------- pickers (tabs 4 to 7)

void FSyoudo::Btn_Hansya_Click(int index)
{
    const RoomSheet::Reflectance p = RoomSheet::reflectancePattern(index + 1);
    panelEdited();
    setText(QStringLiteral("Txt_Hrten"), QString::number(p.ceiling));
    setText(QStringLiteral("Txt_Hrkabe"), QString::number(p.wall));
    setText(QStringLiteral("Txt_Hryuka"), QString::number(p.floor));
    m_state.reflectanceChoice = index + 1;
    if (m_state.luminaireIndex != 0) {
        Data_calculation(focusedControlName());
        focus(QStringLiteral("Txt_Horitsu"));
    } else {
        focus(QStringLiteral("Txt_Syouritsu"));
    }
}

void FSyoudo::Btn_Hosyu_Click(int index)
{
    setText(QStringLiteral("Txt_Horitsu"), text(QStringLiteral("Lbl_Hosyu_%1").arg(index)));
    panelEdited();
    m_state.maintenanceChoice = index;
    Data_calculation(focusedControlName());
    focus(QStringLiteral("Txt_Tousu2"));
}

void FSyoudo::Btn_Youryou_Click(int index)
{
    panelEdited();
    focus(RoomSheet::Btn_Youryou_Click(index, *this, m_state, m_masters));
}

void FSyoudo::Btn_KeisanAdv_Click()
{
    RoomSheet::addTotalCapacity(recordGrid(), m_ui->Spd_Sentaku->selectedRowNumbers(), rowNumber(), *this);
    m_ui->Spd_Sentaku->clearSelection();
    forgetShownRow();
    gridChanged();
    Dialogs::inform(this, QStringLiteral("合計容量計算を実行しました。"));
    focus(QStringLiteral("Btn_Adv"));
}

// ---------------------------------------------------------------- print table and headings

int FSyoudo::Make_Print_File()
{
    QString error;
    m_printRows.clear();
    const int rows = IlluminancePrintTable::build(recordGrid(), SettingsStore::ReadSetting(QStringLiteral("CompanyName")),
                                                  dialogFileName(), workDatabasePath(), &error, &m_printRows, nullptr,
                                                  &m_masters);
    if (rows == 0) {
        Dialogs::inform(this, QStringLiteral("データがありません。"));
        return 0;
    }
    if (rows < 0) {
        Dialogs::instance().message(this, error, Dialogs::kTitle, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return 0;
    }
    return rows;
}

bool FSyoudo::buildPrintTable(QList<QSqlRecord> *rows)
{
    if (Make_Print_File() == 0)
        return false;
    *rows = m_printRows;
    return true;
}

BandedReport FSyoudo::report() const
{
    return RptSyoudo::definition();
}

bool FSyoudo::writeExcel(const QString &path, QString *error)
{
    return XlsxOutput::write(RptSyoudo::workbook(m_printRows), path, error);
}

bool FSyoudo::reportOption(ReportOutput::Option *option)
{
    const auto setting = [](const char *name) { return SettingsStore::ReadSetting(QString::fromLatin1(name)) == u"1"; };
    const auto keeper = [](const char *name) {
        return [name](bool on) {
            SettingsStore::WriteSetting(QString::fromLatin1(name), on ? QStringLiteral("1") : QStringLiteral("0"));
        };
    };
    // The inter-reflection as the distribution's window last had it (radiosity unless uniform).
    const auto uniform = [](bool on) {
        RoomDistribution::saveMethod(on ? Distribution::InterReflection::Uniform : Distribution::InterReflection::Radiosity);
    };
    option->choices = {{QStringLiteral("照度分布を付ける"), setting("AttachDistribution"), keeper("AttachDistribution")},
                       {QStringLiteral("計算点の値を表示"), setting("DistributionPointValues"), keeper("DistributionPointValues")},
                       {QStringLiteral("相互反射を一様（光束法）で計算"),
                        RoomDistribution::savedMethod() == Distribution::InterReflection::Uniform, uniform}};
    option->report = [this](const QList<bool> &on) -> std::optional<BandedReport> {
        BandedReport report = RptSyoudo::definition();
        if (on.value(0)) {
            // Every room's distribution takes a while: how far it is is shown, and it can be cancelled.
            const auto rooms = RoomDistribution::computeAll(
                recordGrid(), m_masters, programDir(),
                on.value(2) ? Distribution::InterReflection::Uniform : Distribution::InterReflection::Radiosity,
                [this](int done, int total) {
                    return Dialogs::instance().progress(this, QStringLiteral("照度分布を計算しています（%1 / %2 室）").arg(done).arg(total),
                                                        done, total);
                });
            if (!rooms)
                return std::nullopt;
            report.extraPages = RoomDistribution::pages(
                *rooms, RoomDistribution::headingsOf(recordGrid(), SettingsStore::ReadSetting(QStringLiteral("CompanyName"))),
                {true, on.value(1)});
        }
        return report;
    };
    return true;
}

QString FSyoudo::programDir() const
{
    return m_programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_programDir;
}

void FSyoudo::Menu_Option_Photometry_Click()
{
    FHaikou dialog(m_masters, programDir(), this);
    dialog.setSheet(&recordGrid());
    if (Dialogs::instance().execute(dialog) != QDialog::Accepted)
        return;
    const int slot = dialog.writtenSlot();
    m_masters.setLuminaire(slot, dialog.writtenRecord());
    // The luminaire list turned to the page that holds the new slot.
    int page = 1;
    for (int p = 1, seen = 0; seen < 8; p = PickLists::nextPage(p), ++seen) {
        bool here = false;
        for (int r = 1; r <= PickLists::kRows; ++r)
            for (int c = 1; c <= PickLists::kColumns; ++c)
                here = here || PickLists::slotAt(p, c, r) == slot;
        if (here) {
            page = p;
            break;
        }
    }
    m_luminairePage = page;
    Syoumei_Paint(m_luminairePage);
    setTab(2);
    setStatusMessage(QStringLiteral("スロット %1 に「%2」を登録しました。照明器具種類の一覧から選べます。")
                         .arg(slot)
                         .arg(FixedField::trimmedRight(dialog.writtenRecord().name)));
}

void FSyoudo::Menu_Option_Bunpu_Click()
{
    // The room as the panel shows it, with the rows beside it that light the same room.
    RecordGrid sheet = recordGrid();
    const int row = rowNumber();
    RoomSheet::commit(sheet, row, *this, m_state);
    RoomFigures::recomputeAll(sheet, &m_masters); // the figures its inputs give, typed a moment ago or not
    const QString saveFolder = currentFileName().isEmpty() ? QString() : QFileInfo(currentFileName()).absolutePath();
    FBunpu window(sheet, row, m_masters, programDir(),
                  RoomDistribution::headingsOf(sheet, SettingsStore::ReadSetting(QStringLiteral("CompanyName"))), saveFolder,
                  this);
    Dialogs::instance().execute(window);
}

void FSyoudo::Menu_Option_Youken_Click()
{
    // The rooms as stored, the panel's edits first as 確認 would write them.
    if (!settlePanelEdits())
        return;
    RecordGrid sheet = recordGrid();
    RoomFigures::recomputeAll(sheet, &m_masters);
    FYouken window(sheet, m_masters, programDir(), currentFileName(), workFolder(), this);
    if (!window.prepare())
        return;
    Dialogs::instance().execute(window);
    if (!window.changed())
        return;
    RecordGrid &grid = recordGrid();
    if (grid.colCount() < RequirementsCheck::kColumn)
        grid.setColCount(RequirementsCheck::kColumn);
    for (int r = 1; r <= RoomRecord::kRooms; ++r)
        grid.setText(r, RequirementsCheck::kColumn, window.grid().text(r, RequirementsCheck::kColumn));
    gridChanged();
}

void FSyoudo::Option_Menu_Midashi_Click()
{
    FMidashi dialog(recordGrid(), m_today.isValid() ? m_today : QDate::currentDate(), this);
    dialog.exec();
    gridChanged();
}
