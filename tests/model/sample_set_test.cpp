// The bundled sample sets as committed: their optional files load, and every palette names
// colours that the images of its parts really hold.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "image_file.h"
#include "raster_image.h"
#include "set_credits.h"
#include "set_extras.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

fs::path SampleSet(const char* utf8Name) {
  return fs::path(TESSARIN_SOURCE_DIR) / "examples" / "Graphics" / fs::u8path(utf8Name);
}

// The colours (0xRRGGBB) of every pixel that shows, in every image of a part folder.
std::set<std::uint32_t> ColoursOf(const fs::path& partFolder) {
  std::set<std::uint32_t> colours;
  for (const fs::directory_entry& entry : fs::directory_iterator(partFolder)) {
    RasterImage image;
    const Status read = ReadImageFile(entry.path(), image);
    EXPECT_TRUE(read) << read.Message();
    for (int y = 0; read && y < image.Height(); ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        const std::uint32_t pixel = image.PixelAt(x, y);
        if (pixel >> 24 != 0) colours.insert(pixel & 0xFFFFFFu);
      }
    }
  }
  return colours;
}

TEST(SampleSetTest, PalettesRecolourWhatTheirPartsHold) {
  const fs::path set = SampleSet("デフォルト");
  SetExtras extras;
  const Status read = ReadSetExtras(set, 192, 192, extras);
  ASSERT_TRUE(read) << read.Message();
  std::set<std::string> names;
  for (const Material& material : extras.materials) {
    names.insert(material.name);
    EXPECT_GE(material.variants.size(), 3u) << material.name;
    ASSERT_FALSE(material.parts.empty()) << material.name << " covers every part";
    std::set<std::uint32_t> colours;
    for (const std::string& part : material.parts) colours.merge(ColoursOf(set / fs::u8path(part)));
    for (const std::uint32_t colour : material.source) {
      EXPECT_EQ(colours.count(colour), 1u)
          << material.name << ": no image of its parts holds " << std::hex << colour;
    }
  }
  EXPECT_EQ(names, (std::set<std::string>{"cloth", "hair", "skin"}));
}

TEST(SampleSetTest, CreditsGoToTheLongestPath) {
  struct Case {
    const char* set;
    const char* image;
    const char* credited;
  };
  const Case cases[] = {
      {"デフォルト", "体/light.png", "体/light.png"},
      {"デフォルト", "髪/long$.png", "髪"},
      {"デフォルト", "上半身/tunic.png", "."},
      {"Slime", "body/green.png", "."},
  };
  for (const Case& c : cases) {
    SetCredits credits;
    const Status read = credits.Read(SampleSet(c.set));
    ASSERT_TRUE(read) << read.Message();
    const Credit* credit = credits.For(c.image);
    ASSERT_NE(credit, nullptr) << c.image;
    EXPECT_EQ(credit->filename, c.credited) << c.image;
    EXPECT_EQ(credit->authors, std::vector<std::string>{"Tessarin contributors"}) << c.image;
    EXPECT_EQ(credit->licenses, std::vector<std::string>{"CC0-1.0"}) << c.image;
  }
}

}  // namespace
}  // namespace tessarin
