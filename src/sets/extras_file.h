#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "status.h"

namespace tessarin {

// Optional files of a set stay small; anything larger is refused before it is read.
inline constexpr std::uint64_t kMaxExtrasFileBytes = 16u * 1024 * 1024;

// The bytes of the set folder's file `name` (found without case), or nothing when it does not
// exist. Only a regular file is read, at most kMaxExtrasFileBytes; a failure names the file.
Status ReadExtrasFile(const std::filesystem::path& setFolder, std::string_view name,
                      std::optional<std::string>& bytes);

}  // namespace tessarin
