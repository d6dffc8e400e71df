#include "undecoded_images.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "folder_layout.h"
#include "set_state.h"

namespace tessarin {

void UndecodedImages::Update(const SetState& state,
                             const std::map<std::string, std::string>& failures) {
  for (const auto& [path, reason] : failures) {
    std::error_code missing;
    if (std::filesystem::exists(PathFromUtf8(path), missing)) reasons_[path] = reason;
  }
  std::map<std::string, std::string> held;
  for (const LayerSlot& slot : state.layers) {
    if (!slot.IsEmpty()) continue;
    const auto found = reasons_.find(slot.loadedPath);
    if (found != reasons_.end()) held.insert(*found);
  }
  reasons_ = std::move(held);
}

std::vector<std::string> UndecodedImages::Reasons() const {
  std::vector<std::string> reasons;
  for (const auto& entry : reasons_) reasons.push_back(entry.second);
  return reasons;
}

}  // namespace tessarin
