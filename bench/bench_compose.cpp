// Composing a full sheet: 16 layers of 1024 x 1024 into one 1024 x 1024 target, the heaviest
// thing the program does per character after decoding. Throughput counts layer bytes read.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

#include "composition.h"
#include "palette_swap.h"
#include "raster_image.h"
#include "set_state.h"

namespace {

using tessarin::BlendRule;
using tessarin::RasterImage;

constexpr int kSide = 1024;
constexpr int kLayers = 16;

// Sprite layers: in every 128-pixel cell a solid ellipse with a soft edge a few pixels wide,
// of another size in each layer, so most blocks are clear or solid as in real parts.
// Noise layers: random bytes, every pixel half-transparent, the worst case for a kernel that
// skips clear and solid runs.
enum class Content { Sprites, Noise };

const std::vector<RasterImage>& Layers(Content content) {
  static const auto make = [](Content kind) {
    std::vector<RasterImage> made(kLayers);
    std::mt19937 random(7);
    for (int k = 0; k < kLayers; ++k) {
      RasterImage& layer = made[static_cast<std::size_t>(k)];
      layer.Create(kSide, kSide, 32, true);
      const double radius = 20.0 + 2.5 * k;
      for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = layer.Row(y);
        for (int x = 0; x < kSide; ++x) {
          std::uint8_t* pixel = row + 4 * x;
          if (kind == Content::Noise) {
            for (int c = 0; c < 4; ++c) pixel[c] = static_cast<std::uint8_t>(random());
            continue;
          }
          const double dx = x % 128 - 63.5;
          const double dy = y % 128 - 63.5;
          const double inside = radius - std::sqrt(dx * dx + dy * dy);
          const double alpha = std::clamp(inside / 3.0, 0.0, 1.0);
          if (alpha <= 0) continue;
          pixel[0] = static_cast<std::uint8_t>(40 + 12 * k);
          pixel[1] = static_cast<std::uint8_t>(200 - 9 * k);
          pixel[2] = static_cast<std::uint8_t>(x % 256);
          pixel[3] = static_cast<std::uint8_t>(std::lround(255 * alpha));
        }
      }
    }
    return made;
  };
  static const std::vector<RasterImage> sprites = make(Content::Sprites);
  static const std::vector<RasterImage> noise = make(Content::Noise);
  return content == Content::Sprites ? sprites : noise;
}

// Layer by layer over the whole sheet, one thread: the row kernels alone.
void Compose(benchmark::State& state, BlendRule rule, Content content) {
  const std::vector<RasterImage>& layers = Layers(content);
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

// Colours of the sprite layers to swap: the first `count` of each layer's, each one and its
// reverse listed, so that every pass does the same work.
std::vector<tessarin::ColourSwap> SpriteSwaps(std::uint32_t count) {
  std::vector<tessarin::ColourSwap> swaps;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t k = i / 256;
    const std::uint32_t red = (i % 256) / 2 + (i % 2) * 128;
    const std::uint32_t used = red << 16 | (200 - 9 * k) << 8 | (40 + 12 * k);
    swaps.push_back({used, used ^ 0x800000u});
  }
  return swaps;
}

