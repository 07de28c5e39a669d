// Who the program runs as: the logon name, and whether it is one of the
// system's own accounts.
#pragma once

#include <string>

namespace wm {

// The name as given (see support/CodePage.h):
// Windows: GetUserNameW with room for 1000 characters, up to its NUL, in UTF-8.
// Linux: the effective user's name in the password database (never an
// environment variable, which the caller's environment could change).
// Returns "" when the name cannot be obtained.
std::string CurrentLogonName();

// The security identifier of the user the program runs as, as text
// ("S-1-5-21-..."):
// Windows: the user of the process's token (ConvertSidToStringSidA).
// Linux: "", since no such identifier exists there.
// Returns "" when it cannot be read.
std::string CurrentUserSid();

// The name of the system account that a security identifier stands for:
// "SYSTEM" (S-1-5-18), "LOCAL SERVICE" (S-1-5-19) or "NETWORK SERVICE"
// (S-1-5-20); nullptr for any other, a user's own. A per-user tool run as one
// of these (from a computer startup script or a system task) would write into
// a profile and a registry hive that no user ever sees.
const char* SystemAccountName(const std::string& sid);

}  // namespace wm
