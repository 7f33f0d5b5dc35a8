#include "ui/Dialogs.h"

#include "ui/ModalScope.h"
#include <QDialog>

#include "ui/QtDialogs.h"

#include <QPointer>
#include <QProgressDialog>

namespace {
Dialogs *g_override = nullptr;
// The window of the long work under way (one at a time: the work runs on the interface's thread).
QPointer<QProgressDialog> g_progress;
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

bool Dialogs::progress(QWidget *parent, const QString &label, int done, int total)
{
    if (done >= total) {
        delete g_progress.data();
        return true;
    }
    if (!g_progress) {
        g_progress = new QProgressDialog(label, QStringLiteral("キャンセル"), 0, total, parent);
        g_progress->setWindowTitle(kTitle);
        g_progress->setWindowModality(Qt::WindowModal);
        g_progress->setMinimumDuration(400);
        g_progress->setAutoClose(false);
        g_progress->setAutoReset(false);
    }
    g_progress->setLabelText(label);
    g_progress->setMaximum(total);
    g_progress->setValue(done); // also lets the window paint and take the click on キャンセル
    if (g_progress->wasCanceled()) {
        delete g_progress.data();
        return false;
    }
    return true;
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
