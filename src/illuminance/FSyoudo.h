#pragma once

#include "grid/RecordGrid.h"
#include "illuminance/IlluminancePanel.h"
#include "ui/SheetWindow.h"

#include <QDate>
#include <QHash>
#include <QPointer>
#include <QSqlRecord>

class BandedReport;
class ListGrid;
class QSqlRecord;
class MasterTables;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class UpDownButtons;

// The hidden record grid of a sheet, reachable by its name like every other control.
class RecordGridHolder : public QObject
{
    Q_OBJECT
public:
    explicit RecordGridHolder(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }
    RecordGrid grid;
};

// The illuminance sheet (照度計算書): rooms in a hidden record grid, one room at a time in the
// edit panel, recalculated live as the user moves from field to field.
class FSyoudo : public SheetWindow, public IlluminancePanel
{
    Q_OBJECT
public:
    FSyoudo(const MasterTables &masters, const QString &workFolder, QWidget *parent = nullptr);

    // The panel, by control name (IlluminancePanel).
    QString text(const QString &name) const override;
    void setText(const QString &name, const QString &text) override;
    void focus(const QString &name) override;
    void setVisible(const QString &name, bool visible) override;
    void setEnabled(const QString &name, bool enabled) override;
    using QWidget::setEnabled;
    using QWidget::setVisible;

    RecordGrid &recordGrid() { return m_recData->grid; }
    const MasterTables &masters() const { return m_masters; }
    FormState &state() { return m_state; }
    QString currentFileName() const { return m_currentFileName; }
    QString previousFieldName() const { return m_previousFieldName; }

    // The sheet's procedures.
    void Record_Clear();
    void Data_List_Clear();
    void Sentaku_List_Clear();
    void SPD_Paint(ListGrid *list);
    void Set_Spdtop(ListGrid *list);
    void Set_Spd_Sentaku();
    void Screen_Set(int row);
    void Screen_Clear();
    void Line_Add();
    void Line_Delete();
    int Data_calculation(const QString &fieldName);
    // Builds the print table in the work folder; the number of printed rows, 0 when there is
    // nothing to print (after telling the user why).
    int Make_Print_File();
    // The path last chosen in the Open or Save as dialog (printed in the report's footer).
    QString dialogFileName() const { return m_dialogFileName; }
    // The help file the help menu opens (start-up fixes it beside the program).
    void setHelpFile(const QString &path) { m_helpFile = path; }
    // Today, for the headings dialog (tests set it).
    void setToday(const QDate &today) { m_today = today; }
    void Kougen_Paint(int &page);
    void Syoumei_Paint(int &page);
    void Room_Paint(int &page);

public slots:
    void Btn_Adv_Click();
    void Btn_Clear_Click();
    void Btn_Hansya_Click(int index);
    void Btn_Hosyu_Click(int index);
    void Btn_Youryou_Click(int index);
    void Btn_KeisanAdv_Click();
    void Menu_File_New_Click();
    void Menu_File_Open_Click();
    void Menu_File_Save_Click();
    void Menu_File_NSave_Click();
    void Menu_File_Preview_Click();
    void Menu_File_Printout_Click();
    void Option_Menu_Midashi_Click();
    void Menu_Help_Zeltika_Click();
    void Menu_Help_Version_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Builds the print table and hands the report to the preview or the printer.
    void showReport(void (*output)(QWidget *, const BandedReport &, const QList<QSqlRecord> &, const QString &));
    void buildMenus();
    void buildToolBar();
    QWidget *buildPanel();
    QWidget *buildTabs();
    QLineEdit *addBox(const QString &name, int width, bool numeric = true);

    void entryRule(const QString &name, Qt::FocusReason reason);
    void commonEntry(const QString &name, int tab);
    void leavingRule(const QString &name);
    bool handleKey(QObject *watched, QKeyEvent *event);
    void rowFieldLeft();
    void UpDown1_Down();
    void UpDown1_Up();
    void UpDown2_Step(int delta);
    void navigateToRow(int row);
    void roomListReleased();
    void showRowMenu(QPoint position);
    void lampEntryChanged(const QString &text);
    void pickLamp(int column, int row);
    void pickLuminaire(int column, int row);
    void pickRoom(int column, int row);
    void setTab(int index);
    QString focusedControlName() const;
    int rowNumber() const;

    const MasterTables &m_masters;
    RecordGridHolder *m_recData;
    FormState m_state;
    QString m_currentFileName;
    QString m_previousFieldName;
    QString m_dialogFileName;
    QDate m_today;
    QString m_helpFile;
    int m_lampPage = 1;
    int m_luminairePage = 1;
    int m_roomPage = 1;
    int m_entryDepth = 0;
    bool m_rowFieldInvalid = false;

    QHash<QString, QLineEdit *> m_boxes;
    QCheckBox *m_chkTousu = nullptr;
    QCheckBox *m_chkDaisu = nullptr;
    QLabel *m_lblHosyu[3] = {};
    QTabWidget *m_tabs = nullptr;
    ListGrid *m_spdData = nullptr;
    ListGrid *m_spdSentaku = nullptr;
    ListGrid *m_spdRoom = nullptr;
    ListGrid *m_spdSyoumei = nullptr;
    ListGrid *m_spdKougen = nullptr;
    QPushButton *m_btnAdv = nullptr;
    QPointer<QWidget> m_rowMenu;
    QList<QSqlRecord> m_printRows; // the print table as the report reads it
};
