#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessarin {
class RasterImage;
}

namespace tessarin::cli {

// Encodes and writes images on worker threads while the caller composes the next ones:
// encoding a sheet costs more than composing it.
class ParallelSaver {
 public:
  // At most maxQueued saves wait at a time, which bounds the memory a batch holds.
  ParallelSaver(unsigned workers, std::size_t maxQueued);
  ~ParallelSaver();
  ParallelSaver(const ParallelSaver&) = delete;
  ParallelSaver& operator=(const ParallelSaver&) = delete;

  // Queues a save, waiting while the queue is full. False once a save has failed: nothing
  // more is queued then.
  bool Submit(std::shared_ptr<const RasterImage> image, std::string path);

  // Waits until every queued save has finished.
  void Finish();

  int Completed() const;
  // The first failure: the path and the reason.
  std::optional<std::pair<std::string, std::string>> Failure() const;

 private:
  struct Job {
    std::shared_ptr<const RasterImage> image;
    std::string path;
  };
  void Work();

  const std::size_t maxQueued_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> queue_;
  int running_ = 0;
  int completed_ = 0;
  bool stopping_ = false;
  std::optional<std::pair<std::string, std::string>> failure_;
  std::vector<std::thread> workers_;
};

}  // namespace tessarin::cli
