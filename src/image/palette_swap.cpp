#include "palette_swap.h"

#include <algorithm>
#include <array>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessarin {
namespace {

constexpr std::uint32_t kRgb = 0xFFFFFFu;

// Pixels are stored with straight alpha, so a colour's bytes are the same at every opacity
// and can be compared and replaced as they are, alpha left alone.
template <typename Lookup>
void SwapEach(RasterImage& image, const Lookup& lookup) {
  const int bits = image.BitsPerPixel();
  if (bits == 1 || bits == 8) {
    std::vector<std::uint32_t> palette = image.Palette();
    for (std::uint32_t& entry : palette) {
      std::uint32_t to = 0;
      if (lookup(entry & kRgb, to)) entry = (entry & ~kRgb) | to;
    }
    image.SetPalette(std::move(palette));
    return;
  }
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      std::uint32_t to = 0;
      if (bits == 32 || bits == 24) {
        std::uint8_t* p = row + static_cast<std::size_t>(bits / 8) * static_cast<std::size_t>(x);
        if (!lookup(p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16, to)) continue;
        p[0] = static_cast<std::uint8_t>(to);
        p[1] = static_cast<std::uint8_t>(to >> 8);
        p[2] = static_cast<std::uint8_t>(to >> 16);
      } else if (bits == 16) {
        std::uint8_t* p = row + 2 * static_cast<std::size_t>(x);
        const std::uint32_t word = p[0] | std::uint32_t{p[1]} << 8;
        const std::uint32_t r = (word >> 11) & 31u, g = (word >> 5) & 63u, b = word & 31u;
        const std::uint32_t shown =
            (b << 3 | b >> 2) | (g << 2 | g >> 4) << 8 | (r << 3 | r >> 2) << 16;
        if (!lookup(shown, to)) continue;
        const std::uint32_t packed =
            ((to >> 19) & 31u) << 11 | ((to >> 10) & 63u) << 5 | ((to >> 3) & 31u);
        p[0] = static_cast<std::uint8_t>(packed);
        p[1] = static_cast<std::uint8_t>(packed >> 8);
      }
    }
  }
}

// The swaps by colour, in a hash table at most half full with linear probing, behind a bit per
// hash of a colour small enough to stay in the first-level cache: a colour not swapped, the
// common case, is told by one bit test.
class SwapTable {
 public:
  explicit SwapTable(const std::vector<ColourSwap>& swaps) {
    for (const ColourSwap& swap : swaps) entries_.push_back({swap.from & kRgb, swap.to & kRgb});
    // Stable, so that the first swap of a colour stays first and is the one kept.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const ColourSwap& a, const ColourSwap& b) { return a.from < b.from; });
    entries_.erase(
        std::unique(entries_.begin(), entries_.end(),
                    [](const ColourSwap& a, const ColourSwap& b) { return a.from == b.from; }),
        entries_.end());
    while ((std::size_t{1} << bits_) < 2 * entries_.size()) ++bits_;
    slots_.assign(std::size_t{1} << bits_, ColourSwap{kEmpty, 0});
    const std::size_t mask = slots_.size() - 1;
    for (const ColourSwap& entry : entries_) {
      std::size_t slot = Hash(entry.from);
      while (slots_[slot].from != kEmpty) slot = (slot + 1) & mask;
      slots_[slot] = entry;
      const std::uint32_t bit = FilterBit(entry.from);
      filter_[bit >> 6] |= std::uint64_t{1} << (bit & 63u);
    }
  }

  bool operator()(std::uint32_t rgb, std::uint32_t& to) const {
    const std::uint32_t bit = FilterBit(rgb);
    if ((filter_[bit >> 6] >> (bit & 63u) & 1u) == 0) return false;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Hash(rgb);; slot = (slot + 1) & mask) {
      const ColourSwap& entry = slots_[slot];
      if (entry.from == rgb) {
        to = entry.to;
        return true;
      }
      if (entry.from == kEmpty) return false;
    }
  }

  const std::vector<ColourSwap>& Entries() const { return entries_; }

 private:
  // No colour of 24 bits has this value.
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  std::size_t Hash(std::uint32_t rgb) const { return (rgb * 0x9E3779B1u) >> (32 - bits_); }

  static std::uint32_t FilterBit(std::uint32_t rgb) { return (rgb * 0x85EBCA6Bu) >> 16; }

  std::vector<ColourSwap> entries_;
  std::vector<ColourSwap> slots_;
  std::array<std::uint64_t, 1024> filter_{};
  int bits_ = 3;
};

