#include "part_reference.h"

#include <filesystem>
#include <system_error>

#include "folder_layout.h"
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

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "none" : text;
}

std::string DescribePart(const SetState& state, int part) {
  return std::to_string(part) + " '" + state.partNames[part] + "'";
}

std::string PartWithoutFolder(const SetState& state, int part) {
  return "part " + DescribePart(state, part) + " names no folder: its name leaves the set folder";
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

std::variant<int, std::string> FindPickedImage(const SetState& state, int part,
                                               const std::vector<std::string>& images,
                                               std::string_view fileName) {
  if (const std::optional<int> entry = FindImageEntry(images, fileName)) return *entry;
  const std::optional<std::filesystem::path> folder = PartFolder(state, part);
  if (!folder) {
    return PartWithoutFolder(state, part);
  }
  std::error_code ignored;
  if (!std::filesystem::is_directory(*folder, ignored)) {
    return "part folder " + PathForDisplay(*folder) + " not found";
  }
  return "no image '" + std::string(fileName) + "' in " + PathForDisplay(*folder);
}

std::variant<std::size_t, std::string> FindMaterial(const std::vector<Material>& materials,
                                                    std::string_view name) {
  std::vector<std::string> names;
  for (const Material& material : materials) names.push_back(material.name);
  if (const std::optional<std::size_t> m = FindName(names, name)) return *m;
  return "no palette '" + std::string(name) + "' in set.json (" + Listed(names) + ")";
}

std::variant<int, std::string> FindColourChoice(const Material& material,
                                                std::string_view variant) {
  const std::vector<std::string> choices = material.ChoiceNames();
  if (const std::optional<std::size_t> choice = FindName(choices, variant)) {
    return static_cast<int>(*choice);
  }
  return "palette '" + material.name + "' has no variant '" + std::string(variant) + "' (" +
         Listed(choices) + ")";
}

}  // namespace tessarin
