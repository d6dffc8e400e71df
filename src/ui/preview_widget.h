#pragma once

#include <QRect>
#include <QWidget>

#include "preview_image.h"
#include "raster_image.h"

class QPaintEvent;

namespace tessarin {

// The layered preview, which paints itself. It lies under every other control of its window
// and covers just the window pixels the composite lands on, so a sheet larger than the frame
// runs on under the controls around it.
class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWidget(QWidget* parent);

  void SetComposite(RasterImage composite);
  const RasterImage& Composite() const { return image_.Composite(); }

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
};

}  // namespace tessarin
