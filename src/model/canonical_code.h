#pragma once

#include <cstdint>

namespace tessarin::deflate {

// The canonical Huffman codes of the given code lengths (RFC 1951, 3.2.2), each bit-reversed:
// deflate sends a code's first bit first, into the low end of each byte, so a reversed code is
// what is written, and what a table indexed by the next bits of the stream is indexed with.
// Lengths are 0 (no code) to 15; codes of symbols without one are left as they are.
void ReversedCanonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes);

}  // namespace tessarin::deflate
