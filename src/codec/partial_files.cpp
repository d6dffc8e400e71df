#include "partial_files.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tessarin {
namespace {

// Fixed places rather than a container: the handler may not allocate or lock. Enough for
// every save a batch runs at once on any machine we know.
constexpr int kPlaces = 256;
constexpr std::size_t kNameSize = 64;

enum State : int { kFree, kFilling, kListed };

struct Place {
  std::atomic<int> state{kFree};
  int folderFd = -1;
  char name[kNameSize] = {};
};

Place places[kPlaces];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the states");

#ifndef _WIN32
extern "C" void RemoveListedAndEnd(int signal) {
  const int savedErrno = errno;
  for (Place& place : places) {
    if (place.state.load(std::memory_order_acquire) == kListed) {
      unlinkat(place.folderFd, place.name, 0);
    }
  }
  // The handler was reset on entry: the signal, pending until the handler returns, then ends
  // the program with the status a shell expects of it.
  raise(signal);
  errno = savedErrno;
}
#endif

}  // namespace

void RemovePartialFilesOnTermination() {
#ifndef _WIN32
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = RemoveListedAndEnd;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESETHAND;
    sigaction(signal, &handler, nullptr);
  }
#endif
}

ListedPartialFile::ListedPartialFile(int folderFd, const std::string& name) {
  if (name.size() >= kNameSize) return;
  for (int i = 0; i < kPlaces; ++i) {
    int expected = kFree;
    if (!places[i].state.compare_exchange_strong(expected, kFilling)) continue;
    places[i].folderFd = folderFd;
    std::memcpy(places[i].name, name.c_str(), name.size() + 1);
    places[i].state.store(kListed, std::memory_order_release);
    place_ = i;
    return;
  }
}

ListedPartialFile::~ListedPartialFile() {
  if (place_ >= 0) places[place_].state.store(kFree, std::memory_order_release);
}

}  // namespace tessarin
