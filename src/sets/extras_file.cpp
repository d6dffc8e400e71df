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
  RegularFile file;
  if (Status opened = file.Open(*path); !opened) return opened;
  if (file.Size() > kMaxExtrasFileBytes) {
    return Status::Error(std::string(name) + ": larger than 16 MiB");
  }
  std::string text(static_cast<std::size_t>(file.Size()), '\0');
  std::size_t got = 0;
  if (Status read = file.Read(text.data(), text.size(), got); !read) return read;
  text.resize(got);
  bytes = std::move(text);
  return Status::Ok();
}

}  // namespace tessarin
