#include "parallel_saver.h"

#include "folder_layout.h"
#include "raster_image.h"
#include "image_file.h"

namespace tessarin::cli {

ParallelSaver::ParallelSaver(unsigned workers, std::size_t maxQueued)
    : maxQueued_(maxQueued == 0 ? 1 : maxQueued) {
  PrepareCodecsForThreads();
  for (unsigned i = 0; i < (workers == 0 ? 1 : workers); ++i)
    workers_.emplace_back([this] { Work(); });
}

ParallelSaver::~ParallelSaver() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool ParallelSaver::Submit(std::shared_ptr<const RasterImage> image, std::string path) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < maxQueued_ || failure_; });
  if (failure_) return false;
  queue_.push_back({std::move(image), std::move(path)});
  lock.unlock();
  changed_.notify_all();
  return true;
}

void ParallelSaver::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

int ParallelSaver::Completed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return completed_;
}

std::optional<std::pair<std::string, std::string>> ParallelSaver::Failure() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failure_;
}

void ParallelSaver::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, with nothing left to write
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++running_;
    lock.unlock();
    changed_.notify_all();

    const Status saved = WriteImageFile(*job.image, PathFromUtf8(job.path));

    lock.lock();
    --running_;
    if (saved) {
      ++completed_;
    } else if (!failure_) {
      failure_.emplace(job.path, saved.Message());
      queue_.clear();  // the batch stops at its first failure
    }
    changed_.notify_all();
  }
}

}  // namespace tessarin::cli
