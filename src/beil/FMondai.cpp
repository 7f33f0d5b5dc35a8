#include "beil/FMondai.h"

#include "ui_F_Mondai.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidgetItem>

FMondai::FMondai(const QList<BeilRooms::Problem> &problems, const QString &what, QWidget *parent)
    : QDialog(parent), m_ui(new Ui::F_Mondai), m_problems(problems)
{
    m_ui->setupUi(this);
    const qsizetype errors = std::count_if(problems.begin(), problems.end(), [](const auto &p) { return !p.warning; });
    const qsizetype warnings = problems.size() - errors;
    QString summary = errors > 0 ? QStringLiteral("%1できません。入力が足りない、または使えない値が %2 件あります。").arg(what).arg(errors)
                                 : QStringLiteral("%1。").arg(what);
    if (warnings > 0)
        summary += QStringLiteral("注意が %1 件あります（制御の選択が室の条件に合いません）。").arg(warnings);
    m_ui->Lbl_Summary->setText(summary);
    QTableWidget *list = m_ui->Spd_Mondai;
    list->setRowCount(int(problems.size()));
    for (int i = 0; i < problems.size(); ++i) {
        const BeilRooms::Problem &p = problems[i];
        // The content reads as a sentence: the field, its value, what is wrong with it.
        const QString content = p.field + (p.value.isEmpty() ? QString() : QStringLiteral("「%1」").arg(p.value)) + p.reason;
        const QStringList cells = {p.warning ? QStringLiteral("注意") : QStringLiteral("要入力"), QString::number(p.row), p.room,
                                   p.field, p.value, content};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 0)
                item->setForeground(p.warning ? QColor(0x8a, 0x5a, 0x00) : QColor(0xb0, 0x00, 0x00));
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(p.message());
            list->setItem(i, c, item);
        }
    }
    list->verticalHeader()->hide();
    list->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    list->resizeColumnsToContents();
    list->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    if (!problems.isEmpty())
        list->selectRow(0);
    connect(list, &QTableWidget::cellDoubleClicked, this, [this](int line, int) { choose(line); });
    connect(m_ui->Btn_Jump, &QPushButton::clicked, this, [this] { choose(m_ui->Spd_Mondai->currentRow()); });
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->Btn_Jump->setEnabled(!problems.isEmpty());
}

FMondai::~FMondai()
{
    delete m_ui;
}

void FMondai::choose(int line)
{
    if (line < 0 || line >= m_problems.size())
        return;
    m_row = m_problems[line].row;
    accept();
}
