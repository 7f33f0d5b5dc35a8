#pragma once

#include "beil/BeilPrintTable.h"
#include "beil/RptBEIL.h"
#include "sheet/SheetFrame.h"

class MasterTables;
class QPushButton;
namespace Ui {
class F_BEIL;
}

// The lighting primary-energy sheet (一次エネルギー（照明）, BEI/L): the rooms of a work file with
// their 建物用途 and 室用途, the room index, and per kind of luminaire its power, count and the four
// automatic controls; the row's F and the room's E_L, E_SL and BEI/L follow every change. What is
// here is this sheet's alone; the frame does the rest.
class FBEIL : public SheetFrame
{
    Q_OBJECT
public:
    // The masters give a capacity worked out on the illuminance sheet when a 台数 changed here
    // reaches it.
    FBEIL(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);
    ~FBEIL() override;

    static constexpr int kBuildingTab = 1;
    static constexpr int kRoomUseTab = 2;
    static constexpr int kFirstControlTab = 3;

    void Screen_Set(int row) override;
    void Screen_Clear() override;
    void Data_List_Set();
    // The figures of the row on the panel.
    void Data_calculation();
    bool Make_Print_File();

public slots:
    void Btn_Tatemono_Click(int index);
    void pickRoomUse(int listRow);
    void Btn_Control_Click(int category, int index);
    void Btn_Form4_Click();
    // 公式入力シート（様式1・様式4）を書き出す: the workbook of both official sheets.
    void Menu_File_Official_Click();
    // 既存の公式入力シートに書き込む...: into the building's own official workbook.
    void Menu_File_OfficialInto_Click();
    // 公式入力シートを読み込む: an official workbook or 様式4 CSV as the sheet's rooms.
    void Menu_File_Import_Click();
    void Menu_Option_Click();

protected:
    void commitRow(int row) override;
    void paintList() override;
    void entryRule(const QString &name, Qt::FocusReason reason) override;
    bool moveOnKey(QObject *watched, int key) override;
    void fileLoaded() override;
    void fileOpened() override;
    bool beforeConfirm() override;
    QString erasureQuestion(int row) const override;
    void clearPanel() override;
    int choiceTab(const QString &box) const override;
    bool buildPrintTable(QList<QSqlRecord> *rows) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    BandedReport report() const override;
    bool writeExcel(const QString &path, QString *error) override;

private:
    void makeChoiceButtons();
    void setUpList();
    void fitListColumns();
    void showBuilding(const QList<BeilRooms::Room> &rooms, const QList<BeilRooms::Problem> &problems);
    // The list of every problem; 行へ移動 shows the row chosen. True when none stops `what`.
    bool showProblems(const QList<BeilRooms::Problem> &problems, const QString &what);
    void jumpTo(int row);
    // The rooms as stored, every problem said first; false when there is none to write.
    bool roomsToWrite(QList<BeilRooms::Room> *rooms, const QString &what);
    void paintRoomUses();
    int panelRow() const;
    void showOptions();

    Ui::F_BEIL *m_ui;
    const MasterTables &m_masters;
    bool m_loading = false;
    QList<QSqlRecord> m_printRows;
    RptBEIL::Totals m_totals;
};
