#include "parallel_saver.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <new>

#include "atomic_save.h"
#include "folder_layout.h"
#include "raster_image.h"
#include "task_sharing.h"

namespace tessarin::cli {

struct ParallelSaver::Queue {
  struct Job {
    std::shared_ptr<const RasterImage> image;
    std::string path;
    std::vector<TextFile> texts;
  };

  Queue(std::size_t most, Save saveFunction, Durability texts)
      : maxQueued(most), save(std::move(saveFunction)), textDurability(texts) {}

  // Runs the oldest queued save, if any is left; with lock held, which it releases meanwhile.
  void RunOne(std::unique_lock<std::mutex>& lock) {
    if (jobs.empty()) return;
    Job job = std::move(jobs.front());
    jobs.pop_front();
    ++running;
    lock.unlock();
    std::string failedPath = job.path;
    const Status saved = SaveGuarded(job, failedPath);
    job.image.reset();  // the sheet's memory goes before the next save is queued
    lock.lock();
    --running;
    if (saved) {
      ++completed;
    } else if (!failure) {
      failure.emplace(failedPath, saved.Message());
      jobs.clear();  // the batch stops at its first failure
    }
    changed.notify_all();
  }

  // The sheet, then the texts beside it; failedPath names the file that failed.
  Status SaveGuarded(const Job& job, std::string& failedPath) const {
    try {
      Status saved = save(*job.image, PathFromUtf8(job.path));
      for (const TextFile& text : job.texts) {
        if (!saved) break;
        failedPath = text.first;
        saved = SaveBytesAtomically(PathFromUtf8(text.first), text.second, textDurability);
      }
      return saved;
    } catch (const std::bad_alloc&) {
      return Status::OutOfMemory("out of memory");
    } catch (const std::exception& error) {
      return Status::Error(error.what());
    } catch (...) {
      return Status::Error("the save failed for an unknown reason");
    }
  }

  const std::size_t maxQueued;
  const Save save;
  const Durability textDurability;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> jobs;
  int running = 0;
  int completed = 0;
  std::optional<std::pair<std::string, std::string>> failure;
};

ParallelSaver::ParallelSaver(std::size_t maxQueued, Save save, Durability textDurability)
    : queue_(std::make_shared<Queue>(maxQueued == 0 ? 1 : maxQueued, std::move(save),
                                     textDurability)) {
  PrepareCodecsForThreads();
}

ParallelSaver::~ParallelSaver() {
  Finish();
}

bool ParallelSaver::Submit(std::shared_ptr<const RasterImage> image, std::string path,
                           std::vector<TextFile> texts) {
  std::unique_lock<std::mutex> lock(queue_->mutex);
  // Full: this thread saves too, rather than wait while the pool's threads do.
  while (queue_->jobs.size() >= queue_->maxQueued && !queue_->failure) queue_->RunOne(lock);
  if (queue_->failure) return false;
  queue_->jobs.push_back({std::move(image), std::move(path), std::move(texts)});
  lock.unlock();
  try {
    RunInBackground([queue = queue_] {
      std::unique_lock<std::mutex> jobLock(queue->mutex);
      queue->RunOne(jobLock);
    });
  } catch (const std::bad_alloc&) {
    // Still queued: the next Submit or Finish saves it on this thread.
  }
  return true;
}

void ParallelSaver::Finish() {
  std::unique_lock<std::mutex> lock(queue_->mutex);
  while (!queue_->jobs.empty()) queue_->RunOne(lock);
  queue_->changed.wait(lock, [this] { return queue_->running == 0; });
}

int ParallelSaver::Completed() const {
  const std::lock_guard<std::mutex> lock(queue_->mutex);
  return queue_->completed;
}

std::optional<std::pair<std::string, std::string>> ParallelSaver::Failure() const {
  const std::lock_guard<std::mutex> lock(queue_->mutex);
  return queue_->failure;
}

}  // namespace tessarin::cli
