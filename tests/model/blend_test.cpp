#include "blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "raster_image.h"

namespace tessarin {
namespace {

using Bgra = std::array<int, 4>;

Bgra Unpack(std::uint32_t v) {
  return {static_cast<int>(v & 0xFF), static_cast<int>(v >> 8 & 0xFF),
          static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 24)};
}

RasterImage OnePixel(const Bgra& p, bool alpha) {
  RasterImage image;
  image.Create(1, 1, 32, alpha);
  for (int c = 0; c < 4; ++c) image.Row(0)[c] = static_cast<std::uint8_t>(p[c]);
  return image;
}

struct PixelCase {
  const char* name;
  BlendRule rule;
  Bgra src;
  bool srcAlpha;
  Bgra dst;
  Bgra expected;
};

// Test names, not bytes, in listings.
void PrintTo(const PixelCase& row, std::ostream* os) {
  *os << row.name;
}

class BlendPixel : public ::testing::TestWithParam<PixelCase> {};

TEST_P(BlendPixel, OnePixelOverAnother) {
  const PixelCase& c = GetParam();
  RasterImage target = OnePixel(c.dst, true);
  OnePixel(c.src, c.srcAlpha).Draw(target, 0, 0, 1, 1, 0, 0, 1, 1, c.rule);
  EXPECT_EQ(Unpack(target.PixelAt(0, 0, BlendRule::Standard)), c.expected);
}

constexpr BlendRule kClassic = BlendRule::Classic;
constexpr BlendRule kStandard = BlendRule::Standard;

INSTANTIATE_TEST_SUITE_P(
    Values, BlendPixel,
    ::testing::Values(
        PixelCase{"HalfRedOverBlue",
                  kClassic,
                  {0, 0, 255, 128},
                  true,
                  {255, 0, 0, 255},
                  {127, 0, 255, 255}},
        PixelCase{"HalfWhiteOverWhiteSaturates",
                  kClassic,
                  {255, 255, 255, 128},
                  true,
                  {255, 255, 255, 255},
                  {255, 255, 255, 255}},
        PixelCase{"TransparentColourAdds",
                  kClassic,
                  {10, 20, 30, 0},
                  true,
                  {100, 100, 100, 100},
                  {110, 120, 130, 100}},
        PixelCase{"OverEmptyCopiesBytes",
                  kClassic,
                  {10, 20, 30, 40},
                  true,
                  {0, 0, 0, 0},
                  {10, 20, 30, 40}},
        PixelCase{"OpaqueAlphaReplaces",
                  kClassic,
                  {1, 2, 3, 255},
                  true,
                  {90, 90, 90, 90},
                  {1, 2, 3, 255}},
        PixelCase{
            "NoAlphaCopiesOpaque", kClassic, {1, 2, 3, 0}, false, {90, 90, 90, 90}, {1, 2, 3, 255}},
        PixelCase{"StandardHalfRedOverBlue",
                  kStandard,
                  {0, 0, 255, 128},
                  true,
                  {255, 0, 0, 255},
                  {127, 0, 128, 255}},
        // w = 128 * 255 + 128 * 127 = 48896; alpha 48896 / 255 = 191.7, blue 255 * 128 * 127 /
        // 48896 = 84.8, red 255 * 128 * 255 / 48896 = 170.2.
        PixelCase{"StandardHalfOverHalf",
                  kStandard,
                  {0, 0, 255, 128},
                  true,
                  {255, 0, 0, 128},
                  {85, 0, 170, 192}},
        PixelCase{"StandardOverEmptyKeepsStraightColour",
                  kStandard,
                  {200, 100, 50, 128},
                  true,
                  {0, 0, 0, 0},
                  {200, 100, 50, 128}},
        PixelCase{"StandardTransparentLeavesTarget",
                  kStandard,
                  {10, 20, 30, 0},
                  true,
                  {5, 6, 7, 200},
                  {5, 6, 7, 200}},
        PixelCase{"StandardNoAlphaCopiesOpaque",
                  kStandard,
                  {1, 2, 3, 0},
                  false,
                  {90, 90, 90, 90},
                  {1, 2, 3, 255}}),
    [](const ::testing::TestParamInfo<PixelCase>& param) { return std::string(param.param.name); });

TEST(Div255, RoundsToNearestOverItsWholeRange) {
  for (std::uint32_t x = 0; x <= 255u * 255u + 254u; ++x) {
    ASSERT_EQ(blend::Div255(x), static_cast<std::uint32_t>(std::floor(x / 255.0 + 0.5))) << x;
  }
}

// Halves and their neighbours are where a float estimate goes wrong in either direction.
TEST(RoundedQuotient, ExactAtAndAroundHalvesOverItsWholeRange) {
  std::mt19937 random(5);
  auto next = [&random](std::uint32_t below) {
    return static_cast<std::uint32_t>(random()) % below;
  };
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t den = 1 + next(255u * 255u);
    const std::uint32_t k = next(256);
    const std::uint32_t twiceNum = (2 * k + 1) * den + next(5) - 2;
    const std::uint32_t num = std::min(twiceNum / 2, (1u << 24) - 1);
    ASSERT_EQ(blend::RoundedQuotient(num, den), (2 * num + den) / (2 * den)) << num << "/" << den;
  }
  EXPECT_EQ(blend::RoundedQuotient(0, 0), 0u);
}

