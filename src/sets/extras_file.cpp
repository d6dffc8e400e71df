#include "extras_file.h"

#include "folder_layout.h"
#include "regular_file.h"

namespace tessarin {

Status ReadExtrasFile(const std::filesystem::path& setFolder, std::string_view name,
                      std::optional<std::string>& bytes) {
  bytes.reset();
  const std::optional<std::filesystem::path> path = ResolveEntry(setFolder, name);
  std::error_code error;
  // A dangling link counts as there: it is refused below rather than ignored.
  if (!path || !std::filesystem::exists(std::filesystem::symlink_status(*path, error))) {
    return Status::Ok();
  }
  std::string text;
  if (Status read = ReadWholeFile(*path, kMaxExtrasFileBytes, text); !read) return read;
  bytes = std::move(text);
  return Status::Ok();
}

}  // namespace tessarin
