#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
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

struct ThreadLimit {
  const char* name;
  unsigned threads;
};

void PrintTo(const ThreadLimit& row, std::ostream* os) {
  *os << row.name;
}

class ShareTasksOnThreads : public ::testing::TestWithParam<ThreadLimit> {};

// The first task throws while the others are being handed out; the threads that share them
// go on serving later calls.
TEST_P(ShareTasksOnThreads, AThrowOnTheFirstTaskLeavesTheThreadsServing) {
  for (int round = 0; round < 20; ++round) {
    EXPECT_THROW(ShareTasks(64, GetParam().threads,
                            [](std::size_t i) {
                              if (i == 0) throw std::runtime_error("first");
                            }),
                 std::runtime_error);
    std::vector<std::atomic<int>> runs(64);
    ShareTasks(runs.size(), GetParam().threads, [&](std::size_t i) { ++runs[i]; });
    EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 64) << "round " << round;
  }
}

// Tasks that share tasks of their own, as a save does while a batch shares out its saves: the
// threads at work never outnumber the cores, however deep the sharing goes.
TEST_P(ShareTasksOnThreads, NestedSharingNeverRunsMoreThreadsThanTheCores) {
  std::atomic<unsigned> working{0};
  std::atomic<unsigned> mostWorking{0};
  thread_local int depth = 0;
  // Counts each thread once, however many of its tasks are under way.
  const auto work = [&](auto&& inside) {
    if (depth++ == 0) {
      const unsigned now = ++working;
      unsigned most = mostWorking.load();
      while (now > most && !mostWorking.compare_exchange_weak(most, now)) {
      }
    }
    inside();
    if (--depth == 0) --working;
  };
  std::atomic<int> innermost{0};
  ShareTasks(8, GetParam().threads, [&](std::size_t) {
    work([&] {
      ShareTasks(4, GetParam().threads, [&](std::size_t) {
        work([&] {
          ShareTasks(3, GetParam().threads, [&](std::size_t) {
            work([&] {
              // Long enough for every thread that could be started to be at work at once.
              std::this_thread::sleep_for(std::chrono::milliseconds(2));
              ++innermost;
            });
          });
        });
      });
    });
  });
  EXPECT_EQ(innermost, 8 * 4 * 3);
  EXPECT_LE(mostWorking, CoreCount());
  EXPECT_GE(mostWorking, 1u);
}

INSTANTIATE_TEST_SUITE_P(Threads, ShareTasksOnThreads,
                         ::testing::Values(ThreadLimit{"One", 1}, ThreadLimit{"Two", 2},
                                           ThreadLimit{"AsManyAsCores", CoreCount()},
                                           ThreadLimit{"SixtyFour", 64}),
                         [](const ::testing::TestParamInfo<ThreadLimit>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace tessarin
