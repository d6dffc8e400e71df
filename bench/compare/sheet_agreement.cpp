// Compares composites pixel by pixel against the first one: the largest difference in alpha
// over all pixels, and in colour where both pixels have alpha above 0 (colour under alpha 0
// carries nothing). Prints one line per image; exits 1 when any differs by more than the
// tolerance.
// Usage: sheet_agreement TOLERANCE REFERENCE.png OTHER.png...

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "raster_image.h"
#include "image_file.h"

namespace {

struct Difference {
  int colour = 0;
  int alpha = 0;
  long pixelsOverTolerance = 0;
};

Difference Compare(const tessarin::RasterImage& a, const tessarin::RasterImage& b, int tolerance) {
  Difference result;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const std::uint32_t p = a.PixelAt(x, y, tessarin::BlendRule::Standard);
      const std::uint32_t q = b.PixelAt(x, y, tessarin::BlendRule::Standard);
      const int alphaA = static_cast<int>(p >> 24);
      const int alphaB = static_cast<int>(q >> 24);
      int worst = std::abs(alphaA - alphaB);
      result.alpha = std::max(result.alpha, worst);
      if (alphaA > 0 && alphaB > 0) {
        for (int shift = 0; shift < 24; shift += 8) {
          const int d =
              std::abs(static_cast<int>((p >> shift) & 255) - static_cast<int>((q >> shift) & 255));
          result.colour = std::max(result.colour, d);
          worst = std::max(worst, d);
        }
      }
      if (worst > tolerance) ++result.pixelsOverTolerance;
    }
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: sheet_agreement TOLERANCE REFERENCE.png OTHER.png...\n");
    return 2;
  }
  const int tolerance = std::atoi(argv[1]);
  tessarin::RasterImage reference;
  if (const tessarin::Status loaded = ReadImageFile(argv[2], reference); !loaded) {
    std::fprintf(stderr, "%s\n", loaded.Message().c_str());
    return 2;
  }
  int exitCode = 0;
  for (int i = 3; i < argc; ++i) {
    tessarin::RasterImage other;
    if (const tessarin::Status loaded = ReadImageFile(argv[i], other); !loaded) {
      std::fprintf(stderr, "%s\n", loaded.Message().c_str());
      return 2;
    }
    if (other.Width() != reference.Width() || other.Height() != reference.Height()) {
      std::printf("%s: %dx%d, not %dx%d\n", argv[i], other.Width(), other.Height(),
                  reference.Width(), reference.Height());
      exitCode = 1;
      continue;
    }
    const Difference d = Compare(reference, other, tolerance);
    std::printf("%s: largest difference %d in colour, %d in alpha; %ld pixels over %d\n", argv[i],
                d.colour, d.alpha, d.pixelsOverTolerance, tolerance);
    if (d.pixelsOverTolerance > 0) exitCode = 1;
  }
  return exitCode;
}
