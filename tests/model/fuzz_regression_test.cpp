// Inputs the fuzz targets once failed on (fuzz/regressions), replayed through the model.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_file.h"
#include "png_encoder.h"
#include "raster_image.h"
#include "set_credits.h"
#include "set_extras.h"
#include "set_state.h"
#include "setting_file.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::vector<fs::path> Regressions(const char* target) {
  const fs::path folder = fs::path(TESSARIN_SOURCE_DIR) / "fuzz" / "regressions" / target;
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
       it.increment(error)) {
    if (it->is_regular_file()) files.push_back(it->path());
  }
  return files;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Status LoadBytes(RasterImage& image, const std::string& bytes) {
  return DecodeImageBytes(bytes.data(), bytes.size(), image);
}

// 1 x 1 grey, up to and including its image data.
const std::string kGreyPixelUpToIend =
    "\x89PNG\r\n\x1a\n"
    "\x00\x00\x00\x0dIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00\x3a\x7e\x9b\x55"
    "\x00\x00\x00\x0aIDAT\x78\x9c\x63\x68\x00\x00\x00\x82\x00\x81\x77\xcd\x72\xb6"s;
const std::string kIend = "\x00\x00\x00\x00IEND\xae\x42\x60\x82"s;

TEST(FuzzRegressions, ImagesLoadOrFailLeavingThemEmpty) {
  for (const fs::path& file : Regressions("fuzz_raster_image")) {
    SCOPED_TRACE(file.filename().string());
    RasterImage image;
    const Status status = LoadBytes(image, ReadBytes(file));
    if (!status) {
      EXPECT_TRUE(image.IsNull());
      EXPECT_FALSE(status.Message().empty());
      continue;
    }
    // A PNG our encoder writes of it loads back: a BMP 15 million pixels wide once made one
    // that decoders refuse.
    if (PngEncoderTakes(image)) {
      const std::vector<std::uint8_t> png = EncodePng(image);
      RasterImage reloaded;
      ASSERT_TRUE(DecodeImageBytes(png.data(), png.size(), reloaded));
      EXPECT_EQ(reloaded.Width(), image.Width());
    }
  }
}

// A set.json that failed once left no grid and no animations, where a set without the file
// has both; names holding line breaks once broke a failure over lines. The first byte is the
// target's choice of size; the kept inputs' "0" is 192 x 192.
TEST(FuzzRegressions, SetFilesFailOnOneLineLeavingTheDefaults) {
  SetExtras none;
  ASSERT_TRUE(ParseSetExtras({}, 192, 192, none));
  for (const fs::path& file : Regressions("fuzz_set_extras")) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = ReadBytes(file);
    const std::string_view text = std::string_view(bytes).substr(1);
    SetCredits credits;
    const Status read = credits.Parse(text);
    EXPECT_EQ(read.Message().find('\n'), std::string::npos) << read.Message();
    SetExtras extras;
    const Status status = ParseSetExtras(text, 192, 192, extras);
    if (status) continue;
    EXPECT_EQ(status.Message().find('\n'), std::string::npos) << status.Message();
    EXPECT_EQ(extras.grid, none.grid);
    EXPECT_EQ(extras.animations, none.animations);
  }
}

TEST(FuzzRegressions, SettingFilesParse) {
  for (const fs::path& file : Regressions("fuzz_setting_file")) {
    SCOPED_TRACE(file.filename().string());
    SetState state;
    ParseSettingFile(ReadBytes(file), state);
    EXPECT_EQ(state.orderKeys.size(), state.drawOrder.size());
  }
}

// The decoder allocated and cleared a chunk's declared length (here about 2 GB) before
// finding that the file ends long before it.
TEST(FuzzRegressions, ChunkLongerThanTheFileIsRefusedBeforeDecoding) {
  const fs::path file = fs::path(TESSARIN_SOURCE_DIR) /
                        "fuzz/regressions/fuzz_raster_image/chunk-longer-than-the-file.png";
  RasterImage image;
  const Status status = LoadBytes(image, ReadBytes(file));
  ASSERT_FALSE(status);
  EXPECT_NE(status.Message().find("cut short"), std::string::npos) << status.Message();
  EXPECT_NE(status.Message().find("declares 2030043163 bytes"), std::string::npos)
      << status.Message();
}

TEST(FuzzRegressions, ChunkLongerThanTheFileAfterTheImageDataIsRefused) {
  RasterImage image;
  const Status status = LoadBytes(image, kGreyPixelUpToIend + "\x7f\xff\xff\xfftEXtab"s + kIend);
  ASSERT_FALSE(status);
  EXPECT_NE(status.Message().find("cut short"), std::string::npos) << status.Message();
  EXPECT_TRUE(image.IsNull());
}

TEST(FuzzRegressions, OnlyTheFinalChecksumMissingStillLoads) {
  RasterImage image;
  ASSERT_TRUE(LoadBytes(image, kGreyPixelUpToIend + kIend));
  ASSERT_TRUE(LoadBytes(image, kGreyPixelUpToIend + kIend.substr(0, 8)))
      << "IEND without its checksum";
  EXPECT_EQ(image.Width(), 1);
  EXPECT_EQ(image.PixelAt(0, 0) & 0xFFu, 0x80u);
}

}  // namespace
}  // namespace tessarin
