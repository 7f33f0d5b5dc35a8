#pragma once

#include "emergency/EmergencyRooms.h"

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QStringList>

class QPainter;

// The plan of a room as the emergency check sees it, to scale: the floor, the points that fall
// short of the threshold shaded, the threshold's contour, each luminaire's reach ellipse (A1 × B1
// at its height for the room's threshold) and marker, the minimum marked; and the figures beside
// it. The same drawing goes to the sheet's panel and to the report's pages; `textHeight` is the
// height of its texts in the painter's units.
namespace EmergencyPlot {

// Each kind's reach ellipse half-axes (A1, B1), worked out once a room.
QList<std::array<double, 2>> reaches(const EmergencyRooms::Room &room, const EmergencyRooms::Lights &lights);

// What a drawing put where, for the checks of its layout.
struct Drawn {
    int strips = 1;         // a long, narrow room in strips one above the other
    QList<QRectF> labels;   // the sides' and the legend's texts
    QList<QRectF> minimum;  // the minimum's marker (in each strip it falls in)
};

// Where the threshold runs through a cell of the room's grid (marching squares): the pieces, in metres.
QList<QLineF> contour(const EmergencyCheck::Result &r);

// Draws the plan with its legend under it (dashed ellipse: one luminaire's reach; red line: the
// threshold; ×: the minimum; shaded: the floor below the threshold).
void draw(QPainter &painter, const QRectF &area, const EmergencyRooms::Room &room,
          const QList<std::array<double, 2>> &reaches, double textHeight, Drawn *drawn = nullptr);

// The lines beside the drawing: each kind (row, 形式, 光源, 台数, 取付高さ, 配置), the grid's steps,
// the threshold, the minimum and where, the points below, the verdict.
QStringList figures(const EmergencyRooms::Room &room);
// "適合", "不適合", or "対象外" for a room not checked.
QString verdict(const EmergencyRooms::Room &room);

// The note on every page of the check.
const QString &note();

} // namespace EmergencyPlot
