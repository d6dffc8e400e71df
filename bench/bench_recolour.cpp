// What recolouring costs a character made from the 1024 x 1024 benchmark sets (make_large_set's
// soft and noisy sets, eight parts of sixteen layers), against the same character without it.
// Each set gets a set.json with one material, "cloth": the eight commonest colours of the body
// art, on every part (the most layers a material can cover), with four dyes.
// - tessarin-compose end to end: one character per process, and a batch of random characters
//   in random dyes; printed last, against the target of 10 %. The plain batch draws the same
//   characters in dyes that change nothing, so both write sheets of alike art: their PNG encoding
//   runs the same instructions (by callgrind). Each batch writes new files into an empty folder:
//   the first used to, and skipped the sync of each file that the later ones, replacing files,
//   made. Plain and recoloured runs take turns to go first.
// - in process: decoding every layer on all cores and composing, then composing alone with the
//   layers decoded, as a batch does: the first sheet in new colours, a later one in the same
//   colours, and one in another dye of the material, which learns nothing anew of the rows.
// Usage: bench_recolour [benchmark flags]

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "child_run.h"
#include "composition.h"
#include "folder_layout.h"
#include "layer_loading.h"
#include "layer_recolouring.h"
#include "learnt_rows.h"
#include "set_extras.h"
#include "set_state.h"
#include "setting_file.h"

namespace {

namespace fs = std::filesystem;
using tessarin::BlendRule;
using tessarin::RasterImage;
using tessarin::SetState;

enum class Art { Soft, Noisy };

constexpr std::uint32_t kDyes = 4;
// Even, so that plain and recoloured runs each go first as often.
constexpr int kSingleRuns = 10;
constexpr int kBatchRuns = 4;
constexpr int kBatchCount = 40;
constexpr double kTargetPercent = 10;

struct BenchSet {
  fs::path graphics;
  std::string dyedJson;
  std::string undyedJson;
  SetState state;
  tessarin::PartSelection selection;
  tessarin::LayerSwaps swaps;
  // Every dye's, in turn.
  std::vector<tessarin::LayerSwaps> dyes;
};

// The eight commonest visible colours of a layer: what a material of the art would list.
std::vector<std::uint32_t> CommonestColours(const RasterImage& image) {
  std::map<std::uint32_t, long> counts;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = row + 4 * x;
      if (p[3] != 0) ++counts[p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16];
    }
  }
  std::vector<std::pair<long, std::uint32_t>> ranked;
  for (const auto& [colour, count] : counts) ranked.emplace_back(count, colour);
  std::sort(ranked.rbegin(), ranked.rend());
  std::vector<std::uint32_t> colours;
  for (std::size_t i = 0; i < ranked.size() && i < 8; ++i) colours.push_back(ranked[i].second);
  return colours;
}

std::string Hex(std::uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFu));
  return text;
}

