#pragma once

#include "ui/Dialogs.h"

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs : public Dialogs
{
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons) override;
    void detailedNotice(QWidget *parent, const QString &text, const QString &detail, Icon icon) override;
    QString openFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex) override;
    QString saveFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex) override;
    QString chooseFolder(QWidget *parent, const QString &start, const QString &caption) override;

    // Where a file dialog given no folder opens: the user's documents (else the home folder).
    static QString defaultFolder();
    // "照度(*.syw)|*.syw" -> the Qt name filters, one per pair.
    static QStringList qtFilters(const QString &filter);
};
