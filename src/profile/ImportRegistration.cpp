#include "profile/ImportRegistration.h"

namespace wm {

namespace {

std::string SetupKey(const char* version) {
  return std::string("Software\\Microsoft\\Office\\") + version + "\\Outlook\\Setup";
}

// One version's pass; where `replaced` is given, the value ImportPRF had is
// read first and noted there once it is set.
Status RegisterVersion(Registry& registry, const char* version, const std::string& PrfPath,
                       std::vector<ReplacedImport>* replaced) {
  Status result = registry.CreateKey(SetupKey(version));
  // While either first-run marker stays, Outlook never imports the file:
  // one that cannot be deleted is a failure (one that is not there is
  // deleted already).
  if (result) {
    result = registry.DeleteValue("FirstRun");
  }
  if (result) {
    result = registry.DeleteValue("First-Run");
  }
  Result<std::optional<std::string>> earlier = std::optional<std::string>();
  if (result && replaced != nullptr) {
    earlier = registry.StringValue("ImportPRF");
    result = earlier.status();
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
  if (replaced != nullptr) {
    std::optional<std::string> value = earlier.value();
    replaced->push_back({version, value == PrfPath ? std::nullopt : value});
  }
  return Status::Ok();
}

}  // namespace

Status RegisterImport(Registry& registry, const std::string& PrfPath) {
  for (const char* version : kOfficeVersions) {
    Status registered = RegisterVersion(registry, version, PrfPath, nullptr);
    if (!registered) {
      return registered;
    }
  }
  return Status::Ok();
}

Registration RegisterImportUndoably(Registry& registry, const std::string& PrfPath) {
  Registration registration{Status::Ok(), {}};
  for (const char* version : kOfficeVersions) {
    registration.status = RegisterVersion(registry, version, PrfPath, &registration.replaced);
    if (!registration.status) {
      break;
    }
  }
  return registration;
}

TakenBack TakeBackImport(Registry& registry, const std::vector<ReplacedImport>& replaced) {
  TakenBack takenBack;
  for (const ReplacedImport& entry : replaced) {
    Status result = registry.CreateKey(SetupKey(entry.version));
    if (result) {
      result = entry.earlier ? registry.SetStringValue("ImportPRF", *entry.earlier)
                             : registry.DeleteValue("ImportPRF");
    }
    registry.CloseKey();
    if (!result) {
      takenBack.left.push_back(entry.version);
      if (takenBack.reason.empty()) {
        takenBack.reason = result.message();
      }
    }
  }
  return takenBack;
}

}  // namespace wm