void SwapPixel32(std::uint8_t* p, const SwapTable& table) {
  std::uint32_t to = 0;
  if (!table(p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16, to)) return;
  p[0] = static_cast<std::uint8_t>(to);
  p[1] = static_cast<std::uint8_t>(to >> 8);
  p[2] = static_cast<std::uint8_t>(to >> 16);
}

// The first pixel from x on whose colour is swapped, or width.
std::size_t FirstSwapped(const std::uint8_t* pixels, std::size_t x, std::size_t width,
                         const SwapTable& table) {
  for (; x < width; ++x) {
    std::uint32_t to = 0;
    const std::uint8_t* p = pixels + 4 * x;
    if (table(p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16, to)) return x;
  }
  return width;
}

// A material has a handful of colours: up to this many are compared four pixels at a time.
constexpr std::size_t kVectorSwaps = 16;

#if defined(__SSE2__)
template <std::size_t Count>
void SwapRow32(std::uint8_t* row, std::size_t width, const SwapTable& table) {
  __m128i sources[Count];
  for (std::size_t k = 0; k < Count; ++k) {
    sources[k] = _mm_set1_epi32(static_cast<int>(table.Entries()[k].from));
  }
  const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgb));
  std::size_t x = 0;
  for (; x + 4 <= width; x += 4) {
    std::uint8_t* p = row + 4 * x;
    const __m128i colours =
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), rgb);
    __m128i hit = _mm_cmpeq_epi32(colours, sources[0]);
    for (std::size_t k = 1; k < Count; ++k) {
      hit = _mm_or_si128(hit, _mm_cmpeq_epi32(colours, sources[k]));
    }
    // Most groups of four hold no colour to swap.
    if (_mm_movemask_epi8(hit) == 0) continue;
    for (int j = 0; j < 4; ++j) SwapPixel32(p + 4 * j, table);
  }
  for (; x < width; ++x) SwapPixel32(row + 4 * x, table);
}

// Where pixels from x on first hold a colour to swap, four pixels at a time. A group the same
// as the last one found to hold nothing to swap is passed over with one test: part images are
// mostly runs, of clear black (which starts as that group unless black itself is swapped) and
// of solid colour. Sixteen pixels that run on so take one test for the four groups. Others are
// first told by their blue and green alone, eight pixels to a comparison with each colour:
// painted art seldom has a source's two, and only then are its whole colours compared.
template <std::size_t Count>
std::size_t UnchangedUntil32(const std::uint8_t* pixels, std::size_t x, std::size_t width,
                             const SwapTable& table) {
  __m128i sources[Count];
  __m128i blueGreens[Count];
  bool blackSwapped = false;
  for (std::size_t k = 0; k < Count; ++k) {
    const std::uint32_t from = table.Entries()[k].from;
    sources[k] = _mm_set1_epi32(static_cast<int>(from));
    blueGreens[k] = _mm_set1_epi16(static_cast<short>(from & 0xFFFFu));
    blackSwapped = blackSwapped || from == 0;
  }
  const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgb));
  __m128i clean = _mm_setzero_si128();
  bool cleanKnown = !blackSwapped;
  const auto load = [pixels](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4 * at));
  };
  const auto same = [](__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); };
  // Whether the group holds a colour to swap; one that does not becomes the clean group.
  const auto swapsIn = [&](__m128i group) {
    if (cleanKnown && _mm_movemask_epi8(same(group, clean)) == 0xFFFF) return false;
    const __m128i colours = _mm_and_si128(group, rgb);
    __m128i hit = _mm_cmpeq_epi32(colours, sources[0]);
    for (std::size_t k = 1; k < Count; ++k) {
      hit = _mm_or_si128(hit, _mm_cmpeq_epi32(colours, sources[k]));
    }
    if (_mm_movemask_epi8(hit) != 0) return true;
    clean = group;
    cleanKnown = true;
    return false;
  };
  // Whether two groups may hold a colour to swap: whether any pixel has a source's blue and
  // green, its low 16 bits, packed eight to a register (sign-extended, so packing keeps them).
  const auto mayHold = [&](__m128i a, __m128i b) {
    const __m128i low = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(a, 16), 16),
                                        _mm_srai_epi32(_mm_slli_epi32(b, 16), 16));
    __m128i hit = _mm_cmpeq_epi16(low, blueGreens[0]);
    for (std::size_t k = 1; k < Count; ++k) {
      hit = _mm_or_si128(hit, _mm_cmpeq_epi16(low, blueGreens[k]));
    }
    return _mm_movemask_epi8(hit) != 0;
  };
  for (; x + 16 <= width; x += 16) {
    const __m128i p0 = load(x), p1 = load(x + 4), p2 = load(x + 8), p3 = load(x + 12);
    if (cleanKnown && _mm_movemask_epi8(_mm_and_si128(
                          _mm_and_si128(same(p0, clean), same(p1, clean)),
                          _mm_and_si128(same(p2, clean), same(p3, clean)))) == 0xFFFF) {
      continue;
    }
    if (mayHold(p0, p1)) {
      if (swapsIn(p0)) return x;
      if (swapsIn(p1)) return x + 4;
    }
    if (mayHold(p2, p3)) {
      if (swapsIn(p2)) return x + 8;
      if (swapsIn(p3)) return x + 12;
    } else {
      clean = p3;
      cleanKnown = true;
    }
  }
  for (; x + 4 <= width; x += 4) {
    if (swapsIn(load(x))) return x;
  }
  return FirstSwapped(pixels, x, width, table);
}

