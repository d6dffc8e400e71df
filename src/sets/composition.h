#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "blend_rule.h"
#include "palette_swap.h"
#include "raster_image.h"
#include "set_state.h"
#include "status.h"

namespace tessarin {

class LearntRows;

// The colours to swap in each slot's layer as it is drawn; empty for none.
using LayerSwaps = std::array<std::vector<ColourSwap>, kSlotCount>;

// A character's colours while sheets are composed in them, and what drawing learnt: the rows
// of each layer that hold no colour to swap, which later sheets pass by. Keep one for as long
// as the colours stay; it notices layers and sheet widths that change. Recolourings that share
// learnt (all the colours of a batch, say) learn each image once for all of them.
class LayerRecolouring {
 public:
  explicit LayerRecolouring(LayerSwaps swaps, std::shared_ptr<LearntRows> learnt = nullptr);
  const LayerSwaps& Swaps() const { return swaps_; }

 private:
  friend Status ComposeLayers(const SetState&, bool, BlendRule, RasterImage&, LayerRecolouring*);
  LayerSwaps swaps_;
  std::array<std::unique_ptr<ColourSwapper>, kSlotCount> swappers_;
  std::shared_ptr<LearntRows> learnt_;
};

// Draws every loaded slot of drawOrder at 1:1 into a new 32-bit straight-alpha image of the
// set's size that starts fully transparent. In half mode only the left half of every layer
// is kept (width xSize / 2). The classic rule rounds after every layer, as the sets were tuned
// with it; the standard rule rounds the whole stack once. A set without a size gives an empty
// image. When memory runs out, composite is left empty and the error says what did not fit.
// With recolouring, each layer is recoloured as it is drawn, to the same pixels as drawing
// layers recoloured by SwapColours first.
[[nodiscard]] Status ComposeLayers(const SetState& state, bool halfMode, BlendRule rule,
                                   RasterImage& composite, LayerRecolouring* recolouring = nullptr);

}  // namespace tessarin
