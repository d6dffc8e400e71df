#pragma once

#include <array>

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

}  // namespace tessarin
