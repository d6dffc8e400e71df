#pragma once

#include <string>
#include <utility>

namespace tessarin {

// The outcome of an operation that can fail for a reason a person has to read.
class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool IsOk() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& Message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : ok_(false), message_(std::move(message)) {}

  bool ok_ = true;
  std::string message_;
};

}  // namespace tessarin
