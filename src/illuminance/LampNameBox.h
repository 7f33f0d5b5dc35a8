#pragma once

#include <QWidget>

class QLineEdit;

// Holds the lamp name box Txt_Kougen with the lamp entry pair laid over it: the name
// (Txt_WKougen) and the lamps per fitting (Txt_WTousu) are typed in the pair and shown in the
// name box. The three boxes are its children on the form.
class LampNameBox : public QWidget
{
    Q_OBJECT
public:
    explicit LampNameBox(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeBoxes();
    QLineEdit *child(const char *name) const;
};