// What a character costs: ComposeLayers over a set's sixteen slots, in bands on every core.
// With arguments, the first layers given are recoloured on the way by a material of so many
// colours: against no arguments, what recolouring adds to a character.
void ComposeSet(benchmark::State& state, BlendRule rule, Content content) {
  const std::vector<RasterImage>& layers = Layers(content);
  tessarin::SetState set;
  set.xSize = kSide;
  set.ySize = kSide;
  for (int slot = 0; slot < kLayers; ++slot) {
    set.drawOrder.push_back(slot);
    // Shared without ownership: the layers outlive the set.
    set.layers[static_cast<std::size_t>(slot)].image =
        std::shared_ptr<const RasterImage>(&layers[static_cast<std::size_t>(slot)], [](auto*) {});
  }
  tessarin::LayerSwaps swaps;
  const bool recoloured = state.range(0) > 0;
  for (int slot = 0; slot < state.range(0) && slot < kLayers; ++slot) {
    swaps[static_cast<std::size_t>(slot)] = SpriteSwaps(static_cast<std::uint32_t>(state.range(1)));
  }
  // Kept from sheet to sheet, as the window and a batch keep it while the colours stay; or
  // made afresh for each, as for the first sheet in new colours.
  const bool kept = state.range(2) != 0;
  tessarin::LayerRecolouring recolouring(swaps);
  for (auto _ : state) {
    RasterImage target;
    if (!kept) recolouring = tessarin::LayerRecolouring(swaps);
    if (!tessarin::ComposeLayers(set, false, rule, target, recoloured ? &recolouring : nullptr)) {
      state.SkipWithError("out of memory");
      break;
    }
    benchmark::DoNotOptimize(target.Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kLayers * kSide * kSide * 4);
  state.SetLabel(recoloured ? "wall time, all cores; arguments: layers recoloured, colours, kept"
                            : "wall time, all cores");
}

// The preview draws every layer scaled: 2x and 0.75x of a sheet into a window-sized target.
void ComposeScaled(benchmark::State& state, BlendRule rule) {
  const std::vector<RasterImage>& layers = Layers(Content::Sprites);
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

// Recolouring before composition, in place: the first layer or all sixteen, with a material's
// handful of colours (8) or with every colour the sprite layers hold (4096, every sprite pixel
// swapped: the worst case). Noise layers hold almost none of them. Each colour's swap and its
// reverse are both listed, so every pass does the same work. Compare with ComposeSet, the same
// character without recolouring.
void RecolourSet(benchmark::State& state, Content content) {
  std::vector<RasterImage> layers = Layers(content);
  const auto layerCount = static_cast<std::size_t>(state.range(0));
  const std::vector<tessarin::ColourSwap> swaps =
      SpriteSwaps(static_cast<std::uint32_t>(state.range(1)));
  for (auto _ : state) {
    for (std::size_t k = 0; k < layerCount; ++k) tessarin::SwapColours(layers[k], swaps);
    benchmark::DoNotOptimize(layers[0].Row(0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(layerCount) * kSide *
                          kSide * 4);
  state.SetLabel("one thread; arguments: layers, colours swapped");
}

BENCHMARK_CAPTURE(RecolourSet, Sprites, Content::Sprites)
    ->Args({1, 8})
    ->Args({kLayers, 8})
    ->Args({1, 4096})
    ->Args({kLayers, 4096})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RecolourSet, Noise, Content::Noise)
    ->Args({1, 8})
    ->Args({1, 4096})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compose, ClassicSprites, BlendRule::Classic, Content::Sprites)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compose, StandardSprites, BlendRule::Standard, Content::Sprites)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compose, ClassicNoise, BlendRule::Classic, Content::Noise)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compose, StandardNoise, BlendRule::Standard, Content::Noise)
    ->Unit(benchmark::kMillisecond);
// {0, 0, 0}: no recolouring; {L, 8, K}: L layers (one, four as a material covering two
// parts and their companions, or all) recoloured by a material of 8 colours, with what
// drawing learnt of their rows kept from sheet to sheet (K = 1) or not (K = 0).
BENCHMARK_CAPTURE(ComposeSet, ClassicSprites, BlendRule::Classic, Content::Sprites)
    ->Args({0, 0, 0})
    ->Args({1, 8, 0})
    ->Args({4, 8, 0})
    ->Args({kLayers, 8, 0})
    ->Args({4, 8, 1})
    ->Args({kLayers, 8, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ComposeSet, StandardSprites, BlendRule::Standard, Content::Sprites)
    ->Args({0, 0, 0})
    ->Args({kLayers, 8, 0})
    ->Args({kLayers, 8, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ComposeSet, ClassicNoise, BlendRule::Classic, Content::Noise)
    ->Args({0, 0, 0})
    ->Args({kLayers, 8, 0})
    ->Args({kLayers, 8, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ComposeSet, StandardNoise, BlendRule::Standard, Content::Noise)
    ->Args({0, 0, 0})
    ->Args({kLayers, 8, 0})
    ->Args({kLayers, 8, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
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
