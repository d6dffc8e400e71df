#include "raster_image.h"
#include "image_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessarin {
namespace {

constexpr BlendRule kClassic = BlendRule::Classic;
constexpr BlendRule kStandard = BlendRule::Standard;

std::uint32_t Bgra(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return b | g << 8 | r << 16 | a << 24;
}

// A minimal PNG writer, so that tests can state exactly which chunks a file carries.
class PngBuilder {
 public:
  PngBuilder(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t type) {
    bytes_ = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    Put32(ihdr, width);
    Put32(ihdr, height);
    ihdr.insert(ihdr.end(), {depth, type, 0, 0, 0});
    Chunk("IHDR", ihdr);
  }
  PngBuilder& Chunk(const char* type, const std::vector<std::uint8_t>& data) {
    Put32(bytes_, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = bytes_.size();
    bytes_.insert(bytes_.end(), type, type + 4);
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    Put32(bytes_, Crc(bytes_.data() + start, bytes_.size() - start));
    return *this;
  }
  // Rows already filtered (a leading 0 each), wrapped in one stored deflate block.
  PngBuilder& Pixels(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> z = {0x78, 0x01, 0x01};
    const auto n = static_cast<std::uint16_t>(raw.size());
    z.insert(z.end(), {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                       static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
      a = (a + byte) % 65521;
      b = (b + a) % 65521;
    }
    Put32(z, b << 16 | a);
    return Chunk("IDAT", z);
  }
  std::vector<std::uint8_t> End() {
    Chunk("IEND", {});
    return bytes_;
  }

 private:
  static void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                           static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
  }
  static std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
      crc ^= data[i];
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
  }
  std::vector<std::uint8_t> bytes_;
};

Status LoadBytes(RasterImage& image, const std::vector<std::uint8_t>& bytes) {
  return DecodeImageBytes(bytes.data(), bytes.size(), image);
}

TEST(RasterCreate, OnlyPositiveSizesAtThirtyTwoBits) {
  struct Case {
    int width, height, bits;
    bool made;
  };
  for (const Case& c :
       {Case{3, 2, 32, true}, Case{0, 2, 32, false}, Case{3, 0, 32, false}, Case{-1, 5, 32, false},
        Case{3, 2, 24, false}, Case{3, 2, 8, false}, Case{16384, 16385, 32, false}}) {
    RasterImage image;
    EXPECT_EQ(image.Create(c.width, c.height, c.bits, true), c.made) << c.width << "x" << c.height;
    EXPECT_EQ(image.IsNull(), !c.made);
  }
}

TEST(RasterCreate, StartsAllZeroWithTheAlphaFlagAsAsked) {
  RasterImage image;
  ASSERT_TRUE(image.Create(5, 3, 32, true));
  EXPECT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.Stride(), 20u);
  for (int y = 0; y < 3; ++y) {
    for (std::size_t i = 0; i < 20; ++i) ASSERT_EQ(image.Row(y)[i], 0);
  }
  ASSERT_TRUE(image.Create(5, 3, 32, false));
  EXPECT_FALSE(image.HasAlpha());
  image.Destroy();
  EXPECT_TRUE(image.IsNull());
}

// Small buffers come from the heap and large ones straight from the system; both must start
// clear, also where a just-freed buffer of the same size is reused, and copy whole.
TEST(RasterCreate, EverySizeStartsClearAgainAfterUse) {
  for (const int side : {1, 300, 1024, 1500}) {
    SCOPED_TRACE(side);
    for (int round = 0; round < 2; ++round) {
      RasterImage image;
      ASSERT_TRUE(image.Create(side, side, 32, true));
      for (int y = 0; y < side; ++y) {
        const std::uint8_t* row = image.Row(y);
        ASSERT_TRUE(std::all_of(row, row + image.Stride(), [](std::uint8_t b) { return b == 0; }))
            << "row " << y;
      }
      for (int y = 0; y < side; ++y) std::fill_n(image.Row(y), image.Stride(), 0xA5);
      const RasterImage copy = image;
      ASSERT_EQ(copy.PixelAt(side - 1, side - 1), 0xA5A5A5A5u);
    }
  }
}

