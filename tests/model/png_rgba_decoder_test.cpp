// Our decoder of 8-bit RGBA PNGs against the toolkit's: for every file, loading succeeds or
// fails as the toolkit's decoder does, with the same pixels. Files ours finds amiss go to the
// toolkit's, so the agreement holds for them too.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "adler32.h"
#include "byte_order.h"
#include "crc32.h"
#include "deflate_compressor.h"
#include "deflate_decompressor.h"
#include "raster_image.h"
#include "image_file.h"

namespace tessarin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendChunk(Bytes& png, const std::string& type, const Bytes& data) {
  AppendBig32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  AppendBig32(png, Crc32(png.data() + start, 4 + data.size()));
}

// A PNG of the given filtered rows (filter byte first), its zlib stream followed by extra.
Bytes RgbaPng(int width, int height, const Bytes& filtered, const Bytes& extra = {}) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  AppendBig32(header, static_cast<std::uint32_t>(width));
  AppendBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  AppendChunk(png, "IHDR", header);
  Bytes stream = {0x78, 0x01};
  deflate::CompressPart(filtered.data(), 0, filtered.size(), true, stream);
  AppendBig32(stream, deflate::Adler32(filtered.data(), filtered.size()));
  stream.insert(stream.end(), extra.begin(), extra.end());
  AppendChunk(png, "IDAT", stream);
  AppendChunk(png, "IEND", {});
  return png;
}

// Rows of random bytes, each under the given filter (5 is no filter PNG knows).
Bytes FilteredRows(int width, int height, int filter) {
  std::mt19937 random(static_cast<unsigned>(filter * 1000 + width));
  Bytes rows;
  for (int y = 0; y < height; ++y) {
    rows.push_back(static_cast<std::uint8_t>(filter < 0 ? y % 5 : filter));
    for (int i = 0; i < 4 * width; ++i) rows.push_back(static_cast<std::uint8_t>(random() % 7));
  }
  return rows;
}

// Soft discs, as the toolkit's writer writes them at a compression level.
Bytes ToolkitPng(int width, int height, int compression) {
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double dx = (x % 60 - 30) / 20.0;
      const double dy = (y % 60 - 30) / 25.0;
      const double cover = std::clamp((1 - std::sqrt(dx * dx + dy * dy)) * 6, 0.0, 1.0);
      image.setPixel(x, y, qRgba(x % 256, y % 256, (x * y) % 256, static_cast<int>(255 * cover)));
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  writer.setCompression(compression);
  EXPECT_TRUE(writer.write(image));
  return Bytes(bytes.begin(), bytes.end());
}

