// The frame's keys: the numeric boxes' characters, Enter and Tab, the choices of the tabs reached
// from their boxes, and the entry and leaving rules run as the focus moves.
#include "sheet/SheetFrame.h"

#include "text/NumberText.h"
#include "ui/ListGrid.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace {

const QString kChoiceHint = QStringLiteral("矢印キーで選び、Enter で決定、Esc で入力欄に戻ります。");

} // namespace

int SheetFrame::choiceTab(const QString &) const
{
    return -1;
}

QList<QWidget *> SheetFrame::choicesOf(int index) const
{
    QList<QWidget *> out;
    if (index < 0 || index >= m_tabs->count())
        return out;
    for (QWidget *w : m_tabs->widget(index)->findChildren<QWidget *>())
        if ((qobject_cast<QPushButton *>(w) || qobject_cast<ListGrid *>(w)) && w->isEnabled() && !w->isHidden())
            out.append(w);
    const QWidget *page = m_tabs->widget(index);
    std::stable_sort(out.begin(), out.end(), [page](const QWidget *a, const QWidget *b) {
        const QPoint pa = a->mapTo(page, QPoint(0, 0)), pb = b->mapTo(page, QPoint(0, 0));
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    return out;
}

int SheetFrame::tabOfChoice(const QWidget *w) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->widget(i)->isAncestorOf(w))
            return i;
    return -1;
}

void SheetFrame::openChoices(int index, const QString &from)
{
    m_switchingTab = true;
    m_tabs->setCurrentIndex(index);
    showPageOfBar();
    const QList<QWidget *> choices = choicesOf(index);
    if (!choices.isEmpty()) {
        m_choiceOrigin = from;
        QWidget *first = choices.first();
        if (auto *list = qobject_cast<ListGrid *>(first); list && list->currentRow() < 0)
            list->setActiveCell(1, 1);
        first->setFocus(Qt::TabFocusReason);
    }
    m_switchingTab = false;
    m_pendingTab = -1;
    setKeyHint(kChoiceHint);
}

void SheetFrame::markChoice(QWidget *choice, bool current)
{
    // The button the arrows are on is the one Enter chooses: it is highlighted as a list's cell
    // is, not only framed.
    if (!qobject_cast<QPushButton *>(choice))
        return;
    QPalette palette;
    if (current) {
        palette = choice->palette();
        palette.setColor(QPalette::Button, palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::ButtonText, palette.color(QPalette::Active, QPalette::HighlightedText));
    }
    choice->setPalette(palette);
    choice->setProperty("current", current);
}

void SheetFrame::backToChoiceOrigin()
{
    const QString back = m_choiceOrigin.isEmpty() ? QStringLiteral("Txt_Gyou") : m_choiceOrigin;
    if (QLineEdit *origin = box(back); origin && origin->isVisible())
        origin->setFocus(Qt::OtherFocusReason);
    else
        box(QStringLiteral("Txt_Gyou"))->setFocus(Qt::OtherFocusReason);
}

void SheetFrame::setKeyHint(const QString &text)
{
    if (auto *hint = findChild<QLabel *>(QStringLiteral("StatusBar1_Keys"))) {
        hint->setText(text);
        // The status bar keeps a permanent field at its first width: room for the whole hint.
        hint->setMinimumWidth(hint->fontMetrics().horizontalAdvance(text) + 8);
    }
}

void SheetFrame::leavingRule(const QString &name)
{
    const auto pattern = m_tables.leavingPatterns.constFind(name);
    if (pattern != m_tables.leavingPatterns.constEnd())
        setText(name, NumberText::format(NumberText::leading(text(name)), *pattern));
}

bool SheetFrame::moveOnKey(QObject *, int)
{
    return false;
}

namespace {

// A full-width digit, point or blank typed with the input method on, as its half-width form;
// other characters unchanged.
QChar halfWidth(QChar c)
{
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
        return QChar(u'0' + (c.unicode() - 0xFF10));
    if (c.unicode() == 0xFF0E)
        return QChar(u'.');
    if (c.unicode() == 0x3000)
        return QChar(u' ');
    return c;
}

bool numericCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == QChar(8) || c == u' ' || c == u'.';
}

} // namespace

