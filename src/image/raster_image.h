#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "blend_rule.h"
#include "pixel_allocator.h"
#include "status.h"

namespace tessarin {

class ColourSwapper;

// How much of an image's top-left corner a reader keeps. Sheets draw their layers 1:1 from the
// corner, so a layer's pixels past the sheet's size are never seen, and need not be held.
// 0 keeps every column, or every row.
struct KeptCorner {
  int width = 0;
  int height = 0;

  int WidthOf(int imageWidth) const { return width > 0 && width < imageWidth ? width : imageWidth; }
  int HeightOf(int imageHeight) const {
    return height > 0 && height < imageHeight ? height : imageHeight;
  }
  bool operator==(const KeptCorner& other) const {
    return width == other.width && height == other.height;
  }
};

// An in-memory raster: empty, or a picture in one of the stored formats below.
//
// Stored formats (rows top-down, each row padded to a multiple of 4 bytes):
//   1 or 8 bits  indexed, with Palette()
//   16 bits      R5 G6 B5 in a little-endian 16-bit word
//   24 bits      B, G, R
//   32 bits      B, G, R, A; A is straight alpha when HasAlpha(), and otherwise
//                the colour-key alpha when HasKeyAlpha(), and otherwise unused.
//
// Transparency that is not an alpha channel (a palette's tRNS alpha, a colour key)
// is kept aside: the classic rule ignores it, the standard rule honours it.
class RasterImage {
 public:
  // Anything larger fails to load before its pixels are allocated.
  static constexpr std::uint64_t kMaxPixelBytes = 256ull * 1024 * 1024;

  RasterImage() = default;

  bool IsNull() const { return width_ == 0; }
  void Destroy();
  // Only 32 bits per pixel can be created; every byte starts at 0.
  // A width or height of 0 (or less) leaves the image empty and returns false.
  // Throws std::bad_alloc when memory runs out.
  bool Create(int width, int height, int bitsPerPixel, bool alphaFlag);

  // Draws the source rectangle of this image into the destination rectangle of a
  // 32-bit target, by nearest neighbour when the sizes differ. Only the part that
  // lies inside both images is touched. Does nothing for an empty image or a target
  // that is not 32 bits per pixel. With swapper, the pixels drawn are recoloured on the way,
  // as SwapColours would recolour this image first, for every format but 16 bits per pixel
  // (whose new colours SwapColours rounds to 5-6-5 bits). rowsLearnt, when given, holds a byte
  // for each row of this image, kept from draw to draw with the same swapper and source
  // columns: 0 for a row not seen yet, 1 for one that holds no colour to swap, which later
  // draws then pass by, 2 for one that does. Only 32-bit rows drawn 1:1 across learn.
  void Draw(RasterImage& target, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
            BlendRule rule = BlendRule::Classic, const ColourSwapper* swapper = nullptr,
            std::uint8_t* rowsLearnt = nullptr) const;

  // Drops what lies outside the corner. Throws std::bad_alloc when memory runs out.
  void KeepCorner(KeptCorner corner);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  bool HasAlpha() const { return hasAlpha_; }
  bool HasKeyAlpha() const { return hasKeyAlpha_; }
  // B, G, R, A per entry; A is the palette's own transparency.
  const std::vector<std::uint32_t>& Palette() const { return palette_; }
  std::size_t Stride() const { return stride_; }
  std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }

  // The pixel as the given rule sees it, packed B | G << 8 | R << 16 | A << 24.
  // Under the classic rule anything without an alpha channel is opaque.
  std::uint32_t PixelAt(int x, int y, BlendRule rule = BlendRule::Classic) const;

  // For the codecs, which fill a fresh image of the given format. spareBytes more
  // follow the last row, for a decoder that unpacks a larger form of the rows in place.
  // Sizes past the ceiling leave the image empty; running out of memory throws
  // std::bad_alloc.
  void Allocate(int width, int height, int bitsPerPixel, std::size_t spareBytes = 0);
  void SetAlphaFlags(bool hasAlpha, bool hasKeyAlpha) {
    hasAlpha_ = hasAlpha;
    hasKeyAlpha_ = hasKeyAlpha;
  }
  void SetPalette(std::vector<std::uint32_t> palette) { palette_ = std::move(palette); }

 private:
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  bool hasAlpha_ = false;
  bool hasKeyAlpha_ = false;
  std::size_t stride_ = 0;
  std::vector<std::uint32_t> palette_;
  std::vector<std::uint8_t, PixelAllocator<std::uint8_t>> pixels_;
};

}  // namespace tessarin
