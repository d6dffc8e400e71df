#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessarin::deflate {

struct InflateResult {
  // Bytes written before the stream ended or broke off, at most the room there was.
  std::size_t produced = 0;
  // Input bytes the stream took through its final block; none when it broke off or held more
  // bytes than there was room for.
  std::optional<std::size_t> consumed;
  bool Exact(std::size_t outSize) const { return consumed && produced == outSize; }
};

// Inflates the raw deflate stream (RFC 1951) at in[0, inSize) into the outSize bytes at out.
// It refuses what zlib refuses, at the same point of the stream, so that a stream is read
// alike here and by any other decoder.
InflateResult Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                      std::size_t outSize);

}  // namespace tessarin::deflate
