#pragma once

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <vector>

namespace tessarin {

// The side panel's whole-sheet view, worked out in device pixels: at an integer zoom every
// sheet pixel covers whole screen pixels whatever the screen's scale factor.

inline constexpr int kMinSheetZoom = 1;
inline constexpr int kMaxSheetZoom = 8;
// The zoom that shows the whole sheet at the largest scale that fits.
inline constexpr int kFitSheetZoom = 0;

// The largest scale, fractional, at which all of sheet fits in viewport; 0 when either is empty.
double FitScale(QSize sheet, QSize viewport);

// Device pixels per sheet pixel: the zoom itself, or the fit scale for kFitSheetZoom.
double ZoomScale(int zoom, QSize sheet, QSize viewport);

// The sheet's size at scale, in whole device pixels: rounded down, at least 1 each way for a
// sheet that is not empty, 0 by 0 for nothing to show.
QSize ScaledSheetSize(QSize sheet, double scale);

// How far the view can scroll each way: what the scaled sheet overhangs the viewport.
QSize ScrollRange(QSize scaled, QSize viewport);

// Where the scaled sheet lands in the viewport: centred where it is narrower or lower than
// the viewport, elsewhere moved by scroll, kept within the scroll range.
QRect SheetTarget(QSize scaled, QSize viewport, QPoint scroll);

// The sheet pixel shown offset device pixels into a target of targetLength: nearest
// neighbour, the sheet pixel the device pixel starts in. -1 outside the target.
int SheetPixelAt(int offset, int targetLength, int sheetLength);

// The scroll that keeps the sheet point under the device pixel `anchor` of the viewport in
// place when the target changes from `before` to a sheet scaled to `after`.
QPoint ScrollKeeping(QPoint anchor, const QRect& before, QSize after, QSize viewport);

// Device offsets from the target's start of the lines between `cells` equal cells across
// sheetLength sheet pixels drawn over targetLength device pixels: each cell's first device
// pixel, and the last pixel of the last cell. Empty for no cells.
std::vector<int> GridLines(int targetLength, int sheetLength, int cells);

// The checkerboard behind the sheet: tiles of `tile` device pixels, counted from the sheet's
// top-left corner so that they move with it.
inline constexpr QRgb kCheckerLight = qRgb(0xCC, 0xCC, 0xCC);
inline constexpr QRgb kCheckerDark = qRgb(0x99, 0x99, 0x99);
QRgb CheckerColourAt(int x, int y, int tile);
// Eight logical pixels, in whole device pixels.
int CheckerTileSize(double devicePixelRatio);

}  // namespace tessarin
