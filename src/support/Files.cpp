#include "support/Files.h"

namespace wm {

Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what) {
  Result<StagedFile> staged = StageFile(path, bytes, what);
  return staged ? staged.value().Commit() : staged.status();
}

}  // namespace wm
