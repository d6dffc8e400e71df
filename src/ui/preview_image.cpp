#include "preview_image.h"

#include <cstdint>
#include <new>
#include <utility>

namespace tessarin {

void PreviewImage::SetComposite(std::shared_ptr<const RasterImage> composite) {
  composite_ = std::move(composite);
  stale_ = true;
}

const RasterImage& PreviewImage::Composite() const {
  static const RasterImage kNone;
  return composite_ ? *composite_ : kNone;
}

const RasterImage& PreviewImage::Render(const QRect& destination, int sourceWidth, int sourceHeight,
                                        const QRect& bounds, QRgb background) {
  const QRect area = destination.intersected(bounds);
  const QSize source(sourceWidth, sourceHeight);
  if (!stale_ && destination == destination_ && area == area_ && source == source_ &&
      background == background_) {
    return picture_;
  }
  stale_ = false;
  destination_ = destination;
  area_ = area;
  source_ = source;
  background_ = background;
  picture_.Destroy();
  if (Composite().IsNull() || destination.isEmpty() || area.isEmpty()) return picture_;
  try {
    if (!picture_.Create(area.width(), area.height(), 32, false)) return picture_;
  } catch (const std::bad_alloc&) {
    // Painting cannot stop to tell; the picture, at most the window's size, stays blank
    // until the next paint finds the memory.
    stale_ = true;
    return picture_;
  }

  const auto blue = static_cast<std::uint8_t>(qBlue(background));
  const auto green = static_cast<std::uint8_t>(qGreen(background));
  const auto red = static_cast<std::uint8_t>(qRed(background));
  for (int y = 0; y < picture_.Height(); ++y) {
    std::uint8_t* row = picture_.Row(y);
    for (int x = 0; x < picture_.Width(); ++x) {
      row[4 * x + 0] = blue;
      row[4 * x + 1] = green;
      row[4 * x + 2] = red;
      row[4 * x + 3] = 255;
    }
  }
  // Drawn relative to the whole destination so that cutting it keeps the pixel mapping.
  Composite().Draw(picture_, destination.x() - area.x(), destination.y() - area.y(),
                   destination.width(), destination.height(), 0, 0, sourceWidth, sourceHeight,
                   BlendRule::Classic);
  ++blendCount_;
  return picture_;
}

}  // namespace tessarin
