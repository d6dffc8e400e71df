#include "layer_loading.h"

#include <exception>
#include <new>
#include <utility>
#include <vector>

#include "folder_layout.h"
#include "image_file.h"
#include "raster_image.h"
#include "task_sharing.h"

namespace tessarin {
namespace {

struct PendingLoad {
  std::filesystem::path path;
  std::shared_ptr<const RasterImage>* image;
};

// Decoding is most of a refresh, and each image decodes on its own, so the images are shared
// out among the cores.
void LoadAll(const std::vector<PendingLoad>& pending, const ImageLoader& load, KeptCorner keep) {
  PrepareCodecsForThreads();
  ShareTasks(pending.size(), CoreCount(),
             [&](std::size_t i) { *pending[i].image = load(pending[i].path, keep); });
}

}  // namespace

std::shared_ptr<const RasterImage> LoadImageFromDisk(const std::filesystem::path& path,
                                                     KeptCorner keep) {
  auto image = std::make_shared<RasterImage>();
  if (!ReadImageFile(path, *image, keep)) return nullptr;
  return image;
}

std::shared_ptr<const RasterImage> ImageCache::Get(const std::filesystem::path& path,
                                                   KeptCorner keep) {
  std::promise<Entry> decoded;
  std::shared_future<Entry> entry;
  bool first = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    auto [found, added] = images_.try_emplace(path);
    if (added) {
      found->second = decoded.get_future().share();
      first = true;
    }
    entry = found->second;
  }
  // Decoded outside the lock so that other paths decode meanwhile. Failures are remembered
  // too: a batch asks for the same missing companion many times.
  if (first) {
    try {
      decoded.set_value(Load(path, keep));
    } catch (...) {
      decoded.set_exception(std::current_exception());
    }
  }
  return entry.get().image;
}

ImageCache::Entry ImageCache::Load(const std::filesystem::path& path, KeptCorner keep) const {
  Entry entry;
  try {
    auto image = std::make_shared<RasterImage>();
    if (const Status loaded = read_(path, *image, keep); loaded) {
      entry.image = std::move(image);
    } else {
      entry.failure = loaded.Message();
    }
  } catch (const std::bad_alloc&) {
    entry.failure = "Cannot load \"" + PathForDisplay(path) + "\": out of memory";
  }
  return entry;
}

std::size_t ImageCache::Size() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return images_.size();
}

std::string ImageCache::FailureOf(const std::filesystem::path& path) const {
  std::shared_future<Entry> entry;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = images_.find(path);
    if (found == images_.end()) return std::string();
    entry = found->second;
  }
  return entry.get().failure;
}

bool RefreshLayers(SetState& state, const PartSelection& selection, const ImageLoader& load) {
  if (!state.ready) return false;
  // Composition draws every layer 1:1 from its corner into a sheet of the set's size.
  const KeptCorner corner{state.xSize, state.ySize};
  bool changed = false;
  std::vector<PendingLoad> pending;
  for (int part = 0; part < kPartCount; ++part) {
    if (state.partNames[static_cast<std::size_t>(part)].empty()) continue;
    const std::string& fileName = selection[static_cast<std::size_t>(part)];
    const std::filesystem::path mainPath =
        fileName.empty() ? std::filesystem::path() : MainImagePath(state, part, fileName);
    const std::string newPath = PathToUtf8(mainPath);

    LayerSlot& main = state.layers[MainSlot(part)];
    LayerSlot& companion = state.layers[CompanionSlot(part)];
    if (newPath == main.loadedPath && main.keptCorner == corner) continue;

    changed = true;
    main.image.reset();
    companion.image.reset();
    main.loadedPath = newPath;
    companion.loadedPath.clear();
    main.keptCorner = corner;
    companion.keptCorner = corner;
    if (newPath.empty()) continue;

    pending.push_back({mainPath, &main.image});
    if (const auto companionPath = CompanionPath(mainPath)) {
      pending.push_back({*companionPath, &companion.image});
      companion.loadedPath = PathToUtf8(*companionPath);
    }
  }
  LoadAll(pending, load, corner);
  return changed;
}

}  // namespace tessarin
