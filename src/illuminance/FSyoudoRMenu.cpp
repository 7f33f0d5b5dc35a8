#include "illuminance/FSyoudoRMenu.h"

#include <QPushButton>
#include <QVBoxLayout>

FSyoudoRMenu::FSyoudoRMenu(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("F_Syoudo_R_Menu"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    const struct {
        const char *name;
        const char *caption;
        void (FSyoudoRMenu::*signal)();
    } panels[] = {
        {"SSPanel1", "＋      挿  入         ", &FSyoudoRMenu::insertRequested},
        {"SSPanel2", "－      削  除         ", &FSyoudoRMenu::deleteRequested},
    };
    for (const auto &p : panels) {
        auto *button = new QPushButton(QString::fromUtf8(p.caption), this);
        button->setObjectName(QString::fromLatin1(p.name));
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 4px 10px; }"
                                             "QPushButton:hover { background: palette(highlight);"
                                             " color: palette(highlighted-text); }"));
        const auto signal = p.signal;
        connect(button, &QPushButton::clicked, this, [this, signal] {
            emit(this->*signal)();
            close();
        });
        layout->addWidget(button);
    }
}
