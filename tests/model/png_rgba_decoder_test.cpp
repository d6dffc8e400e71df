// Our reader of 8-bit RGBA PNGs held to libpng: every file zlib's users write is read by our
// reader itself to exactly libpng's samples, and a broken file loads exactly when libpng reads
// it (our reader hands some on to the toolkit's libpng), with one deliberate difference: image
// data beyond the rows is refused, where libpng reads the rows and warns.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "image_file.h"
#include "libpng_reader.h"
#include "png_chunk_scan.h"
#include "png_rgba_decoder.h"
#include "raster_image.h"
#include "zlib_png_writer.h"

namespace tessarin {
namespace {

using testing::Bytes;
using testing::FilteredRows;
using testing::LibpngReading;
using testing::PngFile;
using testing::ReadWithLibpng;
using testing::RowFilter;
using testing::VariedSamples;
using testing::ZlibStream;
using testing::ZlibWay;

constexpr ZlibWay kLevel6 = {"Level6", 6, Z_DEFAULT_STRATEGY};

// How many of our pixels differ from libpng's RGBA samples, over the corner we kept.
int PixelsUnlike(const RasterImage& ours, const LibpngReading& theirs) {
  int unlike = 0;
  for (int y = 0; y < std::min(theirs.height, ours.Height()); ++y) {
    for (int x = 0; x < std::min(theirs.width, ours.Width()); ++x) {
      const std::uint8_t* s =
          theirs.samples.data() + 4 * (static_cast<std::size_t>(y) * theirs.width + x);
      const std::uint32_t want =
          std::uint32_t{s[3]} << 24 | std::uint32_t{s[0]} << 16 | std::uint32_t{s[1]} << 8 | s[2];
      unlike += ours.PixelAt(x, y, BlendRule::Standard) != want ? 1 : 0;
    }
  }
  return unlike;
}

// Our reader alone, without the toolkit's behind it.
RgbaPngReading ReadByOurReader(const Bytes& png, RasterImage& image, KeptCorner keep = {}) {
  const PngFacts facts = ScanPngChunks(png.data(), png.size());
  return DecodeRgbaPng(png.data(), facts.imageData, static_cast<int>(facts.width),
                       static_cast<int>(facts.height), image, keep);
}

struct Size {
  int width;
  int height;
};

void PrintTo(const Size& size, std::ostream* os) {
  *os << size.width << "x" << size.height;
}

class ZlibWrittenPng : public ::testing::TestWithParam<std::tuple<ZlibWay, Size>> {};

TEST_P(ZlibWrittenPng, OurReaderReadsLibpngsPixels) {
  const auto& [way, size] = GetParam();
  const Bytes samples = VariedSamples(size.width, size.height, 4, 7);
  for (const RowFilter filter : {RowFilter::None, RowFilter::Sub, RowFilter::Up, RowFilter::Average,
                                 RowFilter::Paeth, RowFilter::ByTurns}) {
    const Bytes stream = ZlibStream(FilteredRows(samples, size.width, size.height, 4, filter), way);
    // One IDAT chunk, or pieces of a few bytes as some writers stream them.
    for (const std::size_t piece : {std::size_t{0}, std::size_t{5}}) {
      SCOPED_TRACE("filter " + std::to_string(static_cast<int>(filter)) + ", IDAT pieces of " +
                   std::to_string(piece));
      const Bytes png = PngFile(size.width, size.height, 6, stream, {piece});
      const LibpngReading theirs = ReadWithLibpng(png);
      ASSERT_TRUE(theirs.read) << theirs.error;
      ASSERT_TRUE(theirs.warnings.empty()) << theirs.warnings.front();
      RasterImage ours;
      const RgbaPngReading reading = ReadByOurReader(png, ours);
      ASSERT_EQ(reading.outcome, RgbaPngReading::Outcome::Read) << reading.damage;
      ASSERT_EQ(ours.Width(), size.width);
      ASSERT_EQ(ours.Height(), size.height);
      EXPECT_EQ(PixelsUnlike(ours, theirs), 0);
      // The top-left corner alone, as a smaller sheet keeps it.
      const KeptCorner corner{(size.width + 1) / 2, (size.height + 1) / 2};
      RasterImage kept;
      ASSERT_EQ(ReadByOurReader(png, kept, corner).outcome, RgbaPngReading::Outcome::Read);
      ASSERT_EQ(kept.Width(), corner.width);
      ASSERT_EQ(kept.Height(), corner.height);
      EXPECT_EQ(PixelsUnlike(kept, theirs), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WaysAndSizes, ZlibWrittenPng,
                         ::testing::Combine(::testing::ValuesIn(testing::kZlibWays),
                                            ::testing::Values(Size{1, 1}, Size{2, 3}, Size{5, 1},
                                                              Size{1, 7}, Size{33, 17},
                                                              Size{64, 64}, Size{300, 200})),
                         [](const ::testing::TestParamInfo<std::tuple<ZlibWay, Size>>& row) {
                           const Size size = std::get<1>(row.param);
                           return std::string(std::get<0>(row.param).name) + "_" +
                                  std::to_string(size.width) + "x" + std::to_string(size.height);
                         });

// Samples from a few values near the ends of the byte: predictors tie and sums wrap all the
// time, at every width around the four pixels our reader takes at once.
TEST(PngRgbaDecoder, UndoesEveryFilterWhereItsPredictorsTieOrWrap) {
  static constexpr std::uint8_t kValues[] = {0, 1, 2, 127, 128, 254, 255};
  std::mt19937 random(11);
  for (int width = 1; width <= 9; ++width) {
    const int height = 6;
    Bytes samples(static_cast<std::size_t>(width * height * 4));
    for (std::uint8_t& sample : samples) sample = kValues[random() % 7];
    for (const RowFilter filter : {RowFilter::None, RowFilter::Sub, RowFilter::Up,
                                   RowFilter::Average, RowFilter::Paeth, RowFilter::ByTurns}) {
      SCOPED_TRACE("width " + std::to_string(width) + ", filter " +
                   std::to_string(static_cast<int>(filter)));
      const Bytes png = PngFile(
          width, height, 6, ZlibStream(FilteredRows(samples, width, height, 4, filter), kLevel6));
      RasterImage ours;
      ASSERT_EQ(ReadByOurReader(png, ours).outcome, RgbaPngReading::Outcome::Read);
      EXPECT_EQ(PixelsUnlike(ours, ReadWithLibpng(png)), 0);
    }
  }
}

// Rows that come out clear are left unwritten in the fresh image; rows whose filtered bytes
// are zero but which repeat a row above, or are clear only in the kept corner, must not be.
TEST(PngRgbaDecoder, ReadsClearRowsAndRowsThatRepeatTheOneAbove) {
  struct Layout {
    const char* name;
    const char* rows;  // one letter a row: '.' clear, 'a' or 'b' a varied row, 'r' right half
  };
  static constexpr Layout kLayouts[] = {
      {"ClearAroundContent", "..aa..b."},   {"RepeatedUnderClear", "a.aab.bb"},
      {"ClearInTheKeptCorner", "rr.ar.r."}, {"AllClear", "......"},
      {"ContentOnlyInLastRow", ".......b"},
  };
  for (const Layout& layout : kLayouts) {
    for (const int width : {1, 5, 8, 37}) {
      const int height = static_cast<int>(std::char_traits<char>::length(layout.rows));
      const Bytes varied = VariedSamples(width, 2, 4, 3);
      const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
      Bytes samples;
      for (int y = 0; y < height; ++y) {
        const char kind = layout.rows[y];
        Bytes row(rowBytes, 0);
        if (kind == 'a' || kind == 'b') {
          const std::size_t from = kind == 'a' ? 0 : rowBytes;
          std::copy_n(varied.begin() + static_cast<std::ptrdiff_t>(from), rowBytes, row.begin());
        } else if (kind == 'r') {
          // Clear over the left half, which is all a kept corner of half the width holds.
          for (std::size_t i = 4 * static_cast<std::size_t>((width + 1) / 2); i < rowBytes; ++i) {
            row[i] = static_cast<std::uint8_t>(i * 37 + 1);
          }
        }
        samples.insert(samples.end(), row.begin(), row.end());
      }
      for (const RowFilter filter : {RowFilter::None, RowFilter::Sub, RowFilter::Up,
                                     RowFilter::Average, RowFilter::Paeth, RowFilter::ByTurns}) {
        SCOPED_TRACE(std::string(layout.name) + ", width " + std::to_string(width) + ", filter " +
                     std::to_string(static_cast<int>(filter)));
        const Bytes png = PngFile(
            width, height, 6, ZlibStream(FilteredRows(samples, width, height, 4, filter), kLevel6));
        const LibpngReading theirs = ReadWithLibpng(png);
        ASSERT_TRUE(theirs.read) << theirs.error;
        RasterImage ours;
        ASSERT_EQ(ReadByOurReader(png, ours).outcome, RgbaPngReading::Outcome::Read);
        EXPECT_EQ(PixelsUnlike(ours, theirs), 0);
        RasterImage kept;
        const KeptCorner corner{(width + 1) / 2, height};
        ASSERT_EQ(ReadByOurReader(png, kept, corner).outcome, RgbaPngReading::Outcome::Read);
        EXPECT_EQ(PixelsUnlike(kept, theirs), 0);
      }
    }
  }
}

// How a broken file must fare.
enum class Expect {
  AsLibpng,  // loads exactly when libpng reads it, to the same pixels
  // Refused as holding more than its rows, which libpng reads with a warning.
  RefusedForSurplus,
};

struct BrokenCase {
  BrokenCase(std::string caseName, Bytes bytes, Expect expected = Expect::AsLibpng,
             std::string refusal = {})
      : name(std::move(caseName)), png(std::move(bytes)), expect(expected), says(refusal) {}
  std::string name;
  Bytes png;
  Expect expect;
  std::string says;  // part of our refusal, where one is expected
};

constexpr int kWidth = 40;
constexpr int kHeight = 30;

Bytes Rows(RowFilter filter = RowFilter::ByTurns) {
  return FilteredRows(VariedSamples(kWidth, kHeight, 4, 3), kWidth, kHeight, 4, filter);
}

Bytes Png(const Bytes& stream, const std::vector<std::size_t>& chunkSizes = {0}) {
  return PngFile(kWidth, kHeight, 6, stream, chunkSizes);
}

Bytes Joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Cut(const Bytes& bytes, std::size_t keep) {
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
}

Bytes Adler32Bytes(const Bytes& rows) {
  Bytes out;
  testing::PutBig32(out, testing::Adler32Of(rows));
  return out;
}

std::vector<BrokenCase> BrokenCases() {
  const Bytes rows = Rows();
  const Bytes stream = ZlibStream(rows, kLevel6);
  const std::size_t size = stream.size();
  // The rows, then a sync flush's empty stored block, and no final block yet.
  const Bytes open = ZlibStream(rows, kLevel6, false);
  const Bytes finalBlockAndChecksum = Joined({0x03, 0x00}, Adler32Bytes(rows));
  Bytes wrongChecksum = stream;
  wrongChecksum.back() ^= 1;
  Bytes oneRowShort(rows.begin(), rows.end() - 4 * kWidth - 1);
  Bytes unknownFilter = rows;
  unknownFilter[(4 * kWidth + 1) * 4] = 5;

  std::vector<BrokenCase> cases = {
      {"StreamCutInHalf", Png(Cut(stream, size / 2)), Expect::AsLibpng, "cut off in row"},
      {"StreamWithoutChecksum", Png(Cut(stream, size - 4)), Expect::AsLibpng,
       "cut off before its checksum"},
      {"ChecksumCutShort", Png(Cut(stream, size - 2))},
      {"OnlyTheHeader", Png(Cut(stream, 2))},
      {"WrongChecksum", Png(wrongChecksum)},
      {"WrongChecksumInAChunkOfItsOwn", Png(wrongChecksum, {size - 4, 4})},
      {"BytesAfterTheChecksum", Png(Joined(stream, {1, 2, 3}))},
      {"BytesAfterTheChecksumInAChunkOfTheirOwn", Png(Joined(stream, {1, 2, 3}), {size, 3})},
      {"EmptyStoredBlockBeforeTheEnd", Png(Joined(open, finalBlockAndChecksum))},
      {"ChecksumInAChunkOfItsOwn", Png(Joined(open, finalBlockAndChecksum), {open.size() + 2})},
      {"IdatChunksOfOneByte", Png(stream, {1})},
      {"NoFinalBlock", Png(open)},
      {"FinalBlockWithoutChecksum", Png(Joined(open, {0x03, 0x00}))},
      {"GarbageAfterTheRows", Png(Joined(open, {0xFF, 0xFF, 0xFF}))},
      {"GarbageAfterTheRowsInAChunkOfItsOwn",
       Png(Joined(open, {0xFF, 0xFF, 0xFF}), {open.size(), 3})},
      {"OneRowShort", Png(ZlibStream(oneRowShort, kLevel6)), Expect::AsLibpng,
       "cut off in row 30 of 30"},
      {"BrokenAfterTenRows",
       Png(Joined(ZlibStream(Cut(rows, 10 * (4 * kWidth + 1)), kLevel6, false),
                  {0xFF, 0xFF, 0xFF, 0xFF})),
       Expect::AsLibpng, "corrupt or cut off in row 11 of 30"},
      {"BrokenWithinRowSeven",
       Png(Joined(ZlibStream(Cut(rows, 6 * (4 * kWidth + 1) + 9), kLevel6, false),
                  {0xFF, 0xFF, 0xFF, 0xFF})),
       Expect::AsLibpng, "corrupt or cut off in row 7 of 30"},
      {"OneByteShort", Png(ZlibStream(Cut(rows, rows.size() - 1), kLevel6))},
      {"UnknownRowFilter", Png(ZlibStream(unknownFilter, kLevel6)), Expect::AsLibpng,
       "row 5 of 30 names row filter 5, which does not exist"},
      {"OneByteOver", Png(ZlibStream(Joined(rows, {0}), kLevel6)), Expect::RefusedForSurplus},
      {"AMegabyteOfZerosOver", Png(ZlibStream(Joined(rows, Bytes(1 << 20, 0)), kLevel6)),
       Expect::RefusedForSurplus},
      {"SurplusWithAWrongChecksum", Png([&] {
         Bytes over = ZlibStream(Joined(rows, Bytes(5000, 7)), kLevel6);
         over.back() ^= 1;
         return over;
       }()),
       Expect::RefusedForSurplus},
  };
  // A header naming a window smaller than the distances the stream reaches back, which libpng
  // reads as the toolkit has it read them.
  Bytes smallWindow = ZlibStream(Rows(RowFilter::None), kLevel6);
  smallWindow[0] = 0x28;  // a 1 KiB window
  smallWindow[1] = static_cast<std::uint8_t>(31 - (smallWindow[0] * 256) % 31);
  cases.push_back({"WindowSmallerThanItsMatches", Png(smallWindow)});
  // Bits flipped all over streams of each kind of block, checksums of the chunks fixed up.
  for (const ZlibWay& way : {testing::kZlibWays[0], kLevel6, testing::kZlibWays[7]}) {
    const Bytes base = Png(ZlibStream(rows, way));
    const std::size_t dataAt = 33 + 8;
    const std::size_t dataSize = base.size() - dataAt - 4 - 12;
    for (std::size_t i = 0; i < 24; ++i) {
      const std::size_t bit = (i * 7919 + 13) % (dataSize * 8);
      Bytes flipped = base;
      flipped[dataAt + bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
      testing::FixChunkChecksums(flipped);
      cases.push_back({std::string(way.name) + "BitFlippedAt" + std::to_string(bit), flipped});
    }
  }
  return cases;
}

TEST(PngRgbaDecoder, LoadsABrokenFileExactlyWhenLibpngReadsIt) {
  for (const BrokenCase& c : BrokenCases()) {
    SCOPED_TRACE(c.name);
    const LibpngReading theirs = ReadWithLibpng(c.png);
    RasterImage ours;
    const Status status = DecodeImageBytes(c.png.data(), c.png.size(), ours);
    if (c.expect == Expect::RefusedForSurplus) {
      EXPECT_TRUE(theirs.read) << theirs.error;
      EXPECT_FALSE(theirs.warnings.empty());
      EXPECT_FALSE(status);
      EXPECT_NE(status.Message().find("holds more than its 40 x 30 pixels"), std::string::npos)
          << status.Message();
    } else {
      EXPECT_EQ(static_cast<bool>(status), theirs.read)
          << "ours: " << status.Message() << "; libpng: " << theirs.error;
      if (status && theirs.read) {
        EXPECT_EQ(PixelsUnlike(ours, theirs), 0);
      }
    }
    if (!status) {
      EXPECT_TRUE(ours.IsNull());
    }
    if (!c.says.empty()) {
      EXPECT_NE(status.Message().find(c.says), std::string::npos) << status.Message();
    }
    // Keeping only a corner, the whole file is checked all the same.
    for (const KeptCorner corner : {KeptCorner{7, 5}, KeptCorner{kWidth, 1}}) {
      RasterImage kept;
      const Status keptStatus = DecodeImageBytes(c.png.data(), c.png.size(), kept, corner);
      EXPECT_EQ(keptStatus.Message(), status.Message());
      if (keptStatus) {
        EXPECT_EQ(kept.Height(), corner.height);
        EXPECT_EQ(PixelsUnlike(kept, theirs), 0);
      }
    }
  }
}

TEST(PngRgbaDecoder, ReadsTheEmptyStoredBlockOfASyncFlushItself) {
  const Bytes rows = Rows();
  const Bytes png =
      Png(Joined(ZlibStream(rows, kLevel6, false), Joined({0x03, 0x00}, Adler32Bytes(rows))));
  RasterImage ours;
  const RgbaPngReading reading = ReadByOurReader(png, ours);
  ASSERT_EQ(reading.outcome, RgbaPngReading::Outcome::Read) << reading.damage;
  EXPECT_EQ(PixelsUnlike(ours, ReadWithLibpng(png)), 0);
}

// A 1 x 1 picture whose image data inflates to 16 MiB of zeros, and then breaks off: had we
// inflated it all, we would have found it cut short; refused for its surplus, we did not.
TEST(PngRgbaDecoder, RefusesDataBeyondItsRowsWhereTheSurplusStarts) {
  Bytes data = {0, 1, 2, 3, 4};
  data.resize(data.size() + (16u << 20), 0);
  Bytes stream = ZlibStream(data, {"Level1", 1, Z_DEFAULT_STRATEGY});
  stream.resize(stream.size() - 64);
  const Bytes png = PngFile(1, 1, 6, stream);
  RasterImage ours;
  const RgbaPngReading reading = ReadByOurReader(png, ours);
  EXPECT_EQ(reading.outcome, RgbaPngReading::Outcome::Damaged);
  EXPECT_EQ(reading.damage, "its image data holds more than its 1 x 1 pixels");
  EXPECT_TRUE(ours.IsNull());
  const Status status = DecodeImageBytes(png.data(), png.size(), ours);
  EXPECT_FALSE(status);
  EXPECT_FALSE(ReadWithLibpng(png).read);
}

}  // namespace
}  // namespace tessarin
