#pragma once

#include <QMainWindow>

// The common ground of the two calculation sheets: on closing, the sheet's report work database
// is deleted from the work folder, its position is stored, and `closed` tells the main menu to
// come back there.
class SheetWindow : public QMainWindow
{
    Q_OBJECT
public:
    SheetWindow(const QString &workFolder, const QString &workDatabaseName, QWidget *parent = nullptr);

    QString workFolder() const { return m_workFolder; }
    QString workDatabasePath() const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString m_workFolder;
    QString m_workDatabaseName;
};
