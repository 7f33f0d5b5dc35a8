#include "illuminance/FYouken.h"

#include "illuminance/RoomRecord.h"
#include "master/MasterTables.h"
#include "report/PrintTableFile.h"
#include "report/ReportOutput.h"
#include "report/XlsxOutput.h"
#include "settings/SettingsStore.h"
#include "ui/Dialogs.h"
#include "ui_F_Youken.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>

namespace {

// The list's columns: the report's figures, as the report prints them.
const struct {
    const char *caption;
    int line; // the print table's column
} kListColumns[] = {
    {"行", -1},
    {"階", RequirementsCheck::Floor},
    {"室名", RequirementsCheck::RoomName},
    {"照明要件", RequirementsCheck::Task},
    {"Em 要件", RequirementsCheck::EmRequired},
    {"光束法", RequirementsCheck::EmLumen},
    {"平均", RequirementsCheck::EmGrid},
    {"Em 判定", RequirementsCheck::EmVerdict},
    {"Uo 要件", RequirementsCheck::UoRequired},
    {"Uo", RequirementsCheck::Uo},
    {"Uo 判定", RequirementsCheck::UoVerdict},
    {"UGR_L", RequirementsCheck::UgrLimit},
    {"UGR", RequirementsCheck::Ugr},
    {"UGR 判定", RequirementsCheck::UgrVerdict},
    {"Ra 要件", RequirementsCheck::RaRequired},
    {"Ra", RequirementsCheck::Ra},
    {"Ra 判定", RequirementsCheck::RaVerdict},
    {"室の判定", RequirementsCheck::Verdict},
};

constexpr int kNone = 0; // the pick list's first entry: no requirement

} // namespace

FYouken::FYouken(const RecordGrid &grid, const MasterTables &masters, const QString &programDir, const QString &fileName,
                 const QString &workFolder, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Youken), m_grid(grid), m_masters(masters), m_programDir(programDir), m_fileName(fileName),
      m_workFolder(workFolder)
{
    m_ui->setupUi(this);
    // The requirement's column is written by this window: the rows are as wide as it needs.
    if (m_grid.colCount() < RequirementsCheck::kColumn)
        m_grid.setColCount(RequirementsCheck::kColumn);
    auto *list = m_ui->SPD_Youken;
    list->setColumnCount(int(std::size(kListColumns)));
    QStringList captions;
    for (const auto &c : kListColumns)
        captions.append(QString::fromUtf8(c.caption));
    list->setHorizontalHeaderLabels(captions);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    connect(list, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_showing && row >= 0)
            showRoom(row);
    });
    connect(m_ui->Spn_Gyou, &QSpinBox::valueChanged, this, [this](int row) {
        if (m_showing)
            return;
        const int index = roomOfRow(row);
        if (index >= 0)
            showRoom(index);
        else
            m_ui->Lbl_Room->setText(QStringLiteral("%1 行目は使われていません。").arg(row));
    });
    connect(m_ui->Cmb_Youken, &QComboBox::activated, this, &FYouken::requirementPicked);
    connect(m_ui->Btn_Adv, &QPushButton::clicked, this, &FYouken::Btn_Adv_Click);
    connect(m_ui->Btn_Preview, &QPushButton::clicked, this, &FYouken::Btn_Preview_Click);
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
}

void FYouken::showEvent(QShowEvent *event)
{
    // Every column in sight: it opens at most of the screen, not at its least size.
    if (!m_sized) {
        m_sized = true;
        if (const QScreen *s = screen()) {
            const QRect free = s->availableGeometry();
            resize(std::max(width(), std::min(free.width() * 9 / 10, 1500)), std::max(height(), free.height() * 85 / 100));
        }
    }
    QDialog::showEvent(event);
}

FYouken::~FYouken()
{
    delete m_ui;
}

bool FYouken::prepare()
{
    QString error;
    if (!Requirements::load(m_programDir, &m_master, &error)) {
        Dialogs::inform(parentWidget(), QStringLiteral("照明要件のマスタを読み込めません。"), error);
        return false;
    }
    const auto outcomes = RoomDistribution::computeAll(m_grid, m_masters, m_programDir, RoomDistribution::savedMethod(),
                                                       [this](int done, int total) {
                                                           return Dialogs::instance().progress(
                                                               parentWidget(),
                                                               QStringLiteral("照度分布と UGR を計算しています（%1 / %2 室）").arg(done).arg(total),
                                                               done, total);
                                                       });
    if (!outcomes)
        return false;
    m_outcomes = *outcomes;
    m_rooms = RequirementsCheck::rooms(m_grid, m_outcomes, m_master, m_masters);
    m_ui->Cmb_Youken->clear();
    m_ui->Cmb_Youken->addItem(QStringLiteral("（要件なし）"));
    for (const Requirements::Requirement &r : std::as_const(m_master))
        m_ui->Cmb_Youken->addItem(QStringLiteral("%1　%2").arg(r.area, r.task) + (r.toConfirm() ? QStringLiteral("（要確認）") : QString()),
                                  r.task);
    m_ui->Lbl_Master->setText(QStringLiteral("照明要件のマスタ: %1（%2 件）　照度分布の相互反射: %3")
                                  .arg(QDir::toNativeSeparators(QDir(m_programDir).filePath(Requirements::kFile)))
                                  .arg(m_master.size())
                                  .arg(RoomDistribution::methodText(RoomDistribution::savedMethod())));
    paintList();
    if (!m_rooms.isEmpty())
        showRoom(0);
    else
        m_ui->Lbl_Room->setText(QStringLiteral("使用中の室がありません。"));
    return true;
}

int FYouken::roomOfRow(int row) const
{
    for (qsizetype i = 0; i < m_rooms.size(); ++i)
        if (m_rooms[i].rows.contains(row))
            return int(i);
    return -1;
}

