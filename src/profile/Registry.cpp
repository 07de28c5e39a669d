#include "profile/Registry.h"

namespace wm {

Status CreateKeyFailure(const std::string& keyPath, const std::string& reason) {
  return Status::Failure("creating key HKEY_CURRENT_USER\\" + keyPath + " failed: " + reason);
}

Status ValueFailure(const char* operation, const std::string& keyPath, const std::string& name,
                    const std::string& reason) {
  return Status::Failure(std::string(operation) + " value \"" + name + "\" in HKEY_CURRENT_USER\\" +
                         keyPath + " failed: " + reason);
}

Status NoOpenKeyFailure(const char* operation, const std::string& name) {
  return Status::Failure(std::string(operation) + " value \"" + name +
                         "\" failed: no registry key is open");
}

}  // namespace wm
