// The temporary file behind WriteFileAtomically on every platform: its name,
// chosen here once, and a guard that removes it unless it was renamed into
// place. Each platform creates the file itself (Files_<platform>.cpp).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace wm {

enum class CreateResult { Created, NameTaken, Failed };

// Has `create` make a new file under a name of our own beside `path`
// ("<path>.<process id>-<n>.tmp", so that the rename stays on one volume),
// trying the next name while `create` reports the name taken (by a file left
// behind or planted there), at most 100 names. `create` must make the file
// only if no file of that name exists. Returns the name made, or "" when
// `create` failed or every name was taken; `create` keeps the system's error.
std::string CreateTemporaryBeside(const std::string& path, unsigned long processId,
                                  const std::function<CreateResult(const std::string&)>& create);

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
