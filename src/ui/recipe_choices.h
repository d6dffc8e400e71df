#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "blend_rule.h"
#include "set_state.h"

namespace tessarin {

struct WindowChoices;

// What a recipe sets of the window's choices, every name checked against the set on disk.
struct RecipeChoices {
  // The set list's entry.
  std::string setName;
  // The file for each part, as the part's list shows it; "" for "[ なし ]".
  std::array<std::string, kPartCount> files;
  // Per material of the set: 0 for its source colours, k for variant k - 1.
  std::vector<int> colours;
  bool half = false;
  BlendRule blend = BlendRule::Classic;

  // The choices shown once the set is loaded, with the recipe's put in; the rest (random
  // boxes, scale) stay.
  void PutInto(WindowChoices& choices) const;
};

// The choices of the recipe in file, as tessarin-compose --recipe reads it: its set among
// sets (the set list's entries, under base), then its parts, images and colours. Otherwise
// one line naming the file and what is wrong.
std::variant<RecipeChoices, std::string> ReadRecipeChoices(const std::filesystem::path& file,
                                                           const std::filesystem::path& base,
                                                           const std::vector<std::string>& sets);

}  // namespace tessarin
