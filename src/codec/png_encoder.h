#pragma once

#include <cstdint>
#include <vector>

namespace tessarin {

class RasterImage;

// The longest side decoders read in a PNG, libpng among them by default.
inline constexpr int kMaxPngSide = 1000000;

// Whether EncodePng takes the image: 24 bits, or 32 bits with or without alpha, and no side
// longer than decoders read.
bool PngEncoderTakes(const RasterImage& image);

// libdeflate's compression level (1 fastest to 12 smallest) for the last and largest part of
// our PNG files' image data. At 2 our soft and noisy 1024 x 1024 sheets come out 2 to 22%
// smaller than at 1, and smaller than they used to be; from 3 on they shrink by under 1% for
// much more time (bench_codec --levels).
inline constexpr int kPngLevel = 2;

// The image as a whole PNG file, 8 bits a channel: RGBA when it has alpha, RGB otherwise.
// Large pictures are filtered and compressed on all cores. Throws std::bad_alloc when memory
// runs out.
std::vector<std::uint8_t> EncodePng(const RasterImage& image, int level = kPngLevel);

}  // namespace tessarin
