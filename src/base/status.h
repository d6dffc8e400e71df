#pragma once

#include <string>
#include <utility>

namespace tessarin {

// The outcome of an operation that can fail for a reason a person has to read.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message), false); }
  // A failure for want of memory rather than of the input: a person who would otherwise see
  // only a missing layer needs to be told.
  static Status OutOfMemory(std::string message) { return Status(std::move(message), true); }

  bool IsOk() const { return ok_; }
  bool IsOutOfMemory() const { return outOfMemory_; }
  explicit operator bool() const { return ok_; }
  const std::string& Message() const { return message_; }

 private:
  Status() = default;
  Status(std::string message, bool outOfMemory)
      : ok_(false), outOfMemory_(outOfMemory), message_(std::move(message)) {}

  bool ok_ = true;
  bool outOfMemory_ = false;
  std::string message_;
};

}  // namespace tessarin
