#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "composition.h"
#include "learnt_rows.h"
#include "palette_swap.h"
#include "set_state.h"
#include "setting_file.h"

namespace tessarin {
namespace {

constexpr std::uint32_t Bgra(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return b | g << 8 | r << 16 | a << 24;
}

// A 32-bit image with alpha whose left and right halves have the given colours.
std::shared_ptr<const RasterImage> Halves(int width, int height, std::uint32_t left,
                                          std::uint32_t right) {
  auto image = std::make_shared<RasterImage>();
  image->Create(width, height, 32, true);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image->Row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t colour = x < width / 2 ? left : right;
      for (int c = 0; c < 4; ++c) row[4 * x + c] = static_cast<std::uint8_t>(colour >> (8 * c));
    }
  }
  return image;
}

std::shared_ptr<const RasterImage> Solid(int width, int height, std::uint32_t colour) {
  return Halves(width, height, colour, colour);
}

// The composite of a set small enough to fit in memory.
RasterImage Composed(const SetState& state, bool half, BlendRule rule = BlendRule::Classic) {
  RasterImage composite;
  const Status made = ComposeLayers(state, half, rule, composite);
  EXPECT_TRUE(made.IsOk()) << made.Message();
  return composite;
}

class ComposeLayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.xSize = 8;
    state_.ySize = 4;
    // Part 0 at priority 5, part 1 at priority 3: back to front 0, 1, 9, 8.
    InsertLayerPair(state_, 0, 5);
    InsertLayerPair(state_, 1, 3);
  }
  SetState state_;
};

TEST_F(ComposeLayersTest, StartsTransparentAtTheSetSize) {
  const RasterImage composite = Composed(state_, false);
  ASSERT_FALSE(composite.IsNull());
  EXPECT_EQ(composite.Width(), 8);
  EXPECT_EQ(composite.Height(), 4);
  EXPECT_EQ(composite.BitsPerPixel(), 32);
  EXPECT_TRUE(composite.HasAlpha());
  EXPECT_EQ(composite.PixelAt(3, 2), 0u);
}

TEST_F(ComposeLayersTest, DrawsInDrawOrderBackToFront) {
  const std::uint32_t red = Bgra(0, 0, 255, 255), green = Bgra(0, 255, 0, 255);
  const std::uint32_t blue = Bgra(255, 0, 0, 255), white = Bgra(255, 255, 255, 255);
  const std::uint32_t clear = 0;
  state_.layers[0].image = Solid(8, 4, red);            // furthest back
  state_.layers[1].image = Halves(8, 4, green, clear);  // over it on the left
  state_.layers[9].image = Halves(8, 4, clear, blue);   // over it on the right
  state_.layers[8].image = Halves(8, 4, clear, clear);  // front, fully clear
  EXPECT_EQ(Composed(state_, false).PixelAt(1, 1), green);
  EXPECT_EQ(Composed(state_, false).PixelAt(6, 1), blue);

  state_.layers[8].image = Halves(8, 4, white, clear);  // the front layer covers the left
  EXPECT_EQ(Composed(state_, false).PixelAt(0, 3), white);
  EXPECT_EQ(Composed(state_, false).PixelAt(7, 3), blue);
}

TEST_F(ComposeLayersTest, SkipsSlotsOutsideTheDrawOrder) {
  state_.layers[12].image = Solid(8, 4, Bgra(9, 9, 9, 255));  // left over from another set
  EXPECT_EQ(Composed(state_, false).PixelAt(0, 0), 0u);
}

TEST_F(ComposeLayersTest, HalfModeKeepsTheLeftHalfOfEveryLayer) {
  state_.xSize = 97;
  const std::uint32_t left = Bgra(10, 20, 30, 255), right = Bgra(40, 50, 60, 255);
  state_.layers[9].image = Halves(96, 4, left, right);
  const RasterImage composite = Composed(state_, true);
  EXPECT_EQ(composite.Width(), 48);
  for (int x = 0; x < 48; ++x) EXPECT_EQ(composite.PixelAt(x, 0), left) << "x " << x;
}

TEST_F(ComposeLayersTest, ASmallerLayerDrawsOnlyTheOverlap) {
  const std::uint32_t grey = Bgra(128, 128, 128, 255);
  state_.layers[9].image = Solid(3, 2, grey);
  const RasterImage composite = Composed(state_, false);
  EXPECT_EQ(composite.PixelAt(2, 1), grey);
  EXPECT_EQ(composite.PixelAt(3, 1), 0u);
  EXPECT_EQ(composite.PixelAt(2, 2), 0u);
}

