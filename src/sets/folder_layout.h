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

// True when a name given relative to a folder would lead out of it: an absolute name (also
// "\\x" or a drive, "C:"), or one with a ".." component under either separator. Such a
// name names nothing in the folder.
bool LeavesFolder(std::string_view name);

// The entry of folder whose name equals name: an exact match wins, otherwise the first
// entry in name order that equals it without regard to case. Entries are compared by the
// names they are listed under (ShownFileName). Nothing when there is none or when the name
// leaves the folder.
std::optional<std::filesystem::path> ResolveEntry(const std::filesystem::path& folder,
                                                  std::string_view name);

// The set folders under base (folders only), in name order. Names are listed as shown
// (ShownFileName) and found again through ResolveEntry.
std::vector<std::string> ListSets(const std::filesystem::path& base);

// The selectable images of a part folder, in name order: regular files (or links to them)
// matching "*.png" without case, less every companion ("$.png" anywhere, without case).
std::vector<std::string> ListPartImages(const std::filesystem::path& partFolder);

// Makes name the current set: setName and setFolder (resolved without case).
void SelectSet(SetState& state, std::string_view name);

// The folder of part k, resolved without case; the unresolved path when it does not exist.
// Nothing when the part's name leaves the set folder.
std::optional<std::filesystem::path> PartFolder(const SetState& state, int part);

// The path of fileName in part k's folder, resolved without case where it exists; empty when
// either name leaves its folder.
std::filesystem::path MainImagePath(const SetState& state, int part, std::string_view fileName);

// The companion of a main image: in the same folder, the lower-cased file name with its
// first ".png" replaced by "$.png", resolved without case. Nothing when the name holds no
// ".png". The path returned may not exist: a missing companion is normal.
std::optional<std::filesystem::path> CompanionPath(const std::filesystem::path& mainImage);

// A path as UTF-8 and back. Where the system names files in bytes (not Windows) the bytes
// pass unchanged both ways, so a name that is not UTF-8 still leads to its file.
std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view utf8);

// A path as a person reads it, each name decoded as ShownFileName decodes it.
std::string PathForDisplay(const std::filesystem::path& path);

}  // namespace tessarin
