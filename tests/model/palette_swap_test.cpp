#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <random>
#include <vector>

#include "palette_swap.h"
#include "raster_image.h"

namespace tessarin {
namespace {

// Pixels given as 0xAARRGGBB, as PixelAt packs them.
struct SwapCase {
  const char* name;
  int bitsPerPixel;
  std::vector<std::uint32_t> pixels;
  std::vector<ColourSwap> swaps;
  std::vector<std::uint32_t> expected;
};

void PrintTo(const SwapCase& c, std::ostream* os) {
  *os << c.name;
}

RasterImage Image(int bitsPerPixel, const std::vector<std::uint32_t>& pixels) {
  RasterImage image;
  const int width = static_cast<int>(pixels.size());
  image.Allocate(width, 1, bitsPerPixel);
  image.SetAlphaFlags(bitsPerPixel == 32, false);
  std::uint8_t* row = image.Row(0);
  for (int x = 0; x < width; ++x) {
    const std::uint32_t p = pixels[static_cast<std::size_t>(x)];
    if (bitsPerPixel == 32 || bitsPerPixel == 24) {
      const int size = bitsPerPixel / 8;
      for (int c = 0; c < size; ++c) row[size * x + c] = static_cast<std::uint8_t>(p >> (8 * c));
    } else if (bitsPerPixel == 16) {
      const std::uint32_t word =
          ((p >> 19) & 31u) << 11 | ((p >> 10) & 63u) << 5 | ((p >> 3) & 31u);
      row[2 * x] = static_cast<std::uint8_t>(word);
      row[2 * x + 1] = static_cast<std::uint8_t>(word >> 8);
    } else {
      row[x] = static_cast<std::uint8_t>(x);
    }
  }
  if (bitsPerPixel == 8) image.SetPalette(pixels);
  return image;
}

std::vector<std::uint32_t> Pixels(const RasterImage& image) {
  std::vector<std::uint32_t> pixels;
  for (int x = 0; x < image.Width(); ++x)
    pixels.push_back(image.PixelAt(x, 0, BlendRule::Standard));
  return pixels;
}

class PaletteSwapTest : public ::testing::TestWithParam<SwapCase> {};

TEST_P(PaletteSwapTest, SwapsExactColoursKeepingAlpha) {
  const SwapCase& c = GetParam();
  RasterImage fast = Image(c.bitsPerPixel, c.pixels);
  RasterImage plain = fast;
  SwapColours(fast, c.swaps);
  SwapColoursPlainly(plain, c.swaps);
  EXPECT_EQ(Pixels(fast), c.expected);
  EXPECT_EQ(Pixels(plain), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PaletteSwapTest,
    ::testing::Values(SwapCase{"AlphaKeptEvenClear",
                               32,
                               {0xFF102030, 0x80102030, 0x00102030, 0xFF102031},
                               {{0x102030, 0xA0B0C0}},
                               {0xFFA0B0C0, 0x80A0B0C0, 0x00A0B0C0, 0xFF102031}},
                      SwapCase{"AllAtOnceNotChained",
                               32,
                               {0xFF000001, 0xFF000002},
                               {{0x000001, 0x000002}, {0x000002, 0x000003}},
                               {0xFF000002, 0xFF000003}},
                      SwapCase{"FirstSwapOfAColourWins",
                               32,
                               {0xFF000001},
                               {{0x000001, 0x0000AA}, {0x000001, 0x0000BB}},
                               {0xFF0000AA}},
                      SwapCase{"NoSwapsNoChange", 32, {0x7F123456}, {}, {0x7F123456}},
                      SwapCase{"ThreeBytes",
                               24,
                               {0xFF102030, 0xFF302010},
                               {{0x302010, 0x000000}},
                               {0xFF102030, 0xFF000000}},
                      SwapCase{"PaletteKeepsItsAlpha",
                               8,
                               {0x40102030, 0xFF405060},
                               {{0x102030, 0xFFFFFF}},
                               {0x40FFFFFF, 0xFF405060}},
                      SwapCase{"SixteenBitsAsShown",
                               16,
                               {0xFFFF0000, 0xFF0000FF},
                               {{0xFF0000, 0x00FF00}},
                               {0xFF00FF00, 0xFF0000FF}}),
    [](const auto& row) { return std::string(row.param.name); });

// The fast paths (four pixels at a time up to 16 colours, a lookup table past that) agree with
// the plain search on every pixel of a busy layer; rows of 257 leave a tail past each group.
class SwapPathsTest : public ::testing::TestWithParam<int> {};

TEST_P(SwapPathsTest, AgreeWithPlainSearch) {
  const int swapCount = GetParam();
  std::mt19937 random(11);
  const auto next = [&random] { return static_cast<std::uint32_t>(random()); };
  std::vector<ColourSwap> swaps;
  std::vector<std::uint32_t> used;
  for (int k = 0; k < swapCount; ++k) {
    // Some colours listed twice, and some swapped into another listed colour.
    const std::uint32_t from = k % 5 == 4 ? used[used.size() - 2] : next() & 0xFFFFFFu;
    const std::uint32_t to = k % 3 == 2 ? used.back() : next() & 0xFFFFFFu;
    swaps.push_back({from, to});
    used.push_back(from);
  }
  RasterImage fast;
  fast.Create(257, 63, 32, true);
  for (int y = 0; y < fast.Height(); ++y) {
    for (int x = 0; x < fast.Width(); ++x) {
      std::uint8_t* p = fast.Row(y) + 4 * x;
      const std::uint32_t colour =
          next() % 3 == 0 ? used[next() % used.size()] | next() << 24 : next();
      for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(colour >> (8 * c));
    }
  }
  // Clear black rows and runs, as part images are mostly; black itself is swapped in some.
  if (swapCount % 2 == 1) swaps.push_back({0x000000, 0x123456});
  for (int y = 0; y < fast.Height(); y += 3) {
    std::fill_n(fast.Row(y), y % 2 == 0 ? fast.Stride() : fast.Stride() / 2, 0);
  }
  // Runs of one solid colour with a swapped pixel somewhere in them, as in shaded parts.
  const auto put = [](std::uint8_t* p, std::uint32_t colour) {
    for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>(colour >> (8 * c));
  };
  for (int y = 1; y < fast.Height(); y += 7) {
    for (int x = 0; x < fast.Width(); ++x) put(fast.Row(y) + 4 * x, 0xFF10A030u);
    put(fast.Row(y) + 4 * ((37 * y) % fast.Width()), 0xFF000000u | used.front());
  }
  // Near misses, which painted art has: a listed colour with another red, or another blue
  // and green; now and then the colour itself after them.
  for (int y = 2; y < fast.Height(); y += 5) {
    for (int x = 0; x < fast.Width(); ++x) {
      const std::uint32_t listed = used[next() % used.size()];
      const std::uint32_t missed = listed ^ (x % 2 ? 0x800000u : 0x000180u);
      put(fast.Row(y) + 4 * x, (x % 41 == 40 ? listed : missed) | 0xFF000000u);
    }
  }
  const RasterImage original = fast;
  RasterImage plain = fast;
  SwapColours(fast, swaps);
  SwapColoursPlainly(plain, swaps);
  const ColourSwapper swapper(swaps);
  std::vector<std::uint8_t> out(original.Stride());
  for (int y = 0; y < fast.Height(); ++y) {
    ASSERT_EQ(std::memcmp(fast.Row(y), plain.Row(y), fast.Stride()), 0) << "row " << y;
    // Drawing recolours a row piece by piece, in order, and copies only pieces that change.
    const std::uint8_t* row = original.Row(y);
    std::size_t drawn = 0;
    bool copied = false;
    std::uint8_t learnt = ColourSwapper::kRowUnseen;
    swapper.ForEachRecolouredPiece(
        row, 257, &learnt, [&](std::size_t first, const std::uint8_t* piece, std::size_t n) {
          EXPECT_EQ(first, drawn) << "row " << y;
          std::memcpy(out.data() + 4 * first, piece, 4 * n);
          copied = copied || piece != row + 4 * first;
          drawn = first + n;
        });
    EXPECT_EQ(drawn, 257u) << "row " << y;
    ASSERT_EQ(std::memcmp(out.data(), plain.Row(y), plain.Stride()), 0) << "drawn row " << y;
    const bool changed = std::memcmp(row, plain.Row(y), plain.Stride()) != 0;
    EXPECT_EQ(copied, changed) << "drawn row " << y;
    EXPECT_EQ(learnt, changed ? ColourSwapper::kRowChanged : ColourSwapper::kRowUnchanged);
  }
}

INSTANTIATE_TEST_SUITE_P(SwapCounts, SwapPathsTest, ::testing::Values(1, 2, 5, 16, 17, 40, 300));

}  // namespace
}  // namespace tessarin