TEST_F(ComposeLayersTest, RulesDifferOnColourThatCarriesNoAlpha) {
  // A pixel with alpha 0 still adds its colour under the classic rule, and only there.
  state_.layers[0].image = Solid(8, 4, Bgra(0, 0, 200, 255));
  state_.layers[8].image = Solid(8, 4, Bgra(100, 0, 100, 0));
  EXPECT_EQ(Composed(state_, false, BlendRule::Classic).PixelAt(0, 0), Bgra(100, 0, 255, 255));
  EXPECT_EQ(Composed(state_, false, BlendRule::Standard).PixelAt(0, 0), Bgra(0, 0, 200, 255));
}

// The standard rule over a whole stack in doubles, one pixel at a time: alpha on 0..1 and
// colour premultiplied, straight again at the end.
std::array<double, 4> ExactStack(const SetState& state, int x, int y) {
  std::array<double, 4> acc{};
  for (const int slot : state.drawOrder) {
    const RasterImage& layer = *state.layers[static_cast<std::size_t>(slot)].image;
    if (x >= layer.Width() || y >= layer.Height()) continue;
    const std::uint32_t p = layer.PixelAt(x, y, BlendRule::Standard);
    const double sa = (p >> 24) / 255.0;
    for (int c = 0; c < 3; ++c) acc[c] = (p >> (8 * c) & 255) * sa + acc[c] * (1 - sa);
    acc[3] = sa + acc[3] * (1 - sa);
  }
  if (acc[3] > 0) {
    for (int c = 0; c < 3; ++c) acc[c] /= acc[3];
  }
  acc[3] *= 255;
  return acc;
}

// Sheets large enough to be composed in bands on several threads. The classic rule must give
// what drawing each layer over the whole sheet in turn gives; the standard rule must give
// the whole stack's exact result, rounded once. Heights are not whole bands, and one layer is
// shorter and narrower than the sheet.
TEST(ComposeLayers, BandsGiveTheSameSheetAsWholeLayers) {
  std::mt19937 random(9);
  for (const int height : {300, 577}) {
    for (const BlendRule rule : {BlendRule::Classic, BlendRule::Standard}) {
      for (const bool half : {false, true}) {
        SCOPED_TRACE(std::to_string(height) +
                     (rule == BlendRule::Classic ? " classic" : " standard") +
                     (half ? " half" : ""));
        SetState state;
        state.xSize = 514;
        state.ySize = height;
        for (int part = 0; part < 3; ++part) InsertLayerPair(state, part, part + 1);
        for (const int slot : state.drawOrder) {
          const bool small = slot == MainSlot(1);
          auto image = std::make_shared<RasterImage>();
          image->Create(small ? 300 : state.xSize, small ? height - 70 : height, 32, true);
          for (int y = 0; y < image->Height(); ++y) {
            for (std::size_t i = 0; i < image->Stride(); ++i) {
              // Mostly clear or solid, as sprites are.
              const unsigned pick = random() % 8;
              image->Row(y)[i] = static_cast<std::uint8_t>(pick < 3   ? 0
                                                           : pick < 6 ? 255
                                                                      : random());
            }
          }
          state.layers[static_cast<std::size_t>(slot)].image = image;
        }
        const RasterImage composed = Composed(state, half, rule);
        const int width = half ? state.xSize / 2 : state.xSize;
        ASSERT_EQ(composed.Width(), width);
        if (rule == BlendRule::Classic) {
          RasterImage expected;
          expected.Create(width, height, 32, true);
          for (const int slot : state.drawOrder) {
            state.layers[static_cast<std::size_t>(slot)].image->Draw(expected, 0, 0, width, height,
                                                                     0, 0, width, height, rule);
          }
          for (int y = 0; y < height; ++y) {
            ASSERT_TRUE(
                std::equal(composed.Row(y), composed.Row(y) + composed.Stride(), expected.Row(y)))
                << "row " << y;
          }
          continue;
        }
        for (int y = 0; y < height; ++y) {
          for (int x = 0; x < width; ++x) {
            const std::array<double, 4> exact = ExactStack(state, x, y);
            const std::uint32_t p = composed.PixelAt(x, y, BlendRule::Standard);
            ASSERT_LE(std::abs((p >> 24) - exact[3]), 0.5 + 1e-3) << x << "," << y;
            for (int c = 0; c < 3 && (p >> 24) > 0; ++c) {
              ASSERT_LE(std::abs((p >> (8 * c) & 255) - exact[c]), 0.5 + 1e-2)
                  << x << "," << y << " channel " << c;
            }
          }
        }
      }
    }
  }
}