void ExpectAgreement(const Bytes& png) {
  RasterImage ours;
  const Status loaded = DecodeImageBytes(png.data(), png.size(), ours);
  const QImage theirs = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG")
                            .convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(static_cast<bool>(loaded), !theirs.isNull()) << loaded.Message();
  if (theirs.isNull()) return;
  ASSERT_EQ(ours.Width(), theirs.width());
  ASSERT_EQ(ours.Height(), theirs.height());
  int wrong = 0;
  for (int y = 0; y < theirs.height(); ++y) {
    for (int x = 0; x < theirs.width(); ++x) {
      wrong += ours.PixelAt(x, y, BlendRule::Standard) != theirs.pixel(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(PngRgbaDecoder, AgreesWithTheToolkitsDecoder) {
  struct Case {
    const char* name;
    Bytes png;
    const char* says = nullptr;  // what our message holds, where it refuses the file itself
  };
  Bytes wrongChecksum = RgbaPng(9, 7, FilteredRows(9, 7, -1));
  std::vector<Case> cases;
  for (const int filter : {0, 1, 2, 3, 4}) {
    cases.push_back({"one filter", RgbaPng(13, 6, FilteredRows(13, 6, filter))});
  }
  cases.push_back({"filters by row", RgbaPng(1, 11, FilteredRows(1, 11, -1))});
  // Levels 0 (stored blocks), 1 and 9; rows split over several IDAT chunks.
  for (const int compression : {0, 10, 100}) {
    cases.push_back({"toolkit's writer", ToolkitPng(300, 200, compression)});
  }
  cases.push_back({"unknown filter", RgbaPng(5, 5, FilteredRows(5, 5, 5)),
                   "row 1 of 5 names row filter 5, which does not exist"});
  cases.push_back({"data after the stream", RgbaPng(6, 4, FilteredRows(6, 4, 1), {1, 2, 3})});
  // Palettes where decoders read the file differently: a second one, one after the data.
  for (const std::size_t at : {std::size_t{33}, std::size_t{0}}) {
    Bytes png = RgbaPng(3, 3, FilteredRows(3, 3, 0));
    const std::size_t where = at != 0 ? at : png.size() - 12;
    Bytes palettes;
    for (int copies = at != 0 ? 2 : 1; copies > 0; --copies)
      AppendChunk(palettes, "PLTE", {1, 2, 3});
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(where), palettes.begin(), palettes.end());
    cases.push_back({"palettes", png});
  }
  cases.push_back({"a row short", RgbaPng(6, 5, FilteredRows(6, 4, 2)),
                   "its image data is corrupt or cut off in row 5 of 5"});
  cases.push_back({"a byte over", RgbaPng(6, 4, [] {
                     Bytes rows = FilteredRows(6, 4, 0);
                     rows.push_back(0);
                     return rows;
                   }())});
  // The zlib checksum, the four bytes before the IDAT chunk's own.
  const std::size_t adlerAt = wrongChecksum.size() - 12 - 8;
  wrongChecksum[adlerAt] ^= 1;
  const std::size_t idat = 33;
  const std::uint32_t idatLength = static_cast<std::uint32_t>(wrongChecksum[idat]) << 24 |
                                   wrongChecksum[idat + 1] << 16 | wrongChecksum[idat + 2] << 8 |
                                   wrongChecksum[idat + 3];
  const std::uint32_t crc = Crc32(wrongChecksum.data() + idat + 4, idatLength + 4);
  for (int i = 0; i < 4; ++i) {
    wrongChecksum[idat + 8 + idatLength + static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  }
  cases.push_back({"wrong zlib checksum", wrongChecksum});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectAgreement(c.png);
    if (c.says != nullptr) {
      RasterImage image;
      const Status status = DecodeImageBytes(c.png.data(), c.png.size(), image);
      EXPECT_NE(status.Message().find(c.says), std::string::npos) << status.Message();
    }
  }
}

TEST(Inflate, ReadsZlibsStreamsAndTellsAnyOtherLength) {
  std::mt19937 random(5);
  Bytes bytes(100000);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = random() % 3 == 0 ? static_cast<std::uint8_t>(random())
                                 : static_cast<std::uint8_t>(i / 300);
  }
  for (const int level : {0, 1, 6, 9}) {
    SCOPED_TRACE(level);
    const QByteArray compressed =
        qCompress(bytes.data(), static_cast<qsizetype>(bytes.size()), level);
    // qCompress puts the length in front of the zlib stream, and the stream has a two-byte
    // header and the four-byte checksum.
    const auto* stream = reinterpret_cast<const std::uint8_t*>(compressed.constData()) + 6;
    const std::size_t streamSize = static_cast<std::size_t>(compressed.size()) - 6 - 4;
    Bytes out(bytes.size() + 1);
    const deflate::InflateResult whole =
        deflate::Inflate(stream, streamSize, out.data(), bytes.size());
    ASSERT_TRUE(whole.Exact(bytes.size()));
    EXPECT_EQ(*whole.consumed, streamSize);
    out.resize(bytes.size());
    EXPECT_EQ(out, bytes);
    // Less room: as much as fits, and no end. More room, or half the stream: no end either.
    const deflate::InflateResult over =
        deflate::Inflate(stream, streamSize, out.data(), bytes.size() - 1);
    EXPECT_EQ(over.produced, bytes.size() - 1);
    EXPECT_FALSE(over.consumed);
    Bytes larger(bytes.size() + 1);
    EXPECT_FALSE(
        deflate::Inflate(stream, streamSize, larger.data(), larger.size()).Exact(larger.size()));
    const deflate::InflateResult half =
        deflate::Inflate(stream, streamSize / 2, larger.data(), bytes.size());
    EXPECT_LT(half.produced, bytes.size());
    EXPECT_FALSE(half.Exact(bytes.size()));
  }
}

}  // namespace
}  // namespace tessarin
