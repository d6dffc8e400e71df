#pragma once

#include <QRect>
#include <QWidget>
#include <memory>

#include "preview_image.h"
#include "raster_image.h"

class QPaintEvent;

namespace tessarin {

// The layered preview, which paints itself. It lies under every other control of its window
// and covers just the window pixels the composite lands on inside its frame: a sheet larger
// than the frame is cut at the frame's edge rather than painted over the controls around it.
class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWidget(QWidget* parent);

  void SetComposite(std::shared_ptr<const RasterImage> composite);
  const RasterImage& Composite() const { return image_.Composite(); }
  const std::shared_ptr<const RasterImage>& SharedComposite() const {
    return image_.SharedComposite();
  }

  // The area of the parent the preview stays inside; the whole parent when empty.
  void SetFrame(const QRect& inside);

  // Shows a sheet of xSize x ySize at scale, only its left half in half mode, centred on the
  // parent's client pixel (kPreviewCentreX, kPreviewCentreY).
  void Place(int xSize, int ySize, double scale, bool halfMode);

  // How often a picture was blended; a repaint of an unchanged preview does not count.
  int BlendCount() const { return image_.BlendCount(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PreviewImage image_;
  // Where the composite lands, in parent pixels, and how much of it from its top-left corner.
  QRect destination_;
  QSize source_;
  QRect frame_;
};

}  // namespace tessarin