template <std::size_t... Counts>
bool SwapRow32Vector(std::uint8_t* row, std::size_t width, const SwapTable& table,
                     std::index_sequence<Counts...>) {
  const std::size_t count = table.Entries().size();
  // Each count compiled with its own unrolled comparisons; the first that fits is used.
  return ((count <= Counts + 1 && (SwapRow32<Counts + 1>(row, width, table), true)) || ...);
}

template <std::size_t... Counts>
std::size_t UnchangedUntil32Vector(const std::uint8_t* pixels, std::size_t x, std::size_t width,
                                   const SwapTable& table, std::index_sequence<Counts...>) {
  const std::size_t count = table.Entries().size();
  std::size_t result = width + 1;
  // As for SwapRow32Vector: the first count that fits is used.
  static_cast<void>(((count <= Counts + 1 &&
                      (result = UnchangedUntil32<Counts + 1>(pixels, x, width, table), true)) ||
                     ...));
  return result;
}
#endif

void SwapRow32(std::uint8_t* row, std::size_t width, const SwapTable& table) {
#if defined(__SSE2__)
  if (SwapRow32Vector(row, width, table, std::make_index_sequence<kVectorSwaps>())) return;
#endif
  for (std::size_t x = 0; x < width; ++x) SwapPixel32(row + 4 * x, table);
}

std::size_t UnchangedUntil(const std::uint8_t* pixels, std::size_t x, std::size_t width,
                           const SwapTable& table) {
#if defined(__SSE2__)
  const std::size_t found =
      UnchangedUntil32Vector(pixels, x, width, table, std::make_index_sequence<kVectorSwaps>());
  if (found <= width) return found;
#endif
  return FirstSwapped(pixels, x, width, table);
}

}  // namespace

void SwapColours(RasterImage& image, const std::vector<ColourSwap>& swaps) {
  if (swaps.empty() || image.IsNull()) return;
  const SwapTable table(swaps);
  if (image.BitsPerPixel() == 32) {
    const auto width = static_cast<std::size_t>(image.Width());
    for (int y = 0; y < image.Height(); ++y) SwapRow32(image.Row(y), width, table);
    return;
  }
  SwapEach(image, table);
}

struct ColourSwapper::Table {
  explicit Table(const std::vector<ColourSwap>& swaps) : table(swaps) {}
  SwapTable table;
};

ColourSwapper::ColourSwapper(const std::vector<ColourSwap>& swaps)
    : table_(std::make_unique<const Table>(swaps)) {}

ColourSwapper::~ColourSwapper() = default;

void ColourSwapper::SwapRow(std::uint8_t* pixels, std::size_t count) const {
  SwapRow32(pixels, count, table_->table);
}

std::size_t ColourSwapper::UnchangedUntil(const std::uint8_t* pixels, std::size_t from,
                                          std::size_t count) const {
  return tessarin::UnchangedUntil(pixels, from, count, table_->table);
}

void SwapColoursPlainly(RasterImage& image, const std::vector<ColourSwap>& swaps) {
  if (swaps.empty() || image.IsNull()) return;
  SwapEach(image, [&swaps](std::uint32_t rgb, std::uint32_t& to) {
    for (const ColourSwap& swap : swaps) {
      if ((swap.from & kRgb) != rgb) continue;
      to = swap.to & kRgb;
      return true;
    }
    return false;
  });
}

}  // namespace tessarin
