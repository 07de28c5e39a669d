// The logon name of the user the program runs as.
#pragma once

#include <string>

namespace wm {

// The name as given (see support/CodePage.h):
// Windows: GetUserNameW with room for 1000 characters, up to its NUL, in UTF-8.
// Linux: the effective user's name in the password database (never an
// environment variable, which the caller's environment could change).
// Returns "" when the name cannot be obtained.
std::string CurrentLogonName();

}  // namespace wm
