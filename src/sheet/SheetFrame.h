#pragma once

#include "grid/Panel.h"
#include "grid/RecordGrid.h"
#include "report/BandedReport.h"
#include "report/ReportOutput.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSqlRecord>
#include <QStringList>

class ListGrid;
class QAbstractButton;
class QCheckBox;
class QInputMethodEvent;
class QKeyEvent;
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

// The frame both calculation sheets stand on. A sheet is its Designer form, its tables and its
// rules; the frame finds the form's shared controls by their names and does for both sheets:
//
//   - the hidden record grid SPD_RecData (221 rows) and the row list SPD_Data;
//   - the panel of named boxes, read and written by name (Panel);
//   - row navigation: the row field Txt_Gyou and its spinner UpDown1, the list's key and mouse
//     release, Confirm (Btn_Adv) moving on to the next row, Clear (Btn_Clear);
//   - the key filter (Enter moves on, numeric boxes take digits, space and the point) and the
//     dispatch of entry and leaving rules by field name;
//   - the File / Edit / Help menus and the toolbar; New, Open, Save and Save as with their
//     messages; preview and print through the sheet's print table;
//   - closing: the work database deleted, the position handed back to the menu.
//
// What a sheet supplies: its Tables (below) and the virtual rules: loading and clearing the
// panel, writing a row, its list, its entry rules, its print table and report.
class SheetFrame : public QMainWindow, public Panel
{
    Q_OBJECT
public:
    struct Tables {
        QString title;                 // the window's caption ("照度計算書")
        QString workDatabaseName;      // the print table's file in the work folder ("t_syou.mdb")
        int columns = 0;               // the record grid's columns
        QStringList freeTextBoxes;     // boxes that take any key; the others take digits only
        QHash<QString, QString> leavingPatterns; // boxes normalised with a display pattern on leaving
        QHash<QString, int> maxLengths;          // characters a box takes as typed or pasted
        QString helpSection;                     // the help file's section of this sheet
        QString reportName;                      // the report's name in file names ("BEIL": office_BEIL.pdf)
        // The work file's filters in the open and save dialogs ("説明|*.syw").
        QString openFilter = QStringLiteral("照度 (*.syw)|*.syw");
        QString saveFilter = QStringLiteral("照度(*.syw)|*.syw");
    };

    static constexpr int kRows = 221;  // rows 1..220, headings in 221
    static constexpr int kLastRow = 220;

    SheetFrame(const Tables &tables, const QString &workFolder, QWidget *parent = nullptr);
    ~SheetFrame() override;

    // The panel, by control name.
    QString text(const QString &name) const override;
    void setText(const QString &name, const QString &text) override;
    void focus(const QString &name) override;
    void setVisible(const QString &name, bool visible) override;
    void setEnabled(const QString &name, bool enabled) override;
    using QWidget::setEnabled;
    using QWidget::setVisible;

    RecordGrid &recordGrid() { return m_recData->grid; }
    const RecordGrid &recordGrid() const { return m_recData->grid; }
    QString currentFileName() const { return m_currentFileName; }
    // The path last chosen in the Open or Save as dialog (printed in the report's footer).
    QString dialogFileName() const { return m_dialogFileName; }
    QString workFolder() const { return m_workFolder; }
    QString workDatabasePath() const;
    // The name the PDF save dialog proposes: the work file's and the report's ("office_BEIL.pdf"),
    // so the reports of one work file never take each other's name; without a work file the
    // sheet's title (made a valid file name) in the last folder used.
    QString pdfName() const;
    // Where the file dialogs open: the folder of the current work file, else the last folder used.
    QString dialogStart(const QString &name) const;
    // What the status bar says of the last value refused ("" when none is).
    QString statusMessage() const;
    // The help file the help menu opens (start-up fixes it beside the program).
    void setHelpFile(const QString &path) { m_helpFile = path; }

    // Loads record row `row` into the panel / clears the panel (the row field excepted).
    virtual void Screen_Set(int row) = 0;
    virtual void Screen_Clear() = 0;

    // Opens a work file given by name (the command line, another copy of the program), after the
    // question about unsaved changes; false when it stays as it was.
    bool openFile(const QString &path);

    // Shared procedures.
    void Record_Clear();
    void Set_Spdtop(ListGrid *list);
    int rowNumber() const;

public slots:
    void Btn_Adv_Click();
    void Btn_Clear_Click();
    void Menu_File_New_Click();
    void Menu_File_Open_Click();
    void Menu_File_Save_Click();
    void Menu_File_NSave_Click();
    void Menu_File_Preview_Click();
    void Menu_File_Printout_Click();
    void Menu_Help_Zeltika_Click();
    void Menu_Help_Version_Click();

signals:
    void closed();

protected:
    // Called by the sheet's constructor once its form is set up: finds the shared controls by name,
    // installs the key filter and the rules, connects menus, toolbar and buttons.
    void attachForm();

