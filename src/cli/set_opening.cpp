#include "set_opening.h"

#include <system_error>
#include <vector>

#include "folder_layout.h"
#include "name_case.h"
#include "setting_file.h"
#include "shown_name.h"

namespace tessarin::cli {

std::variant<std::filesystem::path, CliError> ResolveGraphicsFolder(
    const std::optional<std::string>& graphics) {
  std::filesystem::path base = graphics ? PathFromUtf8(*graphics) : DefaultBaseFolder();
  std::error_code error;
  if (!std::filesystem::is_directory(base, error)) {
    return InputError("no Graphics folder at " + PathForDisplay(base) +
                      (graphics ? "" : " (use --graphics DIR)"));
  }
  return base;
}

std::optional<std::string> FindSetName(const std::filesystem::path& base, std::string_view name) {
  const std::vector<std::string> sets = ListSets(base);
  const std::optional<std::size_t> found = FindName(sets, name);
  if (!found) return std::nullopt;
  return sets[*found];
}

std::variant<SetState, CliError> OpenSet(const std::filesystem::path& base, std::string_view name) {
  // Typed names are matched as listed names are shown, so bytes of code page 932 find theirs.
  std::optional<std::string> setName = FindSetName(base, ShownFileName(name));
  if (!setName) {
    return InputError("no set '" + std::string(name) + "' in " + PathForDisplay(base));
  }
  SetState state;
  state.baseFolder = base;
  SelectSet(state, *setName);
  if (ReadSettingFile(state) == SettingFileStatus::Missing) {
    return InputError("missing setting file " +
                      PathForDisplay(state.setFolder / PathFromUtf8(kSettingFileName)));
  }
  return state;
}

}  // namespace tessarin::cli
