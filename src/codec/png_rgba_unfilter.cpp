#include "png_rgba_unfilter.h"

#include <cstddef>
#include <cstring>

#include "png_paeth.h"

// Rows can be undone where they lie: a pixel is written before the bytes it was read from,
// never over bytes still to be read, and the row above is already ours. The filters add a
// prediction from the same channel of neighbouring pixels, so they work alike on channels in
// our order: red and blue are swapped as the filtered bytes are read.

namespace tessarin {
namespace {

#if defined(__SSE2__)

// A pixel in the low four bytes of a register; each filter's step is a few instructions on it.
using Pixel = __m128i;

Pixel Zero() {
  return _mm_setzero_si128();
}

Pixel Load(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}

void Store(std::uint8_t* p, Pixel pixel) {
  const std::int32_t v = _mm_cvtsi128_si32(pixel);
  std::memcpy(p, &v, 4);
}

// The machine is little-endian: the first byte, red, is the lowest.
std::uint32_t SwapRedBlue(std::uint32_t v) {
  return (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
}

Pixel LoadFromFile(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(static_cast<std::int32_t>(SwapRedBlue(v)));
}

Pixel Add(Pixel a, Pixel b) {
  return _mm_add_epi8(a, b);
}

// (a + b) >> 1: the rounded-up average, less one where a + b is odd.
Pixel Average(Pixel a, Pixel b) {
  const Pixel odd = _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1));
  return _mm_sub_epi8(_mm_avg_epu8(a, b), odd);
}

Pixel Paeth(Pixel left, Pixel above, Pixel aboveLeft) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i chosen =
      PaethPredictor16(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(above, zero),
                       _mm_unpacklo_epi8(aboveLeft, zero));
  return _mm_packus_epi16(chosen, chosen);
}

// Filters None and Up need no pixel to their left: four pixels at a time. Sixteen bytes
// written never reach the next sixteen to be read, which lie at least one byte further on.
std::size_t FourPixelsAtATime(const std::uint8_t* in, const std::uint8_t* above, std::uint8_t* out,
                              std::size_t width) {
  const __m128i low = _mm_set1_epi32(0xFF);
  const __m128i middle = _mm_set1_epi32(static_cast<std::int32_t>(0xFF00FF00u));
  std::size_t x = 0;
  for (; x + 4 <= width; x += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
    v = _mm_or_si128(_mm_and_si128(v, middle),
                     _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low),
                                  _mm_slli_epi32(_mm_and_si128(v, low), 16)));
    if (above != nullptr) {
      v = _mm_add_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + 4 * x)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), v);
  }
  return x;
}

#else

// A pixel's four bytes, each filter's step done byte by byte.
struct Pixel {
  std::uint8_t c[4];
};

Pixel Zero() {
  return {};
}

Pixel Load(const std::uint8_t* p) {
  Pixel pixel;
  std::memcpy(pixel.c, p, 4);
  return pixel;
}

void Store(std::uint8_t* p, Pixel pixel) {
  std::memcpy(p, pixel.c, 4);
}

Pixel LoadFromFile(const std::uint8_t* p) {
  return {{p[2], p[1], p[0], p[3]}};
}

Pixel Add(Pixel a, Pixel b) {
  for (int i = 0; i < 4; ++i) a.c[i] = static_cast<std::uint8_t>(a.c[i] + b.c[i]);
  return a;
}

Pixel Average(Pixel a, Pixel b) {
  for (int i = 0; i < 4; ++i) a.c[i] = static_cast<std::uint8_t>((a.c[i] + b.c[i]) >> 1);
  return a;
}

Pixel Paeth(Pixel left, Pixel above, Pixel aboveLeft) {
  for (int i = 0; i < 4; ++i) left.c[i] = PaethPredictor(left.c[i], above.c[i], aboveLeft.c[i]);
  return left;
}

std::size_t FourPixelsAtATime(const std::uint8_t*, const std::uint8_t*, std::uint8_t*,
                              std::size_t) {
  return 0;
}

#endif

// above is the row before, ours already, or nullptr for the first row.
bool UnfilterRow(int filter, const std::uint8_t* in, const std::uint8_t* above, std::uint8_t* out,
                 std::size_t width) {
  Pixel left = Zero();
  Pixel aboveLeft = Zero();
  switch (filter) {
    case 0:
    case 2: {
      const std::uint8_t* added = filter == 2 ? above : nullptr;
      for (std::size_t x = FourPixelsAtATime(in, added, out, width); x < width; ++x) {
        const Pixel pixel = LoadFromFile(in + 4 * x);
        Store(out + 4 * x, added != nullptr ? Add(pixel, Load(added + 4 * x)) : pixel);
      }
      return true;
    }
    case 1:
      for (std::size_t x = 0; x < width; ++x) {
        left = Add(LoadFromFile(in + 4 * x), left);
        Store(out + 4 * x, left);
      }
      return true;
    case 3:
      for (std::size_t x = 0; x < width; ++x) {
        const Pixel up = above != nullptr ? Load(above + 4 * x) : Zero();
        left = Add(LoadFromFile(in + 4 * x), Average(left, up));
        Store(out + 4 * x, left);
      }
      return true;
    case 4:
      for (std::size_t x = 0; x < width; ++x) {
        const Pixel up = above != nullptr ? Load(above + 4 * x) : Zero();
        left = Add(LoadFromFile(in + 4 * x), Paeth(left, up, aboveLeft));
        aboveLeft = up;
        Store(out + 4 * x, left);
      }
      return true;
    default:
      return false;
  }
}

bool IsZero(const std::uint8_t* bytes, std::size_t count) {
  std::size_t i = 0;
  std::uint64_t any = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    any |= word;
    // A row that is not zero usually shows it early.
    if ((i & 255) == 248 && any != 0) return false;
  }
  for (; i < count; ++i) any |= bytes[i];
  return any == 0;
}

}  // namespace

int UnfilterRgbaRows(const std::uint8_t* filtered, int width, int height, std::uint8_t* out,
                     int keptWidth, int keptHeight, bool outIsClear) {
  const std::size_t lineBytes = 4 * static_cast<std::size_t>(width) + 1;
  const auto kept = static_cast<std::size_t>(keptWidth);
  const std::size_t rowBytes = 4 * kept;
  // Whether the row above is known to be zero; the first row has none, which every filter reads
  // as zeros.
  bool aboveClear = true;
  // Every filter predicts from pixels to the left and above, so the kept columns need no
  // others.
  for (int y = 0; y < keptHeight; ++y) {
    const std::uint8_t* in = filtered + static_cast<std::size_t>(y) * lineBytes;
    std::uint8_t* row = out + static_cast<std::size_t>(y) * rowBytes;
    if (outIsClear && in[0] <= 4 && IsZero(in + 1, rowBytes)) {
      // Zero differences over zero predictions: None and Sub predict from the row itself, which
      // stays zero from its left edge on; Up, Average and Paeth also from the row above.
      if (in[0] <= 1 || aboveClear) {
        aboveClear = true;
        continue;
      }
    }
    if (!UnfilterRow(in[0], in + 1, y > 0 ? row - rowBytes : nullptr, row, kept)) return y;
    aboveClear = false;
  }
  for (int y = keptHeight; y < height; ++y) {
    if (filtered[static_cast<std::size_t>(y) * lineBytes] > 4) return y;
  }
  return -1;
}

}  // namespace tessarin
