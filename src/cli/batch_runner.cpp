#include "batch_runner.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "compose_command.h"
#include "composition.h"
#include "crt_random.h"
#include "folder_layout.h"
#include "output_pattern.h"
#include "parallel_saver.h"
#include "progress_bar.h"
#include "random_compose.h"
#include "raster_image.h"
#include "task_sharing.h"

namespace tessarin::cli {
namespace {

// A selected main image whose slot stayed empty could not be loaded.
std::optional<CliError> FindUndecodedImage(const SetState& state, const ImageCache& cache) {
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    const LayerSlot& slot = state.layers[static_cast<std::size_t>(MainSlot(k))];
    if (!slot.IsEmpty() || slot.loadedPath.empty()) continue;
    const std::filesystem::path path = PathFromUtf8(slot.loadedPath);
    const std::string reason = cache.FailureOf(path);
    return InputError(reason.empty() ? "cannot decode image " + PathForDisplay(path) : reason);
  }
  return std::nullopt;
}

// Companions are optional: a missing one is the usual case and goes unsaid, one that is there
// and failed to load is drawn without, and said once. Each empty companion is looked at once a
// batch: the cache keeps its failure, so it stays empty for every later character.
void WarnOfUndecodedCompanions(const SetState& state, const ImageCache& cache,
                               std::set<std::string>& seen, std::ostream* warnings) {
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    const LayerSlot& slot = state.layers[static_cast<std::size_t>(CompanionSlot(k))];
    if (!slot.IsEmpty() || slot.loadedPath.empty()) continue;
    if (!seen.insert(slot.loadedPath).second) continue;
    const std::filesystem::path path = PathFromUtf8(slot.loadedPath);
    std::error_code missing;
    if (!std::filesystem::exists(path, missing) || warnings == nullptr) continue;
    const std::string reason = cache.FailureOf(path);
    *warnings << kProgramName << ": warning: "
              << (reason.empty() ? "cannot decode image " + PathForDisplay(path) : reason)
              << "; drawn without this companion" << std::endl;
  }
}

std::string SaveFailure(const std::string& message, const std::string& path) {
  const std::string shown = PathForDisplay(PathFromUtf8(path));
  if (message.find(shown) != std::string::npos) return message;
  return "cannot write " + shown + (message.empty() ? "" : ": " + message);
}

}  // namespace

std::variant<BatchResult, CliError> RunBatch(SetState& state, const CompositionPlan& plan,
                                             const ComposeOptions& options, std::uint32_t seed,
                                             std::ostream* progress, std::ostream* warnings) {
  auto start = std::chrono::steady_clock::now();
  BatchResult result;
  result.width = options.half ? state.xSize / 2 : state.xSize;
  result.height = state.ySize;
  if (result.width <= 0 || result.height <= 0) {
    return InputError("set '" + state.setName + "' has no usable size (Xsize " +
                      std::to_string(state.xSize) + ", Ysize " + std::to_string(state.ySize) +
                      " in " + PathForDisplay(state.setFolder) + ")");
  }

  ImageCache cache;
  ImageLoader loader = cache.Loader();
  CrtRandom random(seed);
  // Every character draws alike, so the characters before the first are skipped whole.
  random.Discard(static_cast<std::uint64_t>(options.first - 1) *
                 static_cast<std::uint64_t>(RandomDrawCount(plan.random, plan.entryCounts)));
  state.ready = true;
  ProgressBar bar(progress, options.count);
  // Two sheets per core in flight keep every core busy without holding the whole batch.
  ParallelSaver saver(2 * std::size_t{CoreCount()});
  std::shared_ptr<const RasterImage> sheet;
  std::set<std::string> seenCompanions;
  const int last = options.first - 1 + options.count;
  // Counted from 0, since the last number may be the largest int.
  for (int index = 0; index < options.count; ++index) {
    const int number = options.first + index;
    std::array<int, kPartCount> entries = plan.picks;
    RandomCompose(random, plan.random, plan.entryCounts, entries);
    const bool changed = RefreshLayers(state, plan.Files(entries), loader);
    if (auto error = FindUndecodedImage(state, cache)) return *error;
    WarnOfUndecodedCompanions(state, cache, seenCompanions, warnings);
    // Unchanged layers give the same sheet; only the file name differs.
    if (changed || !sheet) {
      auto composed = std::make_shared<RasterImage>();
      const Status made = ComposeLayers(state, options.half, options.blend, *composed);
      if (!made) return InputError(made.Message());
      sheet = std::move(composed);
    }
    std::string path = CharacterOutputName(options.output, number, last);
    if (!saver.Submit(sheet, path)) break;
    // Said in full, so that the user finds the file whatever the current folder was.
    if (options.count == 1)
      result.output = PathForDisplay(std::filesystem::absolute(PathFromUtf8(path)));
    bar.Update(saver.Completed());
  }
  saver.Finish();
  if (const auto failure = saver.Failure()) {
    return WriteError(SaveFailure(failure->second, failure->first));
  }
  result.written = saver.Completed();
  bar.Update(result.written);
  if (options.count > 1) result.output = PathForDisplay(PathFromUtf8(options.output));
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

std::string SummaryLine(const BatchResult& result) {
  std::string size =
      " (" + std::to_string(result.width) + "x" + std::to_string(result.height) + ")";
  if (result.written == 1) return "wrote " + result.output + size;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", result.seconds);
  return "wrote " + std::to_string(result.written) + " characters to " + result.output + size +
         " in " + seconds + " s";
}

}  // namespace tessarin::cli
