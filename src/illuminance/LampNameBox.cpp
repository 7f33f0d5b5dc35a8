#include "illuminance/LampNameBox.h"

#include <QChildEvent>
#include <QLineEdit>

#include <algorithm>

LampNameBox::LampNameBox(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QLineEdit *LampNameBox::child(const char *name) const
{
    return findChild<QLineEdit *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

QSize LampNameBox::sizeHint() const
{
    const QLineEdit *name = child("Txt_Kougen");
    return {200, name ? name->sizeHint().height() : QLineEdit().sizeHint().height()};
}

void LampNameBox::resizeEvent(QResizeEvent *)
{
    placeBoxes();
}

void LampNameBox::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    if (event->type() == QEvent::ChildAdded && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildPolished)
        placeBoxes();
}

bool LampNameBox::eventFilter(QObject *, QEvent *event)
{
    // The entry's width depends on whether the lamps-per-fitting box is open beside it.
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        placeBoxes();
    return false;
}

void LampNameBox::placeBoxes()
{
    QLineEdit *name = child("Txt_Kougen");
    QLineEdit *entry = child("Txt_WKougen");
    QLineEdit *perFitting = child("Txt_WTousu");
    if (!name || !entry || !perFitting)
        return;
    const int w = width();
    const int h = height();
    const int perWidth = std::max(40, w / 5);
    name->setGeometry(0, 0, w, h);
    // Alone, the entry covers the whole name box; beside the lamps per fitting it leaves room.
    entry->setGeometry(0, 0, perFitting->isVisibleTo(this) ? w - perWidth - 2 : w, h);
    perFitting->setGeometry(w - perWidth, 0, perWidth, h);
    entry->raise();
    perFitting->raise();
}
