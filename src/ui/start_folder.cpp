#include "start_folder.h"

#include <system_error>

#include "folder_layout.h"
#include "window_settings.h"

namespace tessarin {

std::filesystem::path GraphicsFolderAtStart(const std::optional<std::string>& argument) {
  if (argument) return PathFromUtf8(*argument);
  if (const std::optional<std::filesystem::path> remembered = RememberedGraphicsFolder()) {
    std::error_code unreadable;
    if (std::filesystem::is_directory(*remembered, unreadable)) return *remembered;
  }
  return DefaultBaseFolder();
}

}  // namespace tessarin
