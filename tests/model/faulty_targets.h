#pragma once

// Targets a save must fail on, even for root, built in a scratch folder and undone when they go
// out of scope, so that no immutable file or mount outlives a test, failed or not.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tessarin::testing {

class ImmutableAttribute {
 public:
  explicit ImmutableAttribute(std::filesystem::path path) : path_(std::move(path)) {
    made_ = Set(true);
    if (!made_) why_ = "cannot make " + path_.string() + " immutable: " + std::strerror(errno);
  }
  ~ImmutableAttribute() {
    if (made_) Set(false);
  }
  ImmutableAttribute(const ImmutableAttribute&) = delete;
  ImmutableAttribute& operator=(const ImmutableAttribute&) = delete;

  bool Made() const { return made_; }
  const std::string& Why() const { return why_; }

 private:
  bool Set(bool on) const {
    const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
      flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
      done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    const int error = errno;
    close(fd);
    errno = error;
    return done;
  }

  std::filesystem::path path_;
  bool made_ = false;
  std::string why_;
};

// A 256 KiB tmpfs mounted on a folder of its own, which Fill() leaves without a free page.
class FullFileSystem {
 public:
  static constexpr const char* kFillerName = "filler";

  explicit FullFileSystem(std::filesystem::path mountPoint) : mountPoint_(std::move(mountPoint)) {
    std::filesystem::create_directories(mountPoint_);
    mounted_ = mount("tessarin-test", mountPoint_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                     "size=256k") == 0;
    if (!mounted_) why_ = "cannot mount a tmpfs here: " + std::string(std::strerror(errno));
  }
  ~FullFileSystem() {
    // Detached, so that a file a failed test left open cannot keep it mounted.
    if (mounted_) umount2(mountPoint_.c_str(), MNT_DETACH);
  }
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  bool Made() const { return mounted_; }
  const std::string& Why() const { return why_; }
  const std::filesystem::path& Root() const { return mountPoint_; }

