#include "set_description.h"

#include <system_error>

#include "character_credits.h"
#include "folder_layout.h"

namespace tessarin::cli {
namespace {

// Credits name images by their path in the set, as composing looks them up.
std::vector<ImageCredit> CreditsOf(const std::vector<std::string>& images, const SetState& state,
                                   int part, const SetCredits& credits) {
  std::vector<ImageCredit> found;
  for (const std::string& image : images) {
    if (const Credit* credit = credits.For(SetImagePath(state, part, image))) {
      found.push_back({image, credit->authors, credit->licenses});
    }
  }
  return found;
}

std::vector<PaletteDescription> PalettesOf(const std::vector<Material>& materials) {
  std::vector<PaletteDescription> palettes;
  for (const Material& material : materials) {
    palettes.push_back({material.name, material.ChoiceNames()});
  }
  return palettes;
}

}  // namespace

std::optional<std::int32_t> PartPriority(const SetState& state, int part) {
  for (std::size_t i = 0; i < state.drawOrder.size() && i < state.orderKeys.size(); ++i) {
    if (state.drawOrder[i] == MainSlot(part)) return state.orderKeys[i];
  }
  return std::nullopt;
}

SetDescription DescribeSet(const SetState& state, const SetAdditions& additions) {
  SetDescription description;
  description.name = state.setName;
  description.width = state.xSize;
  description.height = state.ySize;
  description.orderKeys = state.orderKeys;
  description.drawOrder = state.drawOrder;
  description.grid = additions.extras.grid;
  description.animations = AnimationsFor(additions.extras, false);
  description.palettes = PalettesOf(additions.extras.materials);
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
    if (part.found) {
      part.images = ListPartImages(*folder);
      part.credits = CreditsOf(part.images, state, k, additions.credits);
    }
    description.parts.push_back(std::move(part));
  }
  return description;
}

}  // namespace tessarin::cli
