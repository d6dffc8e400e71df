#include "atomic_save.h"

#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#ifdef _WIN32
#include <QSaveFile>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "descriptor_writer.h"
#include "partial_files.h"
#endif

namespace tessarin {

#ifdef _WIN32

Status SaveAtomically(const std::filesystem::path& targetName,
                      const std::function<bool(QIODevice& device, QString& error)>& write,
                      Durability durability) {
  (void)durability;  // QSaveFile syncs every file
  QSaveFile file(QString::fromStdWString(targetName.wstring()));
  if (!file.open(QIODevice::WriteOnly)) return Status::Error(file.errorString().toStdString());
  QString error;
  if (!write(file, error)) {
    file.cancelWriting();
    if (error.isEmpty()) error = file.errorString();
    return Status::Error(error.toStdString());
  }
  if (!file.commit()) return Status::Error(file.errorString().toStdString());
  return Status::Ok();
}

Status SyncFileSystemOf(const std::filesystem::path&) {
  // QSaveFile has synced every file already.
  return Status::Ok();
}

#else

namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Short, so that a target name up to the system's limit still leaves room for it, and random,
// so that nobody can plant anything under it beforehand.
std::string FreshName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
  std::string name = ".tessarin-";
  for (int i = 0; i < 12; ++i) name += kLetters[pick(random)];
  return name;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a chain of links ends, each relative one read from the folder that holds it; the path
// itself when it is no link. Empty, with error set, when the chain never ends.
std::string FollowLinks(std::string path, int& error) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t size = ::readlink(path.c_str(), target, sizeof target);
    if (size < 0 || static_cast<std::size_t>(size) >= sizeof target) {
      error = size < 0 ? errno : ENAMETOOLONG;
      return {};
    }
    const std::string next(target, static_cast<std::size_t>(size));
    path = next.front() == '/' || path.find('/') == std::string::npos ? next
                                                                      : FolderOf(path) + "/" + next;
  }
  error = ELOOP;
  return {};
}

std::string NotAFile(mode_t mode) {
  const char* kind = S_ISFIFO(mode)   ? "a named pipe"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISSOCK(mode) ? "a socket"
                                      : "no regular file";
  return std::string("it is ") + kind + ", not a regular file; nothing was written";
}

// Whether a file made without a name can be given one: by its entry under /proc, which needs
// no privilege, unlike linking the descriptor itself.
bool CanNameAnonymousFiles() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

// The new file, made where nothing can stand in its way: without a name where the file system
// allows it, so that a killed save leaves nothing behind, or else under a fresh name that is
// never an existing entry, let alone one a link leads away from.
struct PartialFile {
  int fd = -1;
  std::string name;  // empty while the file has none
  std::optional<ListedPartialFile> listed;
};

