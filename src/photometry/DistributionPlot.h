#pragma once

#include "photometry/Distribution.h"

#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPainter;

// The drawing of a room's illuminance distribution: the plan to scale (x along 間口 to the right,
// y along 奥行 upwards), its luminaires (a marker of its own for each kind), the calculation area,
// isolux lines at round steps with their values, optionally shaded between them and the value at
// each calculation point. No text is cut by the plan's edge or drawn over a marker or another text.
namespace DistributionPlot {

// The illuminance on a fine grid of the floor, `along` steps along the longer side: what the lines
// and the shading are drawn from (worked out once for a room, drawn at any size). The report's
// pages take the default; the window, one room at a time, a finer one.
struct Samples {
    int gx = 0, gy = 0;  // points along x and y, corners included
    QVector<double> v;   // row by row (j, then i)
    double low = 0, high = 0;
};
Samples sample(const Distribution::Room &room, const Distribution::Result &r, int along = 60);

struct Style {
    bool shaded = true;
    bool pointValues = false; // the value at each calculation point, where it fits legibly
    int smallestText = 6;     // pixels: the screen's own text size in the window
    // Observers of the glare rating: where the eye is (m), the way it looks (degrees, 0 towards
    // +x) and what is written beside it ("UGR 19.3").
    struct Observer {
        QPointF at;
        double view = 0;
        QString text;
    };
    QList<Observer> observers = {};
};

// Where the drawing put its texts and markers (device units), for checking that none covers another.
struct Drawn {
    struct Text {
        QRectF box;
        QString text;
        double length = 0;    // the text's own length
        bool upright = false; // written upwards: its length runs along the box's height
    };
    QList<Text> texts;
    QList<QRectF> markers;
    int pointValues = 0;   // the calculation points' values drawn
    int pointsShown = 0;   // of the points whose values were asked for and fit their cells
};

// Draws into `area` (device units of the painter); a long, narrow room in strips one above the
// other where that shows it half as large again (strips()).
void draw(QPainter &painter, const QRectF &area, const Distribution::Room &room, const Distribution::Result &r,
          const Samples &samples, const Style &style, Drawn *drawn = nullptr);
int strips(const QRectF &area, double width, double depth);
// The k-th kind's marker as the plan draws it, for the figures beside it.
void drawLegendMarker(QPainter &painter, int k, QPointF centre, double radius);

// Pieces of a line joined end to end into strokes; ends within 1/`resolution` of each other meet.
QList<QList<QPointF>> strokes(const QList<QLineF> &pieces, double resolution);
// The isolux line at `level` as the drawing draws it, its pieces joined into strokes, in the room's
// metres (x along 間口, y along 奥行): a closed one ends where it begins.
QList<QPolygonF> isolux(const Samples &samples, double width, double depth, double level);

// The isolux levels for values from `low` to `high`: round steps (1, 2 or 5 times a power of ten),
// three to six of them.
QList<double> levels(double low, double high);

// The marker of the k-th kind of luminaire, as a character for the figures beside the drawing.
QString markerText(int k);

} // namespace DistributionPlot
