// Sheets with transparency saved as BMP keep their alpha: our writer's files are 32 bits with an
// alpha mask, ImageMagick reads them back exactly (the toolkit's reader does in the save round
// trip), and BMPs with alpha that ImageMagick writes load with their alpha too.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bmp_encoder.h"
#include "image_file.h"
#include "raster_image.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Size {
  const char* name;
  int width;
  int height;
};

// Every alpha from clear to opaque, colour under clear pixels too, and noise.
RasterImage Translucent(int width, int height) {
  RasterImage image;
  image.Create(width, height, 32, true);
  std::mt19937 random(static_cast<unsigned>(width * 31 + height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.Row(y) + 4 * x;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(random());
      p[3] = static_cast<std::uint8_t>((x + 3 * y) % 3 == 0 ? 0 : x * 7 + y);
    }
  }
  return image;
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Little32At(const Bytes& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

// ImageMagick's convert by Debian's own name for it, or by its plain one; "" when absent.
std::string Convert() {
  for (const char* name : {"convert-im6.q16", "convert"}) {
    if (std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0) {
      return name;
    }
  }
  return {};
}

// The image's pixels as R, G, B, A bytes, rows top first: ImageMagick's raw RGBA.
Bytes RgbaBytes(const RasterImage& image) {
  Bytes rgba;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = image.Row(y) + 4 * x;
      rgba.insert(rgba.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  return rgba;
}

class BmpWithAlpha : public ::testing::TestWithParam<Size> {};

// The toolkit's reading it back exactly is the save round trip's test.
TEST_P(BmpWithAlpha, IsThirtyTwoBitsWithItsChannelsNamed) {
  const testing::TempFolder folder;
  const RasterImage image = Translucent(GetParam().width, GetParam().height);
  const fs::path path = folder.Path("sheet.bmp");
  ASSERT_TRUE(WriteImageFile(image, path));
  const Bytes bmp = ReadAll(path);
  ASSERT_GE(bmp.size(), 122u);
  EXPECT_EQ(Little32At(bmp, 2), bmp.size()) << "the file's size";
  EXPECT_EQ(bmp[28], 32) << "bits a pixel";
  EXPECT_EQ(Little32At(bmp, 30), 3u) << "channels given by masks";
  EXPECT_EQ(Little32At(bmp, 66), 0xFF000000u) << "the alpha mask";
}

TEST_P(BmpWithAlpha, ImageMagickReadsBackExactly) {
  const std::string convert = Convert();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const testing::TempFolder folder;
  const RasterImage image = Translucent(GetParam().width, GetParam().height);
  const fs::path bmp = folder.Path("sheet.bmp");
  const fs::path raw = folder.Path("sheet.rgba");
  ASSERT_TRUE(WriteImageFile(image, bmp));
  const std::string command =
      convert + " '" + bmp.string() + "' -depth 8 'rgba:" + raw.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(ReadAll(raw), RgbaBytes(image));
}

TEST_P(BmpWithAlpha, WeReadImageMagicksBackExactly) {
  const std::string convert = Convert();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const testing::TempFolder folder;
  const RasterImage image = Translucent(GetParam().width, GetParam().height);
  const Bytes rgba = RgbaBytes(image);
  const fs::path raw = folder.Path("sheet.rgba");
  const fs::path bmp = folder.Path("sheet.bmp");
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
  std::ostringstream command;
  command << convert << " -size " << image.Width() << "x" << image.Height()
          << " -depth 8 'rgba:" << raw.string() << "' '" << bmp.string() << "'";
  ASSERT_EQ(std::system(command.str().c_str()), 0) << command.str();
  RasterImage loaded;
  const Status status = ReadImageFile(bmp, loaded);
  ASSERT_TRUE(status) << status.Message();
  EXPECT_TRUE(loaded.HasAlpha());
  ASSERT_EQ(loaded.Width(), image.Width());
  ASSERT_EQ(loaded.Height(), image.Height());
  EXPECT_EQ(RgbaBytes(loaded), rgba);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpWithAlpha,
                         ::testing::Values(Size{"OnePixel", 1, 1}, Size{"Small", 3, 2},
                                           Size{"Odd", 37, 23}, Size{"OneRow", 640, 1},
                                           Size{"Sheet", 384, 256}),
                         [](const ::testing::TestParamInfo<Size>& row) { return row.param.name; });

struct TakenCase {
  const char* name;
  int bits;
  bool alpha;
  bool taken;
};

// Pictures without alpha stay with the toolkit's writer, which writes them as they are.
TEST(BmpAlphaEncoder, TakesOnlyThirtyTwoBitsWithAlpha) {
  const TakenCase cases[] = {{"alpha", 32, true, true},
                             {"opaque", 32, false, false},
                             {"rgb", 24, false, false},
                             {"indexed", 8, false, false}};
  for (const TakenCase& c : cases) {
    RasterImage image;
    image.Allocate(4, 3, c.bits);
    image.SetAlphaFlags(c.alpha, false);
    EXPECT_EQ(BmpAlphaEncoderTakes(image), c.taken) << c.name;
  }
  EXPECT_FALSE(BmpAlphaEncoderTakes(RasterImage()));
}

}  // namespace
}  // namespace tessarin
