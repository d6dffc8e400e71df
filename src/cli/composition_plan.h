#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

#include "cli_error.h"
#include "compose_options.h"
#include "layer_loading.h"
#include "set_state.h"

namespace tessarin::cli {

// What every character of a batch shares: the parts' image lists, the fixed picks and the
// parts left to chance. Entries follow the part lists: 0 is nothing, i is images[i - 1].
struct CompositionPlan {
  std::array<std::vector<std::string>, kPartCount> images;
  std::array<int, kPartCount> entryCounts{};
  std::array<int, kPartCount> picks{};
  std::array<bool, kPartCount> random{};
  // Said before composing: parts asked for that can give nothing, and why.
  std::vector<std::string> warnings;

  // The file names that a choice of entries selects.
  PartSelection Files(const std::array<int, kPartCount>& entries) const;
};

// Resolves --pick and --random against the open set.
std::variant<CompositionPlan, CliError> PlanComposition(const SetState& state,
                                                        const ComposeOptions& options);

}  // namespace tessarin::cli
