#include "recipe_choices.h"

#include <optional>
#include <system_error>

#include "character_recipe.h"
#include "folder_layout.h"
#include "name_case.h"
#include "part_reference.h"
#include "regular_file.h"
#include "set_additions.h"
#include "setting_file.h"
#include "shown_name.h"
#include "window_choices.h"

namespace tessarin {
namespace {

// The messages below are tessarin-compose's for the same recipe, after "recipe FILE: ".
std::optional<std::string> ChoosePicks(const CharacterRecipe& recipe, const SetState& state,
                                       RecipeChoices& choices) {
  std::array<bool, kPartCount> picked{};
  for (const auto& [part, file] : recipe.picks) {
    const std::variant<int, std::string> resolved = ResolvePart(state, part);
    if (const auto* why = std::get_if<std::string>(&resolved)) return *why;
    const int k = std::get<int>(resolved);
    if (picked[k]) return "part " + DescribePart(state, k) + " picked twice";
    picked[k] = true;
    const std::optional<std::filesystem::path> folder = PartFolder(state, k);
    const std::vector<std::string> images =
        folder ? ListPartImages(*folder) : std::vector<std::string>();
    const std::variant<int, std::string> entry =
        FindPickedImage(state, k, images, file.value_or("none"));
    if (const auto* why = std::get_if<std::string>(&entry)) return *why;
    const int found = std::get<int>(entry);
    choices.files[k] = found > 0 ? images[static_cast<std::size_t>(found - 1)] : std::string();
  }
  return std::nullopt;
}

std::optional<std::string> ChooseColours(const CharacterRecipe& recipe, const SetState& state,
                                         RecipeChoices& choices) {
  SetAdditions additions;
  const Status read = ReadSetAdditions(state, additions);
  // The window goes on without a set.json it cannot read; only colours need one.
  if (!read && !recipe.colours.empty()) return read.Message();
  const std::vector<Material>& materials = additions.extras.materials;
  choices.colours.assign(materials.size(), 0);
  std::vector<bool> named(materials.size(), false);
  for (const auto& [material, variant] : recipe.colours) {
    const std::variant<std::size_t, std::string> m = FindMaterial(materials, material);
    if (const auto* why = std::get_if<std::string>(&m)) return *why;
    const std::size_t found = std::get<std::size_t>(m);
    if (named[found]) return "palette '" + materials[found].name + "' given twice";
    named[found] = true;
    const std::variant<int, std::string> choice = FindColourChoice(materials[found], variant);
    if (const auto* why = std::get_if<std::string>(&choice)) return *why;
    choices.colours[found] = std::get<int>(choice);
  }
  return std::nullopt;
}

std::optional<std::string> ChooseAll(const CharacterRecipe& recipe,
                                     const std::filesystem::path& base,
                                     const std::vector<std::string>& sets, RecipeChoices& choices) {
  // Typed names are matched as listed names are shown, so bytes of code page 932 find theirs.
  const std::optional<std::size_t> set = FindName(sets, ShownFileName(recipe.set));
  if (!set) return "no set '" + recipe.set + "' in " + PathForDisplay(base);
  SetState state;
  state.baseFolder = base;
  SelectSet(state, sets[*set]);
  if (ReadSettingFile(state) == SettingFileStatus::Missing) {
    return "missing setting file " +
           PathForDisplay(state.setFolder / PathFromUtf8(kSettingFileName));
  }
  choices.setName = sets[*set];
  if (auto why = ChoosePicks(recipe, state, choices)) return why;
  if (auto why = ChooseColours(recipe, state, choices)) return why;
  choices.half = recipe.half;
  choices.blend = recipe.blend;
  return std::nullopt;
}

}  // namespace

void RecipeChoices::PutInto(WindowChoices& choices) const {
  choices.setName = setName;
  choices.files = files;
  choices.colours = colours;
  choices.colourRandom.resize(colours.size(), true);
  choices.half = half;
  choices.blend = blend;
}

std::variant<RecipeChoices, std::string> ReadRecipeChoices(const std::filesystem::path& file,
                                                           const std::filesystem::path& base,
                                                           const std::vector<std::string>& sets) {
  const std::string shown = "recipe " + PathForDisplay(file) + ": ";
  std::string text;
  // The reason names the file already.
  if (const Status read = ReadWholeFile(file, kMaxRecipeBytes, text); !read) return read.Message();
  CharacterRecipe recipe;
  if (const Status parsed = ParseRecipe(text, recipe); !parsed) return shown + parsed.Message();
  RecipeChoices choices;
  if (std::optional<std::string> why = ChooseAll(recipe, base, sets, choices)) return shown + *why;
  return choices;
}

}  // namespace tessarin
