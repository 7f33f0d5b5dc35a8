#pragma once

#include <QFrame>

// The room list's right-click popup: insert or delete the clicked row. It closes after either
// and as soon as it loses activation.
class FSyoudoRMenu : public QFrame
{
    Q_OBJECT
public:
    explicit FSyoudoRMenu(QWidget *parent);

signals:
    void insertRequested();
    void deleteRequested();
};
