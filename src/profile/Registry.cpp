#include "profile/Registry.h"

namespace wm {

std::string RegistryKeyName(const std::string& keyPath) {
  return "HKEY_CURRENT_USER\\" + keyPath;
}

Status CreateKeyFailure(const std::string& keyPath, const std::string& reason) {
  return Status::Failure("creating key " + RegistryKeyName(keyPath) + " failed: " + reason);
}

Status ValueFailure(const char* operation, const std::string& keyPath, const std::string& name,
                    const std::string& reason) {
  return Status::Failure(std::string(operation) + " value \"" + name + "\" in " +
                         RegistryKeyName(keyPath) + " failed: " + reason);
}

Status NoOpenKeyFailure(const char* operation, const std::string& name) {
  return Status::Failure(std::string(operation) + " value \"" + name +
                         "\" failed: no registry key is open");
}

}  // namespace wm
