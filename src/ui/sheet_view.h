#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QRect>
#include <memory>

#include "raster_image.h"

class QPaintEvent;
class QResizeEvent;
class QWheelEvent;

namespace tessarin {

// The whole sheet at an integer zoom or fitted to the view, scrolled when larger, over a
// checkerboard or a colour, with the set's cells drawn over it when asked. It paints itself
// in device pixels, so every sheet pixel stays crisp at any screen scale factor; the scroll
// bars count device pixels too.
class SheetView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Drawn over the sheet between its cells.
  static constexpr QRgb kGridColour = qRgb(0x00, 0xA0, 0xFF);

  explicit SheetView(QWidget* parent = nullptr);

  // Shared with the window's preview: the view keeps it while it shows it.
  void SetSheet(std::shared_ptr<const RasterImage> sheet);
  const std::shared_ptr<const RasterImage>& Sheet() const { return sheet_; }
  // kFitSheetZoom, or 1..8 device pixels per sheet pixel.
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  // The cells the sheet is cut into; 0 for none.
  void SetGrid(int columns, int rows);
  // Columns by rows; 0 by 0 for none.
  QSize Grid() const { return {gridColumns_, gridRows_}; }
  void SetGridShown(bool shown);
  // A checkerboard behind the sheet, or else the background colour.
  void SetCheckerboard(bool shown);
  void SetBackgroundColour(const QColor& colour);
  QColor BackgroundColour() const { return background_; }

  // Where the sheet lands in the viewport, in its device pixels.
  QRect SheetTargetRect() const;

 signals:
  // A zoom chosen on the view itself, with Ctrl and the wheel.
  void ZoomChanged(int zoom);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  double DeviceRatio() const;
  QSize DeviceViewport() const;
  QSize SheetSize() const;
  QSize ScaledSize() const;
  // Keeps the sheet point under the viewport's device pixel anchor where it is.
  void ChangeZoom(int zoom, QPoint anchor);
  void UpdateScrollBars();
  void RenderFrame(const QSize& device);

  std::shared_ptr<const RasterImage> sheet_;
  int zoom_;
  int gridColumns_ = 0;
  int gridRows_ = 0;
  bool gridShown_ = false;
  bool checkerboard_ = true;
  QColor background_;
  // The last picture painted, in device pixels: a repaint that changes nothing copies it.
  QImage frame_;
  bool frameStale_ = true;
};

}  // namespace tessarin
