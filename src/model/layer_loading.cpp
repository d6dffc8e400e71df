#include "layer_loading.h"

#include "folder_layout.h"
#include "raster_image.h"

namespace tessarin {

std::shared_ptr<const RasterImage> LoadImageFromDisk(const std::filesystem::path& path) {
  auto image = std::make_shared<RasterImage>();
  if (!image->Load(path)) return nullptr;
  return image;
}

std::shared_ptr<const RasterImage> ImageCache::Get(const std::filesystem::path& path) {
  const auto found = images_.find(path);
  if (found != images_.end()) return found->second;
  // Failures are remembered too: a batch asks for the same missing companion many times.
  return images_.emplace(path, LoadImageFromDisk(path)).first->second;
}

bool RefreshLayers(SetState& state, const PartSelection& selection, const ImageLoader& load) {
  if (!state.ready) return false;
  bool changed = false;
  for (int part = 0; part < kPartCount; ++part) {
    if (state.partNames[static_cast<std::size_t>(part)].empty()) continue;
    const std::string& fileName = selection[static_cast<std::size_t>(part)];
    const std::filesystem::path mainPath =
        fileName.empty() ? std::filesystem::path() : MainImagePath(state, part, fileName);
    const std::string newPath = PathToUtf8(mainPath);

    LayerSlot& main = state.layers[MainSlot(part)];
    LayerSlot& companion = state.layers[CompanionSlot(part)];
    if (newPath == main.loadedPath) continue;

    changed = true;
    main.image.reset();
    companion.image.reset();
    main.loadedPath = newPath;
    companion.loadedPath.clear();
    if (newPath.empty()) continue;

    main.image = load(mainPath);
    if (const auto companionPath = CompanionPath(mainPath)) {
      companion.image = load(*companionPath);
      companion.loadedPath = PathToUtf8(*companionPath);
    }
  }
  return changed;
}

}  // namespace tessarin
