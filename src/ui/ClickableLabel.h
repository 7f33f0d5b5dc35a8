#pragma once

#include <QLabel>

// A label that reacts to a click, like a link.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);
    explicit ClickableLabel(QWidget *parent = nullptr); // as placed on a Designer form

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
