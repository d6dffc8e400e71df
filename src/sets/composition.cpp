#include "composition.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "blend.h"
#include "learnt_rows.h"
#include "task_sharing.h"

namespace tessarin {
namespace {

// Rows are composed a band at a time, every layer in turn: a band of the target (64 rows of a
// 1024-pixel sheet are 256 KiB) stays in the cache while all sixteen layers are drawn over it,
// and bands are independent, so threads can share them out.
constexpr int kBandRows = 64;

// Below this many pixels the threads cost more than they save.
constexpr long long kPixelsWorthThreads = 256 * 256;

// A layer to draw, and the colours to swap on the way (nothing for none) with what is known
// of its rows.
struct DrawnLayer {
  const RasterImage* image = nullptr;
  const ColourSwapper* swapper = nullptr;
  std::uint8_t* rowsLearnt = nullptr;
};

// The classic rule is defined layer by layer on bytes, as the sets were tuned with it.
void ClassicBand(const std::vector<DrawnLayer>& layers, RasterImage& composite, int top, int rows) {
  const int width = composite.Width();
  // 1:1 from the top-left corner: in half mode that keeps the left half of each layer.
  for (const DrawnLayer& layer : layers) {
    layer.image->Draw(composite, 0, top, width, rows, 0, top, width, rows, BlendRule::Classic,
                      layer.swapper, layer.rowsLearnt);
  }
}

// The standard rule over the whole stack in floats, rounded to bytes once at the end.
void StandardBand(const std::vector<DrawnLayer>& layers, RasterImage& composite, int top,
                  int rows) {
  const int width = composite.Width();
  const auto pixels = static_cast<std::size_t>(width);
  // One per thread, kept from band to band: fresh memory costs more than clearing it.
  thread_local std::vector<float> acc;
  acc.assign(4 * pixels * static_cast<std::size_t>(rows), 0.0f);
  RasterImage expanded;
  for (const DrawnLayer& drawn : layers) {
    const RasterImage* layer = drawn.image;
    // Rows holding B, G, R and the alpha the standard rule sees are read in place; any other
    // format is first drawn over clear pixels, which gives its pixels exactly.
    const bool direct = layer->BitsPerPixel() == 32 && (layer->HasAlpha() || layer->HasKeyAlpha());
    const RasterImage* rowsOf = layer;
    int rowOffset = top;
    std::size_t count = std::min<std::size_t>(pixels, static_cast<std::size_t>(layer->Width()));
    int lastRow = std::min(rows, layer->Height() - top);
    if (!direct) {
      if (expanded.IsNull()) expanded.Create(width, rows, 32, true);
      for (int y = 0; y < rows; ++y) std::fill_n(expanded.Row(y), 4 * pixels, 0);
      layer->Draw(expanded, 0, 0, width, rows, 0, top, width, rows, BlendRule::Standard,
                  drawn.swapper);
      rowsOf = &expanded;
      rowOffset = 0;
      count = pixels;
      lastRow = rows;
    }
    const bool swapHere = direct && drawn.swapper;
    for (int y = 0; y < lastRow; ++y) {
      const std::uint8_t* row = rowsOf->Row(rowOffset + y);
      float* accRow = acc.data() + 4 * pixels * static_cast<std::size_t>(y);
      if (swapHere) {
        drawn.swapper->ForEachRecolouredPiece(
            row, count, drawn.rowsLearnt ? drawn.rowsLearnt + rowOffset + y : nullptr,
            [accRow](std::size_t first, const std::uint8_t* piece, std::size_t n) {
              blend::AccumulateRow(accRow + 4 * first, piece, n);
            });
      } else {
        blend::AccumulateRow(accRow, row, count);
      }
    }
  }
  for (int y = 0; y < rows; ++y) {
    blend::ResolveRow(composite.Row(top + y), acc.data() + 4 * pixels * static_cast<std::size_t>(y),
                      pixels);
  }
}

}  // namespace

LayerRecolouring::LayerRecolouring(LayerSwaps swaps, std::shared_ptr<LearntRows> learnt)
    : swaps_(std::move(swaps)),
      learnt_(learnt ? std::move(learnt) : std::make_shared<LearntRows>()) {}

Status ComposeLayers(const SetState& state, bool halfMode, BlendRule rule, RasterImage& composite,
                     LayerRecolouring* recolouring) {
  composite.Destroy();
  const int width = state.xSize / (halfMode ? 2 : 1);
  const int height = state.ySize;
  if (width <= 0 || height <= 0) return Status::Ok();

  const int bands = (height + kBandRows - 1) / kBandRows;
  const bool worthThreads = static_cast<long long>(width) * height >= kPixelsWorthThreads;
  try {
    std::vector<DrawnLayer> layers;
    std::vector<std::unique_ptr<RasterImage>> copies;
    // Held while drawing: what a later layer learns may let an earlier one's go.
    std::vector<std::shared_ptr<std::vector<std::uint8_t>>> learnt;
    for (const std::int32_t slot : state.drawOrder) {
      if (slot < 0 || slot >= kSlotCount) continue;
      const LayerSlot& layer = state.layers[static_cast<std::size_t>(slot)];
      if (layer.IsEmpty()) continue;
      DrawnLayer drawn{layer.image.get(), nullptr, nullptr};
      const std::vector<ColourSwap>* swaps =
          recolouring ? &recolouring->swaps_[static_cast<std::size_t>(slot)] : nullptr;
      if (swaps && !swaps->empty()) {
        if (layer.image->BitsPerPixel() == 16) {
          // Its new colours are rounded to what 16 bits hold, which only a copy can show.
          copies.push_back(std::make_unique<RasterImage>(*layer.image));
          SwapColours(*copies.back(), *swaps);
          drawn.image = copies.back().get();
        } else {
          std::unique_ptr<ColourSwapper>& swapper =
              recolouring->swappers_[static_cast<std::size_t>(slot)];
          if (!swapper) swapper = std::make_unique<ColourSwapper>(*swaps);
          // Rows learnt of another image, over other columns or for other colours say nothing
          // of these.
          learnt.push_back(recolouring->learnt_->For(layer.image, width, *swaps));
          drawn.swapper = swapper.get();
          drawn.rowsLearnt = learnt.back()->data();
        }
      }
      layers.push_back(drawn);
    }
    composite.Create(width, height, 32, true);
    ShareTasks(static_cast<std::size_t>(bands), worthThreads ? CoreCount() : 1u,
               [&](std::size_t band) {
                 const int top = static_cast<int>(band) * kBandRows;
                 const int rows = std::min(kBandRows, height - top);
                 if (rule == BlendRule::Standard) {
                   StandardBand(layers, composite, top, rows);
                 } else {
                   ClassicBand(layers, composite, top, rows);
                 }
               });
  } catch (const std::bad_alloc&) {
    composite.Destroy();
    return Status::OutOfMemory("Cannot compose the " + std::to_string(width) + "x" +
                               std::to_string(height) + " sheet: out of memory");
  }
  return Status::Ok();
}

}  // namespace tessarin
