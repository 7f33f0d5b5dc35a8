#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QStringList>
#include <QString>

// A drawing in DXF R12 (AC1009) text, as AutoCAD, AutoCAD LT and Jw_cad read it: header with the
// code page ANSI_932 and the drawing's extents, the line types CONTINUOUS and DASHED, the layers,
// one text style, and the entities LINE, POLYLINE (with its VERTEXes and SEQEND), CIRCLE, POINT
// and TEXT — nothing newer. Coordinates in the caller's units (the program's drawings: mm); texts
// in code page 932, a character it cannot hold written as \U+XXXX.
namespace Dxf {

struct Layer {
    QString name;
    int colour = 7;       // the AutoCAD colour index
    bool dashed = false;  // DASHED, else CONTINUOUS
    bool off = false;     // the layer shown off (its colour negative)
};

// How a text stands on its point.
enum class Align { Left, Centre, Right };

class Drawing
{
public:
    void addLayer(const Layer &layer);
    bool hasLayer(const QString &name) const;

    void line(const QString &layer, QPointF a, QPointF b);
    void polyline(const QString &layer, const QList<QPointF> &points, bool closed);
    void circle(const QString &layer, QPointF centre, double radius);
    void point(const QString &layer, QPointF at);
    void text(const QString &layer, QPointF at, double height, const QString &text, Align align = Align::Left,
              double rotation = 0);

    // The whole file: header (extents of everything drawn), tables, entities, EOF.
    QByteArray bytes() const;

private:
    void extend(QPointF p);

    QList<Layer> m_layers;
    QByteArray m_entities;
    bool m_any = false;
    double m_minX = 0, m_minY = 0, m_maxX = 0, m_maxY = 0;
};

// Rooms of a building laid out on one drawing, in metres: floor by floor in bands (the first floor's
// at the bottom), each band's rooms left to right 2 m apart, the bands 2 m apart, `below` metres
// kept under each room for its titles. The origin of each room (its corner at x 0, y 0).
QList<QPointF> layOut(const QStringList &floors, const QList<QSizeF> &sizes, double below);
constexpr double kGap = 2.0; // m

// A text in code page 932, characters outside it as \U+XXXX.
QByteArray encode(const QString &text);

} // namespace Dxf
