#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessarin::deflate {

// Inflates the raw deflate stream (RFC 1951) at in[0, inSize) into exactly outSize bytes at
// out. Returns how many input bytes the stream took, through its final block; nothing when the
// stream is malformed, ends early, or holds any other number of bytes. It refuses what zlib
// refuses, so that a stream is read alike here and by any other decoder.
std::optional<std::size_t> DecompressExactly(const std::uint8_t* in, std::size_t inSize,
                                             std::uint8_t* out, std::size_t outSize);

}  // namespace tessarin::deflate
