#pragma once

class QWidget;

// Window positions are kept in twips (1/1440 inch): 1 pixel = 1440 / logical DPI twips.
namespace WindowPosition {

double pixelsToTwips(int pixels);
int twipsToPixels(double twips);

// Writes the window's left and top to "PosX" and "PosY".
void store(const QWidget *window);
// Reads "PosX" and "PosY" back and moves the window there (missing values give 0).
void restore(QWidget *window);

} // namespace WindowPosition