int MakePartialFile(int folder, PartialFile& file) {
#ifdef O_TMPFILE
  if (CanNameAnonymousFiles()) {
    file.fd = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (file.fd >= 0) return 0;
    // Older kernels and some file systems cannot; any other refusal holds for a named file too.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
  }
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = FreshName();
    file.fd =
        ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file.fd >= 0) {
      file.listed.emplace(folder, name);
      file.name = std::move(name);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

// Gives a file made without a name a fresh one beside the target, to rename from.
int NamePartialFile(int folder, PartialFile& file) {
  if (!file.name.empty()) return 0;
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = FreshName();
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      file.listed.emplace(folder, name);
      file.name = std::move(name);
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

// Removes the partial file's name unless it was renamed into place, and closes it.
class PartialFileCleanup {
 public:
  PartialFileCleanup(int folder, PartialFile& file) : folder_(folder), file_(file) {}
  ~PartialFileCleanup() {
    if (!placed_ && !file_.name.empty()) ::unlinkat(folder_, file_.name.c_str(), 0);
    file_.listed.reset();
    if (file_.fd >= 0) ::close(file_.fd);
  }
  PartialFileCleanup(const PartialFileCleanup&) = delete;
  PartialFileCleanup& operator=(const PartialFileCleanup&) = delete;
  void Placed() { placed_ = true; }

 private:
  int folder_;
  PartialFile& file_;
  bool placed_ = false;
};

}  // namespace

Status SaveAtomically(const std::filesystem::path& targetName,
                      const std::function<bool(QIODevice& device, QString& error)>& write,
                      Durability durability) {
  // A link is followed: the file it leads to is the one replaced, and the link stays.
  int error = 0;
  const std::string path = FollowLinks(targetName.native(), error);
  if (error != 0) return Status::Error(Reason(error));
  // Looked at, never opened: opening a pipe would wait for a reader.
  struct stat old {};
  const bool replacing = ::lstat(path.c_str(), &old) == 0;
  if (!replacing && errno != ENOENT) return Status::Error(Reason(errno));
  if (replacing && S_ISDIR(old.st_mode)) return Status::Error(Reason(EISDIR));
  if (replacing && !S_ISREG(old.st_mode)) return Status::Error(NotAFile(old.st_mode));
  if (replacing && ::access(path.c_str(), W_OK) != 0) {
    return Status::Error("the existing file is not writable");
  }
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return Status::Error(Reason(EISDIR));

  const Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() < 0) return Status::Error(Reason(errno));
  PartialFile file;
  if (const int failure = MakePartialFile(folder.Get(), file); failure != 0) {
    return Status::Error(Reason(failure));
  }
  PartialFileCleanup cleanup(folder.Get(), file);

  QString encoderError;
  DescriptorWriter device(file.fd);
  const bool encoded = write(device, encoderError);
  // After a failed write the system's reason says more than the encoder's.
  if (!device.Flush() || !encoded) {
    if (device.Failed()) return Status::Error(device.errorString().toStdString());
    if (encoderError.isEmpty()) return Status::Error("the encoder failed without saying why");
    return Status::Error(encoderError.toStdString());
  }
  if (replacing) {
    // Where this process may: another user's file keeps its owner only for root, and a file
    // system without owners or modes takes the file all the same.
    if (::fchown(file.fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
      return Status::Error(Reason(errno));
    }
    if (::fchmod(file.fd, old.st_mode & 07777) != 0 && errno != EPERM) {
      return Status::Error(Reason(errno));
    }
  }
  const bool syncNow = replacing || durability == Durability::EachFile;
  // On disk before the rename makes it the target: a file renamed into place but never synced
  // can be found empty after a crash.
  if (syncNow && ::fdatasync(file.fd) != 0) {
    return Status::Error("it did not reach the disk: " + Reason(errno));
  }
  if (const int failure = NamePartialFile(folder.Get(), file); failure != 0) {
    return Status::Error(Reason(failure));
  }
  // A rename never follows a link at the target nor writes into what stands there; with
  // fresh names per save, two saves of one target each write their own file and the last
  // rename wins, whole.
  if (::renameat(folder.Get(), file.name.c_str(), folder.Get(), name.c_str()) != 0) {
    return Status::Error(Reason(errno));
  }
  cleanup.Placed();
  // A rename is on disk only once the folder holding it is: until then a crash can bring back
  // the old file. Some file systems cannot sync a folder at all (EINVAL); nothing is lost.
  if (syncNow && ::fsync(folder.Get()) != 0 && errno != EINVAL) {
    return Status::Error("the new file is in place, but its folder did not reach the disk: " +
                         Reason(errno));
  }
  return Status::Ok();
}

Status SyncFileSystemOf(const std::filesystem::path& folder) {
  const Descriptor opened(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (opened.Get() < 0) return Status::Error(Reason(errno));
  if (::syncfs(opened.Get()) != 0) {
    return Status::Error("the files are in place, but did not reach the disk: " + Reason(errno));
  }
  return Status::Ok();
}

#endif

Status SaveBytesAtomically(const std::filesystem::path& targetName, std::string_view bytes,
                           Durability durability) {
  return SaveAtomically(
      targetName,
      [bytes](QIODevice& device, QString&) {
        const auto size = static_cast<qint64>(bytes.size());
        return device.write(bytes.data(), size) == size;
      },
      durability);
}

}  // namespace tessarin
