#include "ui/QtDialogs.h"

#include "ui/ModalScope.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString runFileDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &initialPath,
                      const QString &filter, int filterIndex)
{
    QFileDialog dialog(parent);
    // A folder in front of the name is where the dialog opens.
    const QFileInfo path(initialPath);
    const QString initialName = initialPath.contains(u'/') ? path.fileName() : initialPath;
    // Without one, the user's documents: never the folder some other dialog of the run was last
    // in (a photometric file's folder is no place for a work file).
    if (initialPath.contains(u'/'))
        dialog.setDirectory(path.absolutePath());
    else
        dialog.setDirectory(QtDialogs::defaultFolder());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = QtDialogs::qtFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters[filterIndex - 1]);
    // A wildcard as the initial name only selects the filter; it is not offered as a file name.
    if (!initialName.contains(u'*'))
        dialog.selectFile(initialName);
    if (mode == QFileDialog::AcceptSave && initialName.startsWith(QStringLiteral("*.")))
        dialog.setDefaultSuffix(initialName.mid(2));
    else if (mode == QFileDialog::AcceptSave && !QFileInfo(initialName).suffix().isEmpty())
        dialog.setDefaultSuffix(QFileInfo(initialName).suffix());
    // Room for the names, types and dates of the list, within the screen.
    if (const QScreen *screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        dialog.resize(std::min(900, free.width() * 9 / 10), std::min(560, free.height() * 85 / 100));
    }
    if (auto *list = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        list->header()->setSectionResizeMode(QHeaderView::Interactive);
        list->header()->resizeSection(0, 360);
        for (int c = 1; c < list->header()->count(); ++c)
            list->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    const ModalScope running(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// Keep the changes (the default: Enter loses nothing), drop them, or cancel (Esc).
Dialogs::Answer keepDropOrCancel(QMessageBox &box, const QString &keepText, const QString &dropText, Dialogs::Answer keep)
{
    QPushButton *keepButton = box.addButton(keepText, QMessageBox::AcceptRole);
    QPushButton *drop = box.addButton(dropText, QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(keepButton);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == keepButton)
        return keep;
    return box.clickedButton() == drop ? Dialogs::Answer::Discard : Dialogs::Answer::Cancel;
}

} // namespace

QString QtDialogs::defaultFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QStringList QtDialogs::qtFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        if (!description.contains(u'('))
            description += QStringLiteral(" (%1)").arg(patterns);
        out.append(description);
    }
    return out;
}

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &text, const QString &title, Icon icon,
                                   Buttons buttons)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, parent);
    const ModalScope running(parent);
    switch (buttons) {
    case Buttons::Ok:
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Answer::Ok;
    case Buttons::YesNo: {
        QPushButton *yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        // Enter never replaces or drops anything: the safe answer is the default.
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    case Buttons::SaveDiscardCancel:
        return keepDropOrCancel(box, QStringLiteral("保存する(&S)"), QStringLiteral("保存しない(&N)"), Answer::Save);
    case Buttons::ConfirmDiscardCancel:
        return keepDropOrCancel(box, QStringLiteral("確認する(&K)"), QStringLiteral("破棄する(&D)"), Answer::Confirm);
    }
    return Answer::Cancel;
}

void QtDialogs::detailedNotice(QWidget *parent, const QString &text, const QString &detail, Icon icon)
{
    QMessageBox box(toQt(icon), kTitle, text, QMessageBox::NoButton, parent);
    box.setInformativeText(detail);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    const ModalScope running(parent);
    box.exec();
}

QString QtDialogs::openFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex)
{
    return runFileDialog(parent, QFileDialog::AcceptOpen, initialName, filter, filterIndex);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &initialName, const QString &filter, int filterIndex)
{
    return runFileDialog(parent, QFileDialog::AcceptSave, initialName, filter, filterIndex);
}

QString QtDialogs::chooseFolder(QWidget *parent, const QString &start, const QString &caption)
{
    QFileDialog dialog(parent, caption);
    const QFileInfo at(start);
    dialog.setDirectory(start.isEmpty() ? defaultFolder() : at.isDir() ? at.absoluteFilePath() : at.absolutePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const ModalScope running(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