    // --- what the sheet supplies (with Screen_Set and Screen_Clear above)
    // Writes the panel into `row` (Confirm).
    virtual void commitRow(int row) = 0;
    // Fills the row list from the record grid.
    virtual void paintList() = 0;
    // The field's entry rule, after the field has taken the focus.
    virtual void entryRule(const QString &name, Qt::FocusReason reason) = 0;
    // The field's leaving rule; by default its display pattern, if it has one.
    virtual void leavingRule(const QString &name);
    // Enter or Tab in `watched`: true when the sheet has handled it.
    virtual bool moveOnKey(QObject *watched, int key);
    // Any other key in one of the sheet's own lists: true when the sheet has handled it.
    virtual bool listKey(QObject *, QKeyEvent *) { return false; }
    // A row was chosen by the row field, the spinner or the list.
    virtual void rowNavigated(int row);
    // A mouse button released in the row list (the row has been loaded already).
    virtual void listMouseReleased(Qt::MouseButton button, QPoint position);
    // The tab control itself took the focus.
    virtual void tabControlEntered() {}
    // The tab whose choices fill the box (-1 when none): F4 or Alt+Down in the box opens it.
    virtual int choiceTab(const QString &box) const;
    // New, after the record grid was cleared: clears whatever else the sheet keeps.
    virtual void sheetCleared() {}
    // Open, after a successful load and before the panel is rebuilt (widen the grid, ...).
    virtual void fileLoaded() {}
    // Open, at its end (ask for missing options, ...).
    virtual void fileOpened() {}
    // Before the panel's unconfirmed edits are written into their row (a question answered
    // 保存する or 確認する): brings the panel's figures up to date as Confirm would find them.
    // False when a value is refused (the focus is on it).
    virtual bool beforeConfirm() { return true; }
    // The question a 確認 of `row` asks before it erases what other sheets use ("" when it erases
    // nothing); いいえ leaves the panel as it is.
    virtual QString erasureQuestion(int) const { return QString(); }
    // 編集クリア: the panel emptied (by default); a sheet whose panel can only destroy when empty
    // shows its row as stored instead.
    virtual void clearPanel() { Screen_Clear(); }
    // Builds the print table and gives its records; false when there is nothing to print (the
    // user has been told why).
    virtual bool buildPrintTable(QList<QSqlRecord> *rows) = 0;
    virtual BandedReport report() const = 0;
    // A choice the preview and the printer dialog offer with the report (none by default).
    virtual bool reportOption(ReportOutput::Option *) { return false; }
    // The report last built as an Excel workbook (the preview's "Excelに保存...").
    virtual bool writeExcel(const QString &path, QString *error) = 0;

