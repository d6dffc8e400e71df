#pragma once

#include <string>
#include <utility>
#include <vector>

#include "status.h"

namespace tessarin {

struct SetExtras;
struct SetState;

// Gives every layer of each part (main and companion) the variants chosen for the materials
// that cover it, as (material, variant) names matched without case. Recoloured layers are new
// images; layers left alone stay shared. Meant for the state a character is composed from:
// its loaded layers are replaced, so the next character has to start from the layers as read.
// Running out of memory, or an unknown material or variant, leaves the state as it was.
[[nodiscard]] Status RecolourLayers(
    SetState& state, const SetExtras& extras,
    const std::vector<std::pair<std::string, std::string>>& choices);

}  // namespace tessarin
