#include "support/SpecialFolder.h"

namespace wm {

std::string GetSpecialFolder(const std::string& name) {
  std::string path;
  return FindSpecialFolder(name, path) == FolderStatus::Found ? path : std::string();
}

}  // namespace wm
