#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "palette_swap.h"
#include "raster_image.h"

namespace tessarin {

// What drawing learnt of the rows of images: which hold no colour that swaps take away. That
// depends only on the colours taken away, not on what they become, so every choice of variants
// of the same materials shares it: a batch in four dyes learns each image once, not four times.
class LearntRows {
 public:
  // A byte per row of image, drawn width pixels wide with swaps, as ColourSwapper learns it:
  // kRowUnseen for rows not seen yet. Kept by the caller while drawing, since a later call may
  // let it go here.
  std::shared_ptr<std::vector<std::uint8_t>> For(const std::shared_ptr<const RasterImage>& image,
                                                 int width, const std::vector<ColourSwap>& swaps);

  // Images a few layers of a batch's characters go back and forth between, in a few sets of
  // colours; rows are a byte each.
  static constexpr std::size_t kImages = 128;

 private:
  struct Entry {
    // Weak, so that nothing learnt keeps an image in memory; the owner still tells an image
    // from one made later at the same address.
    std::weak_ptr<const RasterImage> image;
    int width = 0;
    // The colours taken away, sorted, without alpha.
    std::vector<std::uint32_t> sources;
    std::shared_ptr<std::vector<std::uint8_t>> rows;
  };
  // The last used first, so that the longest unused is the one let go.
  std::vector<Entry> entries_;
};

}  // namespace tessarin
