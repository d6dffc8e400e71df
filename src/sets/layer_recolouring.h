#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "composition.h"
#include "palette_swap.h"
#include "status.h"

namespace tessarin {

struct SetExtras;

// The colour swaps for every layer of each part (main and companion), for the variants chosen
// for the materials that cover it, given as (material, variant) names matched without case.
// An unknown material or variant fails, naming it.
[[nodiscard]] Status SwapsForLayers(const SetState& state, const SetExtras& extras,
                                    const std::vector<std::pair<std::string, std::string>>& choices,
                                    LayerSwaps& swaps);

// Gives every layer of each part (main and companion) the variants chosen for the materials
// that cover it, as (material, variant) names matched without case. Recoloured layers are new
// images; layers left alone stay shared. Meant for the state a character is composed from:
// its loaded layers are replaced, so the next character has to start from the layers as read.
// Running out of memory, or an unknown material or variant, leaves the state as it was.
[[nodiscard]] Status RecolourLayers(
    SetState& state, const SetExtras& extras,
    const std::vector<std::pair<std::string, std::string>>& choices);

}  // namespace tessarin
