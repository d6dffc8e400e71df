// Draws the bundled sample image sets from code, so every pixel is our own.
#include "preview.h"
#include "sets.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

using namespace tessarin::sample_art;

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 2 || mode == "-h" || mode == "--help") {
    std::fprintf(stderr,
                 "usage: %s OUTPUT_GRAPHICS_DIR\n"
                 "       %s --preview OUTPUT_DIR [SEED [COUNT]]\n"
                 "       %s --combo figure|slime OUTPUT.png FILE...\n",
                 argv[0], argv[0], argv[0]);
    return 2;
  }
  try {
    if (mode == "--preview") {
      if (argc < 3) return 2;
      const unsigned seed = argc > 3 ? unsigned(std::strtoul(argv[3], nullptr, 10)) : 1;
      const int count = argc > 4 ? std::atoi(argv[4]) : 6;
      WritePreviews(FigureSet(), std::filesystem::path(argv[2]) / "figure", seed, count);
      WritePreviews(SlimeSet(), std::filesystem::path(argv[2]) / "slime", seed, count);
      return 0;
    }
    if (mode == "--combo" && argc > 3) {
      const std::string setName = argv[2];
      const SampleSet set = setName == "slime" ? SlimeSet() : FigureSet();
      WriteCombo(set, std::vector<std::string>(argv + 4, argv + argc), argv[3]);
      return 0;
    }
    WriteSet(FigureSet(), argv[1]);
    WriteSet(SlimeSet(), argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
