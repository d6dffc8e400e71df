#pragma once

#include "blend_rule.h"
#include "raster_image.h"
#include "status.h"

namespace tessarin {

struct SetState;

// Draws every loaded slot of drawOrder at 1:1 into a new 32-bit straight-alpha image of the
// set's size that starts fully transparent. In half mode only the left half of every layer
// is kept (width xSize / 2). The classic rule rounds after every layer, as the sets were tuned
// with it; the standard rule rounds the whole stack once. A set without a size gives an empty
// image. When memory runs out, composite is left empty and the error says what did not fit.
[[nodiscard]] Status ComposeLayers(const SetState& state, bool halfMode, BlendRule rule,
                                   RasterImage& composite);

}  // namespace tessarin
