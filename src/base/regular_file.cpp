#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace tessarin {
namespace {

std::string Failure(const std::filesystem::path& path, const std::string& why) {
  return "Cannot read \"" + path.string() + "\": " + why;
}

}  // namespace

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

Status RegularFile::Open(const std::filesystem::path& path) {
  if (fd_ >= 0) ::close(fd_);
  path_ = path;
  offset_ = 0;
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return Status::Error(Failure(path, std::strerror(errno)));
  struct stat facts {};
  if (::fstat(fd_, &facts) != 0) return Status::Error(Failure(path, std::strerror(errno)));
  if (!S_ISREG(facts.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    const char* what = S_ISDIR(facts.st_mode) ? "it is a folder" : "not a regular file";
    return Status::Error(Failure(path, what));
  }
  size_ = static_cast<std::uint64_t>(std::max<off_t>(facts.st_size, 0));
  return Status::Ok();
}

Status RegularFile::Read(void* into, std::size_t count, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return Status::Error(Failure(path_, "not open"));
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset_));
  auto* bytes = static_cast<char*>(into);
  while (got < count) {
    const ssize_t read = ::read(fd_, bytes + got, count - got);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return Status::Error(Failure(path_, std::strerror(errno)));
    if (read == 0) break;  // shrunk since it was opened
    got += static_cast<std::size_t>(read);
  }
  offset_ += got;
  return Status::Ok();
}

}  // namespace tessarin
