// The outcome of an operation that can fail: success, or a message that says
// what failed, where and why. Core code returns these; only the program's
// entry turns one into an error line and an exit status. Ignoring one is a
// compile error: a failure that does not matter is dropped with (void).
#pragma once

#include <string>
#include <utility>

namespace wm {

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  static Status Failure(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

  bool failed_ = false;
  std::string message_;
};

}  // namespace wm
