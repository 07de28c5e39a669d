// Who the program runs as: the logon name, and whether it is one of the
// system's own accounts.
#pragma once

#include <string>

#include "support/Status.h"

namespace wm {

// The name as given (see support/CodePage.h):
// Windows: GetUserNameW with room for 1000 characters, up to its NUL, in UTF-8.
// Linux: the effective user's name in the password database (never an
// environment variable, which the caller's environment could change).
// A name that cannot be obtained is a failure that gives the system's reason.
Result<std::string> CurrentLogonName();

// The security identifier of the user the program runs as, as text
// ("S-1-5-21-..."):
// Windows: the user of the process's token (ConvertSidToStringSidA).
// Linux: "", since no such identifier exists there.
// A token or identifier that cannot be read is a failure that gives the
// system's reason.
Result<std::string> CurrentUserSid();

// The name of the system account that a security identifier stands for:
// "SYSTEM" (S-1-5-18), "LOCAL SERVICE" (S-1-5-19) or "NETWORK SERVICE"
// (S-1-5-20); nullptr for any other, a user's own. A per-user tool run as one
// of these (from a computer startup script or a system task) would write into
// a profile and a registry hive that no user ever sees.
const char* SystemAccountName(const std::string& sid);

// The guard a run passes before anything is written: a failure where the
// identifier is a system account's, and also where it could not be read (a
// guard that cannot tell does not let the run through).
Status CheckAccount(const Result<std::string>& sid);

}  // namespace wm
