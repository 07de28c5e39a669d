// The operating system's own words for an error code.
#pragma once

#include <string>

namespace wm {

// The system's message for an error code, on one line, without a trailing
// period or line break, followed by the code itself, e.g.
// "Access is denied (error 5)".
std::string SystemErrorMessage(unsigned long code);

}  // namespace wm