const BenchSet& SetOf(Art art) {
  static const auto open = [](Art kind) {
    static const fs::path root = [] {
      const fs::path made = fs::temp_directory_path() / "tessarin-bench-recolour";
      fs::remove_all(made);
      fs::create_directories(made);
      return made;
    }();
    const char* kindName = kind == Art::Soft ? "soft" : "noisy";
    if (tessarin::bench::RunChild(TESSARIN_MAKE_LARGE_SET, {root.string(), kindName}).exitCode !=
        0) {
      std::fprintf(stderr, "bench_recolour: make_large_set %s failed\n", kindName);
      std::exit(1);
    }
    BenchSet set;
    set.graphics = root;
    set.state.baseFolder = root;
    tessarin::SelectSet(set.state, kind == Art::Soft ? "Large" : "Noisy");
    tessarin::ReadSettingFile(set.state);
    set.state.ready = true;
    set.selection.fill("a.png");
    SetState decoded = set.state;
    tessarin::RefreshLayers(decoded, set.selection);
    // A material of the body's colours, on every part, as a set.json would give it.
    const std::vector<std::uint32_t> source =
        CommonestColours(*decoded.layers[tessarin::MainSlot(2)].image);
    std::string json = R"({"palettes": {"cloth": {"source": [)";
    for (std::size_t i = 0; i < source.size(); ++i) {
      json += (i ? ", \"" : "\"") + Hex(source[i]) + "\"";
    }
    json += R"(], "variants": {)";
    // Undyed, every dye lists the source colours: the same random draws, nothing to recolour.
    const auto variants = [&source](bool dyed) {
      std::string text;
      for (std::uint32_t dye = 1; dye <= kDyes; ++dye) {
        text += (dye > 1 ? ", " : "") + ("\"dye" + std::to_string(dye)) + "\": [";
        for (std::size_t i = 0; i < source.size(); ++i) {
          text += (i ? ", \"" : "\"") + Hex(source[i] ^ (dyed ? dye * 0x305070u : 0)) + "\"";
        }
        text += "]";
      }
      return text + "}}}}";
    };
    set.undyedJson = json + variants(false);
    json += variants(true);
    set.dyedJson = json;
    std::ofstream(set.state.setFolder / "set.json", std::ios::binary) << json;
    tessarin::SetExtras extras;
    set.dyes.resize(kDyes);
    bool parsed = tessarin::ParseSetExtras(json, 1024, 1024, extras).IsOk();
    for (std::uint32_t dye = 1; parsed && dye <= kDyes; ++dye) {
      parsed = tessarin::SwapsForLayers(decoded, extras, {{"cloth", "dye" + std::to_string(dye)}},
                                        set.dyes[dye - 1])
                   .IsOk();
    }
    if (!parsed) {
      std::fprintf(stderr, "bench_recolour: the material does not parse: %s\n", json.c_str());
      std::exit(1);
    }
    set.swaps = set.dyes.front();
    return set;
  };
  static const BenchSet soft = open(Art::Soft);
  static const BenchSet noisy = open(Art::Noisy);
  return art == Art::Soft ? soft : noisy;
}

// Decoding and composing, as for one character; argument 1 composes it in new colours.
void LoadAndCompose(benchmark::State& state, Art art) {
  const BenchSet& set = SetOf(art);
  const bool recoloured = state.range(0) != 0;
  for (auto _ : state) {
    SetState character = set.state;
    tessarin::RefreshLayers(character, set.selection);
    tessarin::LayerRecolouring recolouring(set.swaps);
    RasterImage sheet;
    if (!tessarin::ComposeLayers(character, false, BlendRule::Classic, sheet,
                                 recoloured ? &recolouring : nullptr)) {
      state.SkipWithError("out of memory");
      break;
    }
    benchmark::DoNotOptimize(sheet.Row(0));
  }
  state.SetLabel(recoloured ? "decode + compose, in new colours" : "decode + compose");
}

// Composing decoded layers: 0 plain, 1 the first sheet in new colours, 2 a later one, 3 the
// first in another dye, with what sheets in the others learnt, as a batch's random dyes are.
void Compose(benchmark::State& state, Art art, BlendRule rule) {
  const BenchSet& set = SetOf(art);
  SetState character = set.state;
  tessarin::RefreshLayers(character, set.selection);
  const std::int64_t mode = state.range(0);
  tessarin::LayerRecolouring kept(set.swaps);
  const auto learnt = std::make_shared<tessarin::LearntRows>();
  std::size_t sheets = 0;
  for (auto _ : state) {
    RasterImage sheet;
    tessarin::LayerRecolouring fresh(mode == 3 ? set.dyes[sheets++ % kDyes] : set.swaps,
                                     mode == 3 ? learnt : nullptr);
    tessarin::LayerRecolouring* recolouring = mode == 0 ? nullptr : mode == 2 ? &kept : &fresh;
    if (!tessarin::ComposeLayers(character, false, rule, sheet, recolouring)) {
      state.SkipWithError("out of memory");
      break;
    }
    benchmark::DoNotOptimize(sheet.Row(0));
  }
  state.SetLabel(mode == 0   ? "compose"
                 : mode == 1 ? "compose, first sheet in new colours"
                 : mode == 2 ? "compose, same colours again"
                             : "compose, another dye of the same colours");
}

