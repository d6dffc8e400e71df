#pragma once

// Row kernels for drawing one image over another. Rows are B, G, R, A bytes, straight alpha.
// The loops are plain integer (and, for the standard rule, float) arithmetic over whole rows
// so that the compiler can vectorise them; callers resolve formats and clipping beforehand.

#include <cstddef>
#include <cstdint>

namespace tessarin::blend {

// round(x / 255) for x in [0, 255 * 255 + 254]. With y = x + 128, y / 255 = (y / 256) *
// (1 + 1/255), and y >> 8 stands in for y / 256 * 1/255 closely enough that flooring
// (y + (y >> 8)) / 256 lands on the rounded quotient everywhere in that range. Ties cannot
// occur: 255 is odd. Everything stays below 2^16, which keeps vector lanes narrow.
inline std::uint32_t Div255(std::uint32_t x) {
  const std::uint32_t y = x + 128u;
  return (y + (y >> 8)) >> 8;
}

// Classic rule, one pixel channel c of the source with alpha a over channel d:
//   c + (1 - a/255) * d  =  c + (255 - a) * d / 255,
// applied to B, G, R and A alike. The colour is not weighted by a, so the sum can pass
// 255 (half-transparent white over white: 255 + 127) and is capped there.
inline std::uint8_t ClassicChannel(std::uint32_t c, std::uint32_t a, std::uint32_t d) {
  const std::uint32_t v = c + Div255((255u - a) * d);
  return static_cast<std::uint8_t>(v > 255u ? 255u : v);
}

inline void ClassicRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                       std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t a = src[4 * i + 3];
    dst[4 * i + 0] = ClassicChannel(src[4 * i + 0], a, dst[4 * i + 0]);
    dst[4 * i + 1] = ClassicChannel(src[4 * i + 1], a, dst[4 * i + 1]);
    dst[4 * i + 2] = ClassicChannel(src[4 * i + 2], a, dst[4 * i + 2]);
    dst[4 * i + 3] = ClassicChannel(a, a, dst[4 * i + 3]);
  }
}

// Nearest integer to num / den, halves rounded up; 0 when den is 0 (num is then 0 too).
// A float reciprocal gives an estimate within one of the answer (num < 2^24 is exact in a
// float, the product is off by a few ulps); one integer step against
// floor((2 num + den) / (2 den)) makes it exact, and all of it vectorises, unlike an
// integer division.
inline std::uint32_t RoundedQuotient(std::uint32_t num, std::uint32_t den) {
  den = den != 0u ? den : 1u;
  const float inverse = 1.0f / static_cast<float>(den);
  auto q = static_cast<std::int32_t>(static_cast<float>(num) * inverse + 0.5f);
  const auto twiceDen = static_cast<std::int32_t>(2u * den);
  const std::int32_t r = static_cast<std::int32_t>(2u * num + den) - twiceDen * q;
  q += r >= twiceDen ? 1 : 0;
  q -= r < 0 ? 1 : 0;
  return static_cast<std::uint32_t>(q);
}

// Standard rule: Porter-Duff source-over on straight alpha. With sa, da in 0..1,
//   outA = sa + da (1 - sa),   outC = (sc sa + dc da (1 - sa)) / outA.
// Multiplying numerator and denominator by 255 * 255 keeps it in integers on bytes SA, DA:
//   outA * 255 = SA * 255 + DA * (255 - SA)                    =: w
//   outC       = (sc * SA * 255 + dc * DA * (255 - SA)) / w,
// so the stored alpha is round(w / 255) and each colour a rounded quotient by w. The
// opaque (SA 255) and empty (SA 0) cases fall out of the same arithmetic exactly.
inline void StandardRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                        std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t sa = src[4 * i + 3];
    const std::uint32_t da = dst[4 * i + 3];
    const std::uint32_t srcWeight = sa * 255u;
    const std::uint32_t dstWeight = da * (255u - sa);
    const std::uint32_t w = srcWeight + dstWeight;
    for (std::size_t c = 0; c < 3; ++c) {
      const std::uint32_t num = src[4 * i + c] * srcWeight + dst[4 * i + c] * dstWeight;
      dst[4 * i + c] = static_cast<std::uint8_t>(RoundedQuotient(num, w));
    }
    dst[4 * i + 3] = static_cast<std::uint8_t>(Div255(w));
  }
}

// Opaque copy: the colour as it is, alpha 255, whatever the source's fourth byte holds.
inline void OpaqueRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                      std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    dst[4 * i + 0] = src[4 * i + 0];
    dst[4 * i + 1] = src[4 * i + 1];
    dst[4 * i + 2] = src[4 * i + 2];
    dst[4 * i + 3] = 255u;
  }
}

}  // namespace tessarin::blend
