#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "blend_rule.h"
#include "layer_loading.h"
#include "set_state.h"
#include "status.h"

namespace tessarin {

// The most a recipe file is read to: a recipe is a few hundred bytes, a sheet's metadata a few
// hundred kilobytes.
inline constexpr std::uint64_t kMaxRecipeBytes = 16u * 1024 * 1024;

// The variant name that stands for a material's original colours.
inline constexpr char kSourceColours[] = "source";

// Everything that makes one character's sheet, by name, so that it can be made again.
struct CharacterRecipe {
  std::string set;
  // Every defined part in part order, as the setting file names it (a name that an earlier
  // part already has, or that reads as a part index, is written as the part's index instead),
  // with its image or nothing.
  std::vector<std::pair<std::string, std::optional<std::string>>> picks;
  // Every material with its variant, kSourceColours for the original colours.
  std::vector<std::pair<std::string, std::string>> colours;
  bool half = false;
  BlendRule blend = BlendRule::Classic;

  bool operator==(const CharacterRecipe& other) const {
    return set == other.set && picks == other.picks && colours == other.colours &&
           half == other.half && blend == other.blend;
  }
};

// The recipe of the state's set with these files chosen and these colours (every material of
// the set, with its variant name or kSourceColours).
CharacterRecipe RecipeOf(const SetState& state, const PartSelection& files,
                         std::vector<std::pair<std::string, std::string>> colours, bool half,
                         BlendRule blend);

// The recipe as one JSON object on one line:
// {"blend":…,"colors":{MATERIAL: VARIANT},"half":…,"picks":{PART: FILE or null},"set":…}.
std::string RecipeJson(const CharacterRecipe& recipe);

// A recipe from JSON text: a recipe object, or a sheet's metadata that holds one under
// "meta" / "tessarin". Keys come back sorted by name. A failure is one line naming the key.
Status ParseRecipe(std::string_view json, CharacterRecipe& recipe);

}  // namespace tessarin
