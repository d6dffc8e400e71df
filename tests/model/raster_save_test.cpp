#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "image_file.h"
#include "raster_image.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

enum class Kind { Alpha32, Opaque32, Rgb24, Indexed8, Mono };

const char* KindName(Kind kind) {
  static const char* const kNames[] = {"alpha32", "opaque32", "rgb24", "indexed8", "mono"};
  return kNames[static_cast<int>(kind)];
}

RasterImage Sample(Kind kind) {
  static constexpr int kBits[] = {32, 32, 24, 8, 1};
  std::mt19937 random(static_cast<unsigned>(kind) + 5);
  RasterImage image;
  image.Allocate(37, 23, kBits[static_cast<int>(kind)]);
  for (int y = 0; y < image.Height(); ++y) {
    for (std::size_t i = 0; i < image.Stride(); ++i) {
      image.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
  }
  image.SetAlphaFlags(kind == Kind::Alpha32, false);
  if (kind == Kind::Indexed8 || kind == Kind::Mono) {
    std::vector<std::uint32_t> palette(kind == Kind::Mono ? 2 : 256);
    for (std::uint32_t& entry : palette) entry = static_cast<std::uint32_t>(random()) | 0xFF000000u;
    image.SetPalette(palette);
  }
  return image;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// How much of a picture with alpha an encoder keeps.
enum class Fidelity {
  Exact,
  // Stored premultiplied: colour rounds off under partial alpha and is lost under alpha 0.
  Premultiplied,
  // Colour under alpha 0 is dropped.
  VisibleOnly,
};

struct RoundTrip {
  const char* extension;
  Kind kind;
  Fidelity fidelity;
};

// Test names, not bytes, in listings.
void PrintTo(const RoundTrip& row, std::ostream* os) {
  *os << row.extension;
}

class SaveRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(SaveRoundTrip, PixelsComeBackUnchanged) {
  const RoundTrip& c = GetParam();
  const TempFolder folder;
  const fs::path path = folder.Path(std::string("out.") + c.extension);
  const RasterImage image = Sample(c.kind);
  const Status saved = WriteImageFile(image, path);
  if (!saved && saved.Message().find("no encoder") != std::string::npos) {
    GTEST_SKIP() << "no " << c.extension << " encoder here: " << saved.Message();
  }
  ASSERT_TRUE(saved) << saved.Message();
  RasterImage loaded;
  const Status status = ReadImageFile(path, loaded);
  ASSERT_TRUE(status) << status.Message();
  ASSERT_EQ(loaded.Width(), image.Width());
  ASSERT_EQ(loaded.Height(), image.Height());
  const bool alpha = image.HasAlpha();
  EXPECT_EQ(loaded.HasAlpha(), alpha);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      std::uint32_t want = image.PixelAt(x, y, BlendRule::Standard);
      const std::uint32_t got = loaded.PixelAt(x, y, BlendRule::Standard);
      if (!alpha) want |= 0xFF000000u;
      const std::uint32_t a = want >> 24;
      if (a == 0 && c.fidelity != Fidelity::Exact) {
        ASSERT_EQ(got >> 24, 0u) << x << "," << y;
        continue;
      }
      if (c.fidelity == Fidelity::Premultiplied) {
        ASSERT_EQ(got >> 24, a) << x << "," << y;
        for (int shift = 0; shift < 24; shift += 8) {
          const int diff =
              static_cast<int>(got >> shift & 0xFF) - static_cast<int>(want >> shift & 0xFF);
          ASSERT_LE(std::abs(diff), 128 / static_cast<int>(a) + 1) << x << "," << y;
        }
        continue;
      }
      ASSERT_EQ(got, want) << x << "," << y;
    }
  }
}

constexpr Fidelity kExact = Fidelity::Exact;

