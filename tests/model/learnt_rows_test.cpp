#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "learnt_rows.h"
#include "palette_swap.h"
#include "raster_image.h"

namespace tessarin {
namespace {

std::shared_ptr<const RasterImage> Blank(int width, int height) {
  auto image = std::make_shared<RasterImage>();
  image->Create(width, height, 32, true);
  return image;
}

const std::vector<ColourSwap> kRedAndGreen = {{0xFF0000, 0x0000FF}, {0x00FF00, 0x123456}};

struct SharingCase {
  std::string name;
  bool sameImage;
  int width;
  std::vector<ColourSwap> swaps;
  bool shared;
};

void PrintTo(const SharingCase& row, std::ostream* os) {
  *os << row.name;
}

class LearntRowsSharing : public ::testing::TestWithParam<SharingCase> {};

// Which rows hold a colour to swap depends on the image, the columns drawn and the colours
// taken away; not on what they become, nor on the order or repeats of the swaps.
TEST_P(LearntRowsSharing, SharesOnlyWhatHoldsForTheSecondDraw) {
  const SharingCase& c = GetParam();
  LearntRows learnt;
  const auto image = Blank(8, 3);
  const auto other = Blank(8, 3);
  const auto first = learnt.For(image, 8, kRedAndGreen);
  ASSERT_EQ(first->size(), 3u);
  EXPECT_EQ((*first)[0], ColourSwapper::kRowUnseen);
  (*first)[1] = ColourSwapper::kRowUnchanged;
  const auto second = learnt.For(c.sameImage ? image : other, c.width, c.swaps);
  EXPECT_EQ(second == first, c.shared);
  EXPECT_EQ((*second)[1], c.shared ? ColourSwapper::kRowUnchanged : ColourSwapper::kRowUnseen);
}

INSTANTIATE_TEST_SUITE_P(
    Draws, LearntRowsSharing,
    ::testing::Values(
        SharingCase{"SameColours", true, 8, kRedAndGreen, true},
        SharingCase{"OtherVariant", true, 8, {{0xFF0000, 0xABCDEF}, {0x00FF00, 0x000001}}, true},
        SharingCase{"SwapsReordered", true, 8, {{0x00FF00, 0x1}, {0xFF0000, 0x2}}, true},
        SharingCase{"AlphaInSwap", true, 8, {{0xAAFF0000, 0x1}, {0x00FF00, 0x2}}, true},
        SharingCase{"RepeatedSource", true, 8, {{0xFF0000, 1}, {0x00FF00, 2}, {0xFF0000, 3}}, true},
        SharingCase{"FewerSources", true, 8, {{0xFF0000, 0x0000FF}}, false},
        SharingCase{"OtherSource", true, 8, {{0xFF0000, 0x0000FF}, {0x0000FF, 0x1}}, false},
        SharingCase{"HalfWidth", true, 4, kRedAndGreen, false},
        SharingCase{"OtherImage", false, 8, kRedAndGreen, false}),
    [](const auto& row) { return row.param.name; });

// Rows are learnt of a layer for as long as it may be drawn again: they keep it in no memory.
TEST(LearntRows, KeepsNoImageInMemory) {
  LearntRows learnt;
  auto image = Blank(8, 3);
  const std::weak_ptr<const RasterImage> watched = image;
  const auto rows = learnt.For(image, 8, kRedAndGreen);
  image.reset();
  EXPECT_TRUE(watched.expired());
  (*rows)[0] = ColourSwapper::kRowUnchanged;
  // An image made after it, wherever it lands, starts unseen.
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ((*learnt.For(Blank(8, 3), 8, kRedAndGreen))[0], ColourSwapper::kRowUnseen);
  }
}

// Past the bound, the longest unused image is let go; one used again since stays.
TEST(LearntRows, LetsGoTheLongestUnused) {
  LearntRows learnt;
  std::vector<std::shared_ptr<const RasterImage>> images;
  for (std::size_t k = 0; k <= LearntRows::kImages; ++k) images.push_back(Blank(2, 1));
  (*learnt.For(images[0], 2, kRedAndGreen))[0] = ColourSwapper::kRowUnchanged;
  (*learnt.For(images[1], 2, kRedAndGreen))[0] = ColourSwapper::kRowUnchanged;
  learnt.For(images[0], 2, kRedAndGreen);
  for (std::size_t k = 2; k < images.size(); ++k) learnt.For(images[k], 2, kRedAndGreen);
  EXPECT_EQ((*learnt.For(images[0], 2, kRedAndGreen))[0], ColourSwapper::kRowUnchanged);
  EXPECT_EQ((*learnt.For(images[1], 2, kRedAndGreen))[0], ColourSwapper::kRowUnseen);
}

}  // namespace
}  // namespace tessarin