BENCHMARK_CAPTURE(LoadAndCompose, Soft, Art::Soft)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(LoadAndCompose, Noisy, Art::Noisy)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Compose, SoftClassic, Art::Soft, BlendRule::Classic)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Compose, NoisyClassic, Art::Noisy, BlendRule::Classic)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Compose, SoftStandard, Art::Soft, BlendRule::Standard)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(Compose, NoisyStandard, Art::Noisy, BlendRule::Standard)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Wall and processor milliseconds of one run of tessarin-compose with these arguments.
struct Timing {
  std::vector<double> wallMs;
  std::vector<double> cpuMs;

  void Run(const std::vector<std::string>& args) {
    const tessarin::bench::ChildRun run = tessarin::bench::RunChild(TESSARIN_COMPOSE, args);
    if (run.exitCode != 0) {
      std::fprintf(stderr, "bench_recolour: tessarin-compose failed with exit code %d\n",
                   run.exitCode);
      std::exit(1);
    }
    wallMs.push_back(run.seconds * 1000);
    cpuMs.push_back(run.cpuSeconds * 1000);
  }
};

void PrintCost(const std::string& what, const Timing& plain, const Timing& recoloured) {
  const auto line = [&](const char* clock, double plainMs, double recolouredMs) {
    const double percent = 100 * (recolouredMs - plainMs) / plainMs;
    std::printf(
        "  %-16s %-9s %8.1f ms plain  %8.1f ms recoloured  %+6.1f %%  target <= %.0f %%: "
        "%s\n",
        what.c_str(), clock, plainMs, recolouredMs, percent, kTargetPercent,
        percent <= kTargetPercent ? "met" : "MISSED");
  };
  line("wall", Median(plain.wallMs), Median(recoloured.wallMs));
  line("processor", Median(plain.cpuMs), Median(recoloured.cpuMs));
}

// End to end, alternating plain and recoloured runs so that both see the same machine, each
// going first in turn, so that neither gains from what the other leaves behind.
void MeasureCompose() {
  std::printf("\ntessarin-compose, median wall time\n");
  for (const Art art : {Art::Soft, Art::Noisy}) {
    const BenchSet& set = SetOf(art);
    const fs::path out = set.graphics / "out";
    fs::create_directories(out);
    std::printf("%s set\n", art == Art::Soft ? "soft" : "noisy");
    std::vector<std::string> single = {"--graphics", set.graphics.string(), "--set",
                                       set.state.setName};
    for (int part = 0; part < tessarin::kPartCount; ++part) {
      single.insert(single.end(),
                    {"--pick", set.state.partNames[static_cast<std::size_t>(part)] + "=a.png"});
    }
    single.insert(single.end(), {"-o", (out / "one.png").string()});
    std::vector<std::string> dyed = single;
    dyed.insert(dyed.end(), {"--color", "cloth=dye1"});
    Timing plain, recoloured;
    for (int i = 0; i < kSingleRuns; ++i) {
      if (i % 2 == 0) plain.Run(single);
      recoloured.Run(dyed);
      if (i % 2 == 1) plain.Run(single);
    }
    PrintCost("one character", plain, recoloured);
    // The same random characters in random dyes, or with dyes that change nothing.
    std::vector<std::string> batch = {"--graphics", set.graphics.string(),
                                      "--set",      set.state.setName,
                                      "--random",   "all",
                                      "--seed",     "1",
                                      "--count",    std::to_string(kBatchCount),
                                      "-o",         (out / "batch" / "c-{n}.png").string()};
    // Every batch writes new files, as the first one would: files that replace others are
    // synced one by one, new ones once at the end.
    const auto runBatch = [&](const std::string& json, Timing& timing) {
      fs::remove_all(out / "batch");
      fs::create_directories(out / "batch");
      std::ofstream(set.state.setFolder / "set.json", std::ios::binary) << json;
      timing.Run(batch);
    };
    Timing plainBatch, recolouredBatch;
    for (int i = 0; i < kBatchRuns; ++i) {
      if (i % 2 == 0) runBatch(set.undyedJson, plainBatch);
      runBatch(set.dyedJson, recolouredBatch);
      if (i % 2 == 1) runBatch(set.undyedJson, plainBatch);
    }
    PrintCost("batch of " + std::to_string(kBatchCount), plainBatch, recolouredBatch);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  MeasureCompose();
  return 0;
}
