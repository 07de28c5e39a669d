#include "profile/ImportRegistration.h"

namespace wm {

Status RegisterImport(Registry& registry, const std::string& PrfPath) {
  for (const char* version : kOfficeVersions) {
    Status result = registry.CreateKey(std::string("Software\\Microsoft\\Office\\") + version +
                                       "\\Outlook\\Setup");
    // While either first-run marker stays, Outlook never imports the file:
    // one that cannot be deleted is a failure (one that is not there is
    // deleted already).
    if (result) {
      result = registry.DeleteValue("FirstRun");
    }
    if (result) {
      result = registry.DeleteValue("First-Run");
    }
    if (result) {
      result = registry.SetStringValue("ImportPRF", PrfPath);
    }
    registry.CloseKey();
    if (!result) {
      return Status::Failure(FailureClass::Registry,
                             std::string("Cannot register the profile for Outlook ") + version +
                                 ": " + result.message());
    }
  }
  return Status::Ok();
}

}  // namespace wm
