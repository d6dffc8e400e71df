#include "credits_file.h"

#include <cstdint>
#include <system_error>

#include "atomic_save.h"
#include "regular_file.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tessarin::cli {
namespace {

// Credits of a folder stay small; a larger file is not ours to merge.
constexpr std::uint64_t kMaxCreditsBytes = 64u * 1024 * 1024;

// Holds the folder's lock while it lives. Where the file system has no locks, runs merge
// unguarded, which is how they ran before.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& folder) {
#ifndef _WIN32
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
#else
    (void)folder;
#endif
  }
  ~FolderLock() {
#ifndef _WIN32
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
#endif
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

Status ReadLines(const std::filesystem::path& path, std::set<std::string>& lines) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return Status::Ok();
  RegularFile file;
  if (Status opened = file.Open(path); !opened) return opened;
  if (file.Size() > kMaxCreditsBytes) {
    return Status::Error("Cannot merge \"" + path.filename().string() + "\": larger than 64 MiB");
  }
  std::string text(static_cast<std::size_t>(file.Size()), '\0');
  std::size_t got = 0;
  if (Status read = file.Read(text.data(), text.size(), got); !read) return read;
  text.resize(got);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.insert(std::move(line));
    start = end + 1;
  }
  return Status::Ok();
}

}  // namespace

Status MergeCreditsFile(const std::filesystem::path& folder, const std::set<std::string>& lines,
                        Durability durability) {
  const FolderLock lock(folder.empty() ? std::filesystem::path(".") : folder);
  const std::filesystem::path path = folder / kBatchCreditsName;
  std::set<std::string> merged = lines;
  if (Status read = ReadLines(path, merged); !read) return read;
  std::string text;
  for (const std::string& line : merged) text += line + '\n';
  return SaveBytesAtomically(path, text, durability);
}

}  // namespace tessarin::cli
