// Windows only: the two steps of the special folder lookup, open to the
// tests.
#pragma once

#include <string>

#include "support/SpecialFolder.h"
#include "support/Status.h"

namespace wm {

// The path of the shell folder with that identifier (a CSIDL), from the
// wide-character API, without a trailing backslash; a failure, with what the
// shell said, when it cannot give the folder or cannot turn it into a path.
// The shell's item list is released through the shell's allocator on every
// path.
Result<std::wstring> ShellFolderPath(int identifier);

// The path as the ANSI code page holds it: the path itself when it converts
// without loss, else its short (8.3) form when that exists and converts
// without loss (Found); else NoAnsiPath, with the path shown with "?" for
// what the code page cannot hold, and the reason. No trailing backslash.
SpecialFolder AnsiPath(const std::wstring& path);

}  // namespace wm