// The exact value a channel should round to under each rule; alpha 0..255 as bytes.
std::array<double, 4> Exact(const Bgra& s, const Bgra& d, BlendRule rule, bool sourceAlpha) {
  std::array<double, 4> out{};
  if (rule == BlendRule::Classic) {
    for (int c = 0; c < 4; ++c) {
      out[c] = sourceAlpha ? std::min(255.0, s[c] + (1.0 - s[3] / 255.0) * d[c])
                           : (c == 3 ? 255.0 : s[c]);
    }
    return out;
  }
  const double sa = s[3] / 255.0;
  const double da = d[3] / 255.0;
  const double outA = sa + da * (1.0 - sa);
  for (int c = 0; c < 3; ++c) {
    out[c] = outA == 0.0 ? 0.0 : (s[c] * sa + d[c] * da * (1.0 - sa)) / outA;
  }
  out[3] = outA * 255.0;
  return out;
}

// Rounded to nearest means within half a step of the exact value.
::testing::AssertionResult Rounds(const Bgra& actual, const std::array<double, 4>& exact) {
  for (int c = 0; c < 4; ++c) {
    if (std::abs(actual[c] - exact[c]) > 0.5 + 1e-9) {
      return ::testing::AssertionFailure()
             << "channel " << c << " is " << actual[c] << ", exact " << exact[c];
    }
  }
  return ::testing::AssertionSuccess();
}

// Every pair of alphas, with random colours, through the row kernels.
TEST(BlendKernels, EveryAlphaPairMatchesTheExactFormula) {
  std::mt19937 random(1);
  for (const BlendRule rule : {kClassic, kStandard}) {
    std::vector<std::uint8_t> src(4 * 256 * 256);
    std::vector<std::uint8_t> dst(src.size());
    for (std::size_t i = 0; i < 256 * 256; ++i) {
      for (int c = 0; c < 3; ++c) {
        src[4 * i + c] = static_cast<std::uint8_t>(random());
        dst[4 * i + c] = static_cast<std::uint8_t>(random());
      }
      src[4 * i + 3] = static_cast<std::uint8_t>(i & 0xFF);
      dst[4 * i + 3] = static_cast<std::uint8_t>(i >> 8);
    }
    const std::vector<std::uint8_t> before = dst;
    if (rule == kClassic) {
      blend::ClassicRow(dst.data(), src.data(), 256 * 256);
    } else {
      blend::StandardRow(dst.data(), src.data(), 256 * 256);
    }
    for (std::size_t i = 0; i < 256 * 256; ++i) {
      const Bgra s{src[4 * i], src[4 * i + 1], src[4 * i + 2], src[4 * i + 3]};
      const Bgra d{before[4 * i], before[4 * i + 1], before[4 * i + 2], before[4 * i + 3]};
      const Bgra out{dst[4 * i], dst[4 * i + 1], dst[4 * i + 2], dst[4 * i + 3]};
      ASSERT_TRUE(Rounds(out, Exact(s, d, rule, true))) << "pixel " << i;
    }
  }
}

