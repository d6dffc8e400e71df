#pragma once

#include <mutex>
#include <streambuf>
#include <string>
#include <string_view>

namespace tessarin::cli {

// The program's standard error, shared by the progress bar on the main thread and by the
// messages the toolkit gives on whichever thread decodes or encodes. Every write goes out whole
// under one lock, so pieces of lines never mix; a line that comes while the bar is drawn
// starts a line of its own instead of running on from the bar.
class ErrorOutput {
 public:
  explicit ErrorOutput(int fd) : fd_(fd) {}
  ErrorOutput(const ErrorOutput&) = delete;
  ErrorOutput& operator=(const ErrorOutput&) = delete;

  // Text that begins with a carriage return redraws the line it is on.
  void Write(std::string_view text);

 private:
  std::mutex mutex_;
  const int fd_;
  bool midLine_ = false;
};

// An ostream's buffer for one thread's writing: hands on what it gathers whole, at each end of
// line and each flush, and what is left when it goes.
class ErrorOutputBuffer : public std::streambuf {
 public:
  explicit ErrorOutputBuffer(ErrorOutput& output) : output_(output) {}
  ~ErrorOutputBuffer() override;
  ErrorOutputBuffer(const ErrorOutputBuffer&) = delete;
  ErrorOutputBuffer& operator=(const ErrorOutputBuffer&) = delete;

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void HandOnLines();

  ErrorOutput& output_;
  std::string pending_;
};

}  // namespace tessarin::cli
