#pragma once

#include <QPushButton>

// A push button whose caption wraps onto more lines when the button is narrower than the text
// (the long choice captions of the CEC/L sheet stay whole on a small screen).
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    explicit WrappingButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect(const QRect &area) const;
};
