#include "ui/ButtonKeys.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace ButtonKeys {

namespace {

class Filter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button || !(qobject_cast<QPushButton *>(button) || qobject_cast<QToolButton *>(button)) || !button->hasFocus()
            || !button->isEnabled() || qobject_cast<QDialog *>(button->window()))
            return false;
        button->animateClick();
        return true;
    }
};

} // namespace

void install(QCoreApplication *app)
{
    static Filter *filter = nullptr;
    if (!filter) {
        filter = new Filter(app);
        app->installEventFilter(filter);
    }
}

} // namespace ButtonKeys
