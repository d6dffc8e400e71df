#include "task_sharing.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

// A pool of our own rather than the toolkit's QThreadPool or QtConcurrent: this level is plain
// C++ beneath the toolkit; a caller waiting on its own tasks must take part in them, which
// QThreadPool leaves to tryTake() juggling and QtConcurrent solves by letting the pool start
// another thread, so nested sharing multiplies threads; and ThreadSanitizer sees through our
// standard locks but not through the toolkit's.

namespace tessarin {
namespace {

// One ShareTasks call: its tasks, handed out by index to the caller and to the pool threads
// that join it. It lives on the caller's stack, and is linked into the pool while pool
// threads may join it.
struct Group {
  Group(std::size_t taskCount, const std::function<void(std::size_t)>& taskToRun)
      : count(taskCount), task(taskToRun) {}

  bool HasTasksLeft() const { return next.load(std::memory_order_relaxed) < count; }

  const std::size_t count;
  const std::function<void(std::size_t)>& task;
  std::atomic<std::size_t> next{0};

  std::mutex failureMutex;
  std::exception_ptr failure;

  // Guarded by the pool's mutex.
  unsigned seats = 0;   // pool threads that may still join
  unsigned joined = 0;  // pool threads at work on it
  Group* newer = nullptr;
  Group* older = nullptr;
};

void RunTasks(Group& group) {
  for (std::size_t i = group.next++; i < group.count; i = group.next++) {
    try {
      group.task(i);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(group.failureMutex);
      if (!group.failure) group.failure = std::current_exception();
      group.next = group.count;
    }
  }
}

void RunJob(const std::function<void()>& job) noexcept {
  try {
    job();
  } catch (...) {
    // The job reports its own failures; this only keeps a stray one from ending the program.
  }
}

class Pool {
 public:
  // Never destroyed: its threads wait on it until the program ends, and a static object's
  // destructor may still share tasks.
  static Pool& Instance() {
    static Pool* const pool = new Pool();
    return *pool;
  }

  // Runs group's tasks on this thread and on up to helpers pool threads; returns once all of
  // them have left it.
  void Share(Group& group, unsigned helpers) {
    bool linked = false;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      StartThreads();
      if (threads_ > 0) {
        group.seats = std::min(helpers, threads_);
        group.older = newest_;
        if (newest_ != nullptr) newest_->newer = &group;
        newest_ = &group;
        linked = true;
      }
    }
    if (linked) work_.notify_all();
    RunTasks(group);
    if (!linked) return;
    std::unique_lock<std::mutex> lock(mutex_);
    (group.newer != nullptr ? group.newer->older : newest_) = group.older;
    if (group.older != nullptr) group.older->newer = group.newer;
    left_.wait(lock, [&group] { return group.joined == 0; });
  }

  // False, leaving job as it was, when the pool has no thread to run it.
  bool Queue(std::function<void()>& job) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      StartThreads();
      if (threads_ == 0) return false;
      jobs_.push_back(std::move(job));
    }
    work_.notify_one();
    return true;
  }

 private:
  Pool() = default;

  // With mutex_ held. Threads are detached, so that no thread object is left joinable when
  // something throws. They never end, which also keeps the toolkit safe should it take one of
  // them for its main thread (see PrepareCodecsForThreads).
  void StartThreads() {
    while (threads_ + 1 < CoreCount()) {
      try {
        std::thread(&Pool::Serve, this).detach();
      } catch (...) {
        return;  // fewer threads, then; tried again on the next call, when memory may be back
      }
      ++threads_;
    }
  }

  void Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (Group* group = GroupWantingHelp()) {
        --group->seats;
        ++group->joined;
        lock.unlock();
        RunTasks(*group);
        lock.lock();
        // Not touched after the lock is released: its caller may return at once.
        if (--group->joined == 0) left_.notify_all();
        continue;
      }
      if (!jobs_.empty()) {
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        RunJob(job);
        job = nullptr;  // what it holds goes before the lock is taken again
        lock.lock();
        continue;
      }
      work_.wait(lock);
    }
  }

  // With mutex_ held. The newest first: a task that shares tasks of its own is waiting for
  // them, and finishing it frees its thread.
  Group* GroupWantingHelp() const {
    for (Group* group = newest_; group != nullptr; group = group->older) {
      if (group->seats > 0 && group->HasTasksLeft()) return group;
    }
    return nullptr;
  }

  std::mutex mutex_;
  std::condition_variable work_;  // pool threads wait here for groups and jobs
  std::condition_variable left_;  // callers wait here for their helpers to leave
  Group* newest_ = nullptr;
  std::deque<std::function<void()>> jobs_;
  unsigned threads_ = 0;
};

}  // namespace

unsigned CoreCount() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void ShareTasks(std::size_t count, unsigned maxThreads,
                const std::function<void(std::size_t)>& task) {
  Group group(count, task);
  const std::size_t threads = std::min<std::size_t>(count, std::max(maxThreads, 1u));
  if (threads > 1) {
    Pool::Instance().Share(group, static_cast<unsigned>(threads - 1));
  } else {
    RunTasks(group);
  }
  if (group.failure) std::rethrow_exception(group.failure);
}

void RunInBackground(std::function<void()> job) {
  if (!Pool::Instance().Queue(job)) RunJob(job);
}

}  // namespace tessarin
