#include "sheet_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "sheet_view_geometry.h"

namespace tessarin {
namespace {

// Logical pixels a wheel notch or an arrow key scrolls.
constexpr int kScrollStep = 24;

// Straight alpha over an opaque background, rounded.
inline std::uint32_t Over(const std::uint8_t* bgra, QRgb under) {
  const int alpha = bgra[3];
  // Most of a sprite sheet is clear or opaque.
  if (alpha == 0) return under;
  if (alpha == 255) return qRgb(bgra[2], bgra[1], bgra[0]);
  const auto mix = [alpha](int top, int bottom) {
    return (top * alpha + bottom * (255 - alpha) + 127) / 255;
  };
  return qRgb(mix(bgra[2], qRed(under)), mix(bgra[1], qGreen(under)), mix(bgra[0], qBlue(under)));
}

}  // namespace

SheetView::SheetView(QWidget* parent)
    : QAbstractScrollArea(parent), zoom_(kFitSheetZoom), background_(Qt::white) {
  setFocusPolicy(Qt::StrongFocus);
  // Every paint covers the whole viewport from the frame kept in device pixels.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  UpdateScrollBars();
}

void SheetView::SetSheet(std::shared_ptr<const RasterImage> sheet) {
  sheet_ = std::move(sheet);
  frameStale_ = true;
  UpdateScrollBars();
  viewport()->update();
}

void SheetView::SetZoom(int zoom) {
  zoom = zoom == kFitSheetZoom ? zoom : std::clamp(zoom, kMinSheetZoom, kMaxSheetZoom);
  // The middle of what is shown stays in the middle.
  const QSize device = DeviceViewport();
  ChangeZoom(zoom, QPoint(device.width() / 2, device.height() / 2));
}

void SheetView::ChangeZoom(int zoom, QPoint anchor) {
  if (zoom == zoom_) return;
  const QRect before = SheetTargetRect();
  zoom_ = zoom;
  const QPoint scroll = ScrollKeeping(anchor, before, ScaledSize(), DeviceViewport());
  UpdateScrollBars();
  horizontalScrollBar()->setValue(scroll.x());
  verticalScrollBar()->setValue(scroll.y());
  frameStale_ = true;
  viewport()->update();
}

void SheetView::SetGrid(int columns, int rows) {
  columns = std::max(0, columns);
  rows = std::max(0, rows);
  if (columns == gridColumns_ && rows == gridRows_) return;
  gridColumns_ = columns;
  gridRows_ = rows;
  frameStale_ = true;
  viewport()->update();
}

void SheetView::SetGridShown(bool shown) {
  gridShown_ = shown;
  frameStale_ = true;
  viewport()->update();
}

void SheetView::SetCheckerboard(bool shown) {
  checkerboard_ = shown;
  frameStale_ = true;
  viewport()->update();
}

void SheetView::SetBackgroundColour(const QColor& colour) {
  if (!colour.isValid()) return;
  background_ = colour;
  frameStale_ = true;
  viewport()->update();
}

double SheetView::DeviceRatio() const {
  return viewport()->devicePixelRatioF();
}

QSize SheetView::DeviceViewport() const {
  const double ratio = DeviceRatio();
  const QSize logical = viewport()->size();
  return {static_cast<int>(std::ceil(logical.width() * ratio)),
          static_cast<int>(std::ceil(logical.height() * ratio))};
}

QSize SheetView::SheetSize() const {
  if (!sheet_ || sheet_->IsNull()) return {};
  return {sheet_->Width(), sheet_->Height()};
}

QSize SheetView::ScaledSize() const {
  const QSize sheet = SheetSize();
  return ScaledSheetSize(sheet, ZoomScale(zoom_, sheet, DeviceViewport()));
}

QRect SheetView::SheetTargetRect() const {
  return SheetTarget(ScaledSize(), DeviceViewport(),
                     QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

void SheetView::UpdateScrollBars() {
  const QSize device = DeviceViewport();
  const QSize range = ScrollRange(ScaledSize(), device);
  const int step = std::max(1, static_cast<int>(std::lround(kScrollStep * DeviceRatio())));
  horizontalScrollBar()->setRange(0, range.width());
  horizontalScrollBar()->setPageStep(std::max(1, device.width()));
  horizontalScrollBar()->setSingleStep(step);
  verticalScrollBar()->setRange(0, range.height());
  verticalScrollBar()->setPageStep(std::max(1, device.height()));
  verticalScrollBar()->setSingleStep(step);
}

void SheetView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  frameStale_ = true;
}

void SheetView::scrollContentsBy(int, int) {
  frameStale_ = true;
  viewport()->update();
}

void SheetView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const int notches = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0 || !sheet_ || sheet_->IsNull()) {
    event->accept();
    return;
  }
  // From "fit", the first step goes to the integer zoom on that side of the fitted scale.
  int zoom = std::clamp(zoom_ + notches, kMinSheetZoom, kMaxSheetZoom);
  if (zoom_ == kFitSheetZoom) {
    const double fit = ZoomScale(zoom_, SheetSize(), DeviceViewport());
    const int next = notches > 0 ? static_cast<int>(std::floor(fit)) + notches
                                 : static_cast<int>(std::ceil(fit)) + notches;
    // Out from a sheet fitted below 1x there is nothing smaller to go to.
    zoom = next < kMinSheetZoom ? kFitSheetZoom : std::min(next, kMaxSheetZoom);
  }
  event->accept();
  if (zoom == zoom_) return;
  // The sheet pixel under the pointer stays under it.
  const QPointF pointer = event->position() * DeviceRatio();
  ChangeZoom(zoom, QPoint(static_cast<int>(pointer.x()), static_cast<int>(pointer.y())));
  emit ZoomChanged(zoom_);
}

