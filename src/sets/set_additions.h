#pragma once

#include "set_credits.h"
#include "set_extras.h"
#include "set_state.h"
#include "status.h"

namespace tessarin {

// What a set's optional files add to its setting file: its grid, animations and palettes, and
// who made its images.
struct SetAdditions {
  SetExtras extras;
  SetCredits credits;
};

// The additions of the state's set as if it had neither file: the default grid and animations
// for its size, no palettes, no credits.
SetAdditions DefaultSetAdditions(const SetState& state);

// Reads the open set's set.json and CREDITS.csv. A set without them gets the defaults. A
// failure is one line naming the file's path and the key or line, and leaves the additions of
// a set without either file.
[[nodiscard]] Status ReadSetAdditions(const SetState& state, SetAdditions& additions);

}  // namespace tessarin
