#include "ui/SheetWindow.h"

#include "ui/WindowPosition.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>

SheetWindow::SheetWindow(const QString &workFolder, const QString &workDatabaseName, QWidget *parent)
    : QMainWindow(parent), m_workFolder(workFolder), m_workDatabaseName(workDatabaseName)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

QString SheetWindow::workDatabasePath() const
{
    return QDir(m_workFolder).filePath(m_workDatabaseName);
}

void SheetWindow::closeEvent(QCloseEvent *event)
{
    const QString db = workDatabasePath();
    if (QFile::exists(db))
        QFile::remove(db);
    WindowPosition::store(this);
    event->accept();
    emit closed();
}