// Colours swapped while drawing give the sheet that layers recoloured first give, for a layer
// of every format between two of 32 bits, by both rules, whole and half.
TEST(ComposeLayers, RecolouringOnTheWayMatchesRecolouredLayers) {
  std::mt19937 random(5);
  const std::vector<ColourSwap> swaps = {
      {0x102030, 0xA0B0C0}, {0x000000, 0x405060}, {0xFF0000, 0x00FF00}};
  // Colours to swap, their alphas varied, among others; indexed pixels through a palette.
  // Some rows hold none, each layer its own, so that what is learnt of rows must match them.
  const auto colour = [&](bool swapped) {
    const std::uint32_t pick = swapped ? random() % 4 : 3;
    return pick == 3 ? static_cast<std::uint32_t>(random()) | 0x01000000u
                     : swaps[pick].from | static_cast<std::uint32_t>(random()) << 24;
  };
  int layersMade = 0;
  const auto layer = [&](int bits) {
    const int plainRow = layersMade++ % 3;
    auto image = std::make_shared<RasterImage>();
    image->Allocate(70, 9, bits);
    image->SetAlphaFlags(bits == 32, false);
    const int bytes = bits / 8;
    for (int y = 0; y < image->Height(); ++y) {
      for (int x = 0; x < image->Width(); ++x) {
        // And some only in the right half, which a half sheet leaves out.
        const bool swapped = y % 3 != plainRow && (y % 3 != (plainRow + 1) % 3 || x >= 35);
        const std::uint32_t value = bits == 8 ? random() % 256 : colour(swapped);
        for (int c = 0; c < bytes; ++c) {
          image->Row(y)[bytes * x + c] = static_cast<std::uint8_t>(value >> (8 * c));
        }
      }
    }
    if (bits == 8) {
      std::vector<std::uint32_t> palette(256);
      std::generate(palette.begin(), palette.end(), [&] { return colour(true); });
      image->SetPalette(palette);
    }
    return image;
  };
  for (const int bits : {32, 24, 8, 16}) {
    SetState state;
    state.xSize = 70;
    state.ySize = 9;
    LayerSwaps layerSwaps;
    // The back part is left as drawn; the middle one has the format tried.
    for (int part = 0; part < 3; ++part) {
      InsertLayerPair(state, part, part + 1);
      state.layers[static_cast<std::size_t>(MainSlot(part))].image = layer(part == 1 ? bits : 32);
      if (part > 0) layerSwaps[static_cast<std::size_t>(MainSlot(part))] = swaps;
    }
    SetState recoloured = state;
    for (int part = 1; part < 3; ++part) {
      auto& image = recoloured.layers[static_cast<std::size_t>(MainSlot(part))].image;
      auto copy = std::make_shared<RasterImage>(*image);
      SwapColours(*copy, swaps);
      image = copy;
    }
    for (const BlendRule rule : {BlendRule::Classic, BlendRule::Standard}) {
      // Shared by whole and half sheets, as a window's is when the half option changes.
      LayerRecolouring recolouring(layerSwaps);
      for (const bool half : {true, false}) {
        SCOPED_TRACE(std::to_string(bits) + " bits" +
                     (rule == BlendRule::Classic ? " classic" : " standard") +
                     (half ? " half" : ""));
        const RasterImage expected = Composed(recoloured, half, rule);
        const RasterImage plain = Composed(state, half, rule);
        bool shows = false;
        for (int y = 0; y < plain.Height(); ++y) {
          shows = shows || std::memcmp(plain.Row(y), expected.Row(y), expected.Stride()) != 0;
        }
        ASSERT_TRUE(shows) << "the swaps must show";
        // Again with what the first sheet learnt of the rows, after the layers changed, and
        // once they are back as they were, which what was learnt of them serves again.
        for (const int pass : {1, 2, 3, 4}) {
          if (pass >= 3) {
            std::swap(state.layers[static_cast<std::size_t>(MainSlot(1))].image,
                      state.layers[static_cast<std::size_t>(MainSlot(2))].image);
            std::swap(recoloured.layers[static_cast<std::size_t>(MainSlot(1))].image,
                      recoloured.layers[static_cast<std::size_t>(MainSlot(2))].image);
          }
          RasterImage onTheWay;
          ASSERT_TRUE(ComposeLayers(state, half, rule, onTheWay, &recolouring).IsOk());
          const RasterImage now = pass == 3 ? Composed(recoloured, half, rule) : expected;
          for (int y = 0; y < now.Height(); ++y) {
            ASSERT_EQ(std::memcmp(onTheWay.Row(y), now.Row(y), now.Stride()), 0)
                << "pass " << pass << " row " << y;
          }
        }
      }
    }
  }
}

