#include "sheet/SheetFrame.h"

#include "text/NumberText.h"
#include "ui/Dialogs.h"
#include "ui/Cp932Validator.h"
#include "ui/ListGrid.h"
#include "ui/UpDownButtons.h"
#include "version.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <QToolBar>

SheetFrame::~SheetFrame()
{
    // The panel's boxes lose their focus as the widget base class takes them down, after this
    // frame is gone.
    disconnect(m_focusFollower);
}

SheetFrame::SheetFrame(const Tables &tables, const QString &workFolder, QWidget *parent)
    : QMainWindow(parent), m_tables(tables), m_workFolder(workFolder),
      m_recData(new RecordGridHolder(QStringLiteral("SPD_RecData"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_recData->grid.setSize(kRows, tables.columns);
    m_savedGrid = m_recData->grid;
    m_fileColumns = tables.columns;
}

QString SheetFrame::workDatabasePath() const
{
    return QDir(m_workFolder).filePath(m_tables.workDatabaseName);
}

// ---------------------------------------------------------------- the form

void SheetFrame::attachForm()
{
    updateTitle();
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (edit->objectName().startsWith(QStringLiteral("Txt_")))
            addBox(edit);
    }
    for (QCheckBox *check : findChildren<QCheckBox *>())
        m_checks.insert(check->objectName(), check);
    for (QLabel *label : findChildren<QLabel *>()) {
        if (label->objectName().startsWith(QStringLiteral("Lbl_")))
            m_labels.insert(label->objectName(), label);
    }
    m_tabs = findChild<QTabWidget *>(QStringLiteral("STab_Main"));
    m_rowList = findChild<ListGrid *>(QStringLiteral("SPD_Data"));
    m_btnAdv = findChild<QPushButton *>(QStringLiteral("Btn_Adv"));
    Q_ASSERT(m_tabs && m_rowList && m_btnAdv && m_boxes.contains(QStringLiteral("Txt_Gyou")));

    // Every push button: Enter presses it, and its focus may run a rule (the confirm button).
    for (QPushButton *button : findChildren<QPushButton *>())
        button->installEventFilter(this);
    for (QCheckBox *check : std::as_const(m_checks))
        check->installEventFilter(this);
    m_tabs->tabBar()->setFocusPolicy(Qt::ClickFocus);
    m_tabs->tabBar()->installEventFilter(this);
    // The choices of the tabs are reached with F4 from their box, never by Tab: Tab past the last
    // button of the panel comes back to its first box.
    for (int i = 0; i < m_tabs->count(); ++i) {
        for (QWidget *w : m_tabs->widget(i)->findChildren<QWidget *>()) {
            if (w->focusPolicy() & Qt::TabFocus)
                w->setFocusPolicy(Qt::ClickFocus);
            if (qobject_cast<QPushButton *>(w) || qobject_cast<ListGrid *>(w))
                w->installEventFilter(this);
        }
    }
    // Whatever changed the tab, the page shown follows the bar once the change has ended.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { QTimer::singleShot(0, this, &SheetFrame::showPageOfBar); });
    m_focusFollower = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keepInSight(now); });

    m_rowList->setup(kLastRow);
    const int widths[] = {56, 150, 120, 170, 130}; // 階数, 室名１, 室名２, 照明器具, 光源名称
    for (int c = 0; c < std::min(5, m_rowList->columnCount()); ++c)
        m_rowList->setColumnWidth(c, widths[c]);
    m_rowList->installEventFilter(this);
    connect(m_rowList, &ListGrid::keyReleased, this, [this] { listReleased(); });
    connect(m_rowList, &ListGrid::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint position) {
                listReleased();
                listMouseReleased(button, position);
            });

    if (auto *upDown1 = findChild<UpDownButtons *>(QStringLiteral("UpDown1"))) {
        connect(upDown1, &UpDownButtons::downClicked, this, &SheetFrame::UpDown1_Down);
        connect(upDown1, &UpDownButtons::upClicked, this, &SheetFrame::UpDown1_Up);
    }
    connect(m_btnAdv, &QPushButton::clicked, this, &SheetFrame::Btn_Adv_Click);
    if (auto *clear = findChild<QPushButton *>(QStringLiteral("Btn_Clear")))
        connect(clear, &QPushButton::clicked, this, &SheetFrame::Btn_Clear_Click);

    // Menus: each menu's own action carries the menu's name.
    for (QMenu *menu : findChildren<QMenu *>())
        menu->menuAction()->setObjectName(menu->objectName());
    connectAction(QStringLiteral("Menu_File_New"), &SheetFrame::Menu_File_New_Click);
    connectAction(QStringLiteral("Menu_File_Open"), &SheetFrame::Menu_File_Open_Click);
    connectAction(QStringLiteral("Menu_File_Save"), &SheetFrame::Menu_File_Save_Click);
    connectAction(QStringLiteral("Menu_File_NSave"), &SheetFrame::Menu_File_NSave_Click);
    connectAction(QStringLiteral("Menu_File_Preview"), &SheetFrame::Menu_File_Preview_Click);
    connectAction(QStringLiteral("Menu_File_Printout"), &SheetFrame::Menu_File_Printout_Click);
    connectAction(QStringLiteral("Menu_Help_Zeltika"), &SheetFrame::Menu_Help_Zeltika_Click);
    connectAction(QStringLiteral("Menu_Help_Version"), &SheetFrame::Menu_Help_Version_Click);
    if (auto *exit = findChild<QAction *>(QStringLiteral("Menu_File_Exit")))
        connect(exit, &QAction::triggered, this, &QWidget::close);
    // Copy and paste go to the focused control as the keystrokes would.
    const auto sendKey = [](int key) {
        if (QWidget *w = QApplication::focusWidget()) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
            QApplication::sendEvent(w, &release);
        }
    };
    if (auto *copy = findChild<QAction *>(QStringLiteral("Menu_Edit_Copy")))
        connect(copy, &QAction::triggered, this, [sendKey] { sendKey(Qt::Key_C); });
    if (auto *paste = findChild<QAction *>(QStringLiteral("Menu_Edit_Paste")))
        connect(paste, &QAction::triggered, this, [sendKey] { sendKey(Qt::Key_V); });

    // Toolbar, by button position: 2 new, 3 open, 4 save, 6 print, 7 preview.
    const struct {
        const char *name;
        QStyle::StandardPixmap icon;
        void (SheetFrame::*slot)();
    } buttons[] = {
        {"TB_Main_2", QStyle::SP_FileIcon, &SheetFrame::Menu_File_New_Click},
        {"TB_Main_3", QStyle::SP_DialogOpenButton, &SheetFrame::Menu_File_Open_Click},
        {"TB_Main_4", QStyle::SP_DialogSaveButton, &SheetFrame::Menu_File_Save_Click},
        {"TB_Main_6", QStyle::SP_FileDialogDetailedView, &SheetFrame::Menu_File_Printout_Click},
        {"TB_Main_7", QStyle::SP_FileDialogContentsView, &SheetFrame::Menu_File_Preview_Click},
    };
    for (const auto &b : buttons) {
        if (auto *action = findChild<QAction *>(QString::fromLatin1(b.name))) {
            action->setIcon(style()->standardIcon(b.icon));
            connect(action, &QAction::triggered, this, b.slot);
        }
    }
    buildStatusBar();
    keepPanelWidth();
    box(QStringLiteral("Txt_Gyou"))->setText(QStringLiteral("1"));
}