INSTANTIATE_TEST_SUITE_P(
    Formats, SaveRoundTrip,
    ::testing::Values(
        RoundTrip{"png", Kind::Alpha32, kExact}, RoundTrip{"png", Kind::Opaque32, kExact},
        RoundTrip{"png", Kind::Rgb24, kExact}, RoundTrip{"png", Kind::Indexed8, kExact},
        RoundTrip{"png", Kind::Mono, kExact}, RoundTrip{"PNG", Kind::Alpha32, kExact},
        RoundTrip{"bmp", Kind::Rgb24, kExact}, RoundTrip{"bmp", Kind::Indexed8, kExact},
        RoundTrip{"bmp", Kind::Alpha32, kExact}, RoundTrip{"bmp", Kind::Opaque32, kExact},
        RoundTrip{"tif", Kind::Rgb24, kExact},
        RoundTrip{"tiff", Kind::Alpha32, Fidelity::Premultiplied},
        RoundTrip{"webp", Kind::Rgb24, kExact},
        RoundTrip{"webp", Kind::Alpha32, Fidelity::VisibleOnly}),
    [](const ::testing::TestParamInfo<RoundTrip>& param) {
      return std::string(param.param.extension) + "_" + KindName(param.param.kind);
    });

TEST(RasterSave, UpperCaseExtensionStillPicksPng) {
  const TempFolder folder;
  const fs::path path = folder.Path("out.PNG");
  ASSERT_TRUE(WriteImageFile(Sample(Kind::Rgb24), path));
  EXPECT_EQ(ReadAll(path).substr(0, 8), std::string("\x89PNG\r\n\x1A\n"));
}

TEST(RasterSave, WithoutAnEncoderNothingIsWritten) {
  const TempFolder folder;
  for (const char* name : {"out.xyz", "out", "out.png.", "png"}) {
    const Status status = WriteImageFile(Sample(Kind::Rgb24), folder.Path(name));
    EXPECT_FALSE(status) << name;
    EXPECT_NE(status.Message().find(name), std::string::npos) << status.Message();
  }
  EXPECT_NE(WriteImageFile(Sample(Kind::Rgb24), folder.Path("out.xyz")).Message().find("\"xyz\""),
            std::string::npos);
  EXPECT_TRUE(fs::is_empty(folder.Root()));
}

TEST(RasterSave, AFailedSaveLeavesTheExistingFileAlone) {
  const TempFolder folder;
  const std::string old = "old contents, not an image";
  const fs::path xyz = folder.WriteFile("keep.xyz", old);
  EXPECT_FALSE(WriteImageFile(Sample(Kind::Rgb24), xyz));
  EXPECT_EQ(ReadAll(xyz), old);

  RasterImage empty;
  const fs::path png = folder.WriteFile("keep.png", old);
  EXPECT_FALSE(WriteImageFile(empty, png));
  EXPECT_EQ(ReadAll(png), old);

  const fs::path nowhere = folder.Path("no such folder") / "out.png";
  const Status status = WriteImageFile(Sample(Kind::Rgb24), nowhere);
  EXPECT_FALSE(status);
  EXPECT_NE(status.Message().find("no such folder"), std::string::npos) << status.Message();
  EXPECT_FALSE(fs::exists(nowhere.parent_path()));

  // The encoder itself refuses: WebP cannot hold a picture this wide.
  const fs::path webp = folder.WriteFile("keep.webp", old);
  RasterImage wide;
  wide.Create(20000, 1, 32, true);
  const Status refused = WriteImageFile(wide, webp);
  if (!refused && refused.Message().find("no encoder") != std::string::npos) return;
  EXPECT_FALSE(refused);
  EXPECT_EQ(ReadAll(webp), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator()), 3)
      << "a temporary file was left behind";
}

TEST(RasterSave, ReplacesAnExistingFileWhenItSucceeds) {
  const TempFolder folder;
  const fs::path path = folder.WriteFile("out.png", "old");
  ASSERT_TRUE(WriteImageFile(Sample(Kind::Alpha32), path));
  RasterImage loaded;
  EXPECT_TRUE(ReadImageFile(path, loaded));
}

}  // namespace
}  // namespace tessarin
