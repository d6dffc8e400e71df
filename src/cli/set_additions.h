#pragma once

#include <variant>

#include "cli_error.h"
#include "set_credits.h"
#include "set_extras.h"
#include "set_state.h"

namespace tessarin::cli {

// What a set's optional files add to its setting file: its grid, animations and palettes, and
// who made its images.
struct SetAdditions {
  SetExtras extras;
  SetCredits credits;
};

// Reads the open set's set.json and CREDITS.csv. A set without them gets the defaults; an
// error in either is bad input, named by the file's path and the key or line.
std::variant<SetAdditions, CliError> ReadSetAdditions(const SetState& state);

}  // namespace tessarin::cli
