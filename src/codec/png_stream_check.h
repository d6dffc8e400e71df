#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "png_chunk_scan.h"

namespace tessarin {

// Inflates a PNG's image data without keeping it, and says in a clause what a decoder would
// stop at: a broken zlib header, corrupt data, a failed checksum, data that ends before the
// last row. "" when none of these is found. Whatever follows the rows is left to the decoder,
// which reads the rows and warns of the rest.
std::string PngStreamFault(const std::uint8_t* bytes, const PngFacts& png);

}  // namespace tessarin
