#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

#include "cli_error.h"
#include "compose_options.h"
#include "layer_loading.h"
#include "set_additions.h"
#include "set_state.h"

namespace tessarin::cli {

// What every character of a batch shares: the parts' image lists, the fixed picks and the
// parts left to chance. Entries follow the part lists: 0 is nothing, i is images[i - 1].
struct CompositionPlan {
  std::array<std::vector<std::string>, kPartCount> images;
  std::array<int, kPartCount> entryCounts{};
  std::array<int, kPartCount> picks{};
  std::array<bool, kPartCount> random{};
  // The set's materials in order: for each, its name, its choices (kSourceColours, then the
  // variants), the choice fixed by --color, whether it is drawn at random, and how many
  // choices it has.
  std::vector<std::string> materials;
  std::vector<std::vector<std::string>> colourNames;
  std::vector<int> colourPicks;
  std::vector<bool> randomColours;
  std::vector<int> colourCounts;
  // Said before composing: parts asked for that can give nothing, and why.
  std::vector<std::string> warnings;

  // The file names that a choice of entries selects.
  PartSelection Files(const std::array<int, kPartCount>& entries) const;
  // Every material with the name of its chosen variant, kSourceColours for the source.
  std::vector<std::pair<std::string, std::string>> Colours(const std::vector<int>& choices) const;
};

// How the choices were given, for messages: by flags, or by a recipe file.
struct ChoiceSource {
  std::string picks = "--pick";
  std::string colours = "--color";
  // A file's choices are its contents: two that clash are bad input, not a usage error.
  bool fromFile = false;
};

// Resolves --pick, --random, --color and --license against the open set.
std::variant<CompositionPlan, CliError> PlanComposition(const SetState& state,
                                                        const SetAdditions& additions,
                                                        const ComposeOptions& options,
                                                        const ChoiceSource& source = {});

}  // namespace tessarin::cli
