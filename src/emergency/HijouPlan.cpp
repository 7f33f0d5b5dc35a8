#include "emergency/HijouPlan.h"

#include "emergency/EmergencyPlot.h"

#include <QFontInfo>
#include <QPainter>
#include <QScreen>

#include <algorithm>

HijouPlan::HijouPlan(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(300, 220);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize HijouPlan::sizeHint() const
{
    const QScreen *at = screen();
    const int width = at ? std::clamp(at->availableGeometry().width() / 4, 300, 420) : 400;
    return {width, width * 3 / 4};
}

void HijouPlan::setRoom(const EmergencyRooms::Room &room, const QList<std::array<double, 2>> &reaches)
{
    m_room = room;
    m_reaches = reaches;
    m_has = room.checked && room.width > 0 && room.depth > 0;
    m_why = room.checked ? QString() : QStringLiteral("判定対象外");
    update();
}

void HijouPlan::clear(const QString &why)
{
    m_has = false;
    m_room = EmergencyRooms::Room();
    m_reaches.clear();
    m_why = why;
    update();
}

void HijouPlan::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0xc8, 0xd0, 0xdc));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_has) {
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_why);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    EmergencyPlot::draw(painter, QRectF(rect()).adjusted(6, 6, -6, -6), m_room, m_reaches, QFontInfo(font()).pixelSize() * 0.95);
}
