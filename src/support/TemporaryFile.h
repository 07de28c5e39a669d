// A temporary file that is removed unless it was renamed into place: the
// guard behind WriteFileAtomically on every platform.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

namespace wm {

class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!committed_) {
      std::remove(path_.c_str());
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }
  // The file now stands under its final name: nothing to remove.
  void commit() { committed_ = true; }

 private:
  std::string path_;
  bool committed_ = false;
};

}  // namespace wm
