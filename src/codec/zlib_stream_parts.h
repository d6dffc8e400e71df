#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

// data as one zlib stream (header, deflate blocks, Adler-32), compressed on up to `threads`
// threads in parts that follow one another: stored in order (as IDAT chunks, say), they are
// the stream. libdeflateLevel is libdeflate's level (1 to 12) for the last part, the largest.
// Throws std::bad_alloc when memory runs out.
std::vector<std::vector<std::uint8_t>> ZlibStreamInParts(const std::uint8_t* data, std::size_t size,
                                                         unsigned threads, int libdeflateLevel);

}  // namespace tessarin
