#include "task_sharing.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tessarin {

unsigned CoreCount() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void ShareTasks(std::size_t count, unsigned maxThreads,
                const std::function<void(std::size_t)>& task) {
  std::atomic<std::size_t> next{0};
  std::mutex failureMutex;
  std::exception_ptr failure;
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      try {
        task(i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failureMutex);
        if (!failure) failure = std::current_exception();
        next = count;
      }
    }
  };
  const std::size_t threads = std::min<std::size_t>(count, maxThreads);
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads then; this one takes what is left
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tessarin