// Rows the way sprites are drawn: runs of clear, solid and soft pixels of every length, so
// that blocks of each kind, and runs that start and end anywhere in a block, all occur. Clear
// pixels sometimes carry colour, which the classic rule adds.
std::vector<std::uint8_t> SpriteRow(std::size_t count, std::mt19937& random) {
  std::vector<std::uint8_t> row(4 * count);
  std::size_t i = 0;
  while (i < count) {
    const std::size_t run = std::min<std::size_t>(count - i, 1 + random() % 40);
    const unsigned kind = random() % 4;
    for (std::size_t end = i + run; i < end; ++i) {
      const bool tinted = kind == 3;
      for (int c = 0; c < 3; ++c) {
        row[4 * i + c] = kind == 0 ? 0 : static_cast<std::uint8_t>(random());
      }
      row[4 * i + 3] = kind == 0 || tinted ? 0
                       : kind == 1         ? 255
                                           : static_cast<std::uint8_t>(random());
    }
  }
  return row;
}

// The block-skipping row functions against the per-pixel kernels over many row lengths.
TEST(BlendKernels, SkippingClearAndSolidBlocksChangesNoPixel) {
  std::mt19937 random(5);
  for (std::size_t count = 1; count <= 300; ++count) {
    SCOPED_TRACE("row of " + std::to_string(count));
    const std::vector<std::uint8_t> src = SpriteRow(count, random);
    std::vector<std::uint8_t> dst(4 * count);
    for (std::uint8_t& byte : dst) byte = static_cast<std::uint8_t>(random());

    std::vector<std::uint8_t> fast = dst;
    std::vector<std::uint8_t> slow = dst;
    blend::ClassicRow(fast.data(), src.data(), count);
    blend::ClassicPixels(slow.data(), src.data(), count);
    ASSERT_EQ(fast, slow) << "classic";

    // Under the standard rule a clear pixel over a clear one comes out colourless from the
    // kernel and untouched from a skipped block; composites hold no colour under alpha 0.
    for (std::size_t i = 0; i < count; ++i) {
      if (dst[4 * i + 3] == 0) std::fill_n(dst.begin() + 4 * i, 3, 0);
    }
    fast = dst;
    slow = dst;
    blend::StandardRow(fast.data(), src.data(), count);
    blend::StandardPixels(slow.data(), src.data(), count);
    ASSERT_EQ(fast, slow) << "standard";
  }
}

// Source images in every stored format, filled with random bytes.
enum class Kind { Alpha32, Key32, Plain32, Rgb24, Rgb16, Indexed8, Indexed1 };

