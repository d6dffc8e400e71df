#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "compose_process.h"
#include "image_file.h"
#include "raster_image.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using Row = std::array<std::uint32_t, end_to_end::kSheetWidth>;

// The two source colours at alphas 255, 128, 1 and 0, and misses by one unit in red, in blue
// and in the second colour's blue.
constexpr Row kAsDrawn = {0xFF804020u, 0x80804020u, 0x01804020u, 0x00804020u,
                          0xFF814020u, 0xFF80401Fu, 0xFF102030u, 0x80102031u};
constexpr Row kWarm = {0xFFFF8000u, 0x80FF8000u, 0x01FF8000u, 0x00FF8000u,
                       0xFF814020u, 0xFF80401Fu, 0xFF0000FFu, 0x80102031u};

TEST(Recolouring, OnlyExactColoursOfCoveredPartsChangeAndAlphaStays) {
  const fs::path root =
      fs::temp_directory_path() / ("tessarin-recolouring-" + std::to_string(getpid()));
  fs::remove_all(root);
  const fs::path set = root / "Graphics" / "Tinted";
  // Body's main image draws row 0 and its companion row 1; Cape, which the palette does not
  // cover, draws row 2. The rows do not overlap, so the classic rule keeps each as drawn.
  end_to_end::WriteText(set / "setting.txt", "Xsize:8\nYsize:4\nBody=1\nCape=2\n");
  const auto rowOf = [](int row) {
    return [row](int x, int y) { return y == row ? kAsDrawn[static_cast<std::size_t>(x)] : 0u; };
  };
  end_to_end::WritePng(set / "Body" / "a.png", rowOf(0));
  end_to_end::WritePng(set / "Body" / "a$.png", rowOf(1));
  end_to_end::WritePng(set / "Cape" / "c.png", rowOf(2));
  end_to_end::WriteText(set / "set.json",
                        R"({"palettes":{"skin":{"source":["#804020","#102030"],
                                                "variants":{"warm":["#ff8000","#0000ff"]},
                                                "parts":["body"]}}})");

  struct Case {
    const char* name;
    std::vector<std::string> colour;
    Row body;
  };
  const std::vector<Case> cases = {
      {"variant", {"--color", "skin=warm"}, kWarm},
      {"names in other cases", {"--color", "SKIN=Warm"}, kWarm},
      {"source colours", {"--color", "skin=Source"}, kAsDrawn},
      {"no colour given", {}, kAsDrawn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"--graphics", (root / "Graphics").string(),
                                     "--set",      "Tinted",
                                     "--pick",     "Body=a.png",
                                     "--pick",     "Cape=c.png",
                                     "-o",         (root / "out.png").string()};
    args.insert(args.end(), c.colour.begin(), c.colour.end());
    const ProcessResult result = end_to_end::RunCompose(args, root);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    RasterImage sheet;
    ASSERT_TRUE(ReadImageFile(root / "out.png", sheet).IsOk());
    for (int x = 0; x < end_to_end::kSheetWidth; ++x) {
      const std::size_t k = static_cast<std::size_t>(x);
      EXPECT_EQ(sheet.PixelAt(x, 0), c.body[k]) << "main, x " << x;
      EXPECT_EQ(sheet.PixelAt(x, 1), c.body[k]) << "companion, x " << x;
      EXPECT_EQ(sheet.PixelAt(x, 2), kAsDrawn[k]) << "uncovered part, x " << x;
    }
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace tessarin::cli
