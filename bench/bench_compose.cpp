// Composing a full sheet: 16 soft-edged 1024 x 1024 layers into one 1024 x 1024 target, the
// heaviest thing the program does per character. Throughput counts layer pixel bytes read.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

#include "raster_image.h"

namespace {

using tessarin::BlendRule;
using tessarin::RasterImage;

constexpr int kSide = 1024;
constexpr int kLayers = 16;

// Layers are mostly empty or solid with soft edges, like real parts; the alpha values are
// spread over the whole range so that no rule can win on a lucky branch.
const std::vector<RasterImage>& Layers() {
  static const std::vector<RasterImage> layers = [] {
    std::vector<RasterImage> made(kLayers);
    std::mt19937 random(7);
    for (RasterImage& layer : made) {
      layer.Create(kSide, kSide, 32, true);
      for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = layer.Row(y);
        for (std::size_t i = 0; i < 4 * static_cast<std::size_t>(kSide); ++i) {
          row[i] = static_cast<std::uint8_t>(random());
        }
      }
    }
    return made;
  }();
  return layers;
}

void Compose(benchmark::State& state, BlendRule rule) {
  const std::vector<RasterImage>& layers = Layers();
  for (auto _ : state) {
    RasterImage target;
    target.Create(kSide, kSide, 32, true);
    for (const RasterImage& layer : layers) {
      layer.Draw(target, 0, 0, kSide, kSide, 0, 0, kSide, kSide, rule);
    }
    benchmark::DoNotOptimize(target.Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kLayers * kSide * kSide * 4);
}

// The preview draws every layer scaled: 2x and 0.75x of a sheet into a window-sized target.
void ComposeScaled(benchmark::State& state, BlendRule rule) {
  const std::vector<RasterImage>& layers = Layers();
  const int percent = static_cast<int>(state.range(0));
  const int side = kSide * percent / 100;
  RasterImage target;
  target.Create(side, side, 32, true);
  for (auto _ : state) {
    for (const RasterImage& layer : layers) {
      layer.Draw(target, 0, 0, side, side, 0, 0, kSide, kSide, rule);
    }
    benchmark::DoNotOptimize(target.Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kLayers * std::int64_t{side} * side * 4);
  state.SetLabel("bytes = target pixels drawn");
}

BENCHMARK_CAPTURE(Compose, Classic, BlendRule::Classic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compose, Standard, BlendRule::Standard)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ComposeScaled, Classic, BlendRule::Classic)
    ->Arg(75)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
#if defined(__unix__) || defined(__APPLE__)
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) == 0) {
    // Kilobytes on Linux, bytes on macOS.
#if defined(__APPLE__)
    const double mib = static_cast<double>(usage.ru_maxrss) / (1024.0 * 1024.0);
#else
    const double mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
#endif
    std::printf("peak memory: %.1f MiB\n", mib);
  }
#endif
  return 0;
}
