#include "illuminance/FMidashi.h"

#include "grid/RecordGrid.h"
#include "illuminance/RoomRecord.h"
#include "text/JapaneseDate.h"
#include "ui/Cp932Validator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FMidashi::FMidashi(RecordGrid &grid, const QDate &today, QWidget *parent)
    : QDialog(parent), m_grid(grid), m_title1(new QLineEdit(this)), m_title2(new QLineEdit(this)),
      m_date(new QLineEdit(this))
{
    setObjectName(QStringLiteral("F_Midashi"));
    setWindowTitle(QStringLiteral("見出し設定"));
    setModal(true);
    m_title1->setObjectName(QStringLiteral("Txt_Title1"));
    m_title2->setObjectName(QStringLiteral("Txt_Title2"));
    m_date->setObjectName(QStringLiteral("Txt_YYMMDD"));
    for (QLineEdit *e : {m_title1, m_title2})
        e->setMinimumWidth(420);
    for (QLineEdit *e : {m_title1, m_title2, m_date})
        e->setValidator(new Cp932Validator(e));

    const int h = RoomRecord::kHeadingsRow;
    m_title1->setText(grid.text(h, RoomRecord::kTitle1));
    m_title2->setText(grid.text(h, RoomRecord::kTitle2));
    const QString date = grid.text(h, RoomRecord::kDate);
    m_date->setText(date.isEmpty() ? JapaneseDate::format(today) : date);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(ok, &QPushButton::clicked, this, &FMidashi::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid1 = new QGridLayout;
    grid1->addWidget(new QLabel(QStringLiteral("タイトル１"), this), 0, 0);
    grid1->addWidget(m_title1, 0, 1);
    grid1->addWidget(new QLabel(QStringLiteral("タイトル２"), this), 1, 0);
    grid1->addWidget(m_title2, 1, 1);
    grid1->addWidget(new QLabel(QStringLiteral("日  付"), this), 2, 0);
    grid1->addWidget(m_date, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid1);
    layout->addLayout(buttons);
}

void FMidashi::accept()
{
    const int h = RoomRecord::kHeadingsRow;
    m_grid.setText(h, RoomRecord::kTitle1, m_title1->text());
    m_grid.setText(h, RoomRecord::kTitle2, m_title2->text());
    m_grid.setText(h, RoomRecord::kDate, m_date->text());
    QDialog::accept();
}
