#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "image_file.h"
#include "set_state.h"
#include "status.h"

namespace tessarin {

class RasterImage;

// Loads one image, keeping only the given corner of it; nullptr when it is missing or cannot
// be decoded. Called from several threads at once, for different paths.
using ImageLoader =
    std::function<std::shared_ptr<const RasterImage>(const std::filesystem::path&, KeptCorner)>;

std::shared_ptr<const RasterImage> LoadImageFromDisk(const std::filesystem::path& path,
                                                     KeptCorner keep);

// Decodes each path at most once, for batches that reuse the same images, and keeps why a
// path failed. Safe to use from several threads: one that asks for a path another is decoding
// waits for that image, while other paths decode meanwhile. A path is kept as cut at its
// first decode: a batch asks for every image with the same corner, its sheet's.
class ImageCache {
 public:
  using Read = std::function<Status(const std::filesystem::path&, RasterImage&, KeptCorner)>;
  explicit ImageCache(Read read = ReadImageFile) : read_(std::move(read)) {}

  std::shared_ptr<const RasterImage> Get(const std::filesystem::path& path, KeptCorner keep = {});
  ImageLoader Loader() {
    return [this](const std::filesystem::path& path, KeptCorner keep) { return Get(path, keep); };
  }
  std::size_t Size() const;
  // Why the path gave no image; "" when it gave one or was never asked for.
  std::string FailureOf(const std::filesystem::path& path) const;

 private:
  struct Entry {
    std::shared_ptr<const RasterImage> image;
    std::string failure;
  };
  Entry Load(const std::filesystem::path& path, KeptCorner keep) const;

  Read read_;
  mutable std::mutex mutex_;
  // Ready once the path is decoded, or has failed.
  std::map<std::filesystem::path, std::shared_future<Entry>> images_;
};

// The image file chosen for each part; "" chooses nothing.
using PartSelection = std::array<std::string, kPartCount>;

// Brings the slots of every defined part in line with the selection: a part whose main path
// changed gets both images reloaded (main and companion), a part set to nothing is emptied.
// The images are decoded side by side, on as many threads as the machine has cores, and keep
// only the corner of the set's size that composition draws.
// Does nothing while the state is not ready. Returns true when any slot changed. An exception
// from load (out of memory) reaches the caller once every load has ended; the slot it was
// loading stays empty.
bool RefreshLayers(SetState& state, const PartSelection& selection,
                   const ImageLoader& load = LoadImageFromDisk);

}  // namespace tessarin
