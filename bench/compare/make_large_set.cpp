// Writes a large image set for comparing Tessarin with general-purpose tools: eight parts, each
// with three images (a, b and c) and their companions, 1024 x 1024 RGBA. In the soft set every
// 128-pixel cell holds a shaded, soft-edged shape as a sprite sheet would, so the files compress
// like sprite art; in the noisy set every layer is painted with plasma-like colour, grain and
// wandering alpha, so they compress like painted art.
// Usage: make_large_set GRAPHICS_DIR [soft|noisy]   (writes GRAPHICS_DIR/Large or .../Noisy)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "image_file.h"
#include "plasma_painting.h"
#include "raster_image.h"

namespace {

constexpr int kSize = 1024;
constexpr int kCell = 128;
constexpr int kParts = 8;

struct Shape {
  double centreY;  // within a cell, 0..1
  double radiusX;  // in pixels
  double radiusY;
  int red, green, blue;
};

// Roughly a figure from the back: cloak, legs, body, arms, head, hair, hat, held item.
const Shape kShapes[kParts] = {
    {0.62, 34, 40, 120, 40, 48}, {0.80, 18, 20, 60, 64, 120},   {0.58, 24, 26, 200, 170, 140},
    {0.56, 30, 14, 90, 140, 70}, {0.32, 20, 20, 230, 200, 170}, {0.26, 23, 16, 150, 90, 40},
    {0.18, 26, 9, 180, 40, 160}, {0.55, 6, 40, 200, 200, 210},
};

// Alpha falls from opaque to clear over the last few pixels of the shape's edge.
constexpr double kSoftEdge = 2.5;

tessarin::RasterImage Draw(const Shape& shape, bool companion, int part, int variant) {
  tessarin::RasterImage image;
  image.Create(kSize, kSize, 32, true);
  // The companion is a larger, darker silhouette drawn behind the part.
  const double grow = companion ? 5 : 0;
  const double shade = companion ? 0.35 : 1.0;
  for (int y = 0; y < kSize; ++y) {
    std::uint8_t* row = image.Row(y);
    const int cellRow = y / kCell;
    for (int x = 0; x < kSize; ++x) {
      const int cellColumn = x / kCell;
      // Walking frames sway a little; directions turn the shape's width.
      const double sway = 3.0 * std::sin(cellColumn * 1.7 + part);
      const double turn = 0.75 + 0.25 * std::cos(cellRow * 0.785);
      const double cx = cellColumn * kCell + kCell / 2 + sway + (part == 7 ? 28 * turn : 0);
      const double cy = cellRow * kCell + shape.centreY * kCell;
      const double rx = shape.radiusX * turn + grow;
      const double ry = shape.radiusY + grow;
      const double dx = (x + 0.5 - cx) / rx;
      const double dy = (y + 0.5 - cy) / ry;
      const double distance = std::sqrt(dx * dx + dy * dy);
      // Pixels inside the edge, measured along the smaller radius.
      const double inside = (1.0 - distance) * std::min(rx, ry);
      const double alpha = std::clamp(inside / kSoftEdge, 0.0, 1.0);
      if (alpha <= 0) continue;
      // Lit from the top left, in a few bands as pixel art is shaded.
      const double light = std::floor((0.75 - 0.45 * dy - 0.25 * dx) * 4) / 4;
      const double factor = std::clamp(light, 0.35, 1.2) * shade;
      auto channel = [&](int value) {
        return static_cast<std::uint8_t>(std::clamp(value * factor, 0.0, 255.0));
      };
      std::uint8_t* pixel = row + 4 * x;
      // Variants rotate the colour's channels.
      const int rgb[3] = {shape.red, shape.green, shape.blue};
      pixel[0] = channel(rgb[(2 + variant) % 3]);
      pixel[1] = channel(rgb[(1 + variant) % 3]);
      pixel[2] = channel(rgb[variant % 3]);
      pixel[3] = static_cast<std::uint8_t>(std::lround(alpha * (companion ? 200 : 255)));
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 3 ? argv[2] : "soft";
  if (argc < 2 || argc > 3 || (kind != "soft" && kind != "noisy")) {
    std::fprintf(stderr, "usage: make_large_set GRAPHICS_DIR [soft|noisy]\n");
    return 1;
  }
  const bool noisy = kind == "noisy";
  const std::filesystem::path set = std::filesystem::path(argv[1]) / (noisy ? "Noisy" : "Large");
  std::filesystem::create_directories(set);
  std::string setting = "Xsize:1024\r\nYsize:1024\r\n";
  for (int part = 0; part < kParts; ++part) {
    const std::string name = "part" + std::to_string(part);
    const std::filesystem::path folder = set / name;
    std::filesystem::create_directories(folder);
    for (int variant = 0; variant < 3; ++variant) {
      const std::string stem(1, static_cast<char>('a' + variant));
      for (const bool companion : {false, true}) {
        const auto file = folder / (stem + (companion ? "$.png" : ".png"));
        const auto seed = static_cast<unsigned>(part * 100 + variant * 10 + (companion ? 1 : 0));
        const tessarin::Status saved =
            WriteImageFile(noisy ? tessarin::bench::PlasmaPainting(kSize, seed)
                                 : Draw(kShapes[part], companion, part, variant),
                           file);
        if (!saved) {
          std::fprintf(stderr, "%s\n", saved.Message().c_str());
          return 1;
        }
      }
    }
    // Priorities out of folder order, so that draw order matters.
    setting += name + "=" + std::to_string((part * 5) % kParts + 1) + "\r\n";
  }
  std::ofstream(set / "setting.txt", std::ios::binary) << setting;
  std::printf("%s\n", set.string().c_str());
  return 0;
}