void SheetFrame::addBox(QLineEdit *edit)
{
    const QString name = edit->objectName();
    // Only text that a work file can hold may be typed or pasted; numeric boxes take numbers only.
    const bool numeric = !m_tables.freeTextBoxes.contains(name);
    edit->setValidator(new Cp932Validator(edit, numeric, m_tables.maxLengths.value(name, 0)));
    if (numeric) {
        edit->setAttribute(Qt::WA_InputMethodEnabled, false); // digits only: no input method
        edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
        edit->setAcceptDrops(false); // dropped text would pass by the key filter
    }
    edit->installEventFilter(this);
    // Typing, pasting or cutting in a box is an edit of the panel (the row number is no data).
    if (name != u"Txt_Gyou")
        connect(edit, &QLineEdit::textEdited, this, &SheetFrame::panelEdited);
    m_boxes.insert(name, edit);
}

void SheetFrame::connectAction(const QString &name, void (SheetFrame::*slot)())
{
    if (auto *action = findChild<QAction *>(name))
        connect(action, &QAction::triggered, this, slot);
}

void SheetFrame::buildStatusBar()
{
    auto *panel1 = new QLabel(this);
    panel1->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    auto *panel2 = new QLabel(QStringLiteral("Ver %1.%2.%3")
                                  .arg(PRX5M_VERSION_MAJOR)
                                  .arg(PRX5M_VERSION_MINOR)
                                  .arg(PRX5M_VERSION_PATCH),
                              this);
    panel2->setObjectName(QStringLiteral("StatusBar1_Panel2"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    auto *keys = new QLabel(this);
    keys->setObjectName(QStringLiteral("StatusBar1_Keys"));
    statusBar()->addWidget(panel1, 1);
    statusBar()->addPermanentWidget(keys);
    statusBar()->addPermanentWidget(panel2);
}

void SheetFrame::keepPanelWidth()
{
    // The panel keeps its width and scrolls up and down when the window is low: room for the
    // scroll bar beside it, so no box is cut on the right.
    if (auto *area = findChild<QScrollArea *>(QStringLiteral("PanelArea")); area && area->widget()) {
        area->widget()->ensurePolished();
        area->setMinimumWidth(area->widget()->sizeHint().width() + area->verticalScrollBar()->sizeHint().width()
                              + 2 * area->frameWidth());
    }
}

void SheetFrame::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        // Measured again as shown: the styles and fonts of the screen decide the boxes' sizes.
        keepPanelWidth();
        fitToScreen();
    }
    QMainWindow::showEvent(event);
}

