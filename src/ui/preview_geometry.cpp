#include "preview_geometry.h"

#include <algorithm>
#include <limits>

namespace tessarin {
namespace {

// Truncation toward zero; sizes from a setting file can be anything, so out-of-range
// values are pinned rather than left undefined.
int Truncate(double value) {
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(value, kLow, kHigh));
}

}  // namespace

double PreviewScale(bool doubleBox, bool threeQuarterBox) {
  if (doubleBox) return 2.0;
  return threeQuarterBox ? 0.75 : 1.0;
}

PreviewGeometry ComputePreviewGeometry(int xSize, int ySize, double scale, bool halfMode) {
  const int halves = halfMode ? 2 : 1;
  const double width = xSize;
  const double height = ySize;
  PreviewGeometry geometry;
  geometry.dx = Truncate(kPreviewCentreX - (width * scale / 2) / halves);
  geometry.dy = Truncate(kPreviewCentreY - height * scale / 2);
  geometry.dw = Truncate(width * scale / halves);
  geometry.dh = Truncate(height * scale);
  geometry.sourceWidth = xSize / halves;
  geometry.sourceHeight = ySize;
  return geometry;
}

}  // namespace tessarin
