#include "error_output.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <string>

namespace tessarin::cli {
namespace {

// Fewer bytes than asked for are written only when the output is a pipe or terminal that
// filled up; the rest follows.
void WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
#ifdef _WIN32
    const int written = _write(fd, bytes, static_cast<unsigned>(size));
#else
    const ssize_t written = ::write(fd, bytes, size);
#endif
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // nowhere left to tell
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace

void ErrorOutput::Write(std::string_view text) {
  if (text.empty()) return;
  const bool redraw = text.front() == '\r';
  const std::lock_guard<std::mutex> lock(mutex_);
  if (midLine_ && !redraw) {
    std::string line;
    line.reserve(text.size() + 1);
    line += '\n';
    line += text;
    WriteAll(fd_, line.data(), line.size());
  } else {
    WriteAll(fd_, text.data(), text.size());
  }
  midLine_ = text.back() != '\n' && text.back() != '\r';
}

ErrorOutputBuffer::~ErrorOutputBuffer() {
  if (!pending_.empty()) output_.Write(pending_);
}

ErrorOutputBuffer::int_type ErrorOutputBuffer::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  pending_ += traits_type::to_char_type(ch);
  HandOnLines();
  return ch;
}

std::streamsize ErrorOutputBuffer::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  HandOnLines();
  return count;
}

int ErrorOutputBuffer::sync() {
  if (!pending_.empty()) output_.Write(pending_);
  pending_.clear();
  return 0;
}

void ErrorOutputBuffer::HandOnLines() {
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return;
  output_.Write(std::string_view(pending_).substr(0, end + 1));
  pending_.erase(0, end + 1);
}

}  // namespace tessarin::cli
