#pragma once

#include "emergency/EmergencyRooms.h"

#include <QWidget>

#include <array>

// The plan of the room on the emergency-lighting sheet's panel, drawn as its report page draws it.
class HijouPlan : public QWidget
{
    Q_OBJECT
public:
    explicit HijouPlan(QWidget *parent = nullptr);

    // The room to draw (none: the reason, greyed).
    void setRoom(const EmergencyRooms::Room &room, const QList<std::array<double, 2>> &reaches);
    void clear(const QString &why = QString());
    bool hasRoom() const { return m_has; }
    const EmergencyRooms::Room &room() const { return m_room; }

    // Larger on a larger screen; the panel keeps the width it first takes.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_has = false;
    EmergencyRooms::Room m_room;
    QList<std::array<double, 2>> m_reaches;
    QString m_why;
};
