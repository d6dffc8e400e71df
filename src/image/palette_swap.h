#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "raster_image.h"

namespace tessarin {

// One colour exchanged for another, both 0xRRGGBB.
struct ColourSwap {
  std::uint32_t from = 0;
  std::uint32_t to = 0;
};

// Gives every pixel whose colour equals a swap's `from` exactly that swap's `to`, keeping its
// alpha. Swaps apply all at once: a colour swapped in is never swapped again. The first swap
// of a colour wins. Indexed images change their palette; 16-bit images compare the colour as
// it is shown and store the new one as near as 5-6-5 bits allow.
void SwapColours(RasterImage& image, const std::vector<ColourSwap>& swaps);

// Swaps colours a row of pixels at a time, as SwapColours does, for drawing code that
// recolours pixels on their way to the sheet: that costs a fraction of copying whole layers
// first.
class ColourSwapper {
 public:
  explicit ColourSwapper(const std::vector<ColourSwap>& swaps);
  ~ColourSwapper();
  ColourSwapper(const ColourSwapper&) = delete;
  ColourSwapper& operator=(const ColourSwapper&) = delete;

  // Pixels of four bytes in the order 32-bit images store them (B, G, R, A).
  void SwapRow(std::uint8_t* pixels, std::size_t count) const;
  // Where the pixels from `from` on first hold a colour to swap: the first pixel of the group
  // of four that does, or count when none does.
  std::size_t UnchangedUntil(const std::uint8_t* pixels, std::size_t from, std::size_t count) const;

  // Hands a row to draw(first, pieces, n) piece by piece, recoloured: the row's own pixels where
  // nothing changes, and a recoloured copy of a few where something does, so that no row is
  // copied whole and pieces are drawn while they are in the cache. learnt, when given, is the
  // row's byte kept from draw to draw: a row learnt to hold nothing to swap goes whole, unread.
  template <typename Draw>
  void ForEachRecolouredPiece(const std::uint8_t* pixels, std::size_t count, std::uint8_t* learnt,
                              Draw draw) const {
    if (learnt != nullptr && *learnt == kRowUnchanged) {
      draw(std::size_t{0}, pixels, count);
      return;
    }
    bool changed = false;
    alignas(16) std::uint8_t piece[4 * kPiecePixels];
    for (std::size_t x = 0; x < count;) {
      const std::size_t hit = UnchangedUntil(pixels, x, count);
      if (hit > x) draw(x, pixels + 4 * x, hit - x);
      if (hit == count) break;
      changed = true;
      const std::size_t n = count - hit < kPiecePixels ? count - hit : kPiecePixels;
      std::memcpy(piece, pixels + 4 * hit, 4 * n);
      SwapRow(piece, n);
      draw(hit, static_cast<const std::uint8_t*>(piece), n);
      x = hit + n;
    }
    if (learnt != nullptr) *learnt = changed ? kRowChanged : kRowUnchanged;
  }

  // What a row's learnt byte says: not seen yet, nothing to swap, something to swap.
  static constexpr std::uint8_t kRowUnseen = 0;
  static constexpr std::uint8_t kRowUnchanged = 1;
  static constexpr std::uint8_t kRowChanged = 2;

 private:
  // Recoloured pixels go through a copy of this many at a time.
  static constexpr std::size_t kPiecePixels = 16;

  struct Table;
  std::unique_ptr<const Table> table_;
};

// The same, pixel by pixel with no lookup table: what SwapColours must agree with.
void SwapColoursPlainly(RasterImage& image, const std::vector<ColourSwap>& swaps);

}  // namespace tessarin
