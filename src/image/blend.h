#pragma once

// Row kernels for drawing one image over another. Rows are B, G, R, A bytes, straight alpha.
// The loops are plain integer (and, for the standard rule, float) arithmetic over whole rows
// so that the compiler can vectorise them; callers resolve formats and clipping beforehand.

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "byte_order.h"

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

inline void ClassicPixels(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
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
inline void StandardPixels(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
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

// Sprite layers are mostly clear or solid. Both rules leave the target as it was under a block
// of clear pixels and replace it by a block of solid ones (alpha 255), so such blocks skip the
// arithmetic. "Clear" means alpha 0 under the standard rule, but all four bytes 0 under the
// classic one, which adds a clear pixel's colour. (Over a clear target pixel the standard
// kernel would also zero the colour, which carries nothing under alpha 0; a skipped block
// keeps it.) The block test is a plain loop too, and mixed blocks go to the per-pixel kernel.
constexpr std::size_t kBlockPixels = 16;

enum class BlockKind { Clear, Solid, Mixed };

template <bool kClearNeedsZeroColour>
inline BlockKind KindOfBlock(const std::uint8_t* src, std::size_t count) {
  if (count == kBlockPixels) {
    // Whole blocks are read as eight 64-bit words, two pixels each, first byte lowest: the
    // test then costs little next to the kernel, even on rows where every block turns out
    // mixed.
    constexpr std::uint64_t kAlphaBytes = 0xFF000000FF000000ull;
    std::uint64_t orAll = 0;
    std::uint64_t andAll = ~std::uint64_t{0};
    for (std::size_t i = 0; i < 8; ++i) {
      const std::uint64_t word = ReadLittle64(src + 8 * i);
      orAll |= word;
      andAll &= word;
    }
    if ((kClearNeedsZeroColour ? orAll : orAll & kAlphaBytes) == 0) return BlockKind::Clear;
    return (andAll & kAlphaBytes) == kAlphaBytes ? BlockKind::Solid : BlockKind::Mixed;
  }
  std::uint32_t orAlpha = 0;
  std::uint32_t andAlpha = 255u;
  std::uint32_t orColour = 0;
  for (std::size_t i = 0; i < count; ++i) {
    orAlpha |= src[4 * i + 3];
    andAlpha &= src[4 * i + 3];
    if (kClearNeedsZeroColour) orColour |= src[4 * i] | src[4 * i + 1] | src[4 * i + 2];
  }
  if ((orAlpha | orColour) == 0) return BlockKind::Clear;
  return andAlpha == 255u ? BlockKind::Solid : BlockKind::Mixed;
}

// Walks a row of count source pixels block by block: clear blocks are passed over, each solid
// block goes to solid(first, n), and neighbouring mixed blocks go to mixed(first, n) as one
// run, which keeps the kernel's loop long.
template <bool kClearNeedsZeroColour, typename Mixed, typename Solid>
inline void ForEachBlockRun(const std::uint8_t* src, std::size_t count, Mixed mixed, Solid solid) {
  std::size_t mixedFrom = 0;
  for (std::size_t at = 0; at < count; at += kBlockPixels) {
    const std::size_t n = count - at < kBlockPixels ? count - at : kBlockPixels;
    const BlockKind kind = KindOfBlock<kClearNeedsZeroColour>(src + 4 * at, n);
    if (kind == BlockKind::Mixed) continue;
    if (mixedFrom < at) mixed(mixedFrom, at - mixedFrom);
    mixedFrom = at + n;
    if (kind == BlockKind::Solid) solid(at, n);
  }
  if (mixedFrom < count) mixed(mixedFrom, count - mixedFrom);
}

template <bool kClearNeedsZeroColour,
          void (*kPixels)(std::uint8_t* __restrict, const std::uint8_t* __restrict, std::size_t)>
inline void BlockwiseRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                         std::size_t count) {
  ForEachBlockRun<kClearNeedsZeroColour>(
      src, count,
      [&](std::size_t first, std::size_t n) { kPixels(dst + 4 * first, src + 4 * first, n); },
      [&](std::size_t first, std::size_t n) {
        for (std::size_t i = 4 * first; i < 4 * (first + n); ++i) dst[i] = src[i];
      });
}

inline void ClassicRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                       std::size_t count) {
  BlockwiseRow<true, ClassicPixels>(dst, src, count);
}

