#include "profile/Registry.h"

namespace wm {

std::string RegistryKeyName(const std::string& keyPath) {
  return "HKEY_CURRENT_USER\\" + keyPath;
}

Status NoOpenKeyFailure(const char* operation, const std::string& name) {
  return Status::Failure(std::string(operation) + " value \"" + name +
                         "\" failed: no registry key is open");
}

}  // namespace wm
