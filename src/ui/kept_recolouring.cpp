#include "kept_recolouring.h"

#include <algorithm>
#include <cstddef>

#include "layer_recolouring.h"
#include "learnt_rows.h"
#include "set_extras.h"

namespace tessarin {

std::vector<std::pair<std::string, std::string>> ChosenColours(
    const std::vector<Material>& materials, const std::vector<int>& choices) {
  std::vector<std::pair<std::string, std::string>> chosen;
  for (std::size_t m = 0; m < materials.size() && m < choices.size(); ++m) {
    const std::vector<std::string> names = materials[m].ChoiceNames();
    const auto choice = static_cast<std::size_t>(choices[m]);
    chosen.emplace_back(materials[m].name, names[choice < names.size() ? choice : 0]);
  }
  return chosen;
}

void KeptRecolouring::Forget() {
  choices_.clear();
  chosen_ = false;
  recolouring_.reset();
  learnt_.reset();
}

Status KeptRecolouring::Choose(const SetState& state, const SetExtras& extras,
                               const std::vector<int>& choices) {
  if (chosen_ && choices == choices_) return Status::Ok();
  recolouring_.reset();
  choices_ = choices;
  chosen_ = true;
  if (std::all_of(choices.begin(), choices.end(), [](int choice) { return choice == 0; })) {
    return Status::Ok();
  }
  LayerSwaps swaps;
  const Status made =
      SwapsForLayers(state, extras, ChosenColours(extras.materials, choices), swaps);
  if (!made) {
    // Told once; until the choices change, the source colours.
    return made;
  }
  if (!learnt_) learnt_ = std::make_shared<LearntRows>();
  recolouring_.emplace(std::move(swaps), learnt_);
  return Status::Ok();
}

}  // namespace tessarin