  // Leaves about room bytes free: a save larger than that fails in the middle of a write.
  void Fill(off_t room = 0) const {
    const int fd = open((mountPoint_ / kFillerName).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const std::vector<char> page(4096, 'f');
    off_t size = 0;
    for (ssize_t n = 0; fd >= 0 && (n = write(fd, page.data(), page.size())) > 0;) size += n;
    if (fd >= 0 && room > 0) static_cast<void>(ftruncate(fd, size > room ? size - room : 0));
    if (fd >= 0) close(fd);
  }

 private:
  std::filesystem::path mountPoint_;
  bool mounted_ = false;
  std::string why_;
};

enum class SaveFault {
  MissingFolder,
  ParentIsAFile,
  FolderInTheWay,
  ImmutableFile,
  ImmutableFolder,
  FullDisk,
  DiskFillsMidway,
  NamedPipe,
  LinkToNamedPipe,
  LinkToDevice,
};

inline const char* SaveFaultName(SaveFault fault) {
  static const char* const kNames[] = {
      "MissingFolder", "ParentIsAFile",   "FolderInTheWay", "ImmutableFile",   "ImmutableFolder",
      "FullDisk",      "DiskFillsMidway", "NamedPipe",      "LinkToNamedPipe", "LinkToDevice"};
  return kNames[static_cast<int>(fault)];
}

inline void PrintTo(SaveFault fault, std::ostream* os) {
  *os << SaveFaultName(fault);
}

inline const SaveFault kSaveFaults[] = {SaveFault::MissingFolder,   SaveFault::ParentIsAFile,
                                        SaveFault::FolderInTheWay,  SaveFault::ImmutableFile,
                                        SaveFault::ImmutableFolder, SaveFault::FullDisk,
                                        SaveFault::DiskFillsMidway, SaveFault::NamedPipe,
                                        SaveFault::LinkToNamedPipe, SaveFault::LinkToDevice};

// Room left on the file system of DiskFillsMidway: a save must write more to fail there.
inline constexpr off_t kRoomLeftMidway = 16 * 1024;

// "target.png" under folder, made to fail for one reason, with an old file beside or in its
// place wherever the fault allows one.
class FaultyTarget {
 public:
  FaultyTarget(SaveFault fault, std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    const std::string old = "old bytes, which no failed save may touch";
    switch (fault) {
      case SaveFault::MissingFolder:
        path_ = folder_ / "missing" / "target.png";
        reason_ = std::strerror(ENOENT);
        break;
      case SaveFault::ParentIsAFile:
        Write(folder_ / "file", old);
        path_ = folder_ / "file" / "target.png";
        reason_ = std::strerror(ENOTDIR);
        break;
      case SaveFault::FolderInTheWay:
        path_ = folder_ / "target.png";
        Write(path_ / "inside.txt", old);
        reason_ = std::strerror(EISDIR);
        break;
      case SaveFault::ImmutableFile:
        path_ = folder_ / "target.png";
        Write(path_, old);
        immutable_ = std::make_unique<ImmutableAttribute>(path_);
        if (!immutable_->Made()) skip_ = immutable_->Why();
        reason_ = "not writable";
        break;
      case SaveFault::ImmutableFolder:
        path_ = folder_ / "locked" / "target.png";
        Write(path_, old);
        immutable_ = std::make_unique<ImmutableAttribute>(path_.parent_path());
        if (!immutable_->Made()) skip_ = immutable_->Why();
        reason_ = std::strerror(EPERM);
        break;
      case SaveFault::FullDisk:
      case SaveFault::DiskFillsMidway:
        full_ = std::make_unique<FullFileSystem>(folder_ / "small");
        path_ = full_->Root() / "target.png";
        if (!full_->Made()) {
          skip_ = full_->Why();
          break;
        }
        Write(path_, old);
        full_->Fill(fault == SaveFault::FullDisk ? 0 : kRoomLeftMidway);
        reason_ = std::strerror(ENOSPC);
        break;
      case SaveFault::NamedPipe:
      case SaveFault::LinkToNamedPipe:
        path_ = folder_ / "target.png";
        if (fault == SaveFault::LinkToNamedPipe) {
          std::filesystem::create_symlink(folder_ / "pipe", path_);
        }
        if (mkfifo((fault == SaveFault::NamedPipe ? path_ : folder_ / "pipe").c_str(), 0644) != 0) {
          skip_ = "cannot make a named pipe: " + std::string(std::strerror(errno));
        }
        reason_ = "not a regular file";
        break;
      case SaveFault::LinkToDevice:
        // A private copy of /dev/null: harmless should a save write into it after all.
        path_ = folder_ / "target.png";
        std::filesystem::create_symlink("null", path_);
        if (mknod((folder_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
          skip_ = "cannot make a device node (needs root): " + std::string(std::strerror(errno));
        }
        reason_ = "not a regular file";
        break;
    }
  }

  const std::filesystem::path& Path() const { return path_; }
  // Why the machine cannot build this fault; empty when it could.
  const std::string& Skip() const { return skip_; }
  // What the error must say besides the target's name.
  const std::string& Reason() const { return reason_; }

  // Every entry under the folder with its bytes or kind: equal before and after a failed save
  // when nothing was lost and nothing was left behind. Pipes and devices are never opened.
  std::map<std::string, std::string> Snapshot() const {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
      std::string& seen = files[entry.path().string()];
      switch (entry.symlink_status().type()) {
        case fs::file_type::regular: {
          std::ifstream in(entry.path(), std::ios::binary);
          seen = std::string(std::istreambuf_iterator<char>(in), {});
          break;
        }
        case fs::file_type::symlink:
          seen = "<link to " + fs::read_symlink(entry.path()).string() + ">";
          break;
        default:
          seen = "<kind " + std::to_string(static_cast<int>(entry.symlink_status().type())) + ">";
      }
    }
    return files;
  }

 private:
  static void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::filesystem::path folder_;
  std::filesystem::path path_;
  std::string reason_;
  std::string skip_;
  // Undone with the target, before whoever made the folder removes it.
  std::unique_ptr<FullFileSystem> full_;
  std::unique_ptr<ImmutableAttribute> immutable_;
};

}  // namespace tessarin::testing
