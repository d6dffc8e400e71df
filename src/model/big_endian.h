#pragma once

#include <cstdint>
#include <vector>

namespace tessarin {

// PNG and zlib store their numbers most significant byte first.
inline std::uint32_t ReadBig32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

inline void AppendBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v >> 24),
                                 static_cast<std::uint8_t>(v >> 16),
                                 static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace tessarin
