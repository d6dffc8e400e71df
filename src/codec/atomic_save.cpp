#include "atomic_save.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tessarin {
namespace {

// Opens, empty, the file a save writes before renaming it over the target. Two saves of one
// target must not write it at once, so each holds a lock on it from opening to renaming; a
// save that waited for the lock makes sure the name still leads to the file it locked, which
// the other save may have renamed meanwhile.
Status OpenPartialFile(QFile& file, const QString& name) {
#ifdef _WIN32
  file.setFileName(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return Status::Error(file.errorString().toStdString());
  }
  return Status::Ok();
#else
  const QByteArray local = QFile::encodeName(name);
  for (;;) {
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Status::Error(std::strerror(errno));
    struct stat locked {};
    struct stat named {};
    int failure = 0;
    if (flock(fd, LOCK_EX) != 0 || fstat(fd, &locked) != 0) failure = errno;
    if (failure == 0 && ::stat(local.constData(), &named) == 0 && named.st_dev == locked.st_dev &&
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

}  // namespace

Status SaveAtomically(const QString& targetName,
                      const std::function<bool(QFile& file, QString& error)>& write) {
  const QString& name = targetName;
  // A link is followed: the file it points to is the one replaced.
  QFileInfo target(name);
  for (int depth = 0; depth < 32 && target.isSymLink(); ++depth) {
    target.setFile(target.symLinkTarget());
  }
  if (target.exists() && !target.isWritable()) {
    return Status::Error("the existing file is not writable");
  }
  // Written beside the target and renamed over it only once complete, so a failure leaves any
  // existing file as it was. The name is fixed rather than random so that the file a save
  // killed midway leaves is written over by the next save of the same target.
  const QString partialName = target.filePath() + QStringLiteral(".tessarin-partial");
  QFile file;
  if (const Status opened = OpenPartialFile(file, partialName); !opened) {
    return Status::Error(opened.Message());
  }
  QString encoderError;
  const bool encoded = write(file, encoderError);
  // Flushed apart from closing, so that a failed write of the last bytes (a full disk) is seen;
  // after a failed write it also brings out the system's reason, which the encoder leaves unknown.
  const bool written = file.flush() && encoded;
  const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : encoderError;
  if (written) {
    // On disk before the rename makes it the target.
#ifdef _WIN32
    _commit(file.handle());
#else
    fdatasync(file.handle());
#endif
  }
  // Removed or renamed before closing, which would let a waiting save of the same target at
  // the file. Windows renames and removes only closed files, and has no such wait.
#ifdef _WIN32
  file.close();
#endif
  if (!written) {
    QFile::remove(partialName);
    file.close();
    return Status::Error(reason.toStdString());
  }
  if (target.exists()) QFile::setPermissions(partialName, target.permissions());
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(partialName.toStdU16String()),
                          std::filesystem::path(target.filePath().toStdU16String()), error);
  if (error) QFile::remove(partialName);
  file.close();
  if (error) return Status::Error(error.message());
  return Status::Ok();
}

}  // namespace tessarin
