#pragma once

// This test program brings its own fdatasync, fsync and syncfs, which the codec's static library
// binds to in place of the system's: a test can make them fail as a disk that cannot write would.

namespace tessarin::testing {

enum class SyncTarget {
  FileData,    // fdatasync, which a save calls on the file it wrote
  Folder,      // fsync of a folder, which a save calls after the rename
  FileSystem,  // syncfs, which a batch calls once its new files are written
};

// While it lives, every sync of target fails with error; other syncs reach the system.
class FailingSync {
 public:
  FailingSync(SyncTarget target, int error);
  ~FailingSync();
  FailingSync(const FailingSync&) = delete;
  FailingSync& operator=(const FailingSync&) = delete;

  // How many syncs failed so far.
  static int Failures();

 private:
  SyncTarget target_;
};

}  // namespace tessarin::testing
