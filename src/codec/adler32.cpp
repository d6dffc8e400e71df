#include "adler32.h"

#include <algorithm>

namespace tessarin::deflate {
namespace {

constexpr std::uint32_t kBase = 65521;

}  // namespace

// With A = 1 + the sum of the bytes and B = the sum of the values A takes after each byte,
// both mod 65521, a run of n bytes x_0 .. x_(n-1) adds S = sum x_i to A, and to B it adds
// n A_before + sum (n - i) x_i. Taken in chunks of 32 bytes, with i = 32 c + j:
//   sum (n - i) x_i = 32 sum_c (chunks - c) S_c - sum_j j L_j,
// where S_c is chunk c's sum and L_j the sum of the bytes in lane j of every chunk; and
// sum_c (chunks - c) S_c = sum_j R_j, R_j adding up L_j after every chunk. L and R are 32
// lanes of plain additions, which the compiler spreads over vector registers.
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler) {
  constexpr std::size_t kLanes = 32;
  // R_j stays within 32 bits: chunks (chunks + 1) / 2 * 255 < 2^32.
  constexpr std::size_t kChunksARun = 4096;
  std::uint64_t a = adler & 0xFFFF;
  std::uint64_t b = adler >> 16;
  while (size >= kLanes) {
    const std::size_t chunks = std::min(size / kLanes, kChunksARun);
    std::uint32_t lane[kLanes] = {};
    std::uint32_t running[kLanes] = {};
    for (std::size_t c = 0; c < chunks; ++c, data += kLanes) {
      for (std::size_t j = 0; j < kLanes; ++j) {
        lane[j] += data[j];
        running[j] += lane[j];
      }
    }
    std::uint64_t sum = 0;
    std::uint64_t byLane = 0;
    std::uint64_t runningSum = 0;
    for (std::size_t j = 0; j < kLanes; ++j) {
      sum += lane[j];
      byLane += j * lane[j];
      runningSum += running[j];
    }
    const std::uint64_t n = chunks * kLanes;
    b = (b + n * a + kLanes * runningSum - byLane) % kBase;
    a = (a + sum) % kBase;
    size -= n;
  }
  for (; size > 0; --size, ++data) {
    a = (a + *data) % kBase;
    b = (b + a) % kBase;
  }
  return static_cast<std::uint32_t>(b << 16 | a);
}

// Appending Y (n bytes) to X: A = A_X + A_Y - 1, and B = B_X + B_Y + n (A_X - 1), since every
// one of Y's n values of A also carries X's bytes.
std::uint32_t Adler32Joined(std::uint32_t adlerA, std::uint32_t adlerB, std::size_t sizeB) {
  const std::uint64_t aX = adlerA & 0xFFFF;
  const std::uint64_t bX = adlerA >> 16;
  const std::uint64_t aY = adlerB & 0xFFFF;
  const std::uint64_t bY = adlerB >> 16;
  const std::uint64_t a = (aX + aY + kBase - 1) % kBase;
  const std::uint64_t b = (bX + bY + (sizeB % kBase) * ((aX + kBase - 1) % kBase)) % kBase;
  return static_cast<std::uint32_t>(b << 16 | a);
}

}  // namespace tessarin::deflate
