// Standard output, byte for byte: no text-mode translation, no code-page
// conversion.
#pragma once

#include <string_view>

#include "support/Status.h"

namespace wm {

// Prepares standard output for binary writes. On POSIX it also ignores
// SIGPIPE, so that a closed pipe is a failed write rather than a silent death.
void PrepareConsole();

// Writes the bytes to standard output in full; fails with the system's reason.
Status WriteOutput(std::string_view bytes);

// Writes one line followed by CR LF.
Status WriteLine(std::string_view line);

}  // namespace wm
