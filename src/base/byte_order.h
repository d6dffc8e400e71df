#pragma once

#include <cstdint>
#include <vector>

namespace tessarin {

// PNG and zlib's header and checksum store numbers most significant byte first.
inline std::uint32_t ReadBig32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

inline void WriteBig32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

inline void AppendBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t bytes[4];
  WriteBig32(bytes, v);
  out.insert(out.end(), bytes, bytes + 4);
}

// BMP's numbers are stored least significant byte first.
inline void AppendLittle16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
}

inline void AppendLittle32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  AppendLittle16(out, static_cast<std::uint16_t>(v));
  AppendLittle16(out, static_cast<std::uint16_t>(v >> 16));
}

// Bytes taken as one number with the first byte lowest: pixel bytes tested several at a time,
// read alike on every machine. Compilers make each a single load where the machine is
// little-endian.
inline std::uint32_t ReadLittle32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

inline std::uint64_t ReadLittle64(const std::uint8_t* p) {
  return std::uint64_t{ReadLittle32(p)} | std::uint64_t{ReadLittle32(p + 4)} << 32;
}

}  // namespace tessarin
