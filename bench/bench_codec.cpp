// PNG both ways, ours against the toolkit's: reading a layer (8-bit RGBA, one thread), and
// writing a finished sheet (ours filters on all cores; the toolkit's writer at zlib level 2,
// which it was used at before). Prints wall and processor time and size, for a soft sheet and
// a noisy, painted one; with --levels, also our writer at each of libdeflate's levels.
// Usage: bench_codec [--levels] [SHEET.png]   (default: both generated 1024 x 1024 sheets)

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "image_file.h"
#include "plasma_painting.h"
#include "png_encoder.h"
#include "raster_image.h"

namespace {

using tessarin::RasterImage;

constexpr int kRuns = 15;

// Soft-edged ellipses of several colours on clear pixels, like a composed sheet.
RasterImage GeneratedSheet() {
  RasterImage sheet;
  sheet.Create(1024, 1024, 32, true);
  for (int y = 0; y < 1024; ++y) {
    std::uint8_t* row = sheet.Row(y);
    for (int x = 0; x < 1024; ++x) {
      const double dx = (x % 128 - 64) / 40.0;
      const double dy = (y % 128 - 64) / 52.0;
      const double edge = std::clamp((1.0 - std::sqrt(dx * dx + dy * dy)) * 12.0, 0.0, 1.0);
      std::uint8_t* pixel = row + 4 * x;
      pixel[0] = static_cast<std::uint8_t>(x / 4);
      pixel[1] = static_cast<std::uint8_t>(y / 4);
      pixel[2] = static_cast<std::uint8_t>((x + y) / 8);
      pixel[3] = static_cast<std::uint8_t>(255 * edge);
    }
  }
  return sheet;
}

struct Figure {
  double medianMs;
  double cpuMs;  // the process's, summed over its threads, per run
  std::size_t bytes;
};

double ProcessCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Figure Time(const std::function<std::size_t()>& encode) {
  std::vector<double> ms;
  std::size_t bytes = 0;
  const double cpuStart = ProcessCpuMs();
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    bytes = encode();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  const double cpuMs = (ProcessCpuMs() - cpuStart) / kRuns;
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], cpuMs, bytes};
}

void Report(const char* label, const Figure& figure, bool withSize) {
  std::printf("  %-26s %7.1f ms wall  %7.1f ms processor", label, figure.medianMs, figure.cpuMs);
  if (withSize) std::printf("  %8zu bytes", figure.bytes);
  std::printf("\n");
}

void Measure(const std::string& name, const RasterImage& sheet, bool levels) {
  std::printf("%s: %d x %d, %d bits, median of %d runs\n", name.c_str(), sheet.Width(),
              sheet.Height(), sheet.BitsPerPixel(), kRuns);
  const Figure ours = Time([&] { return tessarin::EncodePng(sheet).size(); });
  const QImage picture(sheet.Row(0), sheet.Width(), sheet.Height(),
                       static_cast<qsizetype>(sheet.Stride()), QImage::Format_ARGB32);
  const Figure toolkit = Time([&] {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(30);  // zlib level 2
    writer.write(picture);
    return static_cast<std::size_t>(bytes.size());
  });
  const std::vector<std::uint8_t> png = tessarin::EncodePng(sheet);
  const QByteArray toolkitPng = [&] {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return bytes;
  }();
  const auto readByUs = [](const std::uint8_t* data, std::size_t size) {
    return Time([&] {
      RasterImage image;
      return DecodeImageBytes(data, size, image) ? static_cast<std::size_t>(image.Width()) : 0u;
    });
  };
  const auto readByToolkit = [](const std::uint8_t* data, std::size_t size) {
    return Time([&] {
      return static_cast<std::size_t>(
          QImage::fromData(data, static_cast<int>(size), "PNG").width());
    });
  };
  const auto* toolkitBytes = reinterpret_cast<const std::uint8_t*>(toolkitPng.constData());
  const auto toolkitSize = static_cast<std::size_t>(toolkitPng.size());
  Report("write: ours", ours, true);
  Report("write: toolkit's", toolkit, true);
  Report("read ours: ours", readByUs(png.data(), png.size()), false);
  Report("read ours: toolkit's", readByToolkit(png.data(), png.size()), false);
  Report("read toolkit's: ours", readByUs(toolkitBytes, toolkitSize), false);
  Report("read toolkit's: toolkit's", readByToolkit(toolkitBytes, toolkitSize), false);
  if (!levels) return;
  for (int level = 1; level <= 12; ++level) {
    const std::string label = "write: ours at level " + std::to_string(level);
    Report(label.c_str(), Time([&] { return tessarin::EncodePng(sheet, level).size(); }), true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool levels = false;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--levels") == 0) {
      levels = true;
    } else {
      file = argv[i];
    }
  }
  if (file != nullptr) {
    RasterImage sheet;
    if (const tessarin::Status loaded = ReadImageFile(file, sheet); !loaded) {
      std::fprintf(stderr, "bench_codec: %s\n", loaded.Message().c_str());
      return 1;
    }
    Measure(file, sheet, levels);
    return 0;
  }
  Measure("soft sheet", GeneratedSheet(), levels);
  Measure("noisy sheet", tessarin::bench::PlasmaPainting(1024, 1), levels);
  return 0;
}
