#include "support/ScriptedDialogs.h"

#include <QDialog>

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &text, const QString &title, Icon icon,
                                         Buttons buttons)
{
    asked.append({QStringLiteral("message"), text, title, icon, buttons, 0, {}});
    if (whileShown)
        whileShown();
    if (!answers.isEmpty())
        return answers.takeFirst();
    switch (buttons) {
    case Buttons::YesNo: return Answer::No;
    case Buttons::SaveDiscardCancel:
    case Buttons::ConfirmDiscardCancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}

void ScriptedDialogs::detailedNotice(QWidget *, const QString &text, const QString &detail, Icon icon)
{
    asked.append({QStringLiteral("message"), text, kTitle, icon, Buttons::Ok, 0, detail});
    if (whileShown)
        whileShown();
}

QString ScriptedDialogs::openFile(QWidget *, const QString &initialName, const QString &filter, int filterIndex)
{
    asked.append({QStringLiteral("open"), initialName, filter, Icon::Information, Buttons::Ok, filterIndex, {}});
    return paths.isEmpty() ? QString() : paths.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &initialName, const QString &filter, int filterIndex)
{
    asked.append({QStringLiteral("save"), initialName, filter, Icon::Information, Buttons::Ok, filterIndex, {}});
    return paths.isEmpty() ? QString() : paths.takeFirst();
}

QString ScriptedDialogs::chooseFolder(QWidget *, const QString &start, const QString &caption)
{
    asked.append({QStringLiteral("folder"), start, caption, Icon::Information, Buttons::Ok, 0, {}});
    return paths.isEmpty() ? QString() : paths.takeFirst();
}

int ScriptedDialogs::execute(QDialog &dialog)
{
    asked.append({QStringLiteral("dialog"), dialog.objectName(), dialog.windowTitle(), Icon::Information, Buttons::Ok, 0, {}});
    if (dialogAnswers.isEmpty())
        return QDialog::Rejected;
    return dialogAnswers.takeFirst()(dialog);
}

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Asked &a : asked)
        if (a.kind == u"message")
            out.append(a.text);
    return out;
}

bool ScriptedDialogs::progress(QWidget *, const QString &label, int done, int total)
{
    if (progressSteps.isEmpty() || done < progressSteps.last())
        asked.append({QStringLiteral("progress"), label, QString::number(total), Icon::Information, Buttons::Ok, 0, QString()});
    progressSteps.append(done);
    return cancelAt < 0 || done < cancelAt;
}
