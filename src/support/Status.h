// The outcome of an operation that can fail: success, or a message that says
// what failed, where and why. Core code returns these; only the run sequence
// (ReportFailure, RunSequence.h) turns one into an error line, an event in
// the system's log and exit status 1. Ignoring one is a compile error: a
// failure that does not matter is dropped with (void).
#pragma once

#include <string>
#include <utility>

#include "support/FailureClass.h"

namespace wm {

class [[nodiscard]] Status {
 public:
  static Status Ok() { return Status(); }
  // A failure of a class (FailureClass.h), which gives its error line's
  // ending and its event ID; the message itself ends without either.
  static Status Failure(FailureClass failureClass, std::string message) {
    return Status(failureClass, std::move(message));
  }
  // A failure whose message names text the ANSI code page cannot hold: the
  // message shows it with "?", and `given`, the same message in UTF-8 with
  // the text as given, is what the system's log records.
  static Status Failure(FailureClass failureClass, std::string message, std::string given) {
    Status status(failureClass, std::move(message));
    status.given_ = std::move(given);
    return status;
  }
  // A failure of a lower layer, which its caller puts in its class (In());
  // left so, it is Unexpected, which the end-to-end cases refuse (EndToEnd.h).
  static Status Failure(std::string message) {
    return Status(FailureClass::Unexpected, std::move(message));
  }

  // The same failure, in the class the caller knows it to be.
  Status In(FailureClass failureClass) const {
    Status status = *this;
    status.class_ = failureClass;
    return status;
  }

  // The same failure, its line ending in what stands after it instead of
  // its class's words (e.g. where a first run took back what it did).
  Status Standing(std::string ending) const {
    Status status = *this;
    status.ending_ = std::move(ending);
    return status;
  }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }
  // The message as given (UTF-8), or "" when it is message() itself.
  const std::string& given() const { return given_; }
  FailureClass failureClass() const { return class_; }
  // What the error line ends with, after the message.
  std::string ending() const { return ending_.empty() ? Describe(class_).ending : ending_; }

 private:
  Status() = default;
  Status(FailureClass failureClass, std::string message)
      : failed_(true), class_(failureClass), message_(std::move(message)) {}

  bool failed_ = false;
  FailureClass class_ = FailureClass::Unexpected;
  std::string message_;
  std::string given_;
  std::string ending_;
};

// A value, or the failure that stands in its place.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Status failure) : status_(std::move(failure)) {}

  bool ok() const { return status_.ok(); }
  explicit operator bool() const { return ok(); }
  const Status& status() const { return status_; }
  // Only when ok().
  const T& value() const { return value_; }
  T& value() { return value_; }

 private:
  Status status_ = Status::Ok();
  T value_{};
};

}  // namespace wm
