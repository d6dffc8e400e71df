#pragma once

namespace tessarin {

// How a layer with transparency is drawn over what lies beneath it.
enum class BlendRule {
  // dst = src + (1 - a) * dst on every channel, colour not weighted by alpha,
  // saturating at 255. Existing sets were tuned to it.
  Classic,
  // Porter-Duff source-over on straight alpha, palette and colour-key transparency honoured.
  Standard,
};

}  // namespace tessarin
