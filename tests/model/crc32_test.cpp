#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "crc32.h"

namespace tessarin {
namespace {

// Bit by bit, straight from the polynomial.
std::uint32_t SlowCrc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    c ^= data[i];
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

TEST(Crc32, AgreesWithTheBitwiseDefinitionAndContinues) {
  const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc32(check, sizeof check), 0xCBF43926u);  // the published check value
  std::mt19937 random(3);
  std::vector<std::uint8_t> bytes(1000);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  // Sizes around the eight-byte steps, and splits anywhere.
  for (const std::size_t size : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 1000u}) {
    const std::uint32_t whole = SlowCrc32(bytes.data(), size);
    EXPECT_EQ(Crc32(bytes.data(), size), whole) << size;
    for (const std::size_t split : {std::size_t{0}, size / 3, size}) {
      EXPECT_EQ(Crc32(bytes.data() + split, size - split, Crc32(bytes.data(), split)), whole)
          << size << " split at " << split;
    }
  }
}

}  // namespace
}  // namespace tessarin
