#include "layer_recolouring.h"

#include <array>
#include <memory>
#include <new>

#include "palette_swap.h"
#include "set_extras.h"
#include "set_state.h"

namespace tessarin {

Status SwapsForLayers(const SetState& state, const SetExtras& extras,
                      const std::vector<std::pair<std::string, std::string>>& choices,
                      LayerSwaps& swaps) {
  for (std::vector<ColourSwap>& slot : swaps) slot.clear();
  for (int part = 0; part < kPartCount; ++part) {
    if (state.partNames[part].empty()) continue;
    std::vector<ColourSwap> partSwaps;
    if (Status found = SwapsForPart(extras, choices, state.partNames[part], partSwaps); !found) {
      return found;
    }
    swaps[static_cast<std::size_t>(CompanionSlot(part))] = partSwaps;
    swaps[static_cast<std::size_t>(MainSlot(part))] = std::move(partSwaps);
  }
  return Status::Ok();
}

Status RecolourLayers(SetState& state, const SetExtras& extras,
                      const std::vector<std::pair<std::string, std::string>>& choices) {
  LayerSwaps swaps;
  if (Status found = SwapsForLayers(state, extras, choices, swaps); !found) return found;
  std::array<std::shared_ptr<const RasterImage>, kSlotCount> recoloured;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::shared_ptr<const RasterImage>& image = state.layers[slot].image;
    if (!image || swaps[slot].empty()) continue;
    try {
      auto copy = std::make_shared<RasterImage>(*image);
      SwapColours(*copy, swaps[slot]);
      recoloured[slot] = std::move(copy);
    } catch (const std::bad_alloc&) {
      // Slot k holds part k's companion, slot k + 8 its main image.
      return Status::OutOfMemory("Not enough memory to recolour the layers of part " +
                                 state.partNames[slot % kPartCount]);
    }
  }
  // Only once every layer is done, so that a failure changes nothing.
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (recoloured[slot]) state.layers[slot].image = std::move(recoloured[slot]);
  }
  return Status::Ok();
}

}  // namespace tessarin
