// End-to-end cost of tessarin-compose as a pipeline sees it: one random character per process,
// and a batch of 1000 from one process, without and with --metadata, with the child's peak
// memory.
// Usage: bench_cli [GRAPHICS_DIR]   (default: the sample sets, else a generated set)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "child_run.h"
#include "image_file.h"
#include "raster_image.h"

namespace {

namespace fs = std::filesystem;

const char* const kSetName = "デフォルト";
constexpr int kSingleRuns = 20;
constexpr int kBatchRuns = 3;
constexpr int kBatchCount = 1000;
constexpr double kSingleTargetMs = 50;
constexpr double kBatchTargetS = 3;

using tessarin::bench::ChildRun;

ChildRun RunChild(std::vector<std::string> args) {
  return tessarin::bench::RunChild(TESSARIN_COMPOSE, std::move(args));
}

// Soft-edged blobs over transparency, like real part images, so that decoding and encoding
// see realistic data rather than flat colour.
void WritePartImage(const fs::path& path, int side, std::mt19937& random) {
  tessarin::RasterImage image;
  image.Create(side, side, 32, true);
  std::uniform_int_distribution<int> coordinate(0, side - 1);
  const int cx = coordinate(random), cy = coordinate(random), radius = side / 4 + 8;
  const auto colour = static_cast<std::uint32_t>(random());
  for (int y = 0; y < side; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < side; ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      const int alpha = std::clamp(255 - (d2 - radius * radius) / 4, 0, 255);
      if (alpha == 0) continue;
      for (int channel = 0; channel < 3; ++channel) {
        row[x * 4 + channel] = static_cast<std::uint8_t>((colour >> (8 * channel)) ^ (x + y));
      }
      row[x * 4 + 3] = static_cast<std::uint8_t>(alpha);
    }
  }
  WriteImageFile(image, path);
}

// Eight 192 x 192 parts of six images each, half of them with a companion.
fs::path GenerateGraphics(const fs::path& root) {
  const fs::path set = root / "Graphics" / fs::u8path(kSetName);
  fs::create_directories(set);
  std::ofstream setting(set / "setting.txt");
  setting << "Xsize:192\nYsize:192\n";
  std::mt19937 random(1);
  for (int part = 0; part < 8; ++part) {
    const std::string name = "part" + std::to_string(part);
    setting << name << '=' << part * 2 + 1 << '\n';
    fs::create_directories(set / name);
    for (int image = 0; image < 6; ++image) {
      const std::string stem = "image" + std::to_string(image);
      WritePartImage(set / name / (stem + ".png"), 192, random);
      if (image % 2 == 0) WritePartImage(set / name / (stem + "$.png"), 192, random);
    }
  }
  return root / "Graphics";
}

bool HasSampleSet(const fs::path& graphics) {
  std::error_code error;
  return fs::exists(graphics / fs::u8path(kSetName) / "setting.txt", error);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path scratch =
      fs::temp_directory_path() / ("tessarin-bench-cli-" + std::to_string(getpid()));
  fs::create_directories(scratch / "batch");
  fs::path graphics = argc > 1 ? fs::path(argv[1]) : fs::path(TESSARIN_SAMPLE_GRAPHICS);
  std::string source = "sample sets";
  if (!HasSampleSet(graphics)) {
    graphics = GenerateGraphics(scratch);
    source = "generated set (8 parts x 6 images, 192x192)";
  }
  std::printf("tessarin-compose end to end, set %s from %s\n  %s\n\n", kSetName, source.c_str(),
              graphics.string().c_str());

  const std::vector<std::string> common = {
      "--graphics", graphics.string(), "--set", kSetName, "--random", "all", "--seed", "1"};
  std::vector<double> singleMs;
  long singlePeak = 0;
  for (int i = 0; i < kSingleRuns; ++i) {
    std::vector<std::string> args = common;
    args.insert(args.end(), {"-o", (scratch / "x.png").string()});
    ChildRun run = RunChild(args);
    if (run.exitCode != 0) {
      std::fprintf(stderr, "single run failed with exit code %d\n", run.exitCode);
      return 1;
    }
    singleMs.push_back(run.seconds * 1000);
    singlePeak = std::max(singlePeak, run.peakKiB);
  }
  const double singleMedian = Median(singleMs);
  std::printf("one character per process (%d runs)\n", kSingleRuns);
  std::printf("  median %8.1f ms   min %6.1f ms   target < %.0f ms: %s\n", singleMedian,
              *std::min_element(singleMs.begin(), singleMs.end()), kSingleTargetMs,
              Verdict(singleMedian < kSingleTargetMs));
  std::printf("  peak memory %6.1f MiB\n", static_cast<double>(singlePeak) / 1024);

  // The plain batch, then the same with every sheet's JSON and credits beside it; on the
  // sample set both draw colours from its palettes.
  for (const bool metadata : {false, true}) {
    std::vector<double> batchS;
    long batchPeak = 0;
    for (int i = 0; i < kBatchRuns; ++i) {
      fs::remove_all(scratch / "batch");
      fs::create_directories(scratch / "batch");
      std::vector<std::string> args = common;
      args.insert(args.end(), {"--count", std::to_string(kBatchCount), "-o",
                               (scratch / "batch" / "c-{n}.png").string()});
      if (metadata) args.push_back("--metadata");
      ChildRun run = RunChild(args);
      if (run.exitCode != 0) {
        std::fprintf(stderr, "batch run failed with exit code %d\n", run.exitCode);
        return 1;
      }
      batchS.push_back(run.seconds);
      batchPeak = std::max(batchPeak, run.peakKiB);
    }
    const double batchMedian = Median(batchS);
    std::printf("\nbatch of %d in one process%s (%d runs)\n", kBatchCount,
                metadata ? ", with --metadata" : "", kBatchRuns);
    std::printf("  median %8.2f s    %.2f ms per character   target < %.0f s: %s\n", batchMedian,
                batchMedian * 1000 / kBatchCount, kBatchTargetS,
                Verdict(batchMedian < kBatchTargetS));
    std::printf("  peak memory %6.1f MiB\n", static_cast<double>(batchPeak) / 1024);
  }

  fs::remove_all(scratch);
  return 0;
}
