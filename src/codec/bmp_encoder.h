#pragma once

#include <cstdint>
#include <vector>

namespace tessarin {

class RasterImage;

// Whether EncodeBmpWithAlpha takes the image: 32 bits with an alpha channel. Other pictures
// go to the toolkit's BMP writer, which keeps no alpha.
bool BmpAlphaEncoderTakes(const RasterImage& image);

// The image as a 32-bit BMP whose fourth byte is straight alpha, named so by the masks of a
// version 4 header, which readers honour: the toolkit's writer writes 24 bits, and turns
// transparent pixels into their colour.
std::vector<std::uint8_t> EncodeBmpWithAlpha(const RasterImage& image);

}  // namespace tessarin
