#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "set_extras.h"
#include "set_state.h"

namespace tessarin {

// The defined part that text names: an index 0-7 first, then a part name exactly, then a
// part name without case. Otherwise why not, naming the set and its parts:
// "no part 'x' in set 'A' (parts: 0 'Body', 2 'Hair')".
std::variant<int, std::string> ResolvePart(const SetState& state, std::string_view text);

// "index 'name'", how messages name a part.
std::string DescribePart(const SetState& state, int part);

// Names joined by ", " as messages list them, or "none" for no names.
std::string Listed(const std::vector<std::string>& names);

// Why part has no folder: its name leaves the set folder.
std::string PartWithoutFolder(const SetState& state, int part);

// The list entry of fileName among a part's images: 0 for "none", i + 1 for images[i].
// Names match exactly first, then without case.
std::optional<int> FindImageEntry(const std::vector<std::string>& images,
                                  std::string_view fileName);

// The list entry of fileName among part's images, as FindImageEntry; otherwise why not: the
// part's name leaves the set folder, its folder is missing, or no image has the name.
std::variant<int, std::string> FindPickedImage(const SetState& state, int part,
                                               const std::vector<std::string>& images,
                                               std::string_view fileName);

// The material named, without case; otherwise why not, listing the set's palettes.
std::variant<std::size_t, std::string> FindMaterial(const std::vector<Material>& materials,
                                                    std::string_view name);

// The material's choice named, without case: 0 for kSourceColours, k for variant k - 1;
// otherwise why not, listing its choices.
std::variant<int, std::string> FindColourChoice(const Material& material, std::string_view variant);

}  // namespace tessarin
