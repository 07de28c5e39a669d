// Windows only: the security identifier of a given process's user, open to
// the tests (a handle that gives no token is how they make the read fail).
#pragma once

#include <windows.h>

#include <string>

#include "support/Status.h"

namespace wm {

// The user of the process's token as text ("S-1-5-21-..."); a token or
// identifier that cannot be read is a failure with the system's reason.
Result<std::string> ProcessUserSid(HANDLE process);

}  // namespace wm
