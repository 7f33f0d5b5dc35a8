#include "ui/UpDownButtons.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDownButtons::UpDownButtons(const QString &name, QWidget *parent) : UpDownButtons(parent)
{
    setObjectName(name);
}

UpDownButtons::UpDownButtons(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setObjectName(QStringLiteral("Up"));
    m_down->setObjectName(QStringLiteral("Down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &UpDownButtons::upClicked);
    connect(m_down, &QToolButton::clicked, this, &UpDownButtons::downClicked);
}
