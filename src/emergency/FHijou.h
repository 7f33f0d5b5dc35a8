#pragma once

#include "emergency/EmergencyMaster.h"
#include "emergency/EmergencyRooms.h"
#include "emergency/ReachTable.h"
#include "emergency/RptHijou.h"
#include "sheet/SheetFrame.h"

#include <QHash>
#include <QTimer>

class MasterTables;
namespace Ui {
class F_Hijou;
}

// The emergency-lighting sheet (非常用照明): the rooms of a work file, per row a kind of emergency
// luminaire (器具, 台数, 取付高さ, 配置), per room whether it is checked; the room's plan, its
// minimum and its verdict follow every change. The luminaires come from the master hijou.csv
// beside the program; its 配置表 are worked out from their photometry. What is here is this
// sheet's alone; the frame does the rest.
class FHijou : public SheetFrame
{
    Q_OBJECT
public:
    FHijou(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);
    ~FHijou() override;

    static constexpr int kSlotTab = 1;
    static constexpr int kReachTab = 2;

    // Where hijou.csv and its photometry are (the program's folder unless set).
    void setProgramDir(const QString &dir);
    QString programDir() const;
    const EmergencyMaster::Master &master() const { return m_master; }

    void Screen_Set(int row) override;
    void Screen_Clear() override;
    void Data_List_Set();
    // The room of the row on the panel worked out now (the panel's edits do it a moment later).
    void Data_calculation();
    bool Make_Print_File();

public slots:
    void pickSlot(int listRow);
    void Btn_Import_Click();
    void Option_Menu_Midashi_Click();
    void Menu_File_Csv_Click();
    // DXF に書き出す: every room's plan, or the panel's room alone.
    void Menu_File_Dxf_Click(bool all);

protected:
    void commitRow(int row) override;
    void paintList() override;
    void entryRule(const QString &name, Qt::FocusReason reason) override;
    bool moveOnKey(QObject *watched, int key) override;
    void fileLoaded() override;
    bool beforeConfirm() override;
    void clearPanel() override;
    int choiceTab(const QString &box) const override;
    bool buildPrintTable(QList<QSqlRecord> *rows) override;
    BandedReport report() const override;
    bool writeExcel(const QString &path, QString *error) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadMaster();
    void paintSlots();
    void paintReachTable();
    // The 配置表 of luminaire `slot` (the selector above it), the row untouched.
    void showReachOf(int slot);
    void schedule();
    // The room of `row` worked out with the panel's values: plan, figures and verdict.
    void showRoom(int row);
    // The refusal last put in the status bar goes once none of `still` is it.
    void forgetRefusal(const QList<EmergencyRooms::Refusal> &still = {});
    int panelRow() const;
    // Every room worked out; false (the user told why) when one cannot be.
    bool roomsToWrite(QList<EmergencyRooms::Room> *rooms, const QString &what);

    Ui::F_Hijou *m_ui;
    QString m_programDir;
    EmergencyMaster::Master m_master;
    QString m_masterError;
    EmergencyRooms::Lights m_lights;
    QHash<int, QList<ReachTable::Line>> m_reach;
    QTimer m_planTimer;
    QString m_refusal; // the refusal the status bar shows, while its cause is there
    bool m_loading = false;
    QList<QSqlRecord> m_printRows;
    RptHijou::Pages m_pages;
};
