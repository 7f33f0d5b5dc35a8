#include "ui/Dialogs.h"

#include "ui/QtDialogs.h"

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

void Dialogs::inform(QWidget *parent, const QString &text)
{
    instance().message(parent, text, kTitle, Icon::Information, Buttons::Ok);
}

bool Dialogs::ask(QWidget *parent, const QString &text)
{
    return instance().message(parent, text, kTitle, Icon::Information, Buttons::YesNo) == Answer::Yes;
}
