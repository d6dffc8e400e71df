#include "batch_runner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "atomic_save.h"
#include "character_credits.h"
#include "character_recipe.h"
#include "compose_command.h"
#include "composition.h"
#include "credits_file.h"
#include "crt_random.h"
#include "folder_layout.h"
#include "layer_recolouring.h"
#include "learnt_rows.h"
#include "output_pattern.h"
#include "parallel_saver.h"
#include "progress_bar.h"
#include "random_compose.h"
#include "raster_image.h"
#include "sheet_metadata.h"
#include "task_sharing.h"

namespace tessarin::cli {
namespace {

// Choices of colours a batch keeps the swaps of at once.
constexpr std::size_t kMaxRecolourings = 256;

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

std::string FileNameOf(const std::string& path) {
  return PathToUtf8(PathFromUtf8(path).filename());
}

// The folder part of a path, "" for the current folder.
std::string FolderOf(const std::string& path) {
  return PathToUtf8(PathFromUtf8(path).parent_path());
}

std::string SaveFailure(const std::string& message, const std::string& path) {
  const std::string shown = PathForDisplay(PathFromUtf8(path));
  if (message.find(shown) != std::string::npos) return message;
  return "cannot write " + shown + (message.empty() ? "" : ": " + message);
}

}  // namespace

std::variant<BatchResult, CliError> RunBatch(SetState& state, const SetAdditions& additions,
                                             const CompositionPlan& plan,
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
  const int draws = RandomDrawCount(plan.random, plan.entryCounts) +
                    RandomColourDrawCount(plan.randomColours, plan.colourCounts);
  random.Discard(static_cast<std::uint64_t>(options.first - 1) * static_cast<std::uint64_t>(draws));
  state.ready = true;
  ProgressBar bar(progress, options.count);
  // A sync per file would cost a batch more than its writing: new files of a batch reach the
  // disk together at its end, before it says it is done. Replaced files are synced each.
  const Durability durability =
      options.count > 1 ? Durability::NewFilesAtEnd : Durability::EachFile;
  // Two sheets per core in flight keep every core busy without holding the whole batch.
  ParallelSaver saver(
      2 * std::size_t{CoreCount()},
      [durability](const RasterImage& image, const std::filesystem::path& path) {
        return WriteImageFile(image, path, durability);
      },
      durability);
  std::set<std::string> folders;
  std::shared_ptr<const RasterImage> sheet;
  std::vector<int> sheetColours;
  std::map<std::vector<int>, LayerRecolouring> recolourings;
  // Shared by every choice of colours: which rows hold a colour to swap does not depend on
  // what it becomes, so a batch learns each image once, whichever dye it is drawn in first.
  const auto learnt = std::make_shared<LearntRows>();
  std::set<std::string> seenCompanions;
  // Each output folder's credit lines, for its CREDITS.txt.
  std::map<std::string, std::set<std::string>> folderCredits;
  SheetMetadata metadata;
  if (options.metadata) {
    metadata.width = result.width;
    metadata.height = result.height;
    metadata.cells = CellsFor(additions.extras, options.half);
    metadata.animations = AnimationsFor(additions.extras, options.half);
  }
  const int last = options.first - 1 + options.count;
  // Counted from 0, since the last number may be the largest int.
  for (int index = 0; index < options.count; ++index) {
    const int number = options.first + index;
    std::array<int, kPartCount> entries = plan.picks;
    RandomCompose(random, plan.random, plan.entryCounts, entries);
    std::vector<int> colours = plan.colourPicks;
    RandomColours(random, plan.randomColours, plan.colourCounts, colours);
    const PartSelection files = plan.Files(entries);
    const bool changed = RefreshLayers(state, files, loader);
    if (auto error = FindUndecodedImage(state, cache)) return *error;
    WarnOfUndecodedCompanions(state, cache, seenCompanions, warnings);
    // Unchanged layers and colours give the same sheet; only the file name differs.
    if (changed || !sheet || colours != sheetColours) {
      auto composed = std::make_shared<RasterImage>();
      Status made = Status::Ok();
      if (std::any_of(colours.begin(), colours.end(), [](int choice) { return choice != 0; })) {
        // Kept for each choice of colours met, so that its swaps are built once; a batch meets
        // a handful, and the bound keeps a long one from holding more.
        if (recolourings.size() >= kMaxRecolourings && !recolourings.count(colours)) {
          recolourings.clear();
        }
        auto found = recolourings.find(colours);
        if (found == recolourings.end()) {
          LayerSwaps swaps;
          made = SwapsForLayers(state, additions.extras, plan.Colours(colours), swaps);
          found = recolourings.emplace(colours, LayerRecolouring(std::move(swaps), learnt)).first;
        }
        if (made) {
          made = ComposeLayers(state, options.half, options.blend, *composed, &found->second);
        }
      } else {
        made = ComposeLayers(state, options.half, options.blend, *composed);
      }
      if (!made) return InputError(made.Message());
      sheet = std::move(composed);
      sheetColours = colours;
    }
    std::string path = CharacterOutputName(options.output, number, last);
    folders.insert(FolderOf(path));
    std::vector<ParallelSaver::TextFile> texts;
    if (options.metadata) {
      metadata.imageName = FileNameOf(path);
      metadata.recipe = RecipeOf(state, files, plan.Colours(colours), options.half, options.blend);
      metadata.images = UsedImages(state, additions.credits, files);
      texts = MetadataFiles(metadata, path);
      std::set<std::string>& lines = folderCredits[FolderOf(path)];
      for (const UsedImage& image : metadata.images) lines.insert(CreditLine(image));
    }
    if (!saver.Submit(sheet, path, std::move(texts))) break;
    // Said in full, so that the user finds the file whatever the current folder was.
    if (options.count == 1)
      result.output = PathForDisplay(std::filesystem::absolute(PathFromUtf8(path)));
    bar.Update(saver.Completed());
  }
  saver.Finish();
  if (const auto failure = saver.Failure()) {
    return WriteError(SaveFailure(failure->second, failure->first));
  }
  if (options.count > 1 || PlacesNumber(options.output)) {
    for (const auto& [folder, lines] : folderCredits) {
      const std::filesystem::path target = PathFromUtf8(folder);
      if (const Status merged = MergeCreditsFile(target, lines, durability); !merged) {
        return WriteError(SaveFailure(merged.Message(), PathToUtf8(target / kBatchCreditsName)));
      }
    }
  }
  if (durability == Durability::NewFilesAtEnd) {
    for (const std::string& folder : folders) {
      if (const Status synced = SyncFileSystemOf(PathFromUtf8(folder)); !synced) {
        return WriteError(SaveFailure(synced.Message(), folder.empty() ? "." : folder));
      }
    }
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
