#include "deflate_format.h"

#include <array>

namespace tessarin::deflate {

void ReversedCanonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
  std::array<int, kMaxCodeBits + 1> perLength{};
  for (int s = 0; s < n; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  // The first code of each length follows the last of the length before, one bit longer.
  std::array<int, kMaxCodeBits + 1> next{};
  int code = 0;
  for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
    code = (code + perLength[bits - 1]) << 1;
    next[bits] = code;
  }
  for (int s = 0; s < n; ++s) {
    const int bits = lengths[s];
    if (bits == 0) continue;
    int value = next[bits]++;
    int reversed = 0;
    for (int i = 0; i < bits; ++i, value >>= 1) reversed = (reversed << 1) | (value & 1);
    codes[s] = static_cast<std::uint16_t>(reversed);
  }
}

}  // namespace tessarin::deflate
