#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "cli_error.h"
#include "set_state.h"

namespace tessarin::cli {

// The folder of sets: the --graphics value, or Graphics beside the program.
std::variant<std::filesystem::path, CliError> ResolveGraphicsFolder(
    const std::optional<std::string>& graphics);

// The listed set name equal to name: exactly, or else without case.
std::optional<std::string> FindSetName(const std::filesystem::path& base, std::string_view name);

// A state holding the named set with its setting file read; no layers loaded, not ready.
std::variant<SetState, CliError> OpenSet(const std::filesystem::path& base, std::string_view name);

}  // namespace tessarin::cli
