#pragma once

#include <cstddef>
#include <cstdint>

namespace tessarin {

// The CRC-32 that PNG chunks carry (and zlib computes), continuing from crc: the CRC of A
// followed by B is Crc32(B, size of B, Crc32(A, size of A)).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

}  // namespace tessarin
