#include "main/ProgramArguments.h"

#include <windows.h>

#include "support/CodePage_win32.h"

namespace wm {

// The line as the system holds it, in wide characters, turned into UTF-8 with
// nothing lost. (GetCommandLineA would give it in the ANSI code page with
// "best fit": "Łódź" as "Lódz", another name, and a fullwidth quote as an
// ASCII one, which would change the splitting.) Every character the
// splitting looks at is ASCII, which UTF-8 keeps as it is, so the arguments
// are those of the line in the ANSI code page; the names among them are
// converted to it, exactly, once they are read.
std::vector<std::string> ProgramArguments(int, char**) {
  const wchar_t* line = GetCommandLineW();
  const std::string given = Utf8FromWide(line != nullptr ? line : L"");
  return SplitCommandLine(SkipProgramName(given));
}

}  // namespace wm
