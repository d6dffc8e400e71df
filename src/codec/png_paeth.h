#pragma once

#include <cstdint>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessarin {

// PNG's Paeth predictor: of the bytes to the left, above and above-left, the one closest to
// left + above - aboveLeft. Those distances are |above - aboveLeft|, |left - aboveLeft| and
// |left + above - 2 aboveLeft|; ties go to left, then above.
inline std::uint8_t PaethPredictor(int left, int above, int aboveLeft) {
  const int toLeft = std::abs(above - aboveLeft);
  const int toAbove = std::abs(left - aboveLeft);
  const int toAboveLeft = std::abs(left + above - 2 * aboveLeft);
  if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<std::uint8_t>(left);
  return static_cast<std::uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

#if defined(__SSE2__)

inline __m128i Magnitude16(__m128i v) {
  return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// The same for eight bytes at once, each widened to 16 bits.
inline __m128i PaethPredictor16(__m128i left, __m128i above, __m128i aboveLeft) {
  const __m128i toLeft = _mm_sub_epi16(above, aboveLeft);
  const __m128i toAbove = _mm_sub_epi16(left, aboveLeft);
  const __m128i toAboveLeft = Magnitude16(_mm_add_epi16(toLeft, toAbove));
  const __m128i leftDistance = Magnitude16(toLeft);
  const __m128i aboveDistance = Magnitude16(toAbove);
  const __m128i nearest = _mm_min_epi16(leftDistance, _mm_min_epi16(aboveDistance, toAboveLeft));
  const __m128i isLeft = _mm_cmpeq_epi16(nearest, leftDistance);
  const __m128i isAbove = _mm_andnot_si128(isLeft, _mm_cmpeq_epi16(nearest, aboveDistance));
  const __m128i isAboveLeft = _mm_andnot_si128(_mm_or_si128(isLeft, isAbove), _mm_set1_epi16(-1));
  return _mm_or_si128(_mm_or_si128(_mm_and_si128(isLeft, left), _mm_and_si128(isAbove, above)),
                      _mm_and_si128(isAboveLeft, aboveLeft));
}

#endif

}  // namespace tessarin