bool SheetFrame::handleChoiceKey(QObject *watched, QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, the focus on its first choice.
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (mods & Qt::ControlModifier)) {
        const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        const int n = m_tabs->count();
        const int index = (m_tabs->currentIndex() + (back ? n - 1 : 1)) % n;
        const QString from = m_boxes.contains(watched->objectName()) ? watched->objectName() : m_choiceOrigin;
        openChoices(index, from.isEmpty() ? QStringLiteral("Txt_Gyou") : from);
        return true;
    }
    auto *w = qobject_cast<QWidget *>(watched);
    // F4 or Alt+Down in a box: its choices.
    if (m_boxes.contains(watched->objectName())
        && (key == Qt::Key_F4 || (key == Qt::Key_Down && mods == Qt::AltModifier))) {
        const int tab = choiceTab(watched->objectName());
        if (tab < 0)
            return false;
        openChoices(tab, watched->objectName());
        return true;
    }
    const int page = w ? tabOfChoice(w) : -1;
    if (page < 0)
        return false;
    // Esc among the choices: back to the box they fill.
    if (key == Qt::Key_Escape) {
        backToChoiceOrigin();
        return true;
    }
    // Enter in the row list takes its row, as a click would, and goes back to the box.
    if (w == m_rowList && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        listReleased();
        if (m_rowList->activeRow() == m_panelRow)
            backToChoiceOrigin();
        return true;
    }
    // The arrows move from button to button (lists move their own cells).
    if (qobject_cast<QPushButton *>(w) && mods == Qt::NoModifier
        && (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)) {
        const QList<QWidget *> choices = choicesOf(page);
        const qsizetype at = choices.indexOf(w);
        if (at < 0 || choices.isEmpty())
            return true;
        const qsizetype step = key == Qt::Key_Up || key == Qt::Key_Left ? -1 : 1;
        choices[(at + step + choices.size()) % choices.size()]->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool SheetFrame::handleKey(QObject *watched, QKeyEvent *event)
{
    if (handleChoiceKey(watched, event) || listKey(watched, event))
        return true;
    const QString name = watched->objectName();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (moveOnKey(watched, event->key()))
            return true;
        if (qobject_cast<QPushButton *>(watched)) {
            static_cast<QPushButton *>(watched)->click(); // Enter on a button presses it
            return true;
        }
        focusNextChild();
        return true;
    }
    if (event->key() == Qt::Key_Tab && plain && moveOnKey(watched, event->key()))
        return true;
    if (!m_boxes.contains(name) || m_tables.freeTextBoxes.contains(name))
        return false;
    // Numeric boxes take digits, backspace, space and the full stop; keys that type nothing
    // (arrows, function keys, Ctrl combinations) pass.
    const QString typed = event->text();
    if (typed.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    const QChar c = typed.at(0);
    if (!c.isPrint() && c != QChar(8))
        return false;
    const QChar half = halfWidth(c);
    if (half != c) {
        // Typed full width: the half-width character goes in instead of being dropped.
        if (numericCharacter(half))
            m_boxes.value(name)->insert(QString(half));
        return true;
    }
    return !numericCharacter(c);
}

bool SheetFrame::handleInputMethod(QObject *watched, QInputMethodEvent *event)
{
    QLineEdit *edit = m_boxes.value(watched->objectName());
    if (!edit || m_tables.freeTextBoxes.contains(watched->objectName()) || !event->preeditString().isEmpty())
        return false;
    // Text committed by the input method: its digits and points, in half width.
    QString digits;
    for (QChar c : event->commitString()) {
        const QChar half = halfWidth(c);
        if (numericCharacter(half) && half != QChar(8))
            digits += half;
    }
    if (!digits.isEmpty())
        edit->insert(digits);
    return true;
}

bool SheetFrame::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(watched, static_cast<QKeyEvent *>(event));
    case QEvent::InputMethod:
        return handleInputMethod(watched, static_cast<QInputMethodEvent *>(event));
    case QEvent::FocusIn: {
        // A menu or another window taking the focus for a while is no move between fields; but
        // the first focus after the sheet opens is its first entry.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || (reason == Qt::ActiveWindowFocusReason && m_firstEntryDone))
            return false;
        if (watched == m_tabs->tabBar()) {
            tabControlEntered();
            return false;
        }
        const QString name = watched->objectName();
        if (m_switchingTab)
            return false;
        if (auto *w = qobject_cast<QWidget *>(watched); w && tabOfChoice(w) >= 0) {
            setKeyHint(kChoiceHint);
            markChoice(w, true);
            return false;
        }
        if (m_boxes.contains(name))
            setKeyHint(choiceTab(name) >= 0 ? QStringLiteral("F4 または Alt+↓ でこの欄の選択肢に移ります。") : QString());
        if (name == u"Txt_Gyou")
            m_rowFieldInvalid = false;
        // While an invalid row number pulls the focus back, no other field's rules run.
        const bool ruled = m_boxes.contains(name) || watched == m_btnAdv;
        if (!ruled || m_entryDepth > 8 || m_rowFieldInvalid)
            return false;
        m_firstEntryDone = true;
        // Let the control take the focus first, then run its entry rule (which may move it on).
        watched->event(event);
        ++m_entryDepth;
        entryRule(name, reason);
        --m_entryDepth;
        return true;
    }
    case QEvent::FocusOut: {
        if (auto *w = qobject_cast<QWidget *>(watched); w && tabOfChoice(w) >= 0)
            markChoice(w, false);
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        const QString name = watched->objectName();
        if (!m_boxes.contains(name) || (m_rowFieldInvalid && name != u"Txt_Gyou"))
            return false;
        watched->event(event);
        // Only the field with the focus shows a selection: no two fields look active at once; a
        // value too long for its box shows its start.
        m_boxes.value(name)->deselect();
        m_boxes.value(name)->setCursorPosition(0);
        if (name == u"Txt_Gyou")
            rowFieldLeft(false);
        else
            leavingRule(name);
        return true;
    }
    default:
        return false;
    }
}
