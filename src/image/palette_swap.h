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

 private:
  struct Table;
  std::unique_ptr<const Table> table_;
};

// The same, pixel by pixel with no lookup table: what SwapColours must agree with.
void SwapColoursPlainly(RasterImage& image, const std::vector<ColourSwap>& swaps);

}  // namespace tessarin
