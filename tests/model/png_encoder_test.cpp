#include <gtest/gtest.h>

#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "adler32.h"
#include "byte_order.h"
#include "deflate_compressor.h"
#include "png_encoder.h"
#include "raster_image.h"
#include "image_file.h"

namespace tessarin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes of several characters: what matching finds in each differs.
Bytes Content(const std::string& kind, std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(size) + static_cast<unsigned>(kind.size()));
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    if (kind == "noise") {
      bytes[i] = static_cast<std::uint8_t>(random());
    } else if (kind == "runs") {
      // Long runs of one byte, as the rows of a clear area filter to.
      bytes[i] = (i / 1000) % 3 == 0 ? 0 : static_cast<std::uint8_t>(i / 1000);
    } else if (kind == "pixels") {
      // A four-byte pixel repeated with now and then a change, as a sprite row.
      bytes[i] = random() % 50 == 0 ? static_cast<std::uint8_t>(random())
                                    : static_cast<std::uint8_t>(i % 4 * 60 + i / 4096);
    } else {
      // Words from a small vocabulary: matches of every length and distance.
      static const char* const kWords[] = {"tessarin ", "sheet ", "layer ", "part ", "sprite "};
      const std::string word = kWords[(i / 7 + random() % 2) % 5];
      bytes[i] = static_cast<std::uint8_t>(word[i % word.size()]);
    }
  }
  return bytes;
}

// The zlib stream of bytes, compressed in the given number of parts and joined.
Bytes Compressed(const Bytes& bytes, std::size_t parts) {
  Bytes stream = {0x78, 0x01};
  std::uint32_t adler = 1;
  for (std::size_t part = 0; part < parts; ++part) {
    const std::size_t begin = bytes.size() * part / parts;
    const std::size_t end = bytes.size() * (part + 1) / parts;
    deflate::CompressPart(bytes.data(), begin, end, part + 1 == parts, stream);
    adler = deflate::Adler32Joined(adler, deflate::Adler32(bytes.data() + begin, end - begin),
                                   end - begin);
  }
  AppendBig32(stream, adler);
  return stream;
}

// Inflated by the toolkit's zlib, which also checks the stream's checksum.
Bytes Inflated(const Bytes& stream, std::size_t expected) {
  QByteArray input;
  for (int shift = 24; shift >= 0; shift -= 8) input.append(static_cast<char>(expected >> shift));
  input.append(reinterpret_cast<const char*>(stream.data()), static_cast<qsizetype>(stream.size()));
  const QByteArray output = qUncompress(input);
  return Bytes(output.begin(), output.end());
}

TEST(Deflate, PartsJoinIntoOneStreamThatZlibInflates) {
  for (const std::string kind : {"noise", "runs", "pixels", "words"}) {
    for (const std::size_t size : {0u, 1u, 4u, 259u, 32769u, 65543u, 300000u}) {
      for (const std::size_t parts : {1u, 2u, 5u}) {
        SCOPED_TRACE(kind + ", " + std::to_string(size) + " bytes in " + std::to_string(parts) +
                     " parts");
        const Bytes bytes = Content(kind, size);
        const Bytes stream = Compressed(bytes, parts);
        EXPECT_EQ(Inflated(stream, size), bytes);
        if (kind == "noise") {
          // Stored where coding does not pay: barely larger than the bytes.
          EXPECT_LE(stream.size(), size + size / 1000 + 16 * parts);
        } else if (size >= 32769) {
          EXPECT_LT(stream.size(), size / 3);
        }
      }
    }
  }
}

TEST(Deflate, Adler32MatchesItsDefinitionAndJoins) {
  // All 0xFF is the worst case for the sums between reductions; 300007 bytes take more than
  // one run of chunks, and a tail.
  for (const std::string kind : {"noise", "ff"}) {
    Bytes bytes = Content("noise", 300007);
    if (kind == "ff") bytes.assign(bytes.size(), 0xFF);
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : bytes) {
      a = (a + byte) % 65521;
      b = (b + a) % 65521;
    }
    const std::uint32_t whole = b << 16 | a;
    EXPECT_EQ(deflate::Adler32(bytes.data(), bytes.size()), whole) << kind;
    for (const std::size_t split : {0u, 1u, 33u, 131072u, 131073u, 300006u, 300007u}) {
      const std::uint32_t joined = deflate::Adler32Joined(
          deflate::Adler32(bytes.data(), split),
          deflate::Adler32(bytes.data() + split, bytes.size() - split), bytes.size() - split);
      EXPECT_EQ(joined, whole) << kind << " split at " << split;
    }
  }
}

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

class PngEncoderRoundTrip : public testing::TestWithParam<PictureCase> {};

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

// Past 512 KiB of filtered rows the picture is compressed in parts on several threads.
INSTANTIATE_TEST_SUITE_P(Pictures, PngEncoderRoundTrip,
                         testing::Values(PictureCase{"OnePixel", 1, 1, 32, true},
                                         PictureCase{"OddRgba", 37, 23, 32, true},
                                         PictureCase{"OneRow", 1500, 1, 32, true},
                                         PictureCase{"OneColumn", 1, 900, 24, false},
                                         PictureCase{"RgbaInParts", 700, 500, 32, true},
                                         PictureCase{"OpaqueInParts", 640, 480, 32, false},
                                         PictureCase{"RgbInParts", 801, 777, 24, false}),
                         [](const testing::TestParamInfo<PictureCase>& row) {
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
