// The temporary file behind a staged file (Files.h) on every platform: its
// name, chosen here once, and a guard that removes it unless it was renamed
// into place. Each platform creates the file itself (Files_<platform>.cpp).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace wm {

enum class CreateResult { Created, NameTaken, Failed };

// Has `create` make a new file under a name of our own in the folder of
// `path`, so that the rename stays on one volume: "~" and hexadecimal digits
// (the process id and a counter), as long as the file's own name (at least 8
// characters), so that the temporary file fits wherever the file itself
// does. Tries the next name while `create` reports the name taken (by a file
// left behind or planted there), at most 100 names. `create` must make the
// file only if no file of that name exists. Returns the name made, or ""
// when `create` failed or every name was taken; `create` keeps the system's
// error.
std::string CreateTemporaryBeside(const std::string& path, unsigned long processId,
                                  const std::function<CreateResult(const std::string&)>& create);

class TemporaryFile {
 public:
  TemporaryFile() = default;
  explicit TemporaryFile(std::string path) : path_(std::move(path)), armed_(true) {}
  ~TemporaryFile() { Remove(); }
  TemporaryFile(TemporaryFile&& other) noexcept
      : path_(std::move(other.path_)), armed_(std::exchange(other.armed_, false)) {}
  TemporaryFile& operator=(TemporaryFile&& other) noexcept {
    if (this != &other) {
      Remove();
      path_ = std::move(other.path_);
      armed_ = std::exchange(other.armed_, false);
    }
    return *this;
  }

  const std::string& path() const { return path_; }
  // The file was renamed into place: nothing is left to remove.
  void disarm() { armed_ = false; }

 private:
  void Remove() {
    if (armed_) {
      std::remove(path_.c_str());
      armed_ = false;
    }
  }

  std::string path_;
  bool armed_ = false;  // the file is there, to be removed when the guard goes
};

}  // namespace wm