void FYouken::paintList()
{
    m_ui->SPD_Youken->setRowCount(int(m_rooms.size()));
    for (int i = 0; i < m_rooms.size(); ++i)
        paintRow(i);
}

void FYouken::paintRow(int index)
{
    const RequirementsCheck::Room &room = m_rooms[index];
    QVariantList line = RequirementsCheck::lines({room}, {}, {}, {}).value(0);
    line[RequirementsCheck::Floor] = room.floor;
    for (int c = 0; c < int(std::size(kListColumns)); ++c) {
        const QString text = kListColumns[c].line < 0 ? room.rowsText() : line.value(kListColumns[c].line).toString();
        auto *cell = new QTableWidgetItem(text);
        const bool figure = c >= 4;
        cell->setTextAlignment(figure ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        if (text == Requirements::verdictText(Requirements::Verdict::Fail))
            cell->setForeground(QColor(0xb0, 0x00, 0x00));
        else if (text == Requirements::verdictText(Requirements::Verdict::NotApplicable))
            cell->setForeground(QColor(0x70, 0x70, 0x70));
        m_ui->SPD_Youken->setItem(index, c, cell);
    }
}

RequirementsCheck::Room FYouken::judged(int index, const QString &task, bool proposed) const
{
    RequirementsCheck::Room room = m_rooms[index];
    room.task = task;
    room.proposed = proposed;
    room.requirement.reset();
    if (const Requirements::Requirement *r = Requirements::find(m_master, task))
        room.requirement = *r;
    room.check = Requirements::check(room.requirement ? &*room.requirement : nullptr, room.figures);
    return room;
}

void FYouken::showRoom(int index)
{
    if (index < 0 || index >= m_rooms.size())
        return;
    m_showing = true;
    m_current = index;
    const RequirementsCheck::Room &room = m_rooms[index];
    m_ui->SPD_Youken->setCurrentCell(index, 0);
    m_ui->Spn_Gyou->setValue(room.rows.value(0));
    m_ui->Lbl_Room->setText(QStringLiteral("%1 行目　%2　%3").arg(room.rowsText(), room.floor, room.name));
    const int at = room.task.isEmpty() ? kNone : m_ui->Cmb_Youken->findData(room.task);
    m_ui->Cmb_Youken->setCurrentIndex(std::max(kNone, at));
    m_ui->Lbl_Proposed->setText(room.proposed ? QStringLiteral("室名から提案（未確認）") : QString());
    m_showing = false;
    requirementPicked();
}

void FYouken::requirementPicked()
{
    if (m_current < 0)
        return;
    const QString task = m_ui->Cmb_Youken->currentData().toString();
    const RequirementsCheck::Room &stored = m_rooms[m_current];
    const RequirementsCheck::Room room = judged(m_current, task, stored.proposed && task == stored.task);
    const Requirements::Requirement *r = room.requirement ? &*room.requirement : nullptr;
    m_ui->Lbl_Summary->setText(r ? QStringLiteral("%1　出典 %2%3　→ %4")
                                       .arg(r->summary(), r->source,
                                            r->note.isEmpty() ? QString() : QStringLiteral("　備考 ") + r->note,
                                            Requirements::verdictText(room.check.room))
                                 : QStringLiteral("照明要件なし（判定しません）"));
    m_ui->Lbl_Reasons->setText(room.check.reasons.join(QStringLiteral("\n")));
    if (task != stored.task)
        m_ui->Lbl_Proposed->setText(QStringLiteral("「確認」で記録します"));
}

void FYouken::Btn_Adv_Click()
{
    if (m_current < 0)
        return;
    const QString task = m_ui->Cmb_Youken->currentData().toString();
    // Every row of the room names it: the room is read from its first row. No requirement is
    // recorded as "—", so that the room's name proposes none the next time.
    const QString stored = task.isEmpty() ? RequirementsCheck::kNoRequirement : task;
    for (int row : std::as_const(m_rooms[m_current].rows)) {
        if (m_grid.text(row, RequirementsCheck::kColumn) != stored)
            m_changed = true;
        m_grid.setText(row, RequirementsCheck::kColumn, stored);
    }
    m_rooms[m_current] = judged(m_current, task, false);
    paintRow(m_current);
    showRoom(std::min(m_current + 1, int(m_rooms.size()) - 1));
}

void FYouken::Btn_Preview_Click()
{
    const QString company = SettingsStore::ReadSetting(QStringLiteral("CompanyName"));
    const int h = RoomRecord::kRows;
    const QStringList headings = {m_grid.text(h, 1), m_grid.text(h, 2), m_grid.text(h, 3)};
    QList<QSqlRecord> records;
    QString error;
    if (PrintTableFile::buildLines(QDir(m_workFolder).filePath(RequirementsCheck::kDatabase), RequirementsCheck::kCreateStatement,
                                   QStringLiteral("W_Data"), RequirementsCheck::ColumnCount,
                                   RequirementsCheck::lines(m_rooms, headings, company, m_fileName), &records, &error)
        != PrintTableFile::Status::Ok) {
        Dialogs::inform(this, QStringLiteral("印刷用データを作成できません。"), error);
        return;
    }
    const QFileInfo file(m_fileName);
    const QString pdfName = m_fileName.isEmpty() ? RequirementsCheck::title() + QStringLiteral(".pdf")
                                                 : file.dir().filePath(file.completeBaseName() + QStringLiteral("_要件.pdf"));
    ReportOutput::preview(this, RequirementsCheck::definition(company), records, RequirementsCheck::title(), pdfName, QString(),
                          nullptr, [records](const QString &path, QString *why) {
                              return XlsxOutput::write(RequirementsCheck::workbook(records), path, why);
                          });
}
