#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "set_description.h"

namespace tessarin::cli {

// One name a line, or {"sets":[...]}.
void PrintSetNames(std::ostream& out, const std::vector<std::string>& sets, bool json);

// A readable summary, or one JSON object with keys set, width, height, parts (index, name,
// priority, found, images, credits, and leaves_set where true), order_keys, draw_order, grid,
// animations and palettes.
void PrintSetDescription(std::ostream& out, const SetDescription& set, bool json);

}  // namespace tessarin::cli
