#pragma once

// Makes memory run out for real: lowers this process's address-space limit to what it has
// mapped now plus some headroom, and puts the old limit back when it goes out of scope.

#include <malloc.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESSARIN_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TESSARIN_TEST_SANITIZED 1
#endif
#endif

namespace tessarin::testing {

class AddressSpaceLimit {
 public:
  explicit AddressSpaceLimit(std::size_t headroomBytes) {
#ifdef TESSARIN_TEST_SANITIZED
    static_cast<void>(headroomBytes);
    why_ = "the sanitizer's shadow memory cannot live under an address-space limit";
#else
    // Large blocks then always come from and go back to the system, so that freed heap
    // space counted in the mapped size cannot quietly serve an allocation meant to fail.
    static const bool fixedThreshold = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    static_cast<void>(fixedThreshold);
    malloc_trim(0);
    const std::size_t mapped = MappedBytes();
    if (mapped == 0 || getrlimit(RLIMIT_AS, &old_) != 0) {
      why_ = "cannot tell how much memory this process has mapped";
      return;
    }
    rlimit lowered = old_;
    lowered.rlim_cur = static_cast<rlim_t>(mapped + headroomBytes);
    if (old_.rlim_max != RLIM_INFINITY && lowered.rlim_cur > old_.rlim_max) {
      why_ = "the hard address-space limit is below the test's";
      return;
    }
    if (setrlimit(RLIMIT_AS, &lowered) != 0) {
      why_ = "cannot lower the address-space limit: " + std::string(std::strerror(errno));
      return;
    }
    made_ = true;
#endif
  }
  ~AddressSpaceLimit() {
    if (made_) setrlimit(RLIMIT_AS, &old_);
  }
  AddressSpaceLimit(const AddressSpaceLimit&) = delete;
  AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  bool Made() const {
    return made_;
  }
  const std::string& Why() const {
    return why_;
  }

 private:
  static std::size_t MappedBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
      if (word == "VmSize:") {
        std::size_t kib = 0;
        status >> kib;
        return kib * 1024;
      }
    }
    return 0;
  }

  rlimit old_{};
  bool made_ = false;
  std::string why_;
};

}  // namespace tessarin::testing
