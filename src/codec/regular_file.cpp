#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "shown_name.h"

namespace tessarin {
namespace {

#ifdef _WIN32
using FileFacts = struct _stat64;
int OpenForReading(const std::filesystem::path& path) {
  return _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int FactsOf(int fd, FileFacts& facts) {
  return _fstat64(fd, &facts);
}
bool IsRegular(const FileFacts& facts) {
  return (facts.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsFolder(const FileFacts& facts) {
  return (facts.st_mode & _S_IFMT) == _S_IFDIR;
}
long long ReadSome(int fd, char* into, std::size_t count) {
  return _read(fd, into, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
int Close(int fd) {
  return _close(fd);
}
#else
using FileFacts = struct stat;
int OpenForReading(const std::filesystem::path& path) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
int FactsOf(int fd, FileFacts& facts) {
  return ::fstat(fd, &facts);
}
bool IsRegular(const FileFacts& facts) {
  return S_ISREG(facts.st_mode);
}
bool IsFolder(const FileFacts& facts) {
  return S_ISDIR(facts.st_mode);
}
long long ReadSome(int fd, char* into, std::size_t count) {
  return ::read(fd, into, count);
}
int Close(int fd) {
  return ::close(fd);
}
#endif

std::string Failure(const std::filesystem::path& path, const std::string& why) {
#ifdef _WIN32
  const std::string shown = path.u8string();
#else
  const std::string shown = ShownPath(path.native());
#endif
  return "Cannot read \"" + shown + "\": " + why;
}

}  // namespace

RegularFile::~RegularFile() {
  if (fd_ >= 0) Close(fd_);
}

Status RegularFile::Open(const std::filesystem::path& path) {
  if (fd_ >= 0) Close(fd_);
  path_ = path;
  offset_ = 0;
  size_ = 0;
  fd_ = OpenForReading(path);
  if (fd_ < 0) return Status::Error(Failure(path, std::strerror(errno)));
  FileFacts facts{};
  const bool known = FactsOf(fd_, facts) == 0;
  const std::string why = known ? "" : std::strerror(errno);
  if (!known || !IsRegular(facts)) {
    Close(fd_);
    fd_ = -1;
    if (!known) return Status::Error(Failure(path, why));
    return Status::Error(Failure(path, IsFolder(facts) ? "it is a folder" : "not a regular file"));
  }
  size_ = facts.st_size > 0 ? static_cast<std::uint64_t>(facts.st_size) : 0;
  return Status::Ok();
}

Status RegularFile::Read(void* into, std::size_t count, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return Status::Error(Failure(path_, "not open"));
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset_));
  auto* bytes = static_cast<char*>(into);
  while (got < count) {
    const long long read = ReadSome(fd_, bytes + got, count - got);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return Status::Error(Failure(path_, std::strerror(errno)));
    if (read == 0) break;  // shrunk since it was opened
    got += static_cast<std::size_t>(read);
  }
  offset_ += got;
  return Status::Ok();
}

Status ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                     std::string& bytes) {
  bytes.clear();
  RegularFile file;
  if (Status opened = file.Open(path); !opened) return opened;
  if (file.Size() > maxBytes) {
    constexpr std::uint64_t kMiB = 1024 * 1024;
    return Status::Error(Failure(
        path, "larger than " + (maxBytes % kMiB == 0 ? std::to_string(maxBytes / kMiB) + " MiB"
                                                     : std::to_string(maxBytes) + " bytes")));
  }
  std::string text(static_cast<std::size_t>(file.Size()), '\0');
  std::size_t got = 0;
  if (Status read = file.Read(text.data(), text.size(), got); !read) return read;
  text.resize(got);
  bytes = std::move(text);
  return Status::Ok();
}

}  // namespace tessarin
