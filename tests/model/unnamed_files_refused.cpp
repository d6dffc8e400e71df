#include "unnamed_files_refused.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>

namespace {

std::atomic<bool> refusing{false};
std::atomic<int> refusals{0};

}  // namespace

extern "C" int openat(int folder, const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list rest;
    va_start(rest, flags);
    mode = va_arg(rest, mode_t);
    va_end(rest);
  }
  if ((flags & O_TMPFILE) == O_TMPFILE && refusing.load()) {
    ++refusals;
    errno = EOPNOTSUPP;
    return -1;
  }
  return static_cast<int>(syscall(SYS_openat, folder, path, flags, mode));
}

namespace tessarin::testing {

UnnamedFilesRefused::UnnamedFilesRefused() {
  refusing.store(true);
}

UnnamedFilesRefused::~UnnamedFilesRefused() {
  refusing.store(false);
}

int UnnamedFilesRefused::Refusals() {
  return refusals.load();
}

}  // namespace tessarin::testing
