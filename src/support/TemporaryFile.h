// The temporary file behind a staged file (Files.h) on every platform: its
// name, chosen here once, and a guard that removes it unless it was renamed
// into place. Each platform creates the file itself (Files_<platform>.cpp).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "support/Status.h"

namespace wm {

// A staged file's failure in the caller's words, on every platform:
// <what> "<path>": <reason>.
Status FileFailure(std::string_view what, const std::string& path, const std::string& reason);
// The reason when a folder stands where the file goes.
extern const char* const kFolderInTheWay;

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
  explicit TemporaryFile(std::string path) : path_(std::move(path)), committed_(false) {}
  ~TemporaryFile() { Remove(); }
  TemporaryFile(TemporaryFile&& other) noexcept
      : path_(std::move(other.path_)), committed_(std::exchange(other.committed_, true)) {}
  TemporaryFile& operator=(TemporaryFile&& other) noexcept {
    if (this != &other) {
      Remove();
      path_ = std::move(other.path_);
      committed_ = std::exchange(other.committed_, true);
    }
    return *this;
  }

  const std::string& path() const { return path_; }
  // The file now stands under its final name: nothing to remove.
  void commit() { committed_ = true; }

 private:
  void Remove() {
    if (!committed_) {
      std::remove(path_.c_str());
      committed_ = true;
    }
  }

  std::string path_;
  bool committed_ = true;  // nothing to remove
};

}  // namespace wm
