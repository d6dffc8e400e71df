#pragma once

#include <QRect>
#include <QRgb>
#include <memory>

#include "raster_image.h"

namespace tessarin {

// The composite as the preview shows it: scaled by nearest neighbour and blended over the
// window background with the classic rule. Kept until the composite, its placement or the
// background changes, so that a repaint only copies pixels.
class PreviewImage {
 public:
  // Shared with whatever else shows the composite; it stays as it is while held.
  void SetComposite(std::shared_ptr<const RasterImage> composite);
  const RasterImage& Composite() const;
  const std::shared_ptr<const RasterImage>& SharedComposite() const { return composite_; }

  // The composite drawn from its top-left sourceWidth x sourceHeight into destination, cut to
  // bounds. Empty when nothing of it lies inside bounds.
  const RasterImage& Render(const QRect& destination, int sourceWidth, int sourceHeight,
                            const QRect& bounds, QRgb background);
  // Where the rendered picture goes.
  QPoint RenderedAt() const { return area_.topLeft(); }

  // How often a picture was blended; a repaint of an unchanged preview does not count.
  int BlendCount() const { return blendCount_; }

 private:
  std::shared_ptr<const RasterImage> composite_;
  RasterImage picture_;
  QRect destination_;
  QRect area_;
  QSize source_;
  QRgb background_ = 0;
  bool stale_ = true;
  int blendCount_ = 0;
};

}  // namespace tessarin
