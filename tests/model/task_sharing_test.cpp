#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

#include "task_sharing.h"

namespace tessarin {
namespace {

TEST(ShareTasks, RunsEachTaskOnceOnAnyNumberOfThreads) {
  for (const unsigned threads : {1u, 2u, 7u}) {
    std::vector<std::atomic<int>> runs(100);
    ShareTasks(runs.size(), threads, [&](std::size_t i) { ++runs[i]; });
    for (const auto& count : runs) EXPECT_EQ(count, 1) << threads << " threads";
  }
}

// Running out of memory in one task reaches the caller, once every thread has stopped.
TEST(ShareTasks, ATaskThatThrowsStopsTheRestAndTheCallerHearsOfIt) {
  for (const unsigned threads : {1u, 4u}) {
    std::atomic<int> started{0};
    EXPECT_THROW(ShareTasks(1000, threads,
                            [&](std::size_t i) {
                              ++started;
                              if (i == 3) throw std::bad_alloc();
                            }),
                 std::bad_alloc);
    // On one thread nothing starts after the failure; on several, others may be under way.
    if (threads == 1) {
      EXPECT_EQ(started, 4);
    }
  }
}

}  // namespace
}  // namespace tessarin
