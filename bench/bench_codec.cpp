// PNG both ways, ours against the toolkit's: reading a layer (8-bit RGBA, one thread), and
// writing a finished sheet (ours uses all cores; the toolkit's writer at zlib level 2, which
// it was used at before). Prints wall and processor time and size.
// Usage: bench_codec [SHEET.png]   (default: a generated 1024 x 1024 sheet of soft sprites)

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "png_encoder.h"
#include "raster_image.h"
#include "image_file.h"

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

}  // namespace

int main(int argc, char** argv) {
  RasterImage sheet;
  if (argc > 1) {
    if (const tessarin::Status loaded = ReadImageFile(argv[1], sheet); !loaded) {
      std::fprintf(stderr, "bench_codec: %s\n", loaded.Message().c_str());
      return 1;
    }
  } else {
    sheet = GeneratedSheet();
  }
  std::printf("%d x %d, %d bits, median of %d runs\n", sheet.Width(), sheet.Height(),
              sheet.BitsPerPixel(), kRuns);

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
  const std::pair<const char*, Figure> rows[] = {
      {"write: ours", ours},
      {"write: toolkit's", toolkit},
      {"read ours: ours", readByUs(png.data(), png.size())},
      {"read ours: toolkit's", readByToolkit(png.data(), png.size())},
      {"read toolkit's: ours", readByUs(toolkitBytes, toolkitSize)},
      {"read toolkit's: toolkit's", readByToolkit(toolkitBytes, toolkitSize)},
  };
  for (const auto& [label, figure] : rows) {
    std::printf("  %-26s %7.1f ms wall  %7.1f ms processor", label, figure.medianMs, figure.cpuMs);
    if (label[0] == 'w') std::printf("  %8zu bytes", figure.bytes);
    std::printf("\n");
  }
  return 0;
}
