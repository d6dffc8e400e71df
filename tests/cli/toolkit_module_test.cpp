// tessarin-compose reads and writes RGBA PNG files itself, and loads the bridge to the toolkit's
// codecs only for other files, from beside the program. Without it, every other file is refused
// in one line that says so, and RGBA PNG files are made as ever.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "cli_error.h"
#include "compose_process.h"
#include "image_file.h"
#include "raster_image.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using end_to_end::RunCompose;

struct ModuleCase {
  const char* name;
  bool besideProgram;  // whether the module sits beside the copied program
  const char* layer;
  const char* sheet;
  int exitCode;
  const char* says;  // on stdout for a success, on stderr otherwise
};

class ToolkitModule : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(ToolkitModule, IsLoadedOnlyForFilesOurCodecsDoNotTake) {
  const ModuleCase& c = GetParam();
  const fs::path root =
      fs::temp_directory_path() / ("tessarin-module-" + std::to_string(getpid()) + c.name);
  fs::remove_all(root);
  const fs::path body = root / "Graphics" / "Images" / "Body";
  end_to_end::WriteText(root / "Graphics" / "Images" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
  end_to_end::WritePng(body / "rgba.png", end_to_end::TopRow(end_to_end::kRed));
  RasterImage layer;
  ASSERT_TRUE(ReadImageFile(body / "rgba.png", layer));
  // BMP bytes: images are found by their .png names, and read by what they hold.
  ASSERT_TRUE(WriteImageFile(layer, root / "layer.bmp"));
  fs::rename(root / "layer.bmp", body / "bmp.png");

  // A copy of the program in a folder of its own, with or without the module beside it.
  const fs::path program = root / "bin" / fs::path(TESSARIN_COMPOSE).filename();
  fs::create_directories(program.parent_path());
  fs::copy_file(TESSARIN_COMPOSE, program);
  if (c.besideProgram) {
    fs::copy_file(TESSARIN_TOOLKIT_MODULE_FILE,
                  program.parent_path() / fs::path(TESSARIN_TOOLKIT_MODULE_FILE).filename());
  }
  const ProcessResult run =
      RunCompose({"--graphics", (root / "Graphics").string(), "--set", "Images", "--pick",
                  std::string("Body=") + c.layer, "-o", (root / c.sheet).string()},
                 root, {}, program.string());
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  EXPECT_NE((c.exitCode == kExitOk ? run.out : run.err).find(c.says), std::string::npos)
      << run.out << run.err;
  if (c.exitCode == kExitOk) {
    RasterImage sheet;
    EXPECT_TRUE(ReadImageFile(root / c.sheet, sheet));
    // JPEG keeps colours only roughly.
    if (fs::path(c.sheet).extension() == ".png") {
      EXPECT_EQ(sheet.PixelAt(0, 0, BlendRule::Standard), end_to_end::kRed);
    }
  } else {
    EXPECT_FALSE(fs::exists(root / c.sheet));
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
  fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ToolkitModule,
    ::testing::Values(
        ModuleCase{"PngWithoutModule", false, "rgba.png", "sheet.png", kExitOk, "wrote"},
        ModuleCase{"BmpLayerWithoutModule", false, "bmp.png", "sheet.png", kExitBadInput,
                   "bmp.png\": the image codecs for formats other than RGBA PNG could not be "
                   "loaded"},
        ModuleCase{"JpegSheetWithoutModule", false, "rgba.png", "sheet.jpg", kExitWriteFailed,
                   "sheet.jpg\": the image codecs for formats other than RGBA PNG could not be "
                   "loaded"},
        ModuleCase{"BmpLayerBesideProgram", true, "bmp.png", "sheet.png", kExitOk, "wrote"},
        ModuleCase{"JpegSheetBesideProgram", true, "rgba.png", "sheet.jpg", kExitOk, "wrote"}),
    [](const ::testing::TestParamInfo<ModuleCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin::cli
