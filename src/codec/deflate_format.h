#pragma once

#include <array>
#include <cstdint>

// What the compressor and the decompressor agree on (RFC 1951).
namespace tessarin::deflate {

// The longest Huffman code for literals, lengths and distances.
inline constexpr int kMaxCodeBits = 15;

// The order in which a dynamic block sends the lengths of its code-length code.
inline constexpr std::array<int, 19> kLengthCodeOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                         11, 4,  12, 3, 13, 2, 14, 1, 15};

// The canonical Huffman codes of the given code lengths (3.2.2), each bit-reversed: deflate
// sends a code's first bit first, into the low end of each byte, so a reversed code is what is
// written, and what a table indexed by the next bits of the stream is indexed with. Lengths
// are 0 (no code) to kMaxCodeBits; codes of symbols without one are left as they are.
void ReversedCanonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes);

}  // namespace tessarin::deflate
