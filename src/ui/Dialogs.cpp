#include "ui/Dialogs.h"

#include "ui/ModalScope.h"
#include <QDialog>

#include "ui/QtDialogs.h"

#include <QDialog>

namespace {
Dialogs *g_override = nullptr;
}

Dialogs &Dialogs::instance()
{
    static QtDialogs qtDialogs;
    return g_override ? *g_override : qtDialogs;
}

void Dialogs::setInstance(Dialogs *dialogs)
{
    g_override = dialogs;
}

int Dialogs::execute(QDialog &dialog)
{
    const ModalScope running(dialog.parentWidget());
    return dialog.exec();
}

void Dialogs::detailedNotice(QWidget *parent, const QString &text, const QString &detail, Icon icon)
{
    message(parent, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail, kTitle, icon, Buttons::Ok);
}

void Dialogs::inform(QWidget *parent, const QString &text, const QString &detail)
{
    if (detail.isEmpty())
        instance().message(parent, text, kTitle, Icon::Information, Buttons::Ok);
    else
        instance().detailedNotice(parent, text, detail, Icon::Information);
}

bool Dialogs::ask(QWidget *parent, const QString &text, Icon icon)
{
    return instance().message(parent, text, kTitle, icon, Buttons::YesNo) == Answer::Yes;
}
