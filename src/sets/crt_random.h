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
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_;
};

}  // namespace tessarin
