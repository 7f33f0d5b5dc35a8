#pragma once

#include "illuminance/IlluminancePanel.h"
#include "sheet/SheetFrame.h"

#include <QDate>
#include <QPointer>

class MasterTables;
namespace Ui {
class F_Syoudo;
}

// The illuminance sheet (照度計算書): rooms in the frame's record grid, one room at a time in the
// edit panel, recalculated live as the user moves from field to field. What is here is the
// illuminance sheet's alone: its rules, its pick lists and pickers, its print table.
class FSyoudo : public SheetFrame
{
    Q_OBJECT
public:
    FSyoudo(MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);
    ~FSyoudo() override;

    const MasterTables &masters() const { return m_masters; }
    FormState &state() { return m_state; }
    QString previousFieldName() const { return m_previousFieldName; }

    // The sheet's procedures.
    void Data_List_Clear();
    void Sentaku_List_Clear();
    void SPD_Paint(ListGrid *list);
    using SheetFrame::Set_Spdtop;
    void Set_Spd_Sentaku();
    void Screen_Set(int row) override;
    void Screen_Clear() override;
    void Line_Add();
    void Line_Delete();
    int Data_calculation(const QString &fieldName);
    // Builds the print table in the work folder; the number of printed rows, 0 when there is
    // nothing to print or the table cannot be made (after telling the user why).
    int Make_Print_File();
    // Where the masters are (the program's folder unless set).
    void setProgramDir(const QString &dir) { m_programDir = dir; }
    QString programDir() const;
    // Today, for the headings dialog (tests set it).
    void setToday(const QDate &today) { m_today = today; }
    void Kougen_Paint(int &page);
    void Syoumei_Paint(int &page);
    void Room_Paint(int &page);

public slots:
    void Btn_Hansya_Click(int index);
    void Btn_Hosyu_Click(int index);
    void Btn_Youryou_Click(int index);
    void Btn_KeisanAdv_Click();
    void Option_Menu_Midashi_Click();
    // 配光データから照明器具を追加: the dialog, then the new luminaire in the pick list at once.
    void Menu_Option_Photometry_Click();
    // 照度分布: the distribution of the room on the panel (as it stands, confirmed or not).
    void Menu_Option_Bunpu_Click();
    // 照明要件チェック: the sheet's rooms against their requirements; a requirement recorded there
    // comes into the sheet's rows (saved with the sheet).
    void Menu_Option_Youken_Click();

protected:
    void commitRow(int row) override;
    void paintList() override;
    void entryRule(const QString &name, Qt::FocusReason reason) override;
    void leavingRule(const QString &name) override;
    bool moveOnKey(QObject *watched, int key) override;
    // The pick lists' cursor crosses their pages: all 80 slots by the keyboard.
    bool listKey(QObject *watched, QKeyEvent *event) override;
    void rowNavigated(int row) override;
    void listMouseReleased(Qt::MouseButton button, QPoint position) override;
    void tabControlEntered() override { Set_Spd_Sentaku(); }
    void sheetCleared() override;
    bool beforeConfirm() override;
    QString erasureQuestion(int row) const override;
    // Stored figures that no longer follow their rows' inputs are worked out again as the file opens.
    void fileLoaded() override;
    int choiceTab(const QString &box) const override;
    bool buildPrintTable(QList<QSqlRecord> *rows) override;
    BandedReport report() const override;
    bool writeExcel(const QString &path, QString *error) override;
    // 照度分布を付ける: the distribution pages after the report (remembered in the settings).
    bool reportOption(ReportOutput::Option *option) override;

private:
    void setUpPickLists();
    void connectPickers();
    void commonEntry(const QString &name, int tab);
    void showRowMenu(QPoint position);
    void lampEntryChanged(const QString &text);
    void pickLamp(int column, int row);
    void pickLuminaire(int column, int row);
    void pickRoom(int column, int row);
    void UpDown2_Step(int delta);
    void linesMoved();
    // The lamp entry pair closed, so the lamp name shows.
    void closeLampEntry();
    // The flux box takes input exactly while the lamp is typed by hand.
    void updateFluxBox();
    // The maintenance choices of the room's luminaire (none without one).
    void updateMaintenanceChoices();

    Ui::F_Syoudo *m_ui;
    MasterTables &m_masters; // the luminaire master gains what 配光データから照明器具を追加 writes
    QString m_programDir;
    FormState m_state;
    QString m_previousFieldName;
    QDate m_today;
    int m_lampPage = 1;
    int m_luminairePage = 1;
    int m_roomPage = 1;
    QList<QSqlRecord> m_printRows; // the print table as the report reads it
    QPointer<QWidget> m_rowMenu;
    bool m_openingPerFitting = false; // the lamp entry is left for the lamps per fitting
};