inline void StandardRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                        std::size_t count) {
  BlockwiseRow<false, StandardPixels>(dst, src, count);
}

// The standard rule over a whole stack, rounded once. Rounding each layer's result to bytes
// loses up to half a step per layer, which sixteen soft layers add up to visible drift, so a
// stack is drawn into premultiplied floats instead: per pixel B, G, R and A, each on 0..255,
// the colour multiplied by alpha / 255. Source-over on premultiplied values is
//   outC = sc sa + dc (1 - sa),   outA = 255 sa + da (1 - sa)   (sa on 0..1),
// which is the straight-alpha formula above multiplied through by outA. Alpha takes the
// colour's form with 255 in place of sc, so all four lanes do the same arithmetic.
inline void AccumulatePixels(float* __restrict acc, const std::uint8_t* __restrict src,
                             std::size_t count) {
  std::size_t i = 0;
#if defined(__SSE2__)
  // Noisy layers send every pixel here, and the compiler's vectors shuffle more than they
  // compute. A pixel a register instead, its four lanes doing the very operations below in
  // the same order, so the sums agree to the bit.
  const __m128 toUnit = _mm_set1_ps(1.0f / 255.0f);
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 colourLanes = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
  const __m128 alphaSource = _mm_set_ps(255.0f, 0.0f, 0.0f, 0.0f);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= count; i += 4) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * i));
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
    const __m128 pixels[4] = {_mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)),
                              _mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)),
                              _mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)),
                              _mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero))};
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128 s = pixels[k];
      const __m128 sa = _mm_mul_ps(_mm_shuffle_ps(s, s, _MM_SHUFFLE(3, 3, 3, 3)), toUnit);
      const __m128 keep = _mm_sub_ps(one, sa);
      const __m128 source = _mm_or_ps(_mm_and_ps(s, colourLanes), alphaSource);
      float* a = acc + 4 * (i + k);
      _mm_storeu_ps(a, _mm_add_ps(_mm_mul_ps(source, sa), _mm_mul_ps(_mm_loadu_ps(a), keep)));
    }
  }
#endif
  for (; i < count; ++i) {
    const float sa = static_cast<float>(src[4 * i + 3]) * (1.0f / 255.0f);
    const float keep = 1.0f - sa;
    float* a = acc + 4 * i;
    const std::uint8_t* s = src + 4 * i;
    a[0] = static_cast<float>(s[0]) * sa + a[0] * keep;
    a[1] = static_cast<float>(s[1]) * sa + a[1] * keep;
    a[2] = static_cast<float>(s[2]) * sa + a[2] * keep;
    a[3] = 255.0f * sa + a[3] * keep;
  }
}

// As AccumulatePixels, settling clear blocks (no change) and solid ones (the source) without
// the arithmetic.
inline void AccumulateRow(float* __restrict acc, const std::uint8_t* __restrict src,
                          std::size_t count) {
  ForEachBlockRun<false>(
      src, count,
      [&](std::size_t first, std::size_t n) {
        AccumulatePixels(acc + 4 * first, src + 4 * first, n);
      },
      [&](std::size_t first, std::size_t n) {
        for (std::size_t i = 4 * first; i < 4 * (first + n); ++i) {
          acc[i] = (i & 3u) == 3u ? 255.0f : static_cast<float>(src[i]);
        }
      });
}

// Back to straight bytes, each rounded to nearest: alpha A, colour C * 255 / A; no colour
// under alpha 0.
inline void ResolveRow(std::uint8_t* __restrict dst, const float* __restrict acc,
                       std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const float a = acc[4 * i + 3];
    const auto alpha = static_cast<std::uint8_t>(a + 0.5f);
    const float scale = alpha > 0 ? 255.0f / a : 0.0f;
    for (std::size_t c = 0; c < 3; ++c) {
      const float v = acc[4 * i + c] * scale + 0.5f;
      dst[4 * i + c] = static_cast<std::uint8_t>(v < 255.0f ? v : 255.0f);
    }
    dst[4 * i + 3] = alpha;
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
