#pragma once

#include <array>
#include <vector>

#include "set_state.h"

namespace tessarin {

class CrtRandom;

// Picks a random entry for every ticked part whose list holds more than the "nothing"
// entry 0, drawing one number per such part in part order. Entry 0 is never picked: a draw
// that lands on it takes entry 1. Other parts keep their selection.
void RandomCompose(CrtRandom& random, const std::array<bool, kPartCount>& ticked,
                   const std::array<int, kPartCount>& entryCounts,
                   std::array<int, kPartCount>& selection);

// How many numbers RandomCompose draws for these parts: the same for every character.
int RandomDrawCount(const std::array<bool, kPartCount>& ticked,
                    const std::array<int, kPartCount>& entryCounts);

// Picks a colour choice for every ticked material, drawing one number per material that has
// more than one choice, in material order: after the parts' draws, so that sets without
// palettes draw as before. choiceCounts[m] counts the material's source colours (choice 0)
// and its variants. Other materials keep their choice.
void RandomColours(CrtRandom& random, const std::vector<bool>& ticked,
                   const std::vector<int>& choiceCounts, std::vector<int>& choices);

// How many numbers RandomColours draws for these materials.
int RandomColourDrawCount(const std::vector<bool>& ticked, const std::vector<int>& choiceCounts);

}  // namespace tessarin