void SheetView::RenderFrame(const QSize& device) {
  if (frame_.size() != device) frame_ = QImage(device, QImage::Format_RGB32);
  frameStale_ = false;
  if (frame_.isNull()) return;
  const QRgb outside = palette().color(QPalette::Dark).rgb();
  const QRect target = SheetTargetRect();
  const QSize sheet = SheetSize();
  if (target.isEmpty() || sheet.isEmpty()) {
    frame_.fill(outside);
    return;
  }

  // Which sheet column, and which checker column, each device column shows.
  const int width = device.width();
  const int tile = CheckerTileSize(DeviceRatio());
  std::vector<int> sourceColumn(static_cast<std::size_t>(width));
  std::vector<std::uint8_t> checkerColumn(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) {
    const int offset = x - target.x();
    sourceColumn[static_cast<std::size_t>(x)] = SheetPixelAt(offset, target.width(), sheet.width());
    checkerColumn[static_cast<std::size_t>(x)] =
        CheckerColourAt(offset, 0, tile) == kCheckerLight ? 0 : 1;
  }
  const int firstColumn = std::max(0, target.left());
  const int endColumn = std::min(width, target.left() + target.width());
  const QRgb plain = background_.rgb();
  const bool fourBytes = sheet_->BitsPerPixel() == 32;

  // Zoomed in, a device row mostly repeats the one above: same sheet row, same checker row.
  const QRgb* previous = nullptr;
  int previousSourceRow = -1;
  bool previousDark = false;
  for (int y = 0; y < device.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(frame_.scanLine(y));
    const int offsetY = y - target.y();
    const int sourceRow = SheetPixelAt(offsetY, target.height(), sheet.height());
    if (sourceRow < 0) {
      std::fill(row, row + width, outside);
      continue;
    }
    const bool darkRowStart = CheckerColourAt(0, offsetY, tile) == kCheckerDark;
    if (previous != nullptr && sourceRow == previousSourceRow && darkRowStart == previousDark) {
      std::copy(previous, previous + width, row);
      previous = row;
      continue;
    }
    previous = row;
    previousSourceRow = sourceRow;
    previousDark = darkRowStart;
    std::fill(row, row + firstColumn, outside);
    std::fill(row + endColumn, row + width, outside);
    const std::uint8_t* source = sheet_->Row(sourceRow);
    for (int x = firstColumn; x < endColumn; ++x) {
      const int sourceX = sourceColumn[static_cast<std::size_t>(x)];
      QRgb under = plain;
      if (checkerboard_) {
        under = (checkerColumn[static_cast<std::size_t>(x)] != 0) != darkRowStart ? kCheckerDark
                                                                                  : kCheckerLight;
      }
      if (fourBytes) {
        row[x] = Over(source + 4 * sourceX, under);
      } else {
        const std::uint32_t pixel = sheet_->PixelAt(sourceX, sourceRow, BlendRule::Standard);
        const std::uint8_t bgra[4] = {
            static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 24)};
        row[x] = Over(bgra, under);
      }
    }
  }

  if (!gridShown_ || gridColumns_ <= 0 || gridRows_ <= 0) return;
  const QRect visible = target.intersected(QRect(QPoint(0, 0), device));
  if (visible.isEmpty()) return;
  for (const int line : GridLines(target.width(), sheet.width(), gridColumns_)) {
    const int x = target.x() + line;
    if (x < visible.left() || x > visible.right()) continue;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
      reinterpret_cast<QRgb*>(frame_.scanLine(y))[x] = kGridColour;
    }
  }
  for (const int line : GridLines(target.height(), sheet.height(), gridRows_)) {
    const int y = target.y() + line;
    if (y < visible.top() || y > visible.bottom()) continue;
    auto* row = reinterpret_cast<QRgb*>(frame_.scanLine(y));
    std::fill(row + visible.left(), row + visible.right() + 1, kGridColour);
  }
}

void SheetView::paintEvent(QPaintEvent*) {
  const QSize device = DeviceViewport();
  const double ratio = DeviceRatio();
  if (frameStale_ || frame_.size() != device || frame_.devicePixelRatio() != ratio) {
    RenderFrame(device);
  }
  frame_.setDevicePixelRatio(ratio);
  // At the device ratio the frame's pixels land 1:1 on the screen's: nothing is resampled.
  QPainter painter(viewport());
  painter.drawImage(QPointF(0, 0), frame_);
}

}  // namespace tessarin
