#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Answers the program's dialogs from a script and records what was asked.
class ScriptedDialogs : public Dialogs
{
public:
    struct Asked {
        QString kind;   // "message", "open", "save", "dialog" (its object name in text)
        QString text;   // message text, or the initial file name
        QString title;  // message title, or the filter
        Icon icon = Icon::Information;
        Buttons buttons = Buttons::Ok;
        int filterIndex = 0;
        QString detail; // the particulars beneath a notice
    };

    ScriptedDialogs() { Dialogs::setInstance(this); }
    ~ScriptedDialogs() override { Dialogs::setInstance(nullptr); }

    QList<Answer> answers;   // for message boxes, in order; Ok/Yes-less default when empty
    // For the program's own dialogs, in order: each works the dialog's controls and returns its
    // result (QDialog::Accepted / Rejected); with none left the dialog is rejected unseen.
    QList<std::function<int(QDialog &)>> dialogAnswers;
    QStringList paths;       // for file dialogs, in order; "" = cancelled
    QList<Asked> asked;
    // Called while a message box is up, as events the box's own loop would deliver.
    std::function<void()> whileShown;
    // Long work: cancelled once it reports `cancelAt` steps done (-1: never); the steps reported.
    int cancelAt = -1;
    QList<int> progressSteps;

    Answer message(QWidget *, const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    void detailedNotice(QWidget *, const QString &text, const QString &detail, Icon icon) override;
    QString openFile(QWidget *, const QString &initialName, const QString &filter, int filterIndex) override;
    QString saveFile(QWidget *, const QString &initialName, const QString &filter, int filterIndex) override;
    QString chooseFolder(QWidget *, const QString &start, const QString &caption) override;

    int execute(QDialog &dialog) override;
    bool progress(QWidget *, const QString &label, int done, int total) override;

    QStringList messages() const;
};
