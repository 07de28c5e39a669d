#include "support/Files.h"

namespace wm {

Status WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return WriteFileAtomically(path, bytes, "Cannot write the file");
}

}  // namespace wm
