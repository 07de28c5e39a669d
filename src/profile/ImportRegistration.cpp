#include "profile/ImportRegistration.h"

namespace wm {

Status RegisterImport(Registry& registry, const std::string& PrfPath) {
  // Newest first: the version most likely installed is handled even if an
  // older one fails.
  static const char* const kVersions[] = {"12.0", "11.0", "10.0", "9.0", "8.0"};
  for (const char* version : kVersions) {
    Status result = registry.CreateKey(std::string("Software\\Microsoft\\Office\\") + version +
                                       "\\Outlook\\Setup");
    if (result) {
      // Either marker may well be missing; only their absence matters.
      (void)registry.DeleteValue("FirstRun");
      (void)registry.DeleteValue("First-Run");
      result = registry.SetStringValue("ImportPRF", PrfPath);
    }
    registry.CloseKey();
    if (!result) {
      return Status::Failure(std::string("Cannot register the profile for Outlook ") + version +
                             ": " + result.message());
    }
  }
  return Status::Ok();
}

}  // namespace wm