RasterImage RandomImage(Kind kind, int width, int height, std::mt19937& random) {
  static constexpr int kBits[] = {32, 32, 32, 24, 16, 8, 1};
  RasterImage image;
  image.Allocate(width, height, kBits[static_cast<int>(kind)]);
  for (int y = 0; y < height; ++y) {
    for (std::size_t i = 0; i < image.Stride(); ++i) {
      image.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
  }
  image.SetAlphaFlags(kind == Kind::Alpha32, kind == Kind::Key32);
  if (kind == Kind::Indexed8 || kind == Kind::Indexed1) {
    // Short of a full table on purpose: indices past its end must stay safe.
    std::vector<std::uint32_t> palette(kind == Kind::Indexed8 ? 200 : 2);
    for (std::uint32_t& entry : palette) entry = static_cast<std::uint32_t>(random());
    image.SetPalette(palette);
  }
  return image;
}

// Nearest neighbour, clipping, and the rule, one pixel at a time the obvious way.
void ExpectDrawnLikeReference(const RasterImage& source, const RasterImage& before,
                              const RasterImage& after, int dx, int dy, int dw, int dh, int sx,
                              int sy, int sw, int sh, BlendRule rule) {
  const bool sourceAlpha = rule == kClassic ? source.HasAlpha() : true;
  for (int y = 0; y < before.Height(); ++y) {
    for (int x = 0; x < before.Width(); ++x) {
      const Bgra d = Unpack(before.PixelAt(x, y, kStandard));
      const Bgra out = Unpack(after.PixelAt(x, y, kStandard));
      const bool inside = x >= dx && x < dx + dw && y >= dy && y < dy + dh;
      const int srcX = sx + static_cast<int>(std::floor(double(x - dx) * sw / dw));
      const int srcY = sy + static_cast<int>(std::floor(double(y - dy) * sh / dh));
      if (!inside || srcX < 0 || srcY < 0 || srcX >= source.Width() || srcY >= source.Height()) {
        ASSERT_EQ(out, d) << "untouched pixel " << x << "," << y;
        continue;
      }
      const Bgra s = Unpack(source.PixelAt(srcX, srcY, rule));
      ASSERT_TRUE(Rounds(out, Exact(s, d, rule, sourceAlpha)))
          << "pixel " << x << "," << y << " from " << srcX << "," << srcY;
    }
  }
}

class DrawAgainstReference : public ::testing::TestWithParam<BlendRule> {};

TEST_P(DrawAgainstReference, RandomRectanglesScalesAndFormats) {
  const BlendRule rule = GetParam();
  std::mt19937 random(rule == kClassic ? 11 : 12);
  auto between = [&random](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(random);
  };
  for (int round = 0; round < 1500; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const auto kind = static_cast<Kind>(round % 7);
    const RasterImage source = RandomImage(kind, between(1, 40), between(1, 40), random);
    const RasterImage before = RandomImage(Kind::Alpha32, between(1, 40), between(1, 40), random);
    const int dw = between(1, 60);
    const int dh = between(1, 60);
    // Half the draws 1:1, the rest enlarging or reducing on either axis.
    const bool same = round % 2 == 0;
    const int sw = same ? dw : between(1, 60);
    const int sh = same ? dh : between(1, 60);
    const int dx = between(-30, 40);
    const int dy = between(-30, 40);
    const int sx = between(-15, 30);
    const int sy = between(-15, 30);
    RasterImage after = before;
    source.Draw(after, dx, dy, dw, dh, sx, sy, sw, sh, rule);
    ExpectDrawnLikeReference(source, before, after, dx, dy, dw, dh, sx, sy, sw, sh, rule);
  }
}

TEST_P(DrawAgainstReference, SourceSmallerThanTheComposite) {
  const BlendRule rule = GetParam();
  std::mt19937 random(3);
  const RasterImage source = RandomImage(Kind::Alpha32, 5, 3, random);
  const RasterImage before = RandomImage(Kind::Alpha32, 8, 8, random);
  RasterImage after = before;
  source.Draw(after, 0, 0, 8, 8, 0, 0, 8, 8, rule);
  ExpectDrawnLikeReference(source, before, after, 0, 0, 8, 8, 0, 0, 8, 8, rule);
  EXPECT_EQ(after.PixelAt(5, 0, kStandard), before.PixelAt(5, 0, kStandard));
  EXPECT_EQ(after.PixelAt(0, 3, kStandard), before.PixelAt(0, 3, kStandard));
}

INSTANTIATE_TEST_SUITE_P(Rules, DrawAgainstReference, ::testing::Values(kClassic, kStandard),
                         [](const ::testing::TestParamInfo<BlendRule>& param) {
                           return std::string(param.param == kClassic ? "Classic" : "Standard");
                         });

}  // namespace
}  // namespace tessarin
