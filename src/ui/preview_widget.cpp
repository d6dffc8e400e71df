#include "preview_widget.h"

#include <QImage>
#include <QPainter>
#include <utility>

#include "preview_geometry.h"

namespace tessarin {

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  // Clicks and the right-click menu belong to the window, as on the rest of its background.
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PreviewWidget::SetComposite(std::shared_ptr<const RasterImage> composite) {
  image_.SetComposite(std::move(composite));
  update();
}

void PreviewWidget::Place(int xSize, int ySize, double scale, bool halfMode) {
  destination_ = QRect();
  source_ = QSize();
  if (xSize > 0 && ySize > 0) {
    const PreviewGeometry geometry = ComputePreviewGeometry(xSize, ySize, scale, halfMode);
    destination_ = QRect(geometry.dx, geometry.dy, geometry.dw, geometry.dh);
    source_ = QSize(geometry.sourceWidth, geometry.sourceHeight);
  }
  // Cut to the frame: a sheet can be far larger than any screen.
  const QRect bounds = frame_.isEmpty() ? parentWidget()->rect() : frame_;
  const QRect area = destination_.isEmpty() ? QRect() : destination_.intersected(bounds);
  setGeometry(area);
  update();
}

void PreviewWidget::SetFrame(const QRect& inside) {
  frame_ = inside;
}

void PreviewWidget::paintEvent(QPaintEvent*) {
  const RasterImage& picture =
      image_.Render(destination_.translated(-pos()), source_.width(), source_.height(), rect(),
                    palette().color(backgroundRole()).rgb());
  if (picture.IsNull()) return;
  const QImage view(picture.Row(0), picture.Width(), picture.Height(),
                    static_cast<qsizetype>(picture.Stride()), QImage::Format_RGB32);
  QPainter painter(this);
  painter.drawImage(image_.RenderedAt(), view);
}

}  // namespace tessarin
