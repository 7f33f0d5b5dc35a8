#pragma once

#include "photometry/Photometry.h"

#include <QByteArray>

class QPainter;
class QRectF;

// The polar intensity curve (配光曲線) of a luminaire in cd/klm: the C0-C180 plane drawn solid,
// the C90-C270 plane dashed, straight down at the bottom.
namespace PhotometryPlot {

// Draws the curve into the square of side `size` at the painter's origin. Any distribution ends in
// a bounded drawing: a fixed number of rings at most, nothing that is not a number.
void draw(QPainter &painter, const Photometry &p, double size);
// The luminaire's UGR table (SHR 0.25) as catalogues print it, or why there is none, in `area`.
void drawUgrTable(QPainter &painter, const Photometry &p, const QRectF &area);
// The data page: the curve and, below it, the UGR table. As the bytes of a PNG (900 px) or, for a name ending in ".pdf", an A4 PDF; empty with
// the reason when it cannot be made.
QByteArray render(const Photometry &p, const QString &path, QString *error);

} // namespace PhotometryPlot
