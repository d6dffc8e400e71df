#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

class RasterImage;

struct ByteSpan {
  std::size_t offset;
  std::size_t size;
};

// Decodes a PNG of 8-bit RGBA samples without interlacing, the usual sprite layer, straight
// into image as 32-bit straight alpha. imageData are the spans of bytes its IDAT chunks hold.
// False, with the image left empty, for anything amiss: image data that does not inflate to
// exactly the rows, a wrong checksum, an unknown row filter. Other decoders read such files
// in their own ways, so the caller hands them on.
bool DecodeRgbaPng(const std::uint8_t* bytes, const std::vector<ByteSpan>& imageData, int width,
                   int height, RasterImage& image);

}  // namespace tessarin
