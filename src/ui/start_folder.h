#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tessarin {

// The Graphics folder the window opens on: the one given on the command line (its bytes as
// given), else the one last chosen in the window while it still exists, else the default.
std::filesystem::path GraphicsFolderAtStart(const std::optional<std::string>& argument);

}  // namespace tessarin