void SheetFrame::fitToScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    // Smaller than the form's size on a small screen (the panel scrolls), never below the minimum.
    resize(std::max(minimumWidth(), std::min(width(), free.width())),
           std::max(minimumHeight(), std::min(height(), free.height() - 30)));
    // The stored place may lie partly off the screen, but the title bar stays reachable.
    QPoint at = pos();
    at.setX(std::clamp(at.x(), free.left() - width() + 200, free.right() - 200));
    at.setY(std::clamp(at.y(), free.top(), std::max(free.top(), free.bottom() - 100)));
    if (at != pos())
        move(at);
}

void SheetFrame::setStatusMessage(const QString &text)
{
    if (auto *panel = findChild<QLabel *>(QStringLiteral("StatusBar1_Panel1")))
        panel->setText(text);
}

void SheetFrame::cannotMakePrintTable(const QString &why)
{
    if (why.isEmpty())
        Dialogs::inform(this, QStringLiteral("データがありません。"));
    else
        Dialogs::instance().message(this, QStringLiteral("印刷用データを作成できません。\n%1").arg(why), Dialogs::kTitle,
                                    Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

QString SheetFrame::statusMessage() const
{
    const auto *panel = findChild<QLabel *>(QStringLiteral("StatusBar1_Panel1"));
    return panel ? panel->text() : QString();
}

void SheetFrame::gridChanged()
{
    setWindowModified(m_panelEdited || !(m_recData->grid == m_savedGrid));
}

void SheetFrame::panelEdited()
{
    m_panelEdited = true;
    setWindowModified(true);
}

void SheetFrame::markSaved()
{
    m_savedGrid = m_recData->grid;
    updateTitle();
    gridChanged();
}

void SheetFrame::updateTitle()
{
    // The sheet, its file and the modified mark ([*], shown while the grid differs from the file).
    QString title = m_tables.title;
    if (!m_currentFileName.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(m_currentFileName).fileName();
    setWindowTitle(title + QStringLiteral("[*]"));
}

// ---------------------------------------------------------------- the panel by name

QString SheetFrame::text(const QString &name) const
{
    if (QLineEdit *edit = m_boxes.value(name))
        return edit->text();
    if (QCheckBox *check = m_checks.value(name))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (QLabel *label = m_labels.value(name))
        return label->text();
    return QString();
}

void SheetFrame::setText(const QString &name, const QString &text)
{
    if (QLineEdit *edit = m_boxes.value(name)) {
        if (edit->text() != text) {
            edit->setText(text);
            // A value wider than its box shows its start, and whole in the tool tip.
            if (!edit->hasFocus())
                edit->setCursorPosition(0);
            const int room = edit->contentsRect().width() - 8;
            edit->setToolTip(edit->fontMetrics().horizontalAdvance(text) > room ? text : QString());
        }
    } else if (QCheckBox *check = m_checks.value(name)) {
        check->setChecked(text == u"1");
    } else if (QLabel *label = m_labels.value(name)) {
        label->setText(text);
    }
}

void SheetFrame::focus(const QString &name)
{
    QWidget *w = m_boxes.value(name);
    if (!w && name == u"Btn_Adv")
        w = m_btnAdv;
    if (!w)
        return; // a control array member or no control at all: nothing to focus
    w->setFocus(Qt::OtherFocusReason);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->selectAll();
    keepInSight(w);
}

void SheetFrame::setVisible(const QString &name, bool visible)
{
    if (QLineEdit *edit = m_boxes.value(name))
        edit->setVisible(visible);
}

void SheetFrame::setEnabled(const QString &name, bool enabled)
{
    if (QLineEdit *edit = m_boxes.value(name))
        edit->setEnabled(enabled);
}

QString SheetFrame::focusedControlName() const
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

int SheetFrame::rowNumber() const
{
    return NumberText::toInt(text(QStringLiteral("Txt_Gyou")));
}

void SheetFrame::setTab(int index)
{
    if (m_switchingTab) {
        m_pendingTab = index;
        return;
    }
    m_switchingTab = true;
    m_tabs->setCurrentIndex(index);
    m_switchingTab = false;
    showPageOfBar();
    if (m_pendingTab >= 0) {
        const int pending = std::exchange(m_pendingTab, -1);
        if (pending != m_tabs->currentIndex())
            setTab(pending);
    }
}

void SheetFrame::showPageOfBar()
{
    auto *stack = m_tabs->findChild<QStackedWidget *>();
    if (stack && stack->currentIndex() != m_tabs->currentIndex())
        stack->setCurrentIndex(m_tabs->currentIndex());
}

void SheetFrame::keepInSight(QWidget *now)
{
    auto *area = findChild<QScrollArea *>(QStringLiteral("PanelArea"));
    if (now && area && area->widget() && area->widget()->isAncestorOf(now))
        area->ensureWidgetVisible(now, 8, 8);
}

void SheetFrame::selectAll(const QString &name)
{
    // A field whose entry sent the focus back elsewhere (a refused value) keeps no selection.
    if (QLineEdit *edit = m_boxes.value(name); edit && edit->hasFocus())
        edit->selectAll();
}

// ---------------------------------------------------------------- rows

void SheetFrame::Record_Clear()
{
    RecordGrid &g = m_recData->grid;
    g.reset();
    g.setSize(kRows, m_tables.columns);
}

void SheetFrame::Set_Spdtop(ListGrid *list)
{
    list->scrollToTopLeft();
}

void SheetFrame::Btn_Adv_Click()
{
    const int r = rowNumber();
    // Only rows 1 to 220 take a room: the headings row is never written by Confirm.
    if (r < 1 || r > kLastRow) {
        box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The figures written are those of what was typed, however the button was pressed.
    leaveEditedField();
    if (!beforeConfirm() || !erasureAllowed(r))
        return; // a value refused (the focus is on it), or the erasure declined
    commitRow(r);
    m_panelEdited = false;
    m_panelRow = r;
    if (r >= kLastRow)
        setText(QStringLiteral("Txt_Gyou"), QString::number(kLastRow));
    else
        UpDown1_Down();
    paintList();
    gridChanged();
    box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void SheetFrame::leaveEditedField()
{
    QWidget *w = QApplication::focusWidget();
    if (!w || w->window() != this || m_boxes.value(w->objectName()) != w || w->objectName() == u"Txt_Gyou")
        return;
    const QString name = w->objectName();
    m_btnAdv->setFocus(Qt::OtherFocusReason);
    if (QApplication::focusWidget() == w) {
        // The focus could not move (the window is not the active one): the rule runs all the same.
        m_boxes.value(name)->deselect();
        leavingRule(name);
    }
}

bool SheetFrame::erasureAllowed(int row)
{
    const QString question = erasureQuestion(row);
    return question.isEmpty() || Dialogs::ask(this, question, Dialogs::Icon::Warning);
}

void SheetFrame::Btn_Clear_Click()
{
    clearPanel();
    m_panelEdited = false;
    gridChanged();
    box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void SheetFrame::navigateToRow(int row)
{
    // The row is the panel's before it is loaded: what the sheet works out as it loads is that row's.
    m_shownRow = m_panelRow = row;
    Screen_Set(row);
    m_panelEdited = false;
    gridChanged();
    m_rowList->setActiveCell(row, 1);
    rowNavigated(row);
}

void SheetFrame::rowNavigated(int) {}

bool SheetFrame::leavePanelRow()
{
    if (!m_panelEdited)
        return true;
    switch (Dialogs::instance().message(this, QStringLiteral("%1 行目の編集内容を確認しますか？").arg(m_panelRow),
                                        Dialogs::kTitle, Dialogs::Icon::Question,
                                        Dialogs::Buttons::ConfirmDiscardCancel)) {
    case Dialogs::Answer::Confirm:
        return confirmPanelRow();
    case Dialogs::Answer::Discard:
        return true;
    default:
        return false;
    }
}

bool SheetFrame::settlePanelEdits()
{
    if (!m_panelEdited)
        return true;
    if (!leavePanelRow())
        return false;
    if (m_panelEdited && m_panelRow >= 1 && m_panelRow <= kLastRow)
        navigateToRow(m_panelRow); // dropped: the row as it is stored
    return true;
}

bool SheetFrame::confirmPanelRow()
{
    const int row = m_panelRow;
    if (row < 1 || row > kLastRow)
        return false;
    leaveEditedField();
    if (!beforeConfirm() || !erasureAllowed(row))
        return false; // a value refused: the panel keeps it, with the focus on it
    commitRow(row);
    m_panelEdited = false;
    paintList();
    gridChanged();
    return true;
}

void SheetFrame::stayOnPanelRow()
{
    setText(QStringLiteral("Txt_Gyou"), QString::number(m_panelRow));
    m_rowList->setActiveCell(m_panelRow, 1);
}

void SheetFrame::rowFieldLeft(bool reload)
{
    const double value = NumberText::leading(text(QStringLiteral("Txt_Gyou")));
    const int row = value >= 1 && value < kRows ? int(value) : 0;
    if (row < 1) {
        setStatusMessage(QStringLiteral("行№ は 1 以上 %1 以下の整数を入力してください。").arg(kLastRow));
        // Back to the row field once the focus change under way has ended.
        m_rowFieldInvalid = true;
        QTimer::singleShot(0, this, [this] {
            if (QLineEdit *gyou = box(QStringLiteral("Txt_Gyou")))
                gyou->setFocus(Qt::OtherFocusReason);
            m_rowFieldInvalid = false;
        });
        return;
    }
    if (statusMessage().startsWith(QStringLiteral("行№")))
        setStatusMessage(QString());
    // Passing through the row field without changing it keeps the edits on the panel; so does a
    // spinner at its end.
    if ((!reload && row == m_shownRow) || (m_panelEdited && row == m_panelRow))
        return;
    if (!leavePanelRow()) {
        stayOnPanelRow();
        return;
    }
    navigateToRow(row);
}

void SheetFrame::UpDown1_Down()
{
    const int row = rowNumber();
    if (row < kLastRow)
        setText(QStringLiteral("Txt_Gyou"), QString::number(row + 1));
    rowFieldLeft();
}

void SheetFrame::UpDown1_Up()
{
    const int row = rowNumber();
    if (row > 1)
        setText(QStringLiteral("Txt_Gyou"), QString::number(row - 1));
    rowFieldLeft();
}

void SheetFrame::listReleased()
{
    const int row = m_rowList->activeRow();
    if (row < 1 || (m_panelEdited && row == m_panelRow))
        return;
    if (!leavePanelRow()) {
        stayOnPanelRow();
        return;
    }
    setText(QStringLiteral("Txt_Gyou"), QString::number(row));
    m_shownRow = m_panelRow = row;
    Screen_Set(row);
    m_panelEdited = false;
    gridChanged();
}

void SheetFrame::listMouseReleased(Qt::MouseButton, QPoint) {}
