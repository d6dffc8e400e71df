#pragma once

#include <string>
#include <vector>

namespace tessarin {

// The set selected at start: the first whose name begins with "デフォルト" without regard to
// case, searching from the second entry to the last and then the first; otherwise entry 0.
int PreselectedSet(const std::vector<std::string>& setNames);

}  // namespace tessarin
