#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin::deflate {

// Compresses data[begin, end) into raw deflate blocks (RFC 1951), appended to out. Matches may
// reach back before begin, up to the 32 KiB window, into bytes a decoder has already produced,
// so that parts compressed apart lose little against one stream.
// The last part closes the stream. Any other part ends with an empty stored block, which
// leaves it on a byte boundary: parts compressed in order, on any threads, are one stream
// when their outputs are joined.
void CompressPart(const std::uint8_t* data, std::size_t begin, std::size_t end, bool last,
                  std::vector<std::uint8_t>& out);

}  // namespace tessarin::deflate
