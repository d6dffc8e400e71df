#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarin {

class RasterImage;
struct KeptCorner;

struct ByteSpan {
  std::size_t offset;
  std::size_t size;
};

struct RgbaPngReading {
  enum class Outcome {
    Read,      // the image holds the picture
    Damaged,   // broken where every decoder stops; damage says how
    HandedOn,  // not as expected, but other decoders may read it in their own ways
  };
  Outcome outcome = Outcome::HandedOn;
  std::string damage;
};

// Decodes a PNG of 8-bit RGBA samples without interlacing, the usual sprite layer, straight
// into image as 32-bit straight alpha. imageData are the spans of bytes its IDAT chunks hold.
// Unless it is read, the image is left empty. Image data that breaks off or breaks down before
// the last row, more data than the rows hold, and a row filter that does not exist are damage.
// A stream that is broken only after its last row (a wrong checksum, bytes after it), and
// other chunks between the IDAT chunks, are handed on: decoders differ over those. Only the
// kept corner of the picture stays in image, though all of its data is checked as above.
RgbaPngReading DecodeRgbaPng(const std::uint8_t* bytes, const std::vector<ByteSpan>& imageData,
                             int width, int height, RasterImage& image, KeptCorner keep);

}  // namespace tessarin
