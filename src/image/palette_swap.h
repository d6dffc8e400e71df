#pragma once

#include <cstdint>
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

// The same, pixel by pixel with no lookup table: what SwapColours must agree with.
void SwapColoursPlainly(RasterImage& image, const std::vector<ColourSwap>& swaps);

}  // namespace tessarin
