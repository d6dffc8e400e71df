#include "dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <cstdlib>

namespace tessarin {

DialogBaseUnits BaseUnitsFromMetrics(int letterRunWidth, int fontHeight) {
  return {(letterRunWidth / 26 + 1) / 2, fontHeight};
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int run = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return BaseUnitsFromMetrics(run, metrics.height());
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::int64_t divisor = std::llabs(denominator);
  const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
  return static_cast<int>((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

QRect ToPixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
  return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(width, units.x, 4),
               MulDiv(height, units.y, 8));
}

QSize ToPixels(const DialogBaseUnits& units, int width, int height) {
  return QSize(MulDiv(width, units.x, 4), MulDiv(height, units.y, 8));
}

}  // namespace tessarin
