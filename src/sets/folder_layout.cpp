#include "folder_layout.h"

#include <algorithm>
#include <system_error>

#include "name_case.h"
#include "program_file.h"
#include "set_state.h"
#include "shown_name.h"
#include "text_encoding.h"

namespace fs = std::filesystem;

namespace tessarin {
namespace {

// Names are listed and matched as shown; the entry itself is opened by its own bytes.
std::string ShownName(const fs::path& fileName) {
#ifdef _WIN32
  return PathToUtf8(fileName);
#else
  return ShownFileName(fileName.native());
#endif
}

std::string EntryName(const fs::directory_entry& entry) {
  return ShownName(entry.path().filename());
}

// The entries of folder that satisfy keep, in name order. Unreadable entries are skipped.
template <typename Keep>
std::vector<std::string> ListNames(const fs::path& folder, Keep keep) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::string name = EntryName(*it);
    if (keep(*it, name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return NameLess(a, b); });
  return names;
}

bool EndsWithPng(std::string_view name) {
  return name.size() >= 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".png");
}

// One path component, resolved without case.
std::optional<fs::path> ResolveComponent(const fs::path& folder, std::string_view name) {
  if (name.empty() || name == "..") return std::nullopt;
  const fs::path exact = folder / PathFromUtf8(name);
  std::error_code error;
  if (name == "." || fs::exists(fs::symlink_status(exact, error))) return exact;
  std::optional<std::string> bestName;
  fs::path best;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::string entry = EntryName(*it);
    if (EqualsIgnoringCase(entry, name) && (!bestName || NameLess(entry, *bestName))) {
      bestName = std::move(entry);
      best = it->path();
    }
  }
  if (!bestName) return std::nullopt;
  return best;
}

}  // namespace

std::string PathToUtf8(const fs::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathFromUtf8(std::string_view utf8) {
  return fs::u8path(utf8.begin(), utf8.end());
}

std::string PathForDisplay(const fs::path& path) {
#ifdef _WIN32
  return PathToUtf8(path);
#else
  return ShownPath(path.native());
#endif
}

fs::path BaseFolderFor(const fs::path& programFolder) {
  fs::path beside = programFolder / "Graphics";
  std::error_code error;
  if (fs::is_directory(beside, error)) return beside;
  // An installed program keeps its sets with its other data, not beside itself.
  fs::path installed = programFolder.parent_path() / "share" / "tessarin" / "Graphics";
  if (fs::is_directory(installed, error)) return installed;
  return beside;
}

fs::path DefaultBaseFolder() {
  const fs::path program = ProgramFile();
  return BaseFolderFor(program.empty() ? fs::current_path() : program.parent_path());
}

bool LeavesFolder(std::string_view name) {
  if (name.empty()) return false;
  if (name.front() == '/' || name.front() == '\\') return true;
  const auto first = static_cast<unsigned char>(name.front());
  if (name.size() >= 2 && name[1] == ':' && ((first | 0x20) >= 'a' && (first | 0x20) <= 'z')) {
    return true;
  }
  while (!name.empty()) {
    const std::size_t cut = name.find_first_of("/\\");
    if (name.substr(0, cut) == "..") return true;
    name = cut == std::string_view::npos ? std::string_view() : name.substr(cut + 1);
  }
  return false;
}

std::optional<fs::path> ResolveEntry(const fs::path& folder, std::string_view name) {
  if (LeavesFolder(name)) return std::nullopt;
  // A backslash may also belong to the name itself: a Linux name, or one shown with its
  // undecodable bytes escaped.
  if (name.find('\\') != std::string_view::npos && name.find('/') == std::string_view::npos) {
    if (std::optional<fs::path> whole = ResolveComponent(folder, name)) return whole;
  }
  // Sets made on Windows may name a nested folder with either separator.
  fs::path resolved = folder;
  bool any = false;
  while (!name.empty()) {
    const std::size_t cut = name.find_first_of("/\\");
    const std::string_view component = name.substr(0, cut);
    name = cut == std::string_view::npos ? std::string_view() : name.substr(cut + 1);
    if (component.empty()) continue;
    std::optional<fs::path> next = ResolveComponent(resolved, component);
    if (!next) return std::nullopt;
    resolved = std::move(*next);
    any = true;
  }
  if (!any) return std::nullopt;
  return resolved;
}

std::vector<std::string> ListSets(const fs::path& base) {
  return ListNames(base, [](const fs::directory_entry& entry, const std::string&) {
    std::error_code error;
    return entry.is_directory(error);
  });
}

std::vector<std::string> ListPartImages(const fs::path& partFolder) {
  return ListNames(partFolder, [](const fs::directory_entry& entry, const std::string& name) {
    std::error_code error;
    return EndsWithPng(name) && ToLowerCp932(name).find("$.png") == std::string::npos &&
           entry.is_regular_file(error);
  });
}

void SelectSet(SetState& state, std::string_view name) {
  state.setName = std::string(name);
  state.setFolder =
      ResolveEntry(state.baseFolder, name).value_or(state.baseFolder / PathFromUtf8(name));
}

std::optional<fs::path> PartFolder(const SetState& state, int part) {
  const std::string& name = state.partNames[static_cast<std::size_t>(part)];
  if (LeavesFolder(name)) return std::nullopt;
  return ResolveEntry(state.setFolder, name).value_or(state.setFolder / PathFromUtf8(name));
}

fs::path MainImagePath(const SetState& state, int part, std::string_view fileName) {
  const std::optional<fs::path> folder = PartFolder(state, part);
  if (!folder || LeavesFolder(fileName)) return fs::path();
  return ResolveEntry(*folder, fileName).value_or(*folder / PathFromUtf8(fileName));
}

std::optional<fs::path> CompanionPath(const fs::path& mainImage) {
  std::string name = ToLowerCp932(ShownName(mainImage.filename()));
  const std::size_t dot = name.find(".png");
  if (dot == std::string::npos) return std::nullopt;
  name.replace(dot, 4, "$.png");
  const fs::path folder = mainImage.parent_path();
  return ResolveEntry(folder, name).value_or(folder / PathFromUtf8(name));
}

}  // namespace tessarin
