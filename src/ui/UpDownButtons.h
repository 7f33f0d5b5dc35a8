#pragma once

#include <QWidget>

class QToolButton;

// A spinner's pair of arrow buttons beside a field (the up arrow above the down arrow).
class UpDownButtons : public QWidget
{
    Q_OBJECT
public:
    explicit UpDownButtons(const QString &name, QWidget *parent = nullptr);
    explicit UpDownButtons(QWidget *parent = nullptr); // as placed on a Designer form

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void upClicked();
    void downClicked();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