    // --- for the sheet's rules
    QLineEdit *box(const QString &name) const { return m_boxes.value(name); }
    bool isBox(const QString &name) const { return m_boxes.contains(name); }
    QTabWidget *tabs() const { return m_tabs; }
    ListGrid *rowList() const { return m_rowList; }
    QString focusedControlName() const;
    // The one way the tab changes: the page shown always follows the tab bar, also when a focus
    // change during a switch asks for another tab (that one is shown once the switch has ended).
    void setTab(int index);
    // Shows the tab and puts the focus on its first choice (a button or a list), remembering the
    // box to return to with Esc.
    void openChoices(int index, const QString &from);
    // Selects the box's whole text, while it has the focus.
    void selectAll(const QString &name);
    // Leaving the row field: a valid row is loaded, an invalid one takes the focus back.
    void rowFieldLeft(bool reload = true);
    void UpDown1_Down();
    void UpDown1_Up();
    // While the row field holds an unusable row, no other field's rules run.
    bool rowFieldInvalid() const { return m_rowFieldInvalid; }
    // Registers a control made by the sheet's own code (not on the form) with the rules.
    void addBox(QLineEdit *box);
    // The status bar's first panel: why a value was refused ("" clears it).
    void setStatusMessage(const QString &text);
    // What the last print table did that the user should know, shown with the preview and in the
    // status bar ("" when nothing).
    void setReportNotice(const QString &text) { m_reportNotice = text; }
    // Tells why no print table was made: "データがありません。" when there is no reason (nothing
    // to print), else the reason under "印刷用データを作成できません。".
    void cannotMakePrintTable(const QString &why);
    // To be called after anything that may have changed the record grid: the title's modified
    // mark follows whether the grid differs from what was last opened or saved.
    void gridChanged();
    // The panel no longer shows what its row holds (rows moved, values copied in): the next pass
    // through the row field loads the row again.
    void forgetShownRow() { m_shownRow = 0; }
    // The row the panel was last loaded from (0 when unknown).
    int shownRow() const { return m_shownRow; }
    // The user changed the panel (typed, picked, chose): the sheet counts as modified until the
    // panel is confirmed, cleared or replaced by another row.
    void panelEdited();
    bool isPanelEdited() const { return m_panelEdited; }
    // Before another row is loaded over edits not yet confirmed: asks whether to confirm them
    // (as the confirm button does), drop them or stay. True when the other row may be loaded.
    bool leavePanelRow();
    // Rows from elsewhere (an import) as the sheet's data, not yet saved under a name, after the
    // question about unsaved changes; false when the user kept what was there.
    bool takeOver(const RecordGrid &grid);
    // Before the stored rows are used while the panel holds edits (an export): the same question;
    // dropped edits leave the panel, which then shows its row as stored. False to stay.
    bool settlePanelEdits();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QMetaObject::Connection m_focusFollower; // keepInSight on every focus change
    bool handleKey(QObject *watched, QKeyEvent *event);
    // Keys that move between the tabs and through their choices; true when handled.
    bool handleChoiceKey(QObject *watched, QKeyEvent *event);
    // The buttons and lists of a tab's page, in reading order.
    QList<QWidget *> choicesOf(int index) const;
    int tabOfChoice(const QWidget *w) const;
    void showPageOfBar();
    // A tab's button as the current choice (highlighted) or not.
    void markChoice(QWidget *choice, bool current);
    // Back from a tab's choices to the box they were opened from (the row field when none).
    void backToChoiceOrigin();
    void setKeyHint(const QString &text);
    // The focused box or button kept in sight in the scrolling panel.
    void keepInSight(QWidget *now);
    bool handleInputMethod(QObject *watched, QInputMethodEvent *event);
    // Saves under the current name, or asks for one; false when nothing was saved.
    bool saveWithQuestion();
    // The columns a save writes: the file's own width, or the grid's when a sheet wrote beyond it.
    int savedColumns() const;
    bool saveGrid(const QString &path, QString *reason);
    bool loadFile(const QString &path);
    // The grid and the panel as a file's data has just come in.
    void showLoaded();
    // Before the data is replaced (New, Open) or the window closes with changes: asks whether to
    // save them (保存する confirms the panel first, then saves). False when the user cancels or
    // the save fails.
    bool settleChanges();
    // The panel's unconfirmed edits into their row; false when the user kept the row as it is.
    bool confirmPanel();
    // The field being edited is left as the focus leaving it would leave it (its leaving rule,
    // then the confirm button's entry rule), whichever way 確認 was pressed.
    void leaveEditedField();
    // The sheet's question before erasing shared values; true when there is none or it is answered はい.
    bool erasureAllowed(int row);
    // What the file on disk was when it was opened or last saved, to see another program's change.
    void rememberFile();
    bool changedByAnotherProgram() const;
    void markSaved();
    void updateTitle();
    // On its first showing the window fits the screen's free area and its title bar is on it.
    void fitToScreen();
    void keepPanelWidth();
    void navigateToRow(int row);
    void listReleased();
    bool confirmPanelRow();
    // The row field and the list back on the panel's row (the user stayed).
    void stayOnPanelRow();
    void connectAction(const QString &name, void (SheetFrame::*slot)());
    void buildStatusBar();
    void showReport(bool onPrinter);

    Tables m_tables;
    QString m_workFolder;
    RecordGridHolder *m_recData;
    QString m_currentFileName;
    QString m_dialogFileName;
    QString m_helpFile;
    QString m_reportNotice;
    int m_entryDepth = 0;
    bool m_rowFieldInvalid = false;
    bool m_firstEntryDone = false;
    bool m_shown = false;
    int m_shownRow = 0; // the row the panel was last loaded from (0: load it again)
    int m_panelRow = 1; // the row whose edits the panel holds
    RecordGrid m_savedGrid; // the grid as last opened or saved
    int m_fileColumns = 0;  // the width of the file as last opened or saved (the sheet's own when new)
    bool m_panelEdited = false;
    bool m_switchingTab = false;   // focus moved by a page that goes away is no entry into a field
    int m_pendingTab = -1;
    QString m_choiceOrigin;        // the box Esc returns to from a tab's choices
    struct FileStamp {
        qint64 size = -1;
        QByteArray hash;
    };
    FileStamp m_fileStamp; // the current file as opened or last saved

    QHash<QString, QLineEdit *> m_boxes;
    QHash<QString, QCheckBox *> m_checks;
    QHash<QString, QLabel *> m_labels;
    QTabWidget *m_tabs = nullptr;
    ListGrid *m_rowList = nullptr;
    QPushButton *m_btnAdv = nullptr;
};
