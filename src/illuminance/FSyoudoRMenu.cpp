#include "illuminance/FSyoudoRMenu.h"

#include "ui_F_Syoudo_R_Menu.h"

#include <QPushButton>
#include <QVBoxLayout>

FSyoudoRMenu::FSyoudoRMenu(QWidget *parent) : QFrame(parent, Qt::Popup)
{
    Ui::F_Syoudo_R_Menu form;
    form.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(form.SSPanel1, &QPushButton::clicked, this, [this] {
        emit insertRequested();
        close();
    });
    connect(form.SSPanel2, &QPushButton::clicked, this, [this] {
        emit deleteRequested();
        close();
    });
}
