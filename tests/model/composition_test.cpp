#include <gtest/gtest.h>

#include <memory>

#include "composition.h"
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
  const RasterImage composite = ComposeLayers(state_, false);
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
  EXPECT_EQ(ComposeLayers(state_, false).PixelAt(1, 1), green);
  EXPECT_EQ(ComposeLayers(state_, false).PixelAt(6, 1), blue);

  state_.layers[8].image = Halves(8, 4, white, clear);  // the front layer covers the left
  EXPECT_EQ(ComposeLayers(state_, false).PixelAt(0, 3), white);
  EXPECT_EQ(ComposeLayers(state_, false).PixelAt(7, 3), blue);
}

TEST_F(ComposeLayersTest, SkipsSlotsOutsideTheDrawOrder) {
  state_.layers[12].image = Solid(8, 4, Bgra(9, 9, 9, 255));  // left over from another set
  EXPECT_EQ(ComposeLayers(state_, false).PixelAt(0, 0), 0u);
}

TEST_F(ComposeLayersTest, HalfModeKeepsTheLeftHalfOfEveryLayer) {
  state_.xSize = 97;
  const std::uint32_t left = Bgra(10, 20, 30, 255), right = Bgra(40, 50, 60, 255);
  state_.layers[9].image = Halves(96, 4, left, right);
  const RasterImage composite = ComposeLayers(state_, true);
  EXPECT_EQ(composite.Width(), 48);
  for (int x = 0; x < 48; ++x) EXPECT_EQ(composite.PixelAt(x, 0), left) << "x " << x;
}

TEST_F(ComposeLayersTest, ASmallerLayerDrawsOnlyTheOverlap) {
  const std::uint32_t grey = Bgra(128, 128, 128, 255);
  state_.layers[9].image = Solid(3, 2, grey);
  const RasterImage composite = ComposeLayers(state_, false);
  EXPECT_EQ(composite.PixelAt(2, 1), grey);
  EXPECT_EQ(composite.PixelAt(3, 1), 0u);
  EXPECT_EQ(composite.PixelAt(2, 2), 0u);
}

TEST_F(ComposeLayersTest, RulesDifferOnColourThatCarriesNoAlpha) {
  // A pixel with alpha 0 still adds its colour under the classic rule, and only there.
  state_.layers[0].image = Solid(8, 4, Bgra(0, 0, 200, 255));
  state_.layers[8].image = Solid(8, 4, Bgra(100, 0, 100, 0));
  EXPECT_EQ(ComposeLayers(state_, false, BlendRule::Classic).PixelAt(0, 0), Bgra(100, 0, 255, 255));
  EXPECT_EQ(ComposeLayers(state_, false, BlendRule::Standard).PixelAt(0, 0), Bgra(0, 0, 200, 255));
}

TEST(ComposeLayers, NoSizeGivesNoImage) {
  SetState state;
  EXPECT_TRUE(ComposeLayers(state, false).IsNull());
  state.xSize = 1;
  state.ySize = 5;
  EXPECT_TRUE(ComposeLayers(state, true).IsNull());  // half of 1 is 0
  state.xSize = -4;
  EXPECT_TRUE(ComposeLayers(state, false).IsNull());
}

}  // namespace
}  // namespace tessarin
