#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "raster_image.h"

namespace tessarin {

inline constexpr int kPartCount = 8;
inline constexpr int kSlotCount = 16;

// Slot k + 8 holds the main image of part k, slot k its companion.
inline constexpr int MainSlot(int part) {
  return part + kPartCount;
}
inline constexpr int CompanionSlot(int part) {
  return part;
}

struct LayerSlot {
  // Images are immutable once loaded, so a batch can share them between characters.
  std::shared_ptr<const RasterImage> image;
  // The path given to the last load, whether or not it succeeded; "" when emptied.
  std::string loadedPath;
  // The corner the image was cut to, the sheet's size then: a sheet of another size needs it
  // loaded again.
  KeptCorner keptCorner;

  bool IsEmpty() const { return image == nullptr; }
};

// The selected set and its layers. Strings hold UTF-8.
struct SetState {
  std::filesystem::path baseFolder;
  // The set folder's name as listed, without a separator.
  std::string setName;
  // baseFolder joined with setName, resolved without regard to letter case.
  std::filesystem::path setFolder;
  // Part folder names in setting-file order; "" marks an undefined part.
  std::array<std::string, kPartCount> partNames;
  std::int32_t xSize = 0;
  std::int32_t ySize = 0;
  // Ascending sort keys, parallel to drawOrder.
  std::vector<std::int32_t> orderKeys;
  // Slot numbers, furthest back first.
  std::vector<std::int32_t> drawOrder;
  std::array<LayerSlot, kSlotCount> layers;
  bool ready = false;
};

}  // namespace tessarin
