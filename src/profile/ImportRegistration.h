// Points Outlook's first-run setup at a profile file, for every Office
// version in kOfficeVersions.
#pragma once

#include <string>

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

}  // namespace wm
