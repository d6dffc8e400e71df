#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "image_file.h"
#include "raster_image.h"

namespace tessarin::cli::end_to_end {

// Straight B, G, R, A packed as PixelAt returns it.
inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kYellow = 0xFFFFFF00u;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kClear = 0u;

inline constexpr int kSheetWidth = 8;
inline constexpr int kSheetHeight = 4;

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// An 8x4 PNG whose pixel (x, y) is colour(x, y).
inline void WritePng(const std::filesystem::path& path,
                     const std::function<std::uint32_t(int, int)>& colour) {
  std::filesystem::create_directories(path.parent_path());
  RasterImage image;
  image.Create(kSheetWidth, kSheetHeight, 32, true);
  for (int y = 0; y < kSheetHeight; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < kSheetWidth; ++x) {
      std::uint32_t bgra = colour(x, y);
      for (int channel = 0; channel < 4; ++channel) {
        row[x * 4 + channel] = static_cast<std::uint8_t>(bgra >> (8 * channel));
      }
    }
  }
  WriteImageFile(image, path);
}

inline std::function<std::uint32_t(int, int)> TopRow(std::uint32_t colour) {
  return [colour](int, int y) { return y == 0 ? colour : kClear; };
}

// Sets for the end-to-end tests:
//   Hero: Body (priority 1), Hair (2), Hat (3, no folder), Eyes (5), each image 8x4.
//         body_a is red with a hole at (7, 3) that shows its blue companion; body_b green;
//         Hair colours the top row; Eyes colours row 1 in one of four greys.
//   Damaged: one part with an image that is not a PNG, and a good image whose companion is not.
//   NoSetting: no setting.txt.
//   日本: a part named 頭.
inline std::filesystem::path BuildTestGraphics(const std::filesystem::path& root) {
  const std::filesystem::path base = root / "Graphics";
  const std::filesystem::path hero = base / "Hero";
  WriteText(hero / "setting.txt", "# test set\nXsize:8\nYsize:4\nBody=1\nHair=2\nHat=3\nEyes=5\n");
  WritePng(hero / "Body" / "body_a.png",
           [](int x, int y) { return x == 7 && y == 3 ? kClear : kRed; });
  WritePng(hero / "Body" / "body_a$.png", [](int, int) { return kBlue; });
  WritePng(hero / "Body" / "body_b.png", [](int, int) { return kGreen; });
  WritePng(hero / "Hair" / "Long.png", TopRow(kYellow));
  WritePng(hero / "Hair" / "short.png", TopRow(kWhite));
  for (std::uint32_t grey = 1; grey <= 4; ++grey) {
    std::uint32_t level = grey * 40;
    WritePng(hero / "Eyes" / ("e" + std::to_string(grey) + ".png"), [level](int, int y) {
      return y == 1 ? 0xFF000000u | level << 16 | level << 8 | level : kClear;
    });
  }

  WriteText(base / "Damaged" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
  WriteText(base / "Damaged" / "Body" / "broken.png", "not a png");
  WritePng(base / "Damaged" / "Body" / "whole.png", TopRow(kRed));
  WriteText(base / "Damaged" / "Body" / "whole$.png", "not a png either");
  std::filesystem::create_directories(base / "NoSetting");
  WriteText(base / "日本" / "setting.txt", "Xsize:8\nYsize:4\n頭=1\n");
  WritePng(base / "日本" / "頭" / "a.png", TopRow(kRed));
  return base;
}

}  // namespace tessarin::cli::end_to_end
