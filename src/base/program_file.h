#pragma once

#include <filesystem>

namespace tessarin {

// The running program's own file, or an empty path when the system does not say.
std::filesystem::path ProgramFile();

}  // namespace tessarin
