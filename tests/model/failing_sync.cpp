#include "failing_sync.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> dataError{0};
std::atomic<int> folderError{0};
std::atomic<int> failures{0};

bool IsFolder(int fd) {
  struct stat facts {};
  return fstat(fd, &facts) == 0 && S_ISDIR(facts.st_mode);
}

int Fail(int error) {
  ++failures;
  errno = error;
  return -1;
}

}  // namespace

extern "C" int fdatasync(int fd) {
  if (const int error = dataError.load(); error != 0) return Fail(error);
  return static_cast<int>(syscall(SYS_fdatasync, fd));
}

extern "C" int fsync(int fd) {
  if (const int error = folderError.load(); error != 0 && IsFolder(fd)) return Fail(error);
  return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace tessarin::testing {

FailingSync::FailingSync(SyncTarget target, int error) : target_(target) {
  (target == SyncTarget::FileData ? dataError : folderError).store(error);
}

FailingSync::~FailingSync() {
  (target_ == SyncTarget::FileData ? dataError : folderError).store(0);
}

int FailingSync::Failures() {
  return failures.load();
}

}  // namespace tessarin::testing
