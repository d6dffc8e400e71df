// Decoding against PngSuite: every valid file must give the reference pixels, under the
// standard rule exactly as decoded and under the classic rule with non-channel transparency
// (palette and colour key) dropped.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image_file.h"
#include "raster_image.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

fs::path SuiteDir() {
  return fs::path(TESSARIN_PNGSUITE_DIR);
}

std::vector<long> ReadNumbers(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<long> numbers;
  long current = -1;
  for (const char ch : text.str()) {
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      current = (current < 0 ? 0 : current * 10) + (ch - '0');
    } else if (current >= 0) {
      numbers.push_back(current);
      current = -1;
    }
  }
  return numbers;
}

struct Reference {
  std::vector<long> rgba;  // 8 bits a channel
  int tolerance = 0;
};

// Names read <feature><i|n><colour type><type letter><bit depth>, e.g. basn6a16.
bool SixteenBit(const std::string& stem) {
  return stem.compare(6, 2, "16") == 0;
}
bool HasAlphaChannel(const std::string& stem) {
  return stem[4] == '4' || stem[4] == '6';
}

Reference ReferenceFor(const std::string& stem) {
  const fs::path json = SuiteDir() / "json";
  Reference ref;
  if (!SixteenBit(stem)) {
    ref.rgba = ReadNumbers(json / (stem + ".json"));
    return ref;
  }
  // 16 bits narrowed to 8 may round either way.
  ref.tolerance = 1;
  if (fs::exists(json / (stem + "_to8.json"))) {
    ref.rgba = ReadNumbers(json / (stem + "_to8.json"));
  } else {
    ref.rgba = ReadNumbers(json / (stem + ".json"));
    for (long& v : ref.rgba) v = (v + 128) / 257;
  }
  return ref;
}

class PngSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(SuiteDir() / "png") || !fs::is_directory(SuiteDir() / "json")) {
      GTEST_SKIP() << "PngSuite not found at " << SuiteDir()
                   << "; configure with -DTESSARIN_PNGSUITE_DIR=<folder with png/ and json/>";
    }
  }

  static std::vector<fs::path> Files(bool broken) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(SuiteDir() / "png")) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() == ".png" && (name[0] == 'x') == broken) {
        files.push_back(entry.path());
      }
    }
    std::sort(files.begin(), files.end());
    return files;
  }
};

TEST_F(PngSuite, ValidFilesGiveTheReferencePixels) {
  const std::vector<fs::path> files = Files(false);
  ASSERT_GT(files.size(), 100u);
  for (const fs::path& file : files) {
    const std::string stem = file.stem().string();
    SCOPED_TRACE(stem);
    RasterImage image;
    const Status status = ReadImageFile(file, image);
    ASSERT_TRUE(status) << status.Message();
    const Reference ref = ReferenceFor(stem);
    ASSERT_EQ(ref.rgba.size(), 4u * static_cast<std::size_t>(image.Width()) *
                                   static_cast<std::size_t>(image.Height()));
    const bool classicAlpha = HasAlphaChannel(stem);
    int mismatches = 0;
    for (int y = 0; y < image.Height() && mismatches < 3; ++y) {
      for (int x = 0; x < image.Width() && mismatches < 3; ++x) {
        const long* want = &ref.rgba[4 * (static_cast<std::size_t>(y) * image.Width() + x)];
        for (const BlendRule rule : {BlendRule::Standard, BlendRule::Classic}) {
          const std::uint32_t p = image.PixelAt(x, y, rule);
          const long got[4] = {p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, p >> 24};
          const long wantAlpha = rule == BlendRule::Classic && !classicAlpha ? 255 : want[3];
          const long expected[4] = {want[0], want[1], want[2], wantAlpha};
          for (int c = 0; c < 4; ++c) {
            if (std::abs(got[c] - expected[c]) > ref.tolerance) {
              ADD_FAILURE() << (rule == BlendRule::Classic ? "classic" : "standard") << " pixel "
                            << x << "," << y << " channel "
                            << "RGBA"[c] << ": " << got[c] << " instead of " << expected[c];
              ++mismatches;
              break;
            }
          }
        }
      }
    }
  }
}

TEST_F(PngSuite, StoredFormats) {
  struct Case {
    const char* stem;
    int bits;
    bool alpha;
    bool key;
  };
  const Case cases[] = {
      {"basn0g01", 1, false, false},  {"basn3p01", 1, false, false},
      {"basn0g08", 8, false, false},  {"basn3p04", 8, false, false},
      {"tbbn3p08", 8, false, false},  {"basn2c08", 24, false, false},
      {"basn2c16", 32, false, false}, {"basn0g16", 32, false, false},
      {"basn6a08", 32, true, false},  {"basn4a16", 32, true, false},
      {"tbrn2c08", 32, false, true},  {"tbwn0g16", 32, false, true},
      {"tbbn2c16", 32, false, true},  {"tbbn0g04", 32, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stem);
    RasterImage image;
    ASSERT_TRUE(ReadImageFile(SuiteDir() / "png" / (std::string(c.stem) + ".png"), image));
    EXPECT_EQ(image.BitsPerPixel(), c.bits);
    EXPECT_EQ(image.HasAlpha(), c.alpha);
    EXPECT_EQ(image.HasKeyAlpha(), c.key);
    if (c.bits <= 8) {
      EXPECT_FALSE(image.Palette().empty());
    }
  }
}

TEST_F(PngSuite, BrokenFilesFailWithAReason) {
  const std::vector<fs::path> files = Files(true);
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    RasterImage image;
    const Status status = ReadImageFile(file, image);
    EXPECT_FALSE(status) << file;
    EXPECT_TRUE(image.IsNull()) << file;
    EXPECT_NE(status.Message().find(file.filename().string()), std::string::npos)
        << status.Message();
  }
}

}  // namespace
}  // namespace tessarin
