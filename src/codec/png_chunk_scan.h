#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "png_rgba_decoder.h"

namespace tessarin {

// A PNG's header facts and its tRNS colour key, read straight from the chunks before the
// first IDAT, for what the decoder is not relied upon for.
struct PngFacts {
  bool isPng = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = -1;
  // A colour key (grey, or R, G, B) is kept only for grey and RGB files.
  bool hasKey = false;
  std::array<std::uint16_t, 3> key{};
  std::size_t keyChunkBegin = 0;
  std::size_t keyChunkEnd = 0;
  // A chunk before IEND that runs past the end of the bytes: where it starts and its length.
  bool cutShort = false;
  std::size_t cutChunkAt = 0;
  std::size_t cutChunkLength = 0;
  // Cut where a chunk should start (the IEND at the latest) rather than inside one.
  bool cutBeforeEnd = false;
  // What the decoder would refuse the file for, as a clause; "" when nothing is found. Told
  // here so that the user reads one clear line, and not also the decoder's own.
  std::string damage;
  bool interlaced = false;
  // At most one PLTE, and none after the image data: decoders differ over anything else.
  bool plainChunks = true;
  // Where the IDAT chunks' data lies.
  std::vector<ByteSpan> imageData;
};

// Reads the chunk layout of bytes that may be a PNG, checking what every decoder checks.
// Bytes that are not a PNG give isPng false.
PngFacts ScanPngChunks(const std::uint8_t* data, std::size_t size);

}  // namespace tessarin
