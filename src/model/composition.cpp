#include "composition.h"

#include "set_state.h"

namespace tessarin {

RasterImage ComposeLayers(const SetState& state, bool halfMode, BlendRule rule) {
  const int width = state.xSize / (halfMode ? 2 : 1);
  const int height = state.ySize;
  RasterImage composite;
  if (!composite.Create(width, height, 32, true)) return composite;
  for (const std::int32_t slot : state.drawOrder) {
    if (slot < 0 || slot >= kSlotCount) continue;
    const LayerSlot& layer = state.layers[static_cast<std::size_t>(slot)];
    if (layer.IsEmpty()) continue;
    // 1:1 from the top-left corner: in half mode that keeps the left half of each layer.
    layer.image->Draw(composite, 0, 0, width, height, 0, 0, width, height, rule);
  }
  return composite;
}

}  // namespace tessarin
