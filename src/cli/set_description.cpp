#include "set_description.h"

#include <system_error>

#include "folder_layout.h"

namespace tessarin::cli {

std::optional<std::int32_t> PartPriority(const SetState& state, int part) {
  for (std::size_t i = 0; i < state.drawOrder.size() && i < state.orderKeys.size(); ++i) {
    if (state.drawOrder[i] == MainSlot(part)) return state.orderKeys[i];
  }
  return std::nullopt;
}

SetDescription DescribeSet(const SetState& state) {
  SetDescription description;
  description.name = state.setName;
  description.width = state.xSize;
  description.height = state.ySize;
  description.orderKeys = state.orderKeys;
  description.drawOrder = state.drawOrder;
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    PartDescription part;
    part.index = k;
    part.name = state.partNames[k];
    part.priority = PartPriority(state, k).value_or(0);
    const std::optional<std::filesystem::path> folder = PartFolder(state, k);
    std::error_code error;
    part.leavesSet = !folder;
    part.found = folder && std::filesystem::is_directory(*folder, error);
    if (part.found) part.images = ListPartImages(*folder);
    description.parts.push_back(std::move(part));
  }
  return description;
}

}  // namespace tessarin::cli