TEST(RasterPixels, EachStoredFormatUnderEachRule) {
  // 1 bit: second entry half transparent. 8 bits: a palette with transparency.
  RasterImage mono;
  mono.Allocate(10, 1, 1);
  mono.Row(0)[0] = 0b01000000;
  mono.Row(0)[1] = 0b01000000;
  mono.SetPalette({Bgra(0, 0, 0, 255), Bgra(10, 20, 30, 128)});
  EXPECT_EQ(mono.PixelAt(1, 0, kStandard), Bgra(10, 20, 30, 128));
  EXPECT_EQ(mono.PixelAt(1, 0, kClassic), Bgra(10, 20, 30, 255));
  EXPECT_EQ(mono.PixelAt(9, 0, kStandard), Bgra(10, 20, 30, 128));
  EXPECT_EQ(mono.PixelAt(8, 0, kStandard), Bgra(0, 0, 0, 255));

  RasterImage indexed;
  indexed.Allocate(3, 1, 8);
  indexed.SetPalette({Bgra(1, 2, 3, 0), Bgra(4, 5, 6, 255)});
  indexed.Row(0)[0] = 0;
  indexed.Row(0)[1] = 1;
  indexed.Row(0)[2] = 7;  // past the table
  EXPECT_EQ(indexed.PixelAt(0, 0, kStandard), Bgra(1, 2, 3, 0));
  EXPECT_EQ(indexed.PixelAt(0, 0, kClassic), Bgra(1, 2, 3, 255));
  EXPECT_EQ(indexed.PixelAt(1, 0, kStandard), Bgra(4, 5, 6, 255));
  EXPECT_EQ(indexed.PixelAt(2, 0, kStandard), Bgra(0, 0, 0, 255));

  // 565 words, little-endian; the fields widen so that their extremes map to 0 and 255.
  RasterImage rgb16;
  rgb16.Allocate(4, 1, 16);
  const std::uint16_t words[] = {0xF800, 0x07E0, 0x001F, 0x8410};
  for (int x = 0; x < 4; ++x) {
    rgb16.Row(0)[2 * x] = static_cast<std::uint8_t>(words[x]);
    rgb16.Row(0)[2 * x + 1] = static_cast<std::uint8_t>(words[x] >> 8);
  }
  EXPECT_EQ(rgb16.PixelAt(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(rgb16.PixelAt(1, 0), Bgra(0, 255, 0, 255));
  EXPECT_EQ(rgb16.PixelAt(2, 0), Bgra(255, 0, 0, 255));
  EXPECT_EQ(rgb16.PixelAt(3, 0), Bgra(132, 130, 132, 255));

  RasterImage rgb24;
  rgb24.Allocate(2, 1, 24);
  for (int i = 0; i < 6; ++i) rgb24.Row(0)[i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_EQ(rgb24.PixelAt(1, 0, kStandard), Bgra(4, 5, 6, 255));

  RasterImage rgb32;
  rgb32.Allocate(1, 1, 32);
  for (int i = 0; i < 4; ++i) rgb32.Row(0)[i] = static_cast<std::uint8_t>(10 * (i + 1));
  const std::uint32_t stored = Bgra(10, 20, 30, 40);
  const std::uint32_t opaque = Bgra(10, 20, 30, 255);
  EXPECT_EQ(rgb32.PixelAt(0, 0, kStandard), opaque);
  rgb32.SetAlphaFlags(false, true);
  EXPECT_EQ(rgb32.PixelAt(0, 0, kStandard), stored);
  EXPECT_EQ(rgb32.PixelAt(0, 0, kClassic), opaque);
  rgb32.SetAlphaFlags(true, false);
  EXPECT_EQ(rgb32.PixelAt(0, 0, kClassic), stored);
  EXPECT_EQ(rgb32.PixelAt(1, 0), 0u);
}

// A source whose pixel values are their own coordinates, to read back which one was taken.
RasterImage Numbered(int width, int height) {
  RasterImage image;
  image.Create(width, height, 32, false);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.Row(y)[4 * x] = static_cast<std::uint8_t>(x);
      image.Row(y)[4 * x + 1] = static_cast<std::uint8_t>(y);
    }
  }
  return image;
}

TEST(RasterDraw, LeavesTargetsItCannotDrawIntoAlone) {
  const RasterImage source = Numbered(2, 2);
  RasterImage rgb24;
  rgb24.Allocate(2, 2, 24);
  source.Draw(rgb24, 0, 0, 2, 2, 0, 0, 2, 2);
  EXPECT_EQ(rgb24.PixelAt(1, 1), Bgra(0, 0, 0, 255));

  RasterImage target;
  target.Create(2, 2, 32, true);
  RasterImage empty;
  empty.Draw(target, 0, 0, 2, 2, 0, 0, 2, 2);
  source.Draw(target, 0, 0, 0, 2, 0, 0, 2, 2);
  source.Draw(target, 0, 0, 2, 2, 0, 0, 2, -2);
  source.Draw(target, 2, 0, 2, 2, 0, 0, 2, 2);
  source.Draw(target, 0, 0, 2, 2, 2, 0, 2, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(target.PixelAt(x, y, kStandard), 0u);
  }
}

TEST(RasterDraw, ExtremeRectanglesStayInBounds) {
  const RasterImage source = Numbered(4, 4);
  RasterImage target;
  target.Create(3, 3, 32, true);
  constexpr int kBig = 2000000000;
  source.Draw(target, -kBig, -kBig, kBig, kBig, 0, 0, 4, 4);
  source.Draw(target, 1, 1, kBig, kBig, -kBig, -kBig, kBig, kBig);
  source.Draw(target, -kBig, 0, kBig + 2, 1, 0, 0, kBig, 1);
  // None of those reaches a pixel inside both images.
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(target.PixelAt(x, y, kStandard), 0u);
  }
  source.Draw(target, 0, 0, 3, 3, 1, 1, kBig, kBig);
  EXPECT_EQ(target.PixelAt(0, 0), Bgra(1, 1, 0, 255));
  EXPECT_EQ(target.PixelAt(1, 1, kStandard), 0u);
}

