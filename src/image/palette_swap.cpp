#include "palette_swap.h"

#include <algorithm>
#include <array>
#include <utility>

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
      if (bits == 32) {
        std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
        if (!lookup(p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16, to)) continue;
        p[0] = static_cast<std::uint8_t>(to);
        p[1] = static_cast<std::uint8_t>(to >> 8);
        p[2] = static_cast<std::uint8_t>(to >> 16);
      } else if (bits == 24) {
        std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
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

// A bit per hash of a colour: most pixels are not swapped, and one bit test tells so.
class SwapTable {
 public:
  explicit SwapTable(const std::vector<ColourSwap>& swaps) {
    for (const ColourSwap& swap : swaps) {
      const std::uint32_t from = swap.from & kRgb;
      const bool known = std::any_of(entries_.begin(), entries_.end(),
                                     [from](const ColourSwap& e) { return e.from == from; });
      if (known) continue;
      entries_.push_back({from, swap.to & kRgb});
      const std::uint32_t h = Hash(from);
      filter_[h >> 6] |= std::uint64_t{1} << (h & 63u);
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const ColourSwap& a, const ColourSwap& b) { return a.from < b.from; });
  }

  bool operator()(std::uint32_t rgb, std::uint32_t& to) const {
    const std::uint32_t h = Hash(rgb);
    if ((filter_[h >> 6] >> (h & 63u) & 1u) == 0) return false;
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), rgb,
                         [](const ColourSwap& e, std::uint32_t value) { return e.from < value; });
    if (found == entries_.end() || found->from != rgb) return false;
    to = found->to;
    return true;
  }

 private:
  static std::uint32_t Hash(std::uint32_t rgb) { return (rgb * 0x9E3779B1u) >> 16; }

  std::vector<ColourSwap> entries_;
  std::array<std::uint64_t, 1024> filter_{};
};

}  // namespace

void SwapColours(RasterImage& image, const std::vector<ColourSwap>& swaps) {
  if (swaps.empty() || image.IsNull()) return;
  SwapEach(image, SwapTable(swaps));
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
