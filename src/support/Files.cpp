#include "support/Files.h"

namespace wm {

const char* const kFolderInTheWay = "a folder of that name stands in its place";

Status FileFailure(std::string_view what, const std::string& path, const std::string& reason) {
  return Status::Failure(std::string(what) + " \"" + path + "\": " + reason);
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what) {
  Result<StagedFile> staged = StageFile(path, bytes, what);
  return staged ? staged.value().Commit() : staged.status();
}

}  // namespace wm
