#include "png_row_filter.h"

#include <cstdlib>
#include <cstring>

#include "png_paeth.h"

namespace tessarin {
namespace {

// The trials, by filter type: none, sub, up, average, Paeth.
constexpr int kFilters = 5;

// From byte `from` on, one byte at a time; costs add up the magnitudes.
void FilterBytes(const std::uint8_t* row, const std::uint8_t* above, std::size_t from,
                 std::size_t n, std::size_t bpp, std::uint8_t* const* trials,
                 std::uint64_t* costs) {
  // The pixel to the left, in the margin for the first.
  const std::uint8_t* rowLeft = row - bpp;
  const std::uint8_t* aboveLeftRow = above - bpp;
  for (std::size_t i = from; i < n; ++i) {
    const int left = rowLeft[i];
    const int aboveLeft = aboveLeftRow[i];
    const int predictions[kFilters] = {0, left, above[i], (left + above[i]) >> 1,
                                       PaethPredictor(left, above[i], aboveLeft)};
    for (int k = 0; k < kFilters; ++k) {
      const auto residual = static_cast<std::uint8_t>(row[i] - predictions[k]);
      trials[k][i] = residual;
      costs[k] += static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(residual)));
    }
  }
}

#if defined(__SSE2__)

// Sixteen bytes at a time; returns where it stopped.
std::size_t FilterSixteenAtATime(const std::uint8_t* row, const std::uint8_t* above, std::size_t n,
                                 std::size_t bpp, std::uint8_t* const* trials,
                                 std::uint64_t* costs) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  __m128i sums[kFilters] = {zero, zero, zero, zero, zero};
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const auto load = [](const std::uint8_t* p) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const __m128i x = load(row + i);
    const __m128i a = load(row - bpp + i);
    const __m128i b = load(above + i);
    const __m128i c = load(above - bpp + i);
    const __m128i average =
        _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
    const __m128i paeth =
        _mm_packus_epi16(PaethPredictor16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero),
                                          _mm_unpacklo_epi8(c, zero)),
                         PaethPredictor16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero),
                                          _mm_unpackhi_epi8(c, zero)));
    const __m128i residuals[kFilters] = {x, _mm_sub_epi8(x, a), _mm_sub_epi8(x, b),
                                         _mm_sub_epi8(x, average), _mm_sub_epi8(x, paeth)};
    for (int k = 0; k < kFilters; ++k) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(trials[k] + i), residuals[k]);
      // A byte's magnitude read as signed is the smaller of it and its negation.
      const __m128i magnitude = _mm_min_epu8(residuals[k], _mm_sub_epi8(zero, residuals[k]));
      sums[k] = _mm_add_epi64(sums[k], _mm_sad_epu8(magnitude, zero));
    }
  }
  // Each half of a sum stays below 2^32: a row holds fewer than 2^25 bytes.
  for (int k = 0; k < kFilters; ++k) {
    costs[k] += static_cast<std::uint32_t>(_mm_cvtsi128_si32(sums[k])) +
                static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                    _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums[k], zero))));
  }
  return i;
}

#else

std::size_t FilterSixteenAtATime(const std::uint8_t*, const std::uint8_t*, std::size_t, std::size_t,
                                 std::uint8_t* const*, std::uint64_t*) {
  return 0;
}

#endif

}  // namespace

PngRowFilter::PngRowFilter(std::size_t rowBytes, std::size_t bytesPerPixel)
    : rowBytes_(rowBytes),
      bytesPerPixel_(bytesPerPixel),
      row_(kMargin + rowBytes, 0),
      above_(kMargin + rowBytes, 0) {
  for (auto& trial : trials_) trial.resize(rowBytes);
}

void PngRowFilter::Filter(std::uint8_t* out) {
  const std::uint8_t* row = Row();
  const std::uint8_t* above = Above();
  std::uint8_t* trials[kFilters];
  for (int k = 0; k < kFilters; ++k) trials[k] = trials_[static_cast<std::size_t>(k)].data();
  std::uint64_t costs[kFilters] = {};
  const std::size_t done =
      FilterSixteenAtATime(row, above, rowBytes_, bytesPerPixel_, trials, costs);
  FilterBytes(row, above, done, rowBytes_, bytesPerPixel_, trials, costs);
  // Ties go to the lower type.
  int best = 0;
  for (int k = 1; k < kFilters; ++k) {
    if (costs[k] < costs[best]) best = k;
  }
  out[0] = static_cast<std::uint8_t>(best);
  std::memcpy(out + 1, trials[best], rowBytes_);
  row_.swap(above_);
}

}  // namespace tessarin
