#include "learnt_rows.h"

#include <algorithm>
#include <iterator>

namespace tessarin {
namespace {

std::vector<std::uint32_t> SourcesOf(const std::vector<ColourSwap>& swaps) {
  std::vector<std::uint32_t> sources;
  sources.reserve(swaps.size());
  for (const ColourSwap& swap : swaps) sources.push_back(swap.from & 0xFFFFFFu);
  std::sort(sources.begin(), sources.end());
  sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
  return sources;
}

bool SameOwner(const std::weak_ptr<const RasterImage>& a,
               const std::shared_ptr<const RasterImage>& b) {
  return !a.owner_before(b) && !b.owner_before(a);
}

}  // namespace

std::shared_ptr<std::vector<std::uint8_t>> LearntRows::For(
    const std::shared_ptr<const RasterImage>& image, int width,
    const std::vector<ColourSwap>& swaps) {
  // An image gone can never be drawn again.
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [](const Entry& entry) { return entry.image.expired(); }),
                 entries_.end());
  std::vector<std::uint32_t> sources = SourcesOf(swaps);
  auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.width == width && SameOwner(entry.image, image) && entry.sources == sources;
  });
  if (found == entries_.end()) {
    if (entries_.size() >= kImages) entries_.pop_back();
    entries_.push_back({image, width, std::move(sources),
                        std::make_shared<std::vector<std::uint8_t>>(
                            static_cast<std::size_t>(image->Height()), ColourSwapper::kRowUnseen)});
    found = std::prev(entries_.end());
  }
  std::rotate(entries_.begin(), found, std::next(found));
  return entries_.front().rows;
}

}  // namespace tessarin
