// Our PNG writer: what it writes, libpng reads back to the same pixels without a warning, zlib
// inflates to exactly the filtered rows, and our own reader reads back.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "image_file.h"
#include "libpng_reader.h"
#include "png_encoder.h"
#include "raster_image.h"

namespace tessarin {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct PictureCase {
  const char* name;
  int width;
  int height;
  int bits;
  bool alpha;
};

// Soft discs over noise in one corner: clear runs, solid runs and incompressible stretches.
RasterImage Picture(const PictureCase& c) {
  RasterImage image;
  image.Allocate(c.width, c.height, c.bits);
  image.SetAlphaFlags(c.alpha, false);
  std::mt19937 random(static_cast<unsigned>(c.width * 7 + c.height));
  const int bytesPerPixel = c.bits / 8;
  for (int y = 0; y < c.height; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < c.width; ++x) {
      std::uint8_t* pixel = row + bytesPerPixel * x;
      const double dx = (x % 90 - 45) / 30.0;
      const double dy = (y % 90 - 45) / 35.0;
      const double cover = std::clamp((1 - std::sqrt(dx * dx + dy * dy)) * 8, 0.0, 1.0);
      const bool noisy = x < c.width / 4 && y < c.height / 4;
      for (int i = 0; i < bytesPerPixel; ++i) {
        pixel[i] = noisy ? static_cast<std::uint8_t>(random())
                         : static_cast<std::uint8_t>(i == 3 ? 255 * cover : (x * (i + 1) + y) / 3);
      }
    }
  }
  return image;
}

class PngEncoderRoundTrip : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PngEncoderRoundTrip, TheToolkitDecodesEveryPixelBack) {
  const RasterImage image = Picture(GetParam());
  ASSERT_TRUE(PngEncoderTakes(image));
  const Bytes png = EncodePng(image);
  RasterImage decoded;
  const Status loaded = DecodeImageBytes(png.data(), png.size(), decoded);
  ASSERT_TRUE(loaded) << loaded.Message();
  ASSERT_EQ(decoded.Width(), image.Width());
  ASSERT_EQ(decoded.Height(), image.Height());
  EXPECT_EQ(decoded.HasAlpha(), image.HasAlpha());
  int wrong = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      wrong += decoded.PixelAt(x, y) != image.PixelAt(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(PngEncoderRoundTrip, LibpngReadsEveryPixelBackWithoutAWarning) {
  const RasterImage image = Picture(GetParam());
  const testing::LibpngReading theirs = testing::ReadWithLibpng(EncodePng(image));
  ASSERT_TRUE(theirs.read) << theirs.error;
  EXPECT_TRUE(theirs.warnings.empty()) << theirs.warnings.front();
  ASSERT_EQ(theirs.width, image.Width());
  ASSERT_EQ(theirs.height, image.Height());
  const int channels = image.HasAlpha() ? 4 : 3;
  ASSERT_EQ(theirs.channels, channels);
  int wrong = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* s =
          theirs.samples.data() + static_cast<std::size_t>((y * image.Width() + x) * channels);
      const std::uint32_t alpha = channels == 4 ? s[3] : 255u;
      const std::uint32_t want =
          alpha << 24 | std::uint32_t{s[0]} << 16 | std::uint32_t{s[1]} << 8 | s[2];
      wrong += image.PixelAt(x, y) != want ? 1 : 0;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(PngEncoderRoundTrip, ZlibInflatesExactlyTheFilteredRows) {
  const RasterImage image = Picture(GetParam());
  const Bytes png = EncodePng(image);
  Bytes stream;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::size_t length = std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 |
                               std::size_t{png[at + 2]} << 8 | png[at + 3];
    if (std::string(png.begin() + static_cast<std::ptrdiff_t>(at) + 4,
                    png.begin() + static_cast<std::ptrdiff_t>(at) + 8) == "IDAT") {
      stream.insert(stream.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                    png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
    }
    at += length + 12;
  }
  const std::size_t lineBytes =
      static_cast<std::size_t>(image.Width()) * (image.HasAlpha() ? 4 : 3) + 1;
  const std::size_t expected = lineBytes * static_cast<std::size_t>(image.Height());
  Bytes rows(expected + 1);
  z_stream z{};
  ASSERT_EQ(inflateInit(&z), Z_OK);
  z.next_in = stream.data();
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = rows.data();
  z.avail_out = static_cast<uInt>(rows.size());
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << (z.msg != nullptr ? z.msg : "");
  EXPECT_EQ(z.total_out, expected);
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the stream";
  inflateEnd(&z);
  for (std::size_t y = 0; y < static_cast<std::size_t>(image.Height()); ++y) {
    ASSERT_LE(rows[y * lineBytes], 4) << "row " << y;
  }
}

// Past 512 KiB of filtered rows the picture is filtered on several threads.
INSTANTIATE_TEST_SUITE_P(Pictures, PngEncoderRoundTrip,
                         ::testing::Values(PictureCase{"OnePixel", 1, 1, 32, true},
                                           PictureCase{"OddRgba", 37, 23, 32, true},
                                           PictureCase{"OddOpaque", 37, 23, 32, false},
                                           PictureCase{"OddRgb", 37, 23, 24, false},
                                           PictureCase{"OneRow", 1500, 1, 32, true},
                                           PictureCase{"OneColumn", 1, 900, 24, false},
                                           PictureCase{"LargeRgba", 700, 500, 32, true},
                                           PictureCase{"LargeOpaque", 640, 480, 32, false},
                                           PictureCase{"LargeRgb", 801, 777, 24, false}),
                         [](const ::testing::TestParamInfo<PictureCase>& row) {
                           return row.param.name;
                         });

TEST(PngEncoder, TakesTwentyFourAndThirtyTwoBitsOfSidesDecodersRead) {
  for (const int bits : {1, 8, 16, 24, 32}) {
    RasterImage image;
    image.Allocate(4, 4, bits);
    EXPECT_EQ(PngEncoderTakes(image), bits >= 24) << bits;
  }
  EXPECT_FALSE(PngEncoderTakes(RasterImage()));
  // libpng reads no side over a million pixels.
  for (const auto& [width, height] :
       {std::pair{1000000, 1}, {1, 1000000}, {1000001, 1}, {1, 1000001}}) {
    RasterImage image;
    image.Allocate(width, height, 24);
    EXPECT_EQ(PngEncoderTakes(image), width <= 1000000 && height <= 1000000)
        << width << " x " << height;
  }
}

}  // namespace
}  // namespace tessarin
