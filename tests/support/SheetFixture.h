#pragma once

#include "cecl/FCECL.h"
#include "illuminance/FSyoudo.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "ui/ListGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <type_traits>

// A sheet shown and active, over the given masters, with scripted dialogs.
template <typename Sheet> struct SheetFixtureT {
    explicit SheetFixtureT(const MasterTables &tables = TestEnv::knownMasters())
        : masters(tables), sheet(std::make_unique<Sheet>(masters, env.workFolder()))
    {
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
        if (!QTest::qWaitForWindowActive(sheet.get()))
            qWarning("sheet window not active");
        // Start outside the row field, whose leaving rule reloads the panel from the grid.
        enter(std::is_same_v<Sheet, FCECL> ? QStringLiteral("Txt_Kiguban") : QStringLiteral("Txt_Kai"));
    }

    template <typename T = QWidget> T *w(const QString &name) const
    {
        T *found = sheet->template findChild<T *>(name);
        if (!found)
            qFatal("no control named %s", qPrintable(name));
        return found;
    }
    QLineEdit *box(const QString &name) const { return w<QLineEdit>(name); }
    QString focused() const
    {
        QWidget *f = QApplication::focusWidget();
        return f ? f->objectName() : QString();
    }
    int tab() const { return w<QTabWidget>(QStringLiteral("STab_Main"))->currentIndex(); }

    // Focuses a box as the user would by clicking into it.
    void enter(const QString &name) const
    {
        box(name)->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }
    // Types text into the focused control, then presses Enter.
    void type(const QString &text) const
    {
        QWidget *f = QApplication::focusWidget();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            QTest::keyClicks(f, text);
        } else {
            // Japanese arrives from the input method as a committed string.
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(f, &commit);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    }
    void click(const QString &name) const
    {
        QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton);
        QApplication::processEvents();
    }
    void clickCell(const QString &grid, int row, int column) const
    {
        auto *g = w<ListGrid>(grid);
        const QRect r = g->visualItemRect(g->item(row - 1, column - 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
        QApplication::processEvents();
    }

    TestEnv env;
    MasterTables masters;
    ScriptedDialogs dialogs;
    std::unique_ptr<Sheet> sheet;
};

using SheetFixture = SheetFixtureT<FSyoudo>;
using CeclFixture = SheetFixtureT<FCECL>;
