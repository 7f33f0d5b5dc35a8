#pragma once

#include <QPointer>
#include <QWidget>

// A dialog's modal loop running on the stack of a window's own code (the dialog a child of the
// window): for as long as the scope lives, the window is marked as running it, so that it is not
// deleted under the dialog (a window closed by a session ending while its file dialog is open).
class ModalScope
{
public:
    explicit ModalScope(QWidget *parent);
    ~ModalScope();
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;

    // True while a dialog of this window (or of a dialog of it) runs its loop.
    static bool running(const QWidget *window);

private:
    QPointer<QWidget> m_window;
};
