#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "composition.h"
#include "status.h"

namespace tessarin {

class LearntRows;
struct Material;
struct SetExtras;

// Every material with the name of its choice: "source" for 0, else its variant's name.
std::vector<std::pair<std::string, std::string>> ChosenColours(
    const std::vector<Material>& materials, const std::vector<int>& choices);

// The window's colours while they stay, kept as a batch keeps them, so that the rows learnt
// to need no swap are passed by on the next recompose, in these colours or others of the set.
class KeptRecolouring {
 public:
  // Another set: its parts take other swaps.
  void Forget();
  // Brings the recolouring in line with the choices; an unknown material or variant fails,
  // naming it, and leaves the source colours.
  [[nodiscard]] Status Choose(const SetState& state, const SetExtras& extras,
                              const std::vector<int>& choices);
  // Nothing for the source colours.
  LayerRecolouring* Current() { return recolouring_ ? &*recolouring_ : nullptr; }

 private:
  std::vector<int> choices_;
  bool chosen_ = false;
  std::optional<LayerRecolouring> recolouring_;
  std::shared_ptr<LearntRows> learnt_;
};

}  // namespace tessarin