// Recolourings of a batch share what they learn of rows: colours that become others, colours
// that others take away and both at once, in turn, over layers that change places, each give
// the sheet of layers recoloured first, pixel by pixel.
TEST(ComposeLayers, RecolouringsSharingWhatTheyLearntMatchRecolouredLayers) {
  constexpr std::uint32_t kSkin = 0x102030, kShade = 0x405060, kCloth = 0xC08040;
  const std::vector<std::vector<ColourSwap>> choices = {
      {{kSkin, 0xA0B0C0}, {kShade, 0x111111}},
      {{kShade, 0x222222}, {kSkin, 0x0000FF}},
      {{kCloth, 0x00FF00}},
      {{kSkin, 0xA0B0C0}, {kShade, 0x111111}, {kCloth, 0x00FF00}},
  };
  std::mt19937 random(9);
  // Rows by turns hold nothing to swap, skin and shade, or cloth only, among other colours.
  const auto layer = [&](int shift) {
    auto image = std::make_shared<RasterImage>();
    image->Create(40, 12, 32, true);
    for (int y = 0; y < image->Height(); ++y) {
      for (int x = 0; x < image->Width(); ++x) {
        const int kind = (y + shift) % 3;
        std::uint32_t colour = static_cast<std::uint32_t>(random()) | 0x01000000u;
        if (random() % 5 == 0) {
          colour = kind == 0 ? colour : kind == 1 ? (x % 2 ? kSkin : kShade) : kCloth;
          colour |= static_cast<std::uint32_t>(random()) << 24;
        }
        for (int c = 0; c < 4; ++c) {
          image->Row(y)[4 * x + c] = static_cast<std::uint8_t>(colour >> (8 * c));
        }
      }
    }
    return image;
  };
  SetState state;
  state.xSize = 40;
  state.ySize = 12;
  for (int part = 0; part < 3; ++part) {
    InsertLayerPair(state, part, part + 1);
    state.layers[static_cast<std::size_t>(MainSlot(part))].image = layer(part);
  }
  const auto learnt = std::make_shared<LearntRows>();
  std::vector<LayerRecolouring> recolourings;
  for (const std::vector<ColourSwap>& swaps : choices) {
    LayerSwaps layerSwaps;
    for (int part = 0; part < 3; ++part)
      layerSwaps[static_cast<std::size_t>(MainSlot(part))] = swaps;
    recolourings.emplace_back(layerSwaps, learnt);
  }
  for (const BlendRule rule : {BlendRule::Classic, BlendRule::Standard}) {
    for (const std::size_t choice : {0, 1, 2, 3, 0, 2, 1, 3}) {
      // Halfway, the layers change places.
      if (choice == 2) {
        std::swap(state.layers[static_cast<std::size_t>(MainSlot(0))].image,
                  state.layers[static_cast<std::size_t>(MainSlot(2))].image);
      }
      for (const bool half : {false, true}) {
        SCOPED_TRACE("colours " + std::to_string(choice) +
                     (rule == BlendRule::Classic ? " classic" : " standard") +
                     (half ? " half" : ""));
        SetState recoloured = state;
        for (int part = 0; part < 3; ++part) {
          auto& image = recoloured.layers[static_cast<std::size_t>(MainSlot(part))].image;
          auto copy = std::make_shared<RasterImage>(*image);
          SwapColoursPlainly(*copy, choices[choice]);
          image = copy;
        }
        const RasterImage expected = Composed(recoloured, half, rule);
        RasterImage onTheWay;
        ASSERT_TRUE(ComposeLayers(state, half, rule, onTheWay, &recolourings[choice]).IsOk());
        for (int y = 0; y < expected.Height(); ++y) {
          ASSERT_EQ(std::memcmp(onTheWay.Row(y), expected.Row(y), expected.Stride()), 0)
              << "row " << y;
        }
      }
    }
  }
}

TEST(ComposeLayers, NoSizeGivesNoImage) {
  SetState state;
  EXPECT_TRUE(Composed(state, false).IsNull());
  state.xSize = 1;
  state.ySize = 5;
  EXPECT_TRUE(Composed(state, true).IsNull());  // half of 1 is 0
  state.xSize = -4;
  EXPECT_TRUE(Composed(state, false).IsNull());
}

}  // namespace
}  // namespace tessarin
