#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

struct SetState;

// "Graphics" beside the running program, or for an installed program (bin/ without it)
// share/tessarin/Graphics beside bin/.
std::filesystem::path DefaultBaseFolder();
std::filesystem::path BaseFolderFor(const std::filesystem::path& programFolder);

// The entry of folder whose name equals name: an exact match wins, otherwise the first
// entry in name order that equals it without regard to case. Nothing when there is none.
std::optional<std::filesystem::path> ResolveEntry(const std::filesystem::path& folder,
                                                  std::string_view name);

// The set folders under base (folders only), in name order.
std::vector<std::string> ListSets(const std::filesystem::path& base);

// The selectable images of a part folder, in name order: regular files (or links to them)
// matching "*.png" without case, less every companion ("$.png" anywhere, without case).
std::vector<std::string> ListPartImages(const std::filesystem::path& partFolder);

// Makes name the current set: setName and setFolder (resolved without case).
void SelectSet(SetState& state, std::string_view name);

// The folder of part k, resolved without case; the unresolved path when it does not exist.
std::filesystem::path PartFolder(const SetState& state, int part);

// The path of fileName in part k's folder, resolved without case where it exists.
std::filesystem::path MainImagePath(const SetState& state, int part, std::string_view fileName);

// The companion of a main image: in the same folder, the lower-cased file name with its
// first ".png" replaced by "$.png", resolved without case. Nothing when the name holds no
// ".png". The path returned may not exist: a missing companion is normal.
std::optional<std::filesystem::path> CompanionPath(const std::filesystem::path& mainImage);

// A path as UTF-8, the form paths are compared and shown in.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

}  // namespace tessarin
