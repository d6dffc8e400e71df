#include "atomic_save.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tessarin {
namespace {

// Opens, empty, the file a save writes before renaming it over the target. Two saves of one
// target must not write it at once, so each holds a lock on it from opening to renaming; a
// save that waited for the lock makes sure the name still leads to the file it locked, which
// the other save may have renamed meanwhile.
Status OpenPartialFile(QFile& file, const std::filesystem::path& name) {
#ifdef _WIN32
  file.setFileName(QString::fromStdWString(name.wstring()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return Status::Error(file.errorString().toStdString());
  }
  return Status::Ok();
#else
  // Opened by its bytes: a name that is not UTF-8 would not survive a QString.
  const char* const local = name.c_str();
  for (;;) {
    const int fd = ::open(local, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Status::Error(std::strerror(errno));
    struct stat locked {};
    struct stat named {};
    int failure = 0;
    if (flock(fd, LOCK_EX) != 0 || fstat(fd, &locked) != 0) failure = errno;
    if (failure == 0 && ::stat(local, &named) == 0 && named.st_dev == locked.st_dev &&
        named.st_ino == locked.st_ino) {
      if (ftruncate(fd, 0) != 0) failure = errno;
      if (failure == 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        return Status::Ok();
      }
      if (failure == 0) failure = EIO;
    }
    ::close(fd);
    if (failure != 0) return Status::Error(std::strerror(failure));
  }
#endif
}

bool IsWritable(const std::filesystem::path& file) {
#ifdef _WIN32
  return QFileInfo(QString::fromStdWString(file.wstring())).isWritable();
#else
  return ::access(file.c_str(), W_OK) == 0;
#endif
}

int SyncData(int fd) {
#ifdef _WIN32
  return _commit(fd);
#else
  return fdatasync(fd);
#endif
}

// A rename is on disk only once the folder holding it is: until then a crash can bring back
// the old file. Returns the error, or 0.
int SyncFolder(const std::filesystem::path& folder) {
#ifdef _WIN32
  // Windows offers no handle on a folder to sync; its renames are journalled.
  static_cast<void>(folder);
  return 0;
#else
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  // Some file systems cannot sync a folder at all (EINVAL); nothing is lost by that.
  const int failure = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return failure;
#endif
}

}  // namespace

Status SaveAtomically(const std::filesystem::path& targetName,
                      const std::function<bool(QFile& file, QString& error)>& write) {
  namespace fs = std::filesystem;
  std::error_code error;
  // A link is followed: the file it points to is the one replaced.
  fs::path target = targetName;
  for (int depth = 0; depth < 32 && fs::is_symlink(fs::symlink_status(target, error)); ++depth) {
    const fs::path link = fs::read_symlink(target, error);
    if (error) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  const bool exists = fs::exists(target, error);
  if (exists && !IsWritable(target)) return Status::Error("the existing file is not writable");
  // Written beside the target and renamed over it only once complete, so a failure leaves any
  // existing file as it was. The name is fixed rather than random so that the file a save
  // killed midway leaves is written over by the next save of the same target.
  fs::path partialName = target;
  partialName += ".tessarin-partial";
  QFile file;
  if (const Status opened = OpenPartialFile(file, partialName); !opened) {
    return Status::Error(opened.Message());
  }
  QString encoderError;
  const bool encoded = write(file, encoderError);
  // Flushed apart from closing, so that a failed write of the last bytes (a full disk) is seen;
  // after a failed write it also brings out the system's reason, which the encoder leaves unknown.
  bool written = file.flush() && encoded;
  QString reason = file.error() != QFileDevice::NoError ? file.errorString() : encoderError;
  // On disk before the rename makes it the target: a file renamed into place but never synced
  // can be found empty after a crash.
  if (written && SyncData(file.handle()) != 0) {
    written = false;
    reason = QStringLiteral("it did not reach the disk: ") +
             QString::fromLocal8Bit(std::strerror(errno));
  }
  // Removed or renamed before closing, which would let a waiting save of the same target at
  // the file. Windows renames and removes only closed files, and has no such wait.
#ifdef _WIN32
  file.close();
#endif
  if (!written) {
    fs::remove(partialName, error);
    file.close();
    return Status::Error(reason.toStdString());
  }
  if (exists) {
    const fs::perms permissions = fs::status(target, error).permissions();
    if (!error) fs::permissions(partialName, permissions, error);
  }
  fs::rename(partialName, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(partialName, ignored);
  }
  file.close();
  if (error) return Status::Error(error.message());
  const fs::path folder = fs::absolute(target, error).parent_path();
  if (const int failure = SyncFolder(folder); failure != 0) {
    return Status::Error("the new file is in place, but its folder did not reach the disk: " +
                         std::string(std::strerror(failure)));
  }
  return Status::Ok();
}

}  // namespace tessarin
