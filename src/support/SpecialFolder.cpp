#include "support/SpecialFolder.h"

namespace wm {

std::string GetSpecialFolder(const std::string& name) {
  SpecialFolder folder = FindSpecialFolder(name);
  return folder.status == FolderStatus::Found ? folder.path : std::string();
}

}  // namespace wm
