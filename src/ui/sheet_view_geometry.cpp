#include "sheet_view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tessarin {
namespace {

// A fitted scale times the sheet can land a hair below the viewport's whole size.
int ClampedFloor(double value) {
  constexpr double kHigh = std::numeric_limits<int>::max();
  constexpr double kSlack = 1e-9;
  return static_cast<int>(std::clamp(std::floor(value + kSlack), 0.0, kHigh));
}

// Along one axis: centred when the sheet is shorter than the viewport, else scrolled.
int TargetStart(int scaled, int viewport, int scroll) {
  if (scaled <= viewport) return (viewport - scaled) / 2;
  return -std::clamp(scroll, 0, scaled - viewport);
}

int ScrollKeepingAxis(int anchor, int beforeStart, int beforeLength, int after, int viewport) {
  if (after <= viewport || beforeLength <= 0) return 0;
  const double fraction = (anchor - beforeStart) / static_cast<double>(beforeLength);
  const auto scroll = static_cast<int>(std::lround(fraction * after - anchor));
  return std::clamp(scroll, 0, after - viewport);
}

}  // namespace

double FitScale(QSize sheet, QSize viewport) {
  if (sheet.isEmpty() || viewport.isEmpty()) return 0;
  return std::min(static_cast<double>(viewport.width()) / sheet.width(),
                  static_cast<double>(viewport.height()) / sheet.height());
}

double ZoomScale(int zoom, QSize sheet, QSize viewport) {
  if (zoom == kFitSheetZoom) return FitScale(sheet, viewport);
  return std::clamp(zoom, kMinSheetZoom, kMaxSheetZoom);
}

QSize ScaledSheetSize(QSize sheet, double scale) {
  if (sheet.isEmpty() || !(scale > 0)) return {0, 0};
  return {std::max(1, ClampedFloor(sheet.width() * scale)),
          std::max(1, ClampedFloor(sheet.height() * scale))};
}

QSize ScrollRange(QSize scaled, QSize viewport) {
  return {std::max(0, scaled.width() - viewport.width()),
          std::max(0, scaled.height() - viewport.height())};
}

QRect SheetTarget(QSize scaled, QSize viewport, QPoint scroll) {
  if (scaled.isEmpty()) return {};
  return {TargetStart(scaled.width(), viewport.width(), scroll.x()),
          TargetStart(scaled.height(), viewport.height(), scroll.y()), scaled.width(),
          scaled.height()};
}

int SheetPixelAt(int offset, int targetLength, int sheetLength) {
  if (offset < 0 || offset >= targetLength || sheetLength <= 0) return -1;
  return static_cast<int>(static_cast<std::int64_t>(offset) * sheetLength / targetLength);
}

QPoint ScrollKeeping(QPoint anchor, const QRect& before, QSize after, QSize viewport) {
  return {
      ScrollKeepingAxis(anchor.x(), before.x(), before.width(), after.width(), viewport.width()),
      ScrollKeepingAxis(anchor.y(), before.y(), before.height(), after.height(),
                        viewport.height())};
}

std::vector<int> GridLines(int targetLength, int sheetLength, int cells) {
  std::vector<int> lines;
  if (cells <= 0 || targetLength <= 0 || sheetLength <= 0) return lines;
  lines.reserve(static_cast<std::size_t>(cells) + 1);
  for (int cell = 0; cell <= cells; ++cell) {
    // The first device pixel that SheetPixelAt maps to the cell's first sheet pixel.
    const std::int64_t start = static_cast<std::int64_t>(cell) * sheetLength / cells;
    const std::int64_t offset = (start * targetLength + sheetLength - 1) / sheetLength;
    lines.push_back(static_cast<int>(std::min<std::int64_t>(offset, targetLength - 1)));
  }
  return lines;
}

QRgb CheckerColourAt(int x, int y, int tile) {
  const int size = std::max(1, tile);
  // Floor division, so that tiles left of and above the corner keep alternating.
  const auto floorDiv = [size](int value) {
    return value >= 0 ? value / size : -((-value + size - 1) / size);
  };
  return ((floorDiv(x) + floorDiv(y)) & 1) == 0 ? kCheckerLight : kCheckerDark;
}

int CheckerTileSize(double devicePixelRatio) {
  constexpr double kLogicalTile = 8;
  return std::max(1, static_cast<int>(std::lround(kLogicalTile * devicePixelRatio)));
}

}  // namespace tessarin
