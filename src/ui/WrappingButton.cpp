#include "ui/WrappingButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int kPadX = 10;
constexpr int kPadY = 6;
constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
} // namespace

WrappingButton::WrappingButton(QWidget *parent) : QPushButton(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QRect WrappingButton::textRect(const QRect &area) const
{
    return area.adjusted(kPadX, kPadY, -kPadX, -kPadY);
}

int WrappingButton::heightForWidth(int width) const
{
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, std::max(1, width - 2 * kPadX), 10000), kFlags, this->text());
    return std::max(QPushButton::sizeHint().height(), text.height() + 2 * kPadY);
}

QSize WrappingButton::sizeHint() const
{
    const int width = fontMetrics().horizontalAdvance(text()) + 2 * kPadX;
    return {std::min(width, 480), heightForWidth(std::min(width, 480))};
}

QSize WrappingButton::minimumSizeHint() const
{
    return {120, QPushButton::minimumSizeHint().height()};
}

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear(); // the frame only: the caption is drawn wrapped below
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect(rect()), kFlags, text());
}
