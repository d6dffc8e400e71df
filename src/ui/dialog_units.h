#pragma once

class QFont;
class QRect;
class QSize;

namespace tessarin {

// Pixels per four horizontal and per eight vertical dialog units.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

// As Windows derives them: half the average width of "A".."Z" and "a".."z", rounded, from
// the width of those 52 letters in a row; and the font's height.
DialogBaseUnits BaseUnitsFromMetrics(int letterRunWidth, int fontHeight);
DialogBaseUnits BaseUnitsOf(const QFont& font);

// number * numerator / denominator, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator);

// Each of x, y, width and height converted on its own, as the dialog manager places controls.
QRect ToPixels(const DialogBaseUnits& units, int x, int y, int width, int height);
QSize ToPixels(const DialogBaseUnits& units, int width, int height);

}  // namespace tessarin
