#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "image_file.h"
#include "status.h"

namespace tessarin::cli {

// Encodes and writes images on the shared pool's threads while the caller composes the next
// ones: encoding a sheet costs more than composing it.
class ParallelSaver {
 public:
  using Save = std::function<Status(const RasterImage&, const std::filesystem::path&)>;
  static Save DefaultSave() {
    return [](const RasterImage& image, const std::filesystem::path& path) {
      return WriteImageFile(image, path);
    };
  }

  // At most maxQueued saves wait at a time, which bounds the memory a batch holds. Texts are
  // saved with textDurability.
  explicit ParallelSaver(std::size_t maxQueued, Save save = DefaultSave(),
                         Durability textDurability = Durability::EachFile);
  // Waits for every queued save.
  ~ParallelSaver();
  ParallelSaver(const ParallelSaver&) = delete;
  ParallelSaver& operator=(const ParallelSaver&) = delete;

  // A file written beside a sheet once the sheet is saved: its path and its bytes.
  using TextFile = std::pair<std::string, std::string>;

  // Queues a save, and after it the texts; while the queue is full, runs queued saves here.
  // False once a save has failed: nothing more is queued then.
  bool Submit(std::shared_ptr<const RasterImage> image, std::string path,
              std::vector<TextFile> texts = {});

  // Runs or waits for every queued save.
  void Finish();

  int Completed() const;
  // The first failure: the path and the reason. A save that throws fails with what it threw.
  std::optional<std::pair<std::string, std::string>> Failure() const;

 private:
  struct Queue;
  // Shared with the pool's jobs, which may outlive the saver: a job whose save this thread
  // ran meanwhile finds nothing left to do.
  std::shared_ptr<Queue> queue_;
};

}  // namespace tessarin::cli
