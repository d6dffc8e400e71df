#pragma once

#include <cstdint>

namespace tessarin {

// The C runtime's rand() of the platform sets were made on, reproduced exactly so that a
// seed picks the same characters everywhere.
class CrtRandom {
 public:
  static constexpr int kMax = 32767;

  explicit CrtRandom(std::uint32_t seed = 1) : state_(seed) {}
  void Seed(std::uint32_t seed) { state_ = seed; }

  int Next() {
    state_ = state_ * kMultiplier + kIncrement;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

  // Skips n draws in O(log n), so that a batch can start at any character of its stream.
  // n steps of s -> a*s + c are again affine; the map is squared bit by bit of n.
  void Discard(std::uint64_t n) {
    std::uint32_t multiplier = 1;
    std::uint32_t increment = 0;
    std::uint32_t stepMultiplier = kMultiplier;
    std::uint32_t stepIncrement = kIncrement;
    for (; n != 0; n >>= 1) {
      if ((n & 1u) != 0) {
        multiplier *= stepMultiplier;
        increment = increment * stepMultiplier + stepIncrement;
      }
      stepIncrement *= stepMultiplier + 1u;
      stepMultiplier *= stepMultiplier;
    }
    state_ = state_ * multiplier + increment;
  }

 private:
  static constexpr std::uint32_t kMultiplier = 214013u;
  static constexpr std::uint32_t kIncrement = 2531011u;

  std::uint32_t state_;
};

}  // namespace tessarin
