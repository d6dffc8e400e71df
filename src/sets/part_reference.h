#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "set_state.h"

namespace tessarin {

// The defined part that text names: an index 0-7 first, then a part name exactly, then a
// part name without case. Otherwise why not, naming the set and its parts:
// "no part 'x' in set 'A' (parts: 0 'Body', 2 'Hair')".
std::variant<int, std::string> ResolvePart(const SetState& state, std::string_view text);

// "index 'name'", how messages name a part.
std::string DescribePart(const SetState& state, int part);

// The list entry of fileName among a part's images: 0 for "none", i + 1 for images[i].
// Names match exactly first, then without case.
std::optional<int> FindImageEntry(const std::vector<std::string>& images,
                                  std::string_view fileName);

}  // namespace tessarin
