#pragma once

#include <cstddef>
#include <cstdint>

namespace tessarin::deflate {

// The checksum that closes a zlib stream, of data, continuing from adler (1 for none yet).
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler = 1);

// The checksum of A followed by B, from their own checksums and B's length.
std::uint32_t Adler32Joined(std::uint32_t adlerA, std::uint32_t adlerB, std::size_t sizeB);

}  // namespace tessarin::deflate