TEST(RasterDraw, IntoItselfReadsTheOriginalPixels) {
  RasterImage image = Numbered(4, 1);
  image.Draw(image, 1, 0, 3, 1, 0, 0, 3, 1);
  for (int x = 1; x < 4; ++x) {
    EXPECT_EQ(image.PixelAt(x, 0) & 0xFF, static_cast<std::uint32_t>(x - 1));
  }
}

// Rows of the 2 x 1 RGB image used below: black, then (10, 20, 30).
std::vector<std::uint8_t> TwoRgbPixels() {
  return {0, 0, 0, 0, 10, 20, 30};
}

TEST(RasterLoad, ColourKeyIsKeptAsideFromAlpha) {
  const auto png =
      PngBuilder(2, 1, 8, 2).Chunk("tRNS", {0, 10, 0, 20, 0, 30}).Pixels(TwoRgbPixels()).End();
  RasterImage image;
  ASSERT_TRUE(LoadBytes(image, png)) << LoadBytes(image, png).Message();
  EXPECT_EQ(image.BitsPerPixel(), 32);
  EXPECT_FALSE(image.HasAlpha());
  EXPECT_TRUE(image.HasKeyAlpha());
  EXPECT_EQ(image.PixelAt(1, 0, kStandard), Bgra(30, 20, 10, 0));
  EXPECT_EQ(image.PixelAt(1, 0, kClassic), Bgra(30, 20, 10, 255));
  EXPECT_EQ(image.PixelAt(0, 0, kStandard), Bgra(0, 0, 0, 255));

  // Classic draws it as an opaque rectangle.
  RasterImage target;
  target.Create(2, 1, 32, true);
  image.Draw(target, 0, 0, 2, 1, 0, 0, 2, 1, kClassic);
  EXPECT_EQ(target.PixelAt(1, 0), Bgra(30, 20, 10, 255));
}

TEST(RasterLoad, RefusesOversizeImagesFromTheHeaderAlone) {
  struct Case {
    std::uint32_t width, height;
    bool refused;
  };
  // 1-bit grey keeps what the decoder might allocate small for the sizes it may accept.
  for (const Case& c :
       {Case{100000, 100000, true}, Case{8193, 8192, true}, Case{8192, 8192, false}}) {
    // Header only: no pixel data follows.
    const auto png = PngBuilder(c.width, c.height, 1, 0).End();
    RasterImage image;
    const Status status = LoadBytes(image, png);
    ASSERT_FALSE(status);
    EXPECT_TRUE(image.IsNull());
    EXPECT_EQ(status.Message().find("256 MiB") != std::string::npos, c.refused) << status.Message();
    if (c.refused) {
      EXPECT_NE(status.Message().find(std::to_string(c.width) + " x " + std::to_string(c.height)),
                std::string::npos)
          << status.Message();
    }
  }
}

TEST(RasterLoad, FailuresLeaveTheImageEmptyAndSayWhy) {
  RasterImage image;
  image.Create(2, 2, 32, true);
  const std::vector<std::uint8_t> garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'};
  Status status = LoadBytes(image, garbage);
  EXPECT_FALSE(status);
  EXPECT_TRUE(image.IsNull());
  EXPECT_FALSE(status.Message().empty());

  auto truncated = PngBuilder(2, 1, 8, 2).Pixels(TwoRgbPixels()).End();
  truncated.resize(truncated.size() - 20);
  EXPECT_FALSE(LoadBytes(image, truncated));
  EXPECT_FALSE(DecodeImageBytes(nullptr, 0, image));

  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "tessarin-no-such-dir" / "gone.png";
  status = ReadImageFile(missing, image);
  EXPECT_FALSE(status);
  EXPECT_NE(status.Message().find("gone.png"), std::string::npos) << status.Message();
  status = ReadImageFile(std::filesystem::temp_directory_path(), image);
  EXPECT_FALSE(status);
  EXPECT_TRUE(image.IsNull());
}

}  // namespace
}  // namespace tessarin
