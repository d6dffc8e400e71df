#include "crc32.h"

#include <array>

#include "byte_order.h"

namespace tessarin {
namespace {

// Table k holds the CRC of a byte followed by k zero bytes, so that eight bytes are taken in
// one step of eight independent lookups instead of eight dependent ones.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

Tables MakeTables() {
  Tables tables{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][n] = c;
  }
  for (std::size_t k = 1; k < tables.size(); ++k) {
    for (std::size_t n = 0; n < 256; ++n) {
      const std::uint32_t previous = tables[k - 1][n];
      tables[k][n] = (previous >> 8) ^ tables[0][previous & 0xFF];
    }
  }
  return tables;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  static const Tables kTables = MakeTables();
  std::uint32_t c = ~crc;
  for (; size >= 8; size -= 8, data += 8) {
    const std::uint32_t low = ReadLittle32(data) ^ c;
    const std::uint32_t high = ReadLittle32(data + 4);
    c = kTables[7][low & 0xFF] ^ kTables[6][low >> 8 & 0xFF] ^ kTables[5][low >> 16 & 0xFF] ^
        kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][high >> 8 & 0xFF] ^
        kTables[1][high >> 16 & 0xFF] ^ kTables[0][high >> 24];
  }
  for (; size > 0; --size, ++data) c = kTables[0][(c ^ *data) & 0xFF] ^ (c >> 8);
  return ~c;
}

}  // namespace tessarin
