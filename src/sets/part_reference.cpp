#include "part_reference.h"

#include "name_case.h"
#include "shown_name.h"

namespace tessarin {
namespace {

std::string DefinedParts(const SetState& state) {
  std::string list;
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    if (!list.empty()) list += ", ";
    list += DescribePart(state, k);
  }
  return list.empty() ? "none" : list;
}

}  // namespace

std::string DescribePart(const SetState& state, int part) {
  return std::to_string(part) + " '" + state.partNames[part] + "'";
}

std::variant<int, std::string> ResolvePart(const SetState& state, std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kPartCount) {
    int index = text[0] - '0';
    if (!state.partNames[index].empty()) return index;
  } else if (!text.empty()) {
    // Undefined parts have the name "", which a non-empty text never matches.
    const std::vector<std::string> names(state.partNames.begin(), state.partNames.end());
    if (const std::optional<std::size_t> found = FindName(names, ShownFileName(text))) {
      return static_cast<int>(*found);
    }
  }
  return "no part '" + std::string(text) + "' in set '" + state.setName +
         "' (parts: " + DefinedParts(state) + ")";
}

std::optional<int> FindImageEntry(const std::vector<std::string>& images,
                                  std::string_view fileName) {
  if (EqualsIgnoringCase(fileName, "none")) return 0;
  const std::optional<std::size_t> found = FindName(images, ShownFileName(fileName));
  if (!found) return std::nullopt;
  return static_cast<int>(*found + 1);
}

}  // namespace tessarin
