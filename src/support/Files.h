// The few file operations the system needs: whether a file is there, and
// replacing a file's contents so that readers see either the old file or the
// complete new one, never a mixture.
#pragma once

#include <string>
#include <string_view>

#include "support/Status.h"
#include "support/TemporaryFile.h"

namespace wm {

// True only when a file exists at the path; a folder, a missing file or a
// missing folder on the way all give false.
bool FileExists(const std::string& path);

// A file's new bytes, written in full to a new temporary file beside it
// (created exclusively, see TemporaryFile.h) and flushed to the disk, but not
// yet in its place. Commit() renames the temporary file over the file in one
// step; dropped without that, it removes the temporary file, and the file is
// left as it was.
class StagedFile {
 public:
  StagedFile() = default;
  StagedFile(std::string path, std::string what, TemporaryFile temporary)
      : path_(std::move(path)), what_(std::move(what)), temporary_(std::move(temporary)) {}

  // Windows: while another run (the same user logging on twice at once)
  // replaces or reads the file, the rename is refused for a moment: it is
  // tried again for about 1.5 s. Any other failure is final at once.
  Status Commit();

 private:
  std::string path_;
  std::string what_;
  TemporaryFile temporary_;
};

// Stages the bytes for the path. A folder in the file's place (and, on
// Windows, a read-only file) is refused before anything is written. The
// failure message starts with the caller's words, e.g. "Cannot write the
// profile file" gives: Cannot write the profile file "<path>": <reason>.
// Commit() fails in the same words.
Result<StagedFile> StageFile(const std::string& path, std::string_view bytes,
                             std::string_view what);

// A staged file's failure in the caller's words, on every platform:
// <what> "<path>": <reason>.
inline Status FileFailure(std::string_view what, const std::string& path,
                          const std::string& reason) {
  return Status::Failure(std::string(what) + " \"" + path + "\": " + reason);
}
// The reason when a folder stands where the file goes.
inline constexpr const char kFolderInTheWay[] = "a folder of that name stands in its place";

// StageFile and Commit in one: the file is created or replaced, or left as
// it was.
Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what);

}  // namespace wm
