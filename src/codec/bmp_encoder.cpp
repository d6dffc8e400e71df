#include "bmp_encoder.h"

#include <limits>

#include "byte_order.h"
#include "raster_image.h"

namespace tessarin {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 108;  // BITMAPV4HEADER
constexpr std::uint32_t kPixelsAt = kFileHeaderBytes + kInfoHeaderBytes;

std::uint64_t PixelBytes(const RasterImage& image) {
  return std::uint64_t{4} * static_cast<std::uint64_t>(image.Width()) *
         static_cast<std::uint64_t>(image.Height());
}

}  // namespace

bool BmpAlphaEncoderTakes(const RasterImage& image) {
  // The file's size is a 32-bit number.
  return !image.IsNull() && image.BitsPerPixel() == 32 && image.HasAlpha() &&
         PixelBytes(image) <= std::numeric_limits<std::uint32_t>::max() - kPixelsAt;
}

std::vector<std::uint8_t> EncodeBmpWithAlpha(const RasterImage& image) {
  const auto pixelBytes = static_cast<std::uint32_t>(PixelBytes(image));
  std::vector<std::uint8_t> bmp = {'B', 'M'};
  bmp.reserve(kPixelsAt + pixelBytes);
  AppendLittle32(bmp, kPixelsAt + pixelBytes);
  AppendLittle32(bmp, 0);  // reserved
  AppendLittle32(bmp, kPixelsAt);
  AppendLittle32(bmp, kInfoHeaderBytes);
  AppendLittle32(bmp, static_cast<std::uint32_t>(image.Width()));
  // A positive height: rows bottom first, which every reader takes.
  AppendLittle32(bmp, static_cast<std::uint32_t>(image.Height()));
  AppendLittle16(bmp, 1);   // planes
  AppendLittle16(bmp, 32);  // bits a pixel
  AppendLittle32(bmp, 3);   // BI_BITFIELDS: the masks below say where each channel lies
  AppendLittle32(bmp, pixelBytes);
  AppendLittle32(bmp, 2835);  // 72 dots an inch, across and down
  AppendLittle32(bmp, 2835);
  AppendLittle32(bmp, 0);  // no palette
  AppendLittle32(bmp, 0);
  // Our pixels are B, G, R, A in memory: 0xAARRGGBB read least significant byte first.
  AppendLittle32(bmp, 0x00FF0000);
  AppendLittle32(bmp, 0x0000FF00);
  AppendLittle32(bmp, 0x000000FF);
  AppendLittle32(bmp, 0xFF000000);
  AppendLittle32(bmp, 0x73524742);  // 'sRGB': no end points or gamma follow in earnest
  bmp.resize(kPixelsAt, 0);
  const std::size_t rowBytes = 4 * static_cast<std::size_t>(image.Width());
  for (int y = image.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = image.Row(y);
    bmp.insert(bmp.end(), row, row + rowBytes);
  }
  return bmp;
}

}  // namespace tessarin
