// Makes replacing an existing file fail for real while the object lives.
// Test code only.
#pragma once

#include <memory>
#include <string>

namespace wmtest {

// Windows: holds the file open without sharing delete or write access, as a
// program reading it would, so it cannot be replaced. Linux: lowers this
// process's file-size limit (RLIMIT_FSIZE) to a few bytes, so that writing
// any longer file fails, as on a full disk.
class WriteBlocker {
 public:
  explicit WriteBlocker(const std::string& existingFile);
  ~WriteBlocker();
  WriteBlocker(const WriteBlocker&) = delete;
  WriteBlocker& operator=(const WriteBlocker&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace wmtest
