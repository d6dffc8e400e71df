// Peak memory of tessarin-compose when the layers are far larger than the sheet: sixteen
// layers of 8192 x 8192 (eight parts, each with a companion) composed into a 64 x 64 sheet.
// The layers are of one colour, so their files are tiny and quick to write.
// Usage: bench_large_layers [TESSARIN_COMPOSE]   (default: this build's)

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_run.h"
#include "image_file.h"
#include "raster_image.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLayerSide = 8192;
constexpr int kSheetSide = 64;
constexpr int kParts = 8;

using tessarin::bench::ChildRun;
using tessarin::bench::RunChild;

// One layer written once and copied: every path is decoded on its own all the same.
fs::path GenerateGraphics(const fs::path& root) {
  const fs::path set = root / "Graphics" / "Large";
  fs::create_directories(set);
  const fs::path layer = root / "layer.png";
  {
    tessarin::RasterImage image;
    image.Create(kLayerSide, kLayerSide, 32, true);
    for (int y = 0; y < kLayerSide; ++y) {
      std::uint8_t* row = image.Row(y);
      for (int x = 0; x < kLayerSide; ++x) {
        row[4 * x] = 40;
        row[4 * x + 1] = 90;
        row[4 * x + 2] = 200;
        row[4 * x + 3] = 128;
      }
    }
    if (!tessarin::WriteImageFile(image, layer)) return {};
  }
  std::ofstream setting(set / "setting.txt");
  setting << "Xsize:" << kSheetSide << "\nYsize:" << kSheetSide << '\n';
  for (int part = 0; part < kParts; ++part) {
    const std::string name = "part" + std::to_string(part);
    setting << name << '=' << part + 1 << '\n';
    fs::create_directories(set / name);
    fs::copy_file(layer, set / name / "a.png");
    fs::copy_file(layer, set / name / "a$.png");
  }
  return root / "Graphics";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : TESSARIN_COMPOSE;
  const fs::path scratch =
      fs::temp_directory_path() / ("tessarin-bench-large-" + std::to_string(getpid()));
  const fs::path graphics = GenerateGraphics(scratch);
  if (graphics.empty()) {
    std::fprintf(stderr, "cannot write the layers under %s\n", scratch.string().c_str());
    return 1;
  }
  std::printf("%d layers of %d x %d into a %d x %d sheet\n  %s\n\n", 2 * kParts, kLayerSide,
              kLayerSide, kSheetSide, kSheetSide, program.c_str());

  const std::vector<std::string> common = {
      "--graphics", graphics.string(), "--set", "Large", "--random", "all", "--seed", "1"};
  struct Variant {
    const char* name;
    std::vector<std::string> flags;
  };
  const Variant variants[] = {{"one character", {}},
                              {"one character, standard rule", {"--blend", "standard"}},
                              {"one character, left half", {"--half"}}};
  int failures = 0;
  for (const Variant& variant : variants) {
    std::vector<std::string> args = common;
    args.insert(args.end(), variant.flags.begin(), variant.flags.end());
    args.insert(args.end(), {"-o", (scratch / "sheet.png").string()});
    const ChildRun run = RunChild(program, args);
    if (run.exitCode != 0) {
      std::printf("  %-32s failed with exit code %d\n", variant.name, run.exitCode);
      ++failures;
      continue;
    }
    std::printf("  %-32s peak memory %8.1f MiB   %6.2f s\n", variant.name,
                static_cast<double>(run.peakKiB) / 1024, run.seconds);
  }
  fs::remove_all(scratch);
  return failures == 0 ? 0 : 1;
}
