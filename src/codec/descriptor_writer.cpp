#include "descriptor_writer.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tessarin {
namespace {

// Toolkit encoders write a few bytes at a time; gathered, they cost few system calls.
constexpr std::size_t kBufferSize = 256 * 1024;

}  // namespace

DescriptorWriter::DescriptorWriter(int fd) : fd_(fd) {
  buffer_.reserve(kBufferSize);
  open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

DescriptorWriter::~DescriptorWriter() = default;

bool DescriptorWriter::Flush() {
  if (error_ == 0 && !buffer_.empty()) WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return error_ == 0;
}

void DescriptorWriter::Fail(int error) {
  error_ = error;
  setErrorString(QString::fromLocal8Bit(std::strerror(error)));
}

bool DescriptorWriter::seek(qint64 pos) {
  if (!Flush()) return false;
#ifdef _WIN32
  const bool moved = _lseeki64(fd_, pos, SEEK_SET) >= 0;
#else
  const bool moved = ::lseek(fd_, static_cast<off_t>(pos), SEEK_SET) >= 0;
#endif
  if (!moved) {
    Fail(errno);
    return false;
  }
  return QIODevice::seek(pos);
}

qint64 DescriptorWriter::size() const {
  struct stat facts {};
  const qint64 written = ::fstat(fd_, &facts) == 0 ? static_cast<qint64>(facts.st_size) : 0;
  const qint64 reached = pos();  // buffered bytes included
  return written > reached ? written : reached;
}

qint64 DescriptorWriter::readData(char* data, qint64 maxSize) {
  if (!Flush()) return -1;
  for (;;) {
#ifdef _WIN32
    const int got = _read(fd_, data, static_cast<unsigned>(maxSize));
#else
    const ssize_t got = ::read(fd_, data, static_cast<std::size_t>(maxSize));
#endif
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(errno);
    return got;
  }
}

qint64 DescriptorWriter::writeData(const char* data, qint64 size) {
  const auto count = static_cast<std::size_t>(size);
  if (buffer_.size() + count > kBufferSize && !Flush()) return -1;
  if (count >= kBufferSize) return WriteOut(data, count) ? size : -1;
  buffer_.insert(buffer_.end(), data, data + count);
  return error_ == 0 ? size : -1;
}

bool DescriptorWriter::WriteOut(const char* data, std::size_t size) {
  while (size > 0 && error_ == 0) {
#ifdef _WIN32
    const int written = _write(fd_, data, static_cast<unsigned>(size));
#else
    const ssize_t written = ::write(fd_, data, size);
#endif
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : EIO);
      return false;
    }
    // A short write is no error: the next one takes the rest or says why it cannot.
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return error_ == 0;
}

}  // namespace tessarin
