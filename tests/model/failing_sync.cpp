#include "failing_sync.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> dataError{0};
std::atomic<int> folderError{0};
std::atomic<int> fileSystemError{0};
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

extern "C" int syncfs(int fd) {
  if (const int error = fileSystemError.load(); error != 0) return Fail(error);
  return static_cast<int>(syscall(SYS_syncfs, fd));
}

namespace tessarin::testing {
namespace {

std::atomic<int>& ErrorOf(SyncTarget target) {
  switch (target) {
    case SyncTarget::FileData:
      return dataError;
    case SyncTarget::Folder:
      return folderError;
    case SyncTarget::FileSystem:
      break;
  }
  return fileSystemError;
}

}  // namespace

FailingSync::FailingSync(SyncTarget target, int error) : target_(target) {
  ErrorOf(target).store(error);
}

FailingSync::~FailingSync() {
  ErrorOf(target_).store(0);
}

int FailingSync::Failures() {
  return failures.load();
}

}  // namespace tessarin::testing
