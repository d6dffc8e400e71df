#include "decode_refusal.h"

#include "raster_image.h"

namespace tessarin {

std::string Quoted(const QString& text) {
  return "\"" + text.toStdString() + "\"";
}

bool ExceedsPixelLimit(std::int64_t width, std::int64_t height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4 >
         RasterImage::kMaxPixelBytes;
}

std::string SizeRefusal(const QString& name, std::int64_t width, std::int64_t height) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  return "Cannot load " + Quoted(name) + ": " + std::to_string(width) + " x " +
         std::to_string(height) + " pixels is more than the " +
         std::to_string(RasterImage::kMaxPixelBytes / kMiB) + " MiB an image may take";
}

}  // namespace tessarin
