// Points Outlook's first-run setup at a profile file, for every Office
// version in kOfficeVersions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "profile/Registry.h"
#include "support/Status.h"

namespace wm {

// The Office versions, newest first (the one most likely installed is handled
// even if an older one fails); the build reads the list (CMakeLists.txt).
inline constexpr const char* kOfficeVersions[] = {"12.0", "11.0", "10.0", "9.0", "8.0"};

// For each version of kOfficeVersions, in that order, in the key
// HKEY_CURRENT_USER\Software\Microsoft\Office\<version>\Outlook\Setup:
// opens or creates the key, deletes "FirstRun" and "First-Run" (a value that
// is not there counts as deleted; one that is there and cannot be deleted is
// a failure, since while it stays Outlook never imports the file), sets
// "ImportPRF" to the path as REG_SZ, and closes the key. Stops at the first
// failure and reports it; the versions already handled keep their new values
// and the later ones are not touched.
Status RegisterImport(Registry& registry, const std::string& PrfPath);

// What a registration changed in a version's "ImportPRF", to take it back.
struct ReplacedImport {
  const char* version;
  // The value it had; none where there was none, or where it named PrfPath
  // (which, where the registration is taken back, is not in place).
  std::optional<std::string> earlier;
};

struct Registration {
  Status status;                         // as RegisterImport's
  std::vector<ReplacedImport> replaced;  // the versions whose ImportPRF it set, in order
};

// RegisterImport, reading each version's "ImportPRF" before it is set (a
// value that is not a string stops it there, as a failure to set it does).
Registration RegisterImportUndoably(Registry& registry, const std::string& PrfPath);

struct TakenBack {
  std::vector<const char*> left;  // the versions it could not take back, in order
  std::string reason;             // the first failure's words
};

// Takes a registration back: each replaced ImportPRF is set to the value it
// had, or deleted where there was none. A version that fails is left as the
// registration made it, and the others are still taken back.
TakenBack TakeBackImport(Registry& registry, const std::vector<ReplacedImport>& replaced);

}  // namespace wm
