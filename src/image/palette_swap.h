#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raster_image.h"

namespace tessarin {

// One colour exchanged for another, both 0xRRGGBB.
struct ColourSwap {
  std::uint32_t from = 0;
  std::uint32_t to = 0;
};

// Gives every pixel whose colour equals a swap's `from` exactly that swap's `to`, keeping its
// alpha. Swaps apply all at once: a colour swapped in is never swapped again. The first swap
// of a colour wins. Indexed images change their palette; 16-bit images compare the colour as
// it is shown and store the new one as near as 5-6-5 bits allow.
void SwapColours(RasterImage& image, const std::vector<ColourSwap>& swaps);

// Swaps colours a row of pixels at a time, as SwapColours does, for drawing code that
// recolours pixels on their way to the sheet: that costs a fraction of copying whole layers
// first.
class ColourSwapper {
 public:
  explicit ColourSwapper(const std::vector<ColourSwap>& swaps);
  ~ColourSwapper();
  ColourSwapper(const ColourSwapper&) = delete;
  ColourSwapper& operator=(const ColourSwapper&) = delete;

  // Pixels of four bytes in the order 32-bit images store them (B, G, R, A).
  void SwapRow(std::uint8_t* pixels, std::size_t count) const;
  // The row recoloured into out (room for count pixels), or pixels itself when none of them
  // changes: the common row costs a read and no copy.
  const std::uint8_t* Recoloured(const std::uint8_t* pixels, std::uint8_t* out,
                                 std::size_t count) const;
  // The same for a row whose byte learnt is kept from draw to draw (see RasterImage::Draw):
  // a row learnt to hold nothing to swap is passed by unread.
  const std::uint8_t* Recoloured(const std::uint8_t* pixels, std::uint8_t* out, std::size_t count,
                                 std::uint8_t* learnt) const {
    if (learnt != nullptr && *learnt == kRowUnchanged) return pixels;
    const std::uint8_t* row = Recoloured(pixels, out, count);
    if (learnt != nullptr) *learnt = row == pixels ? kRowUnchanged : kRowChanged;
    return row;
  }

  // What a row's learnt byte says: not seen yet, nothing to swap, something to swap.
  static constexpr std::uint8_t kRowUnseen = 0;
  static constexpr std::uint8_t kRowUnchanged = 1;
  static constexpr std::uint8_t kRowChanged = 2;

 private:
  struct Table;
  std::unique_ptr<const Table> table_;
};

// The same, pixel by pixel with no lookup table: what SwapColours must agree with.
void SwapColoursPlainly(RasterImage& image, const std::vector<ColourSwap>& swaps);

}  // namespace tessarin
