#include "main/CommandLine.h"

#include <windows.h>

namespace wm {

std::vector<std::string> ProgramArguments(int, char**) {
  const char* line = GetCommandLineA();
  return SplitCommandLine(SkipProgramName(line != nullptr ? line : ""));
}

}  // namespace wm
